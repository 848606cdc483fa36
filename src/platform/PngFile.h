#pragma once
// Pictures as PNG files (screenshots of the headless player, the demo's frames).
#include "engine/Types.h"

#include <optional>
#include <string>

namespace vorlane {

// Writes 8-bit RGBA; creates missing folders. False when the file cannot be written.
bool SavePng(const RgbaImage& image, const std::string& path);
// Any PNG, as 0xAARRGGBB; nothing when it cannot be read.
std::optional<RgbaImage> LoadPng(const std::string& path);

} // namespace vorlane
