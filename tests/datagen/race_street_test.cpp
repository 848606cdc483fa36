// The solid things of the street stand where the race tests them: lamp poles at their
// pole points, and the walls and pillars of the obstacle tiles inside their boxes.
#include "datagen/race/TileSet.h"
#include "race_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace vorlane::datagen {
namespace {

// The race's lamp table: tile, picture, picture's x offset on the tile, pole point
// relative to the tile's top-left corner (the picture's top is the tile's top).
struct LampPlace {
    int tile;
    const char* image;
    int offsetX, poleX, poleY;
};
const LampPlace kLamps[10] = {
    {1, "Lamp_L", 12, 12, 9},    {4, "Lamp_R", -28, 56, 9},    {5, "Lamp_RL", 42, 43, 1},
    {8, "Lamp_RR", 0, 73, 41},   {9, "Lamp_RL", 8, 9, 1},      {12, "Lamp_RR", -36, 37, 41},
    {13, "Lamp_LR", -48, 26, 1}, {16, "Lamp_LL", -11, -8, 41}, {17, "Lamp_LR", -12, 62, 1},
    {20, "Lamp_LL", 30, 31, 40},
};

bool Pole(uint32_t p) {
    // Opaque grey metal.
    using namespace test;
    const int r = Red(p), g = Green(p), b = Blue(p);
    return Alpha(p) > 200 && std::max({r, g, b}) - std::min({r, g, b}) < 40 && std::max({r, g, b}) < 235;
}

TEST(RaceStreet, LampPolesStandOnTheirPolePoints) {
    for (const LampPlace& lamp : kLamps) {
        SCOPED_TRACE(std::string(lamp.image) + " on tile " + std::to_string(lamp.tile));
        const RgbaImage& picture = test::RaceImages().FindImage(lamp.image).Picture;
        // The point in the picture: the car hits the pole where it is drawn.
        const int x = lamp.poleX - lamp.offsetX, y = lamp.poleY;
        ASSERT_TRUE(x >= 0 && y >= 0 && x < picture.width && y < picture.height) << "at " << x << "," << y;
        EXPECT_TRUE(Pole(picture.At(x, y))) << "at " << x << "," << y << ": " << std::hex << picture.At(x, y);
        // A pole, not a single pixel: its neighbours inside the picture are pole too.
        int around = 0, poles = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) continue;
                ++around;
                poles += Pole(picture.At(px, py));
            }
        EXPECT_EQ(poles, around);
    }
}

// The race's obstacle boxes, inclusive pixel ranges relative to the tile.
struct Box {
    int tile, left, top, right, bottom;
};
const Box kBoxes[7] = {{59, 0, 0, 35, 72}, {39, 37, 0, 72, 72}, {40, 0, 58, 72, 72}, {41, 65, 0, 72, 68},
                       {42, 0, 0, 64, 64}, {43, 0, 0, 64, 64},  {44, 0, 0, 64, 64}};

TEST(RaceStreet, WallsAndPolesFillTheirObstacleBoxes) {
    const TImageItem& tiles = test::RaceImages().FindImage("Tiles");
    const RgbaImage ground = test::PatternOf(tiles, 0);
    for (const Box& box : kBoxes) {
        SCOPED_TRACE("tile " + std::to_string(box.tile));
        const RgbaImage solid = race::DrawObstacleSolids(box.tile);
        const RgbaImage tile = test::PatternOf(tiles, box.tile);
        int inBox = 0, solidInBox = 0, solidOutside = 0;
        double contrast = 0;
        for (int y = 0; y < 72; ++y)
            for (int x = 0; x < 72; ++x) {
                const bool in = x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
                const bool isSolid = test::Red(solid.At(x, y)) > 127;
                inBox += in;
                solidInBox += in && isSolid;
                solidOutside += !in && isSolid;
                if (isSolid) {
                    const uint32_t a = tile.At(x, y), b = ground.At(x, y);
                    contrast +=
                        (std::abs(test::Red(a) - test::Red(b)) + std::abs(test::Green(a) - test::Green(b)) +
                         std::abs(test::Blue(a) - test::Blue(b))) /
                        3.0;
                }
            }
        EXPECT_EQ(solidOutside, 0) << "solid pixels outside the box";
        EXPECT_GE(double(solidInBox) / inBox, 0.6)
            << solidInBox << " of " << inBox << " box pixels are solid";
        // The solid part is drawn: it stands out from the plain ground tile.
        ASSERT_GT(solidInBox, 0);
        EXPECT_GT(contrast / solidInBox, 50) << "the solid part looks like ground";
    }
}

} // namespace
} // namespace vorlane::datagen
