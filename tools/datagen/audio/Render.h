#pragma once
// Listening to the generated audio outside the game: every effect as a WAV file, a
// drive through the engine sounds switched the way the race switches them, and each
// song played through the module player, with a short text report of lengths, levels
// and loop points.
#include "datagen/audio/Effects.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorlane::datagen::audio {

// A song played through libxmp.
struct SongPlayback {
    int channels = 0, instruments = 0, orders = 0, restart = 0;
    int patterns = 0;            // as the player counts them (one spare empty pattern included)
    double loopSeconds = -1.0;   // when the song first returned to its restart position
    std::vector<int16_t> stereo; // interleaved left/right
    int rate = 44100;
};

// Loads the module and plays `seconds` of it (and on, until it has looped, when
// untilLoop is set and the loop comes within maxSeconds). Throws std::runtime_error when
// the module does not load or play.
SongPlayback PlaySong(const std::vector<uint8_t>& module, double seconds, int rate, bool untilLoop = false,
                      double maxSeconds = 600.0);

// The engine sounds strung together as the race's engine-sound state machine switches
// them while the car pulls away, runs through the gears to top speed, coasts and stops:
// each switch stops one loop dead and starts the next from its beginning.
Signal EngineDrive(const std::vector<Effect>& effects);

// The --render-audio tool: writes DIR/<effect>.wav, DIR/EngineDrive.wav, DIR/Menu.wav,
// DIR/Race.wav (two minutes each) and DIR/report.txt.
void RenderAudio(const std::string& dir);

} // namespace vorlane::datagen::audio
