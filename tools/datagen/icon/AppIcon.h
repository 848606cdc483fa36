#pragma once
// The game's icon for the desktop (menus, launchers, window lists): the red player
// car seen from above on a stretch of night road, in a rounded square. Drawn afresh
// at every size, so that the small ones are as sharp as the large.
#include "engine/Types.h"

#include <array>
#include <string>

namespace vorlane::datagen {

// The sizes of the desktop's hicolor icon theme the install provides.
inline constexpr std::array<int, 8> kAppIconSizes = {16, 24, 32, 48, 64, 128, 256, 512};

// The icon as a size x size picture with a transparent surround.
RgbaImage DrawAppIcon(int size);

// Where the icon of the given size goes below the generator's output folder:
// "Data/Icons/hicolor/<size>x<size>/apps/<application id>.png".
std::string AppIconPath(int size);

} // namespace vorlane::datagen
