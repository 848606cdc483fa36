#pragma once
// Where the race draws its pictures and how the game tests them against the player car:
// the numbers the race pictures are drawn to fit (opponent hit shapes, car half sizes,
// lamp poles, obstacle boxes, the panel's text points), and the cross-section of the
// road that every road tile is cut from.
#include "sim/CarShapes.h"

#include <array>
#include <cstddef>

namespace vorlane::datagen::race {

constexpr int kTile = 72;

// Half width and half height of the car pictures Car1..Car11 (index 0 = Car1).
constexpr std::array<int, 11> kCarHalfWidth = {32, 31, 41, 31, 34, 32, 49, 60, 17, 46, 84};
constexpr std::array<int, 11> kCarHalfHeight = {78, 74, 78, 67, 77, 72, 67, 85, 29, 76, 120};

struct Pt {
    double x, y;
};
using Quad = std::array<Pt, 4>;

// Hit quadrilaterals of the opponent kinds 1..5 (Car7..Car11) for directions 1..6
// (pattern = direction - 1), corners in the order the race hands them to its tests.
// Index [kind - 1][direction - 1].
inline const std::array<std::array<Quad, 6>, 5>& OpponentQuads() {
    static const std::array<std::array<Quad, 6>, 5> q = [] {
        std::array<std::array<Quad, 6>, 5> out{};
        for (std::size_t k = 0; k < out.size(); ++k)
            for (std::size_t d = 0; d < 6; ++d)
                for (std::size_t c = 0; c < 4; ++c)
                    out[k][d][c] = {double(kCarHitShapes[k][d][c].x), double(kCarHitShapes[k][d][c].y)};
        return out;
    }();
    return q;
}

// Heading of each opponent direction, in degrees clockwise from straight up.
constexpr std::array<double, 6> kDirectionDegrees = {-26.7, 26.7, 0, 180, 206.7, 153.3};

// Street lamps: the picture, where it stands relative to the tile it belongs to, and
// the pole point the game tests against the car (relative to the tile's top-left).
struct LampPlace {
    int tile;
    const char* image;
    int imageOffsetX;
    int poleX, poleY;
};
constexpr std::array<LampPlace, 10> kLampPlaces = {{
    {1, "Lamp_L", 12, 12, 9},
    {4, "Lamp_R", -28, 56, 9},
    {5, "Lamp_RL", 42, 43, 1},
    {8, "Lamp_RR", 0, 73, 41},
    {9, "Lamp_RL", 8, 9, 1},
    {12, "Lamp_RR", -36, 37, 41},
    {13, "Lamp_LR", -48, 26, 1},
    {16, "Lamp_LL", -11, -8, 41},
    {17, "Lamp_LR", -12, 62, 1},
    {20, "Lamp_LL", 30, 31, 40},
}};

// Obstacle boxes of the pole and wall tiles, inclusive pixel ranges.
struct Box {
    int tile;
    int left, top, right, bottom;
};
constexpr std::array<Box, 7> kObstacleBoxes = {{
    {59, 0, 0, 35, 72},
    {39, 37, 0, 72, 72},
    {40, 0, 58, 72, 72},
    {41, 65, 0, 72, 68},
    {42, 0, 0, 64, 64},
    {43, 0, 0, 64, 64},
    {44, 0, 0, 64, 64},
}};

// The road's cross-section, x in pixels across the four lane tiles of a straight road
// (0..288, lane 1 in 0..72). The kerbs stand a half tile in from the outer tile edges:
// at the middle of a lane shift the road lies exactly within the three tile columns
// that both of its rows share, so the shift is one clean diagonal of constant width
// that never reaches into the verge tiles beside it.
namespace road {
constexpr double kKerbOuterL = 36, kKerbInnerL = 40;   // left kerb stones
constexpr double kKerbInnerR = 248, kKerbOuterR = 252; // right kerb stones
constexpr double kEdgeLineL0 = 43, kEdgeLineL1 = 46;   // solid edge lines
constexpr double kEdgeLineR0 = 242, kEdgeLineR1 = 245;
constexpr double kDashL0 = 83, kDashL1 = 86;       // lane 1 | 2
constexpr double kDashR0 = 202, kDashR1 = 205;     // lane 3 | 4
constexpr double kCentreL0 = 139, kCentreL1 = 142; // the double centre line
constexpr double kCentreR0 = 146, kCentreR1 = 149;
constexpr double kWidth = 288;
// Dashes run along world y: dash where (y mod 36) is in [9, 27), so every tile edge
// falls in a gap.
constexpr double kDashPeriod = 36, kDashStart = 9, kDashEnd = 27;
} // namespace road

// Footpaths of the verges and side roads: the vertical path of a verge (tile 23 and the
// corners) crosses the top and bottom tile edges in x 27..45; the side-road band
// (tile 24) crosses the left and right edges in y 21..51.
namespace path {
constexpr double kVergeX0 = 27, kVergeX1 = 45;
constexpr double kBandY0 = 21, kBandY1 = 51;
} // namespace path

// The head-up display: the panel sprite sits at (610, 0); these are screen points.
namespace hud {
constexpr int kPanelX = 610;
constexpr int kLevelTextX = 690, kLevelTextY = 28;
constexpr int kTimeTextX = 705, kTimeTextY = 117;
constexpr int kScoreTextX = 692, kScoreTextY = 202;
constexpr int kProgressX = 773, kProgressTop = 15, kProgressBottom = 216;
constexpr int kWeaponIconX = 627, kWeaponIconY = 251;
constexpr int kAmmoTextX = 763, kAmmoTextY = 272;
constexpr int kLivesTextX = 775, kLivesTextY = 327;
constexpr int kNitroIconX = 628, kNitroIconY = 363;
constexpr int kNitroTextX = 760, kNitroTextY = 384;
constexpr int kNeedleX = 641, kNeedleY = 509; // the needle picture's anchor
constexpr int kEnergyX = 672, kEnergyY = 558;
} // namespace hud

} // namespace vorlane::datagen::race
