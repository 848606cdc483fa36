// Laying the opponent cars of a level on generated tracks: rows, lanes, directions and
// the random kind.
#include "cars_fixture.h"

#include "engine/Random.h"
#include "sim/Tiles.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

namespace vorlane {
namespace {

using test::CarsFixture;

// The first column from the left holding tile in the row, 0 when none.
int FirstFromLeft(const TrackMap& map, int row, int tile) {
    for (int c = 1; c <= TrackMap::Cols; ++c)
        if (map.At(row, c) == tile) return c;
    return 0;
}
int FirstFromRight(const TrackMap& map, int row, int tile) {
    for (int c = TrackMap::Cols; c >= 1; --c)
        if (map.At(row, c) == tile) return c;
    return 0;
}

// Checks every laid car of the level against the rules of laying and answers how many
// went down and up.
std::array<int, 2> CheckLaidCars(CarsFixture& f, int level) {
    const TCar& cars = *f.Race().Cars;
    const TrackMap& map = f.Race().Map;
    const int carCount = f.Race().CarCount;
    const int topRow = 1536 - f.Race().TrackLength;
    const int half = carCount / 2;
    std::set<int> rows;
    std::array<int, 2> counts{0, 0};
    for (int i = 1; i <= kMaxCars; ++i) {
        const size_t s = size_t(i);
        SCOPED_TRACE("level " + std::to_string(level) + " slot " + std::to_string(i));
        if (cars.CarDir[s] == kCarRemoved) {
            EXPECT_EQ(cars.CarKind[s], 0);
            continue;
        }
        EXPECT_LE(i, carCount);
        const int kind = cars.CarKind[s];
        EXPECT_GE(kind, 1);
        EXPECT_LE(kind, 5);
        const int row = int(cars.CarY[s]) / kTileSize;
        EXPECT_EQ(cars.CarY[s], row * 72.0);
        EXPECT_EQ(row % 4, 0);
        EXPECT_GE(row, topRow);
        EXPECT_LE(row, 1489);
        EXPECT_TRUE(rows.insert(row).second) << "row " << row << " shared";
        EXPECT_EQ(cars.CarVisible[s], 1);
        EXPECT_EQ(cars.CarExploding[s], 0);
        EXPECT_EQ(cars.CarTouching[s], 0);
        const TCarKindInfo& info = CarKindInfo(kind);
        if (i <= half) {
            // Down the second lane of the left-most road.
            EXPECT_EQ(cars.CarDir[s], kCarDown);
            EXPECT_EQ(cars.CarSpeed[s], -5);
            const int lane1 = FirstFromLeft(map, row, 1);
            EXPECT_NE(lane1, 0);
            EXPECT_EQ(cars.CarX[s], (lane1 + 1) * 72.0 + info.XOffsetDown);
            // Lane 2, or an inner lane where the road widens.
            EXPECT_TRUE(IsRoadTile(map.At(row, lane1 + 1))) << int(map.At(row, lane1 + 1));
            ++counts[0];
        } else {
            // Up the third lane of the right-most road.
            EXPECT_EQ(cars.CarDir[s], kCarUp);
            EXPECT_EQ(cars.CarSpeed[s], 6);
            const int lane4 = FirstFromRight(map, row, 4);
            EXPECT_NE(lane4, 0);
            EXPECT_EQ(cars.CarX[s], (lane4 - 1) * 72.0 + info.XOffsetUp);
            EXPECT_TRUE(IsRoadTile(map.At(row, lane4 - 1))) << int(map.At(row, lane4 - 1));
            ++counts[1];
        }
    }
    return counts;
}

TEST(CarsLaying, LevelOneHasFiveCarsEachWayOnRowsOfTheirOwn) {
    int fullLevels = 0;
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
        CarsFixture f(seed);
        f.StartLevel(1);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const auto counts = CheckLaidCars(f, 1);
        EXPECT_LE(counts[0], 5);
        EXPECT_LE(counts[1], 5);
        // A row that lies in a lane shift has no plain lane: its slot stays empty.
        if (counts[0] == 5 && counts[1] == 5) ++fullLevels;
    }
    EXPECT_GE(fullLevels, 3);
}

TEST(CarsLaying, EveryLevelSizeKeepsItsRulesUpToTwoHundredCars) {
    CarsFixture f(7);
    for (int level : {2, 4, 5, 9}) {
        TCar& cars = f.StartLevel(level);
        const auto counts = CheckLaidCars(f, level);
        // Most rows are plain road (about a fifth lie in lane shifts): most slots are filled.
        EXPECT_GE(counts[0] + counts[1], f.Race().CarCount * 7 / 10) << "level " << level;
        // Entry columns: lane 1 at the top of the road, lane 4 near the start.
        const int topRow = 1536 - f.Race().TrackLength;
        EXPECT_EQ(cars.TopEntryCol, FirstFromLeft(f.Race().Map, topRow, 1));
        EXPECT_EQ(cars.BottomEntryCol, FirstFromRight(f.Race().Map, 1495, 4));
        EXPECT_NE(cars.TopEntryCol, 0);
        EXPECT_NE(cars.BottomEntryCol, 0);
        cars.KillOnce();
    }
}

TEST(CarsLaying, LayingAgainClearsTheSlotsOfTheLevelBefore) {
    CarsFixture f(3);
    TCar& cars = f.StartLevel(5);
    cars.DestroyCar(1);
    cars.CarExplosionTime[1] = 7;
    cars.CarTouching[2] = 1;
    // Back to a level with ten cars: slots 11..200 must be empty again.
    const LevelParams p = LevelParameters(1);
    f.Race().TrackLength = p.TrackLength;
    f.Race().CarCount = p.CarCount;
    BuildTrack(f.Race().Map, f.Form().Random, p.TrackLength);
    cars.LayCars();
    CheckLaidCars(f, 1);
    EXPECT_EQ(cars.CarExplosionTime[1], 0);
    for (int i = 11; i <= kMaxCars; ++i)
        EXPECT_EQ(cars.CarDir[size_t(i)], 0) << i;
}

TEST(CarsLaying, AShortRoadWithFewRowsFillsWhatItCanAndStops) {
    // Ten cars but a single row (1488) that is a multiple of 4 between the top of the road
    // and row 1490: one car is laid and the laying does not search for ever.
    CarsFixture f;
    TCar& cars = f.StartLevel(1, false);
    TrackMap& map = f.Race().Map;
    for (int c = 0; c < 4; ++c)
        map.Set(1488, 300 + c, uint8_t(1 + c));
    f.Race().TrackLength = 50;
    cars.LayCars();
    EXPECT_EQ(cars.CarDir[1], kCarDown);
    EXPECT_EQ(cars.CarY[1], 1488 * 72.0);
    EXPECT_EQ(cars.CarX[1], 301 * 72.0 + CarKindInfo(cars.CarKind[1]).XOffsetDown);
    for (int i = 2; i <= kMaxCars; ++i)
        EXPECT_EQ(cars.CarDir[size_t(i)], kCarRemoved) << i;
    // No lane 1 at the top of this road and no lane 4 in row 1495: no way back in.
    EXPECT_EQ(cars.TopEntryCol, 0);
    EXPECT_EQ(cars.BottomEntryCol, 0);
    cars.CarY[1] = kCarBottomY + 1;
    cars.MoveStep(15);
    EXPECT_EQ(cars.CarDir[1], kCarRemoved);
}

TEST(CarsLaying, RandomKindFollowsItsShares) {
    TRandom random(12345);
    std::array<int, 6> seen{};
    const int draws = 100000;
    for (int k = 0; k < draws; ++k)
        ++seen[size_t(RandomCarKind(random))];
    EXPECT_EQ(seen[0], 0);
    const std::array<double, 6> share{0, 0.2, 0.2, 0.3, 0.2, 0.1};
    for (int kind = 1; kind <= 5; ++kind)
        EXPECT_NEAR(seen[size_t(kind)] / double(draws), share[size_t(kind)], 0.01) << "kind " << kind;
}

TEST(CarsLaying, KindTablesAndHitShapes) {
    // Image, lane offsets and centre of each kind.
    struct Row {
        const char* image;
        int down, up, cx, cy;
    };
    const std::array<Row, 5> rows{{{"Car7", -14, -14, 49, 67},
                                   {"Car8", -24, -24, 60, 85},
                                   {"Car9", 4, 36, 17, 29},
                                   {"Car10", -18, -6, 46, 76},
                                   {"Car11", -55, -40, 84, 120}}};
    for (int kind = 1; kind <= 5; ++kind) {
        const TCarKindInfo& info = CarKindInfo(kind);
        const Row& r = rows[size_t(kind - 1)];
        EXPECT_STREQ(info.ImageName, r.image);
        EXPECT_EQ(info.XOffsetDown, r.down);
        EXPECT_EQ(info.XOffsetUp, r.up);
        EXPECT_EQ(info.CenterX, r.cx);
        EXPECT_EQ(info.CenterY, r.cy);
    }
    // A few corners, in the order they are listed, moved to the car's position.
    const TQuad sedanUp = CarHitShape(1, 3, 100, 1000);
    EXPECT_EQ(sedanUp.corners[0].x, 128);
    EXPECT_EQ(sedanUp.corners[0].y, 1002);
    EXPECT_EQ(sedanUp.corners[2].x, 127);
    EXPECT_EQ(sedanUp.corners[3].y, 1130);
    const TQuad vanDownRight = CarHitShape(4, 6, 0, 0);
    EXPECT_EQ(vanDownRight.corners[3].x, -1);
    EXPECT_EQ(vanDownRight.corners[3].y, 22);
    const TQuad truckDownLeft = CarHitShape(5, 5, 10, 20);
    EXPECT_EQ(truckDownLeft.corners[0].x, 72);
    EXPECT_EQ(truckDownLeft.corners[0].y, 252);
    EXPECT_EQ(truckDownLeft.corners[1].x, 10);
    // Every shape lies within its kind's picture (twice the centre), one pixel of slack.
    for (int kind = 1; kind <= 5; ++kind) {
        const TCarKindInfo& info = CarKindInfo(kind);
        for (int dir = 1; dir <= 6; ++dir) {
            for (const TPointD& p : CarHitShape(kind, dir, 0, 0).corners) {
                EXPECT_GE(p.x, -1) << kind << "/" << dir;
                EXPECT_LE(p.x, 2 * info.CenterX) << kind << "/" << dir;
                EXPECT_GE(p.y, 0) << kind << "/" << dir;
                EXPECT_LE(p.y, 2 * info.CenterY) << kind << "/" << dir;
            }
        }
    }
}

} // namespace
} // namespace vorlane
