#pragma once
// The game's sound effects, synthesized. Every effect is mono at kEffectRate; looped
// effects repeat as a whole (the sound list loops the whole recording), so each of them
// is a seamless loop from its first sample to its last.
#include "datagen/audio/Dsp.h"

#include <string>
#include <vector>

namespace vorlane::datagen::audio {

inline constexpr int kEffectRate = 22050;

struct Effect {
    std::string name;
    bool looped = false;
    Signal samples; // at kEffectRate
};

// Every effect of the sound archive, in archive order.
std::vector<Effect> SynthesizeEffects();

// The families, each in its own file.
std::vector<Effect> EngineEffects(); // Neutral, Accel1..4, Shift, Slowed, Maxed, Brake, Nitro
std::vector<Effect> WeaponEffects(); // MachineGun, Rocket, Explosion, WeaponAppear, Collision
std::vector<Effect> VoiceEffects();  // Kill, KillW
std::vector<Effect> SignalEffects(); // Button, MenuBegin, Tick, Score, Bonus, Horn

// Final touch for every effect: one-shots get a short fade at both ends and a safe peak;
// loops are brought to a level, limited sample by sample (which keeps the seam) and
// turned to start on a quiet zero crossing found within the first `search` samples.
void FinishOneShot(Signal& s, double rate, double peak);
void FinishLoop(Signal& s, double rmsDb, size_t search = 264);

} // namespace vorlane::datagen::audio
