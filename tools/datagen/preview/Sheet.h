#pragma once
// Contact sheets: every image of an image archive on one picture, with its name, its
// pattern grid and its size, to look the generated art over at a glance.
#include "engine/Images.h"
#include "engine/Types.h"

#include <string>

namespace vorlane::datagen {

// The sheet of every item of a loaded collection.
RgbaImage DrawContactSheet(TImageCollection& images, const std::string& title);

// Reads the archive file and writes its sheet as a PNG file.
void WriteContactSheet(const std::string& archivePath, const std::string& pngPath);

} // namespace vorlane::datagen
