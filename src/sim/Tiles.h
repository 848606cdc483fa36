#pragma once
// The track's tile table. A track cell holds a tile number, which is also the pattern
// number in the "Tiles" picture (72 x 72 pixels each). This table says what each
// number is to the game: road or not, scenery, and the solid box of the poles and
// building walls the player car bounces off.
#include <cstdint>

namespace vorlane {

// Patterns 0..60 of "Tiles".
constexpr int kTileCount = 61;

// Tile numbers the generator and the race refer to by name.
constexpr uint8_t kTileGround = 0;     // plain ground, every cell nothing else was put in
constexpr uint8_t kTileVerge = 23;     // verge beside a road (and the sides of a block)
constexpr uint8_t kTileSideRoad = 24;  // side-road band
constexpr uint8_t kTileJunction = 25;  // side-road junction at the verge
constexpr uint8_t kTilePoleRight = 39; // pole on the right half of its tile
constexpr uint8_t kTilePoleLeft = 59;  // pole on the left half of its tile

// What a tile is. Road roles are the ones the player car can drive on.
enum class TileRole : uint8_t {
    Ground,    // 0 and every number outside the table
    Lane,      // 1-4: the four lanes of a straight road, left to right
    ShiftLane, // 5-20: the two rows of a lane shift to the right (5-12) or left (13-20)
    Median,    // 21, 22: median pair between lanes 2 and 3 of a six-wide road
    WideLane,  // 33-35: inner lanes of a five-wide widening
    Verge,     // 23
    SideRoad,  // 24: side-road band
    Junction,  // 25, 58, 60: side road meeting the verge
    Corner,    // 26-29: verge and block corners
    Filler,    // 30-32: filler ground (32 also stands between a pole pair)
    Scenery,   // 36-38: end cap of a side-road band and small scenery
    Pole,      // 39, 59: solid pole
    Wall,      // 40-44: solid building wall
    Building,  // 45-48: building interior (also a scenery block)
    Park,      // 49-57: 3 x 3 park
};

TileRole RoleOf(int tile);
const char* TileRoleName(TileRole role);

// Road for the player car: tiles 1 to 22 and 33 to 35.
constexpr bool IsRoadTile(int tile) {
    return (tile >= 1 && tile <= 22) || (tile >= 33 && tile <= 35);
}

// The solid part of a pole or wall tile, in pixels relative to the tile's top-left
// corner (x to the right, y down), both ranges inclusive.
struct ObstacleBox {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Tiles 39, 40, 41, 42, 43, 44 and 59 are obstacles.
constexpr bool IsObstacleTile(int tile) {
    return (tile >= 39 && tile <= 44) || tile == 59;
}

// The obstacle box of a tile; nullptr for a tile that is not an obstacle.
const ObstacleBox* ObstacleBoxOf(int tile);

} // namespace vorlane
