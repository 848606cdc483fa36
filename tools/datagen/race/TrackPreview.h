#pragma once
// The track preview: the race screen as the player would see it on a track the game's
// own generator lays for a seed and a level, built from the race pictures: the tiles,
// lamps, bonuses, opponent cars, pedestrians, the player's car with its weapon, and the
// panel with the head-up display's texts, needle, marker and gauge.
#include "engine/Types.h"

#include <cstdint>
#include <string>

namespace vorlane::datagen::race {

// The 800 x 600 screen. The view shows one of the stretches of the level's road with
// the most varied tiles (the seed picks which), so that a few seeds cover shifts,
// splits, medians, widenings and what lines them.
RgbaImage RenderTrackPreview(uint32_t seed, int level);

void WriteTrackPreview(uint32_t seed, int level, const std::string& pngPath);

} // namespace vorlane::datagen::race
