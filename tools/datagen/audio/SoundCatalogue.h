#pragma once
// The names of every sound effect the game plays and whether it loops, in the order the
// sound archive stores them.
#include <vector>

namespace vorlane::datagen {

struct SoundName {
    const char* name;
    bool looped;
};

const std::vector<SoundName>& SoundCatalogue();

// The engine's own loops: the sounds the engine-sound state machine switches between.
inline constexpr const char* kEngineLoops[] = {"Neutral", "Accel1", "Accel2", "Accel3", "Accel4",
                                               "Shift",   "Slowed", "Maxed",  "Brake",  "Nitro"};

} // namespace vorlane::datagen
