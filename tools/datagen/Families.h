#pragma once
// The families of game data the generator makes. Each family is one entry point; main.cpp
// turns each into one file under Data/.
#include "engine/ArchiveWriter.h"

#include <cstdint>
#include <vector>

namespace vorlane::datagen {

// Image list 1 (Data/Res/Res1.gfx): menus and dialogs.
std::vector<ImageRecord> BuildMenuImages();

// Image list 2 (Data/Res/Res2.gfx): the race.
std::vector<ImageRecord> BuildRaceImages();

// Data/Res/Sounds.sfx: the sound effects.
std::vector<SoundRecord> BuildSounds();

// Data/Music/Menu.xm and Data/Music/Race.xm: whole XM modules.
std::vector<uint8_t> BuildMenuSong();
std::vector<uint8_t> BuildRaceSong();

} // namespace vorlane::datagen
