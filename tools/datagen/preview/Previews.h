#pragma once
// Screen previews: each menu screen and dialog assembled from the generated pictures at
// the places the game puts them, with the texts the game draws over them.
#include <string>

namespace vorlane::datagen {

// Writes one PNG per screen into dir. Image list 1 is generated afresh and read back
// through the game's archive reader; the race pictures shown on the help page come from
// raceArchive when that file exists (otherwise their places are marked).
void WriteScreenPreviews(const std::string& dir, const std::string& raceArchive = "Data/Res/Res2.gfx");

} // namespace vorlane::datagen
