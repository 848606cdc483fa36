#include "sim/Tiles.h"

#include <array>
#include <cstddef>

namespace vorlane {

namespace {

constexpr std::array<TileRole, kTileCount> MakeRoles() {
    std::array<TileRole, kTileCount> r{};
    for (auto& role : r)
        role = TileRole::Ground;
    for (int t = 1; t <= 4; ++t)
        r[t] = TileRole::Lane;
    for (int t = 5; t <= 20; ++t)
        r[t] = TileRole::ShiftLane;
    r[21] = r[22] = TileRole::Median;
    r[23] = TileRole::Verge;
    r[24] = TileRole::SideRoad;
    r[25] = r[58] = r[60] = TileRole::Junction;
    for (int t = 26; t <= 29; ++t)
        r[t] = TileRole::Corner;
    for (int t = 30; t <= 32; ++t)
        r[t] = TileRole::Filler;
    for (int t = 33; t <= 35; ++t)
        r[t] = TileRole::WideLane;
    for (int t = 36; t <= 38; ++t)
        r[t] = TileRole::Scenery;
    r[39] = r[59] = TileRole::Pole;
    for (int t = 40; t <= 44; ++t)
        r[t] = TileRole::Wall;
    for (int t = 45; t <= 48; ++t)
        r[t] = TileRole::Building;
    for (int t = 49; t <= 57; ++t)
        r[t] = TileRole::Park;
    return r;
}

constexpr std::array<TileRole, kTileCount> kRoles = MakeRoles();

// Solid boxes: the pole stands on one half of its tile; a top wall runs along the
// bottom of its tile, a left wall along the right; the other walls fill the tile but
// for an 8-pixel gap on the right and bottom.
constexpr ObstacleBox kPoleLeftBox{0, 0, 35, 72};
constexpr ObstacleBox kPoleRightBox{37, 0, 72, 72};
constexpr ObstacleBox kWallBottomBox{0, 58, 72, 72};
constexpr ObstacleBox kWallRightBox{65, 0, 72, 68};
constexpr ObstacleBox kWallBlockBox{0, 0, 64, 64};

} // namespace

TileRole RoleOf(int tile) {
    if (tile < 0 || tile >= kTileCount) return TileRole::Ground;
    return kRoles[size_t(tile)];
}

const char* TileRoleName(TileRole role) {
    switch (role) {
    case TileRole::Ground:
        return "ground";
    case TileRole::Lane:
        return "lane";
    case TileRole::ShiftLane:
        return "shift lane";
    case TileRole::Median:
        return "median";
    case TileRole::WideLane:
        return "wide lane";
    case TileRole::Verge:
        return "verge";
    case TileRole::SideRoad:
        return "side road";
    case TileRole::Junction:
        return "junction";
    case TileRole::Corner:
        return "corner";
    case TileRole::Filler:
        return "filler";
    case TileRole::Scenery:
        return "scenery";
    case TileRole::Pole:
        return "pole";
    case TileRole::Wall:
        return "wall";
    case TileRole::Building:
        return "building";
    case TileRole::Park:
        return "park";
    }
    return "ground";
}

const ObstacleBox* ObstacleBoxOf(int tile) {
    switch (tile) {
    case 59:
        return &kPoleLeftBox;
    case 39:
        return &kPoleRightBox;
    case 40:
        return &kWallBottomBox;
    case 41:
        return &kWallRightBox;
    case 42:
    case 43:
    case 44:
        return &kWallBlockBox;
    default:
        return nullptr;
    }
}

} // namespace vorlane
