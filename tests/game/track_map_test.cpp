// The track map: cell access, the rules between map cells and the screen, the tile
// table, and the obstacle test.
#include "sim/Tiles.h"
#include "sim/TrackMap.h"

#include <gtest/gtest.h>

#include <memory>

namespace vorlane {
namespace {

TEST(TrackMapCells, CheckedAccessKeepsInsideTheMap) {
    auto map = std::make_unique<TrackMap>();
    EXPECT_EQ(map->At(1, 1), kTileGround);
    EXPECT_TRUE(map->Set(1, 1, 7));
    EXPECT_TRUE(map->Set(1500, 650, 9));
    EXPECT_TRUE(map->Set(2, 1, 11));
    EXPECT_EQ(map->Data()[0], 7);
    EXPECT_EQ(map->Data()[650], 11); // rows are 650 cells apart
    EXPECT_EQ(map->Data()[kMapRows * kMapCols - 1], 9);
    EXPECT_EQ(map->Cell(1500, 650), 9);

    // Row 0 and column 0 (which the view can show) and everything past the last row
    // and column read as plain ground; writes there change nothing and are counted.
    for (auto [r, c] : {std::pair{0, 1}, {1, 0}, {1501, 1}, {1, 651}, {-5, -5}}) {
        EXPECT_EQ(map->At(r, c), kTileGround) << r << "," << c;
        EXPECT_FALSE(map->Set(r, c, 3));
    }
    EXPECT_EQ(map->RejectedWrites(), 5);
    EXPECT_EQ(map->Data()[0], 7);
    EXPECT_EQ(map->Data()[kMapRows * kMapCols - 1], 9);
    map->ClearRejectedWrites();
    EXPECT_EQ(map->RejectedWrites(), 0);
}

TEST(TrackMapCoordinates, CellsAndScreenPointsMatchBothWays) {
    // Cell (r, c) has its top-left corner at X + (c - MapCol) * 72, Y + (r - MapRow) * 72.
    const TrackView view{318, 1488, -10.0, -30.0};
    EXPECT_DOUBLE_EQ(CellScreenX(view, 321), -10.0 + 3 * 72);
    EXPECT_DOUBLE_EQ(CellScreenY(view, 1490), -30.0 + 2 * 72);
    EXPECT_DOUBLE_EQ(CellScreenX(view, 318), -10.0);
    for (int c = 318; c <= 331; ++c) {
        EXPECT_EQ(MapColumnAt(view, CellScreenX(view, c)), c);
        EXPECT_EQ(MapColumnAt(view, CellScreenX(view, c) + 71), c);
    }
    for (int r = 1488; r <= 1498; ++r)
        EXPECT_EQ(MapRowAt(view, CellScreenY(view, r) + 71.9), r);

    // The background position is rounded to whole pixels, halves to even.
    struct Case {
        double x, bgX;
        int col;
    };
    for (const Case& k :
         {Case{72, 0, 1}, Case{71, 0, 0}, Case{36, -35.5, 1}, Case{35, -35.5, 0}, Case{36, -36.5, 1},
          Case{35, -36.5, 0}, Case{37, -34.5, 0}, Case{38, -34.5, 1}, Case{-1, 0, -1}}) {
        EXPECT_EQ(MapColumnAt(TrackView{0, 0, k.bgX, 0}, k.x), k.col) << "x " << k.x << ", X " << k.bgX;
        EXPECT_EQ(MapRowAt(TrackView{0, 0, 0, k.bgX}, k.x), k.col) << "y " << k.x << ", Y " << k.bgX;
    }
}

TEST(TrackMapCoordinates, WorldPointsFindTheirTile) {
    auto map = std::make_unique<TrackMap>();
    map->Set(1, 1, 5);
    map->Set(2, 650, 6);
    EXPECT_EQ(WorldToCell(72), 1);
    EXPECT_EQ(WorldToCell(71), 0);
    EXPECT_EQ(WorldToCell(-1), -1);
    EXPECT_EQ(map->TileAtWorld(72, 72), 5);
    EXPECT_EQ(map->TileAtWorld(143, 143), 5);
    EXPECT_EQ(map->TileAtWorld(71, 72), kTileGround); // column 0, outside
    EXPECT_EQ(map->TileAtWorld(650 * 72 + 71, 2 * 72), 6);
    EXPECT_EQ(map->TileAtWorld(651 * 72, 2 * 72), kTileGround);
    EXPECT_EQ(map->TileAtWorld(-72, -72), kTileGround);
}

TEST(TrackTiles, RolesFollowTheTileTable) {
    struct Range {
        int first, last;
        TileRole role;
    };
    const Range ranges[] = {
        {0, 0, TileRole::Ground},     {1, 4, TileRole::Lane},       {5, 20, TileRole::ShiftLane},
        {21, 22, TileRole::Median},   {23, 23, TileRole::Verge},    {24, 24, TileRole::SideRoad},
        {25, 25, TileRole::Junction}, {26, 29, TileRole::Corner},   {30, 32, TileRole::Filler},
        {33, 35, TileRole::WideLane}, {36, 38, TileRole::Scenery},  {39, 39, TileRole::Pole},
        {40, 44, TileRole::Wall},     {45, 48, TileRole::Building}, {49, 57, TileRole::Park},
        {58, 58, TileRole::Junction}, {59, 59, TileRole::Pole},     {60, 60, TileRole::Junction},
        {61, 255, TileRole::Ground},
    };
    for (const Range& r : ranges)
        for (int t = r.first; t <= r.last; ++t)
            EXPECT_EQ(RoleOf(t), r.role) << "tile " << t;

    for (int t = -1; t <= 255; ++t) {
        const TileRole role = RoleOf(t);
        const bool road = role == TileRole::Lane || role == TileRole::ShiftLane || role == TileRole::Median ||
                          role == TileRole::WideLane;
        EXPECT_EQ(IsRoadTile(t), road) << "tile " << t;
        const bool solid = role == TileRole::Pole || role == TileRole::Wall;
        EXPECT_EQ(IsObstacleTile(t), solid) << "tile " << t;
        EXPECT_EQ(ObstacleBoxOf(t) != nullptr, solid) << "tile " << t;
    }
}

TEST(TrackObstacles, BoxesSitWhereTheTileShowsTheSolidPart) {
    // Each case: a tile at map cell (10, 10), a world point inside it, whether solid.
    struct Case {
        int tile, x, y;
        bool solid;
    };
    const Case cases[] = {
        {59, 35, 40, true},  {59, 36, 40, false},                      // pole on the left half
        {39, 37, 0, true},   {39, 36, 71, false},                      // pole on the right half
        {40, 10, 58, true},  {40, 10, 57, false},                      // wall along the bottom
        {41, 65, 68, true},  {41, 64, 10, false}, {41, 70, 69, false}, // wall along the right
        {42, 64, 64, true},  {43, 0, 0, true},    {44, 65, 10, false}, {44, 10, 65, false},
        {23, 36, 36, false}, {45, 36, 36, false}, // verge and building interior are not solid
    };
    for (const Case& k : cases) {
        auto map = std::make_unique<TrackMap>();
        map->Set(10, 10, uint8_t(k.tile));
        EXPECT_EQ(ObstacleAtWorld(*map, 720 + k.x, 720 + k.y), k.solid)
            << "tile " << k.tile << " at " << k.x << "," << k.y;
    }
}

TQuad Square(double x, double y, double size) {
    return TQuad{{{{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}}}};
}

TEST(TrackObstacles, TheViewTestFindsTheBoxesUnderTheCarInScanOrder) {
    auto map = std::make_unique<TrackMap>();
    const TrackView view{100, 200, -10, -30};
    // Screen corner of cell (200 + i, 100 + j) is (-10 + 72 j, -30 + 72 i).
    map->Set(205, 105, 39); // corner (350, 330): solid x 387..422
    map->Set(205, 106, 59); // corner (422, 330): solid x 422..457
    map->Set(206, 105, 40); // corner (350, 402): solid y 460..474
    map->Set(200, 101, 42); // row MapRow: outside the test window
    map->Set(201, 100, 42); // column MapCol: outside too
    map->Set(210, 113, 44); // last row and column of the window
    map->Set(204, 104, 23); // not an obstacle

    const std::vector<ObstacleHit> all = ObstaclesInView(*map, view);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].col, 105);
    EXPECT_EQ(all[1].col, 106);
    EXPECT_EQ(all[2].row, 206);
    EXPECT_EQ(all[3].tile, 44);
    EXPECT_DOUBLE_EQ(all[0].box.corners[0].x, 387);
    EXPECT_DOUBLE_EQ(all[0].box.corners[0].y, 330);
    EXPECT_DOUBLE_EQ(all[0].box.corners[2].x, 422);
    EXPECT_DOUBLE_EQ(all[0].box.corners[2].y, 402);
    EXPECT_DOUBLE_EQ(all[3].box.corners[2].x, -10 + 13 * 72 + 64);

    struct Case {
        const char* what;
        TQuad car;
        std::vector<int> tiles;
    };
    const Case cases[] = {
        {"on the empty left half of the right-hand pole", Square(355, 340, 25), {}},
        {"on the right-hand pole", Square(390, 340, 20), {39}},
        {"across both poles", Square(400, 340, 40), {39, 59}},
        {"on the poles and the wall", Square(395, 390, 80), {39, 59, 40}},
        {"far away", Square(0, 0, 30), {}},
    };
    for (const Case& k : cases) {
        const std::vector<ObstacleHit> hits = ObstacleHits(*map, view, k.car);
        std::vector<int> tiles;
        for (const ObstacleHit& h : hits)
            tiles.push_back(h.tile);
        EXPECT_EQ(tiles, k.tiles) << k.what;
    }
}

TEST(TrackObstacles, AViewAtTheMapsEdgeReadsGroundBeyondIt) {
    auto map = std::make_unique<TrackMap>();
    map->Fill(44);
    // MapCol 637 / MapRow 1490 take the window to column 650 and row 1500 exactly.
    EXPECT_EQ(ObstaclesInView(*map, TrackView{kMaxMapCol, kMaxMapRow, 0, 0}).size(),
              size_t(kViewRows * kViewCols));
    // Past the map nothing is solid.
    EXPECT_EQ(ObstaclesInView(*map, TrackView{kMaxMapCol + 1, kMaxMapRow + 1, 0, 0}).size(),
              size_t((kViewRows - 1) * (kViewCols - 1)));
}

} // namespace
} // namespace vorlane
