// The track generator: the road templates on small pieces of road, then whole tracks
// over many seeds and every level's length.
#include "sim/LevelTable.h"
#include "sim/Tiles.h"
#include "sim/TrackGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace vorlane {
namespace {

using trackgen::RoadBuilder;

// The road tiles of a row as a string "col:tile col:tile ...", for readable failures.
std::string RoadRow(const TrackMap& map, int row) {
    std::string s;
    for (int c = 1; c <= kMapCols; ++c) {
        const uint8_t t = map.At(row, c);
        if (t == kEmptyCell || !IsRoadTile(t)) continue;
        if (!s.empty()) s += ' ';
        s += std::to_string(c) + ':' + std::to_string(t);
    }
    return s;
}

std::string Lanes(int col, std::vector<int> tiles) {
    std::string s;
    for (int t : tiles) {
        if (!s.empty()) s += ' ';
        s += std::to_string(col++) + ':' + std::to_string(t);
    }
    return s;
}

// A map with nothing laid yet but a straight four-lane row at `row` from `col`.
std::unique_ptr<TrackMap> EmptyMapWithRoad(int row, int col) {
    auto map = std::make_unique<TrackMap>();
    map->Fill(kEmptyCell);
    for (int lane = 1; lane <= 4; ++lane)
        map->Set(row, col + lane - 1, uint8_t(lane));
    return map;
}

// Grows `rows` rows of road with one segment kind, the way the road pass does.
int Grow(RoadBuilder& road, int row, int rows) {
    for (int n = 0; n < rows; ++n) {
        row = road.GrowRow(row);
        road.EndRow();
        --row;
    }
    return row;
}

TEST(TrackRoadTemplates, LaneShiftsMoveOneColumnPerTwoRowsAndStraightenAgain) {
    struct Case {
        int kind, rows, lower0, upper0, endCol;
    };
    // A shift's lower row stays in its column, the upper row sits one column over; a
    // straight afterwards restores lanes 1-4 in the new column.
    for (const Case& k :
         {Case{trackgen::kShiftLeft, 2, 16, 20, 99}, Case{trackgen::kShiftRight, 2, 5, 9, 101},
          Case{trackgen::kShiftLeft, 1, 16, 0, 99}, Case{trackgen::kShiftLeft, 6, 16, 20, 97},
          Case{trackgen::kShiftRight, 5, 5, 9, 103}}) {
        SCOPED_TRACE("kind " + std::to_string(k.kind) + ", " + std::to_string(k.rows) + " rows");
        auto map = EmptyMapWithRoad(1000, 100);
        TRandom rng(1);
        RoadBuilder road(*map, rng);
        road.SetSegment(k.kind);
        int row = Grow(road, 1000, k.rows);
        const bool left = k.kind == trackgen::kShiftLeft;
        EXPECT_EQ(RoadRow(*map, 999), left ? Lanes(100, {16, 15, 14, 13}) : Lanes(100, {5, 6, 7, 8}));
        if (k.rows >= 2) {
            EXPECT_EQ(RoadRow(*map, 998), left ? Lanes(99, {20, 19, 18, 17}) : Lanes(101, {9, 10, 11, 12}));
        }
        road.SetSegment(trackgen::kStraight);
        row = Grow(road, row, 3);
        EXPECT_EQ(RoadRow(*map, row + 1), Lanes(k.endCol, {1, 2, 3, 4}));
        EXPECT_EQ(map->RejectedWrites(), 0);
    }
}

TEST(TrackRoadTemplates, SplitAndMergeLayTheirRowsAndReturnToTheStartColumn) {
    auto map = EmptyMapWithRoad(1000, 100);
    TRandom rng(1);
    RoadBuilder road(*map, rng);
    road.SetSegment(trackgen::kSplit);
    EXPECT_EQ(road.GrowRow(1000), 996); // a five-row template moves the scan up four rows
    EXPECT_EQ(RoadRow(*map, 999), Lanes(100, {16, 15, 7, 8}));
    EXPECT_EQ(RoadRow(*map, 998), Lanes(99, {20, 19, 18, 10, 11, 12}));
    EXPECT_EQ(RoadRow(*map, 997), Lanes(99, {16, 15, 14, 6, 7, 8}));
    EXPECT_EQ(RoadRow(*map, 996), Lanes(98, {20, 19, 18, 17, 9, 10, 11, 12}));
    EXPECT_EQ(RoadRow(*map, 995), Lanes(98, {1, 2, 3, 4, 1, 2, 3, 4}));

    // Two roads run on side by side, one copy of the pair per row.
    EXPECT_EQ(road.GrowRow(995), 995);
    EXPECT_EQ(RoadRow(*map, 994), Lanes(98, {1, 2, 3, 4, 1, 2, 3, 4}));

    road.SetSegment(trackgen::kMerge);
    EXPECT_EQ(road.GrowRow(994), 990);
    EXPECT_EQ(RoadRow(*map, 993), Lanes(98, {5, 6, 7, 8, 16, 15, 14, 13}));
    EXPECT_EQ(RoadRow(*map, 992), Lanes(99, {9, 10, 11, 19, 18, 17}));
    EXPECT_EQ(RoadRow(*map, 991), Lanes(99, {5, 6, 7, 15, 14, 13}));
    EXPECT_EQ(RoadRow(*map, 990), Lanes(100, {9, 10, 18, 17}));
    EXPECT_EQ(RoadRow(*map, 989), Lanes(100, {1, 2, 3, 4}));
    EXPECT_EQ(road.Kind(), trackgen::kMerge); // the merge ends on the next (single) row

    EXPECT_EQ(road.GrowRow(989), 989);
    EXPECT_EQ(RoadRow(*map, 988), Lanes(100, {1, 2, 3, 4}));
    EXPECT_EQ(road.Kind(), trackgen::kStraight);
    EXPECT_EQ(road.Remaining(), 6);
    EXPECT_EQ(RoadRow(*map, 987), ""); // nothing laid beyond the row above
}

TEST(TrackRoadTemplates, MergeOnASingleRoadJustGoesStraight) {
    auto map = EmptyMapWithRoad(1000, 200);
    TRandom rng(1);
    RoadBuilder road(*map, rng);
    road.SetSegment(trackgen::kMerge);
    EXPECT_EQ(road.GrowRow(1000), 1000);
    EXPECT_EQ(RoadRow(*map, 999), Lanes(200, {1, 2, 3, 4}));
    EXPECT_EQ(road.Kind(), trackgen::kStraight);
}

TEST(TrackRoadTemplates, OpeningAndClosingRoundTripsComeBackToFourLanes) {
    struct Case {
        int open, close;
        std::vector<int> wideTiles; // the widened road's row
        int wideCol;
    };
    for (const Case& k : {Case{trackgen::kOpenMedian, trackgen::kCloseMedian, {1, 2, 21, 22, 3, 4}, 99},
                          Case{trackgen::kWidenRight, trackgen::kNarrowRight, {1, 34, 22, 3, 4}, 100},
                          Case{trackgen::kWidenLeft, trackgen::kNarrowLeft, {1, 2, 21, 35, 4}, 99}}) {
        SCOPED_TRACE("kind " + std::to_string(k.open));
        auto map = EmptyMapWithRoad(1000, 100);
        TRandom rng(1);
        RoadBuilder road(*map, rng);
        road.SetSegment(k.open);
        int row = Grow(road, 1000, 5);
        EXPECT_EQ(RoadRow(*map, row + 1), Lanes(k.wideCol, k.wideTiles));
        road.SetSegment(k.close);
        int guard = 0;
        while (road.Kind() != trackgen::kStraight && ++guard < 10)
            row = Grow(road, row, 1);
        EXPECT_EQ(road.Kind(), trackgen::kStraight);
        row = Grow(road, row, 2);
        EXPECT_EQ(RoadRow(*map, row + 1), Lanes(100, {1, 2, 3, 4}));
        // Every row between has road.
        for (int r = row + 1; r <= 1000; ++r)
            EXPECT_NE(RoadRow(*map, r), "") << "row " << r;
    }
}

// ---- whole tracks ----------------------------------------------------------------

// Everything wrong with one built track, as readable lines (empty when all is well).
class TrackChecker {
  public:
    TrackChecker(const TrackMap& map, int trackLength)
        : map_(map), cells_(map.Data()), top_(1500 - trackLength) {}

    std::vector<std::string> problems;

    void CheckAll() {
        CheckCells();
        CheckStartAndTop();
        CheckRoadConnected();
    }

  private:
    uint8_t T(int r, int c) const { return TrackMap::Inside(r, c) ? cells_[TrackMap::IndexOf(r, c)] : 0; }

    // Every cell holds a tile of the table and nothing lies above the road; walls
    // stand only in whole buildings by a verge; poles come in pairs by a verge.
    void CheckCells() {
        long aboveRoad = 0, bad = 0, walls = 0, buildings = 0;
        const uint8_t* end = cells_ + size_t(kMapRows) * kMapCols;
        const uint8_t* roadRows = cells_ + TrackMap::IndexOf(top_, 1);
        for (const uint8_t* p = cells_; p < roadRows; ++p)
            aboveRoad += *p != kTileGround;
        for (const uint8_t* p = roadRows; p < end; ++p) {
            const uint8_t t = *p;
            if (t >= kTileCount) ++bad;
            if (RoleOf(t) == TileRole::Wall) ++walls;
            if (t == 43 || t == kTilePoleLeft || t == kTilePoleRight) {
                const int n = int(p - cells_), r = n / kMapCols + 1, c = n % kMapCols + 1;
                if (t == 43) {
                    ++buildings;
                    CheckBuilding(r - 3, c - 3);
                } else {
                    CheckPole(r, c, t);
                }
            }
        }
        if (bad) problems.push_back(std::to_string(bad) + " cells outside the tile table (or left empty)");
        if (aboveRoad)
            problems.push_back(std::to_string(aboveRoad) + " cells above the road are not plain ground");
        if (walls != buildings * 11)
            problems.push_back(std::to_string(walls) + " wall tiles for " + std::to_string(buildings) +
                               " buildings");
        if (map_.RejectedWrites())
            problems.push_back(std::to_string(map_.RejectedWrites()) + " writes fell outside the map");
    }

    void CheckBuilding(int top, int left) {
        static const uint8_t kBuilding[4][4] = {
            {0, 40, 40, 40}, {41, 45, 46, 44}, {41, 47, 48, 44}, {41, 42, 42, 43}};
        bool whole = true, vergeLeft = true, vergeRight = true;
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j)
                whole = whole && T(top + i, left + j) == kBuilding[i][j];
            vergeLeft = vergeLeft && T(top + i, left - 1) == kTileVerge;
            vergeRight = vergeRight && T(top + i, left + 4) == kTileVerge;
        }
        if (!whole || !(vergeLeft || vergeRight))
            problems.push_back("building at " + std::to_string(top) + "," + std::to_string(left) +
                               (whole ? " stands by no verge" : " is not whole"));
    }

    void CheckPole(int r, int c, uint8_t t) {
        const int side = t == kTilePoleRight ? c + 1 : c - 1;
        const bool pairUp = T(r + 1, c) == 32 && T(r + 2, c) == t;
        const bool pairDown = T(r - 1, c) == 32 && T(r - 2, c) == t;
        if (T(r, side) != kTileVerge || !(pairUp || pairDown))
            problems.push_back("pole " + std::to_string(t) + " at " + std::to_string(r) + "," +
                               std::to_string(c) + " is not one of a pair by a verge");
    }

    // The first 20 rows are lanes 1-4 in 321-324 and nothing else is road there; the
    // last 80 rows of the road are one straight four-lane road in one place.
    void CheckStartAndTop() {
        for (int r = 1480; r <= 1499; ++r)
            if (RoadRow(map_, r) != Lanes(321, {1, 2, 3, 4}))
                problems.push_back("start row " + std::to_string(r) + " is " + RoadRow(map_, r));
        const std::string topRow = RoadRow(map_, top_);
        if (topRow.find(":1 ") == std::string::npos || std::count(topRow.begin(), topRow.end(), ':') != 4)
            problems.push_back("top row " + std::to_string(top_) + " is " + topRow);
        for (int r = top_ + 1; r <= top_ + 80; ++r)
            if (RoadRow(map_, r) != topRow)
                problems.push_back("row " + std::to_string(r) + " near the top is " + RoadRow(map_, r) +
                                   ", not " + topRow);
    }

    // A flood fill over road tiles from the start reaches the top row and every road
    // tile of the map; the road keeps off the map's edges.
    void CheckRoadConnected() {
        std::vector<uint8_t> seen(size_t(kMapRows) * kMapCols, 0);
        std::vector<std::pair<int, int>> todo;
        for (int c = 321; c <= 324; ++c) {
            seen[size_t(TrackMap::IndexOf(1499, c))] = 1;
            todo.push_back({1499, c});
        }
        int topReached = 1499, minCol = kMapCols, maxCol = 1;
        long reached = 0;
        while (!todo.empty()) {
            auto [r, c] = todo.back();
            todo.pop_back();
            ++reached;
            topReached = std::min(topReached, r);
            minCol = std::min(minCol, c);
            maxCol = std::max(maxCol, c);
            const int dr[4] = {-1, 1, 0, 0}, dc[4] = {0, 0, -1, 1};
            for (int n = 0; n < 4; ++n) {
                const int rr = r + dr[n], cc = c + dc[n];
                if (!IsRoadTile(T(rr, cc))) continue;
                uint8_t& s = seen[size_t(TrackMap::IndexOf(rr, cc))];
                if (s) continue;
                s = 1;
                todo.push_back({rr, cc});
            }
        }
        if (topReached != top_)
            problems.push_back("the road from the start reaches row " + std::to_string(topReached));
        long road = 0;
        const uint8_t* end = cells_ + size_t(kMapRows) * kMapCols;
        for (const uint8_t* p = cells_; p < end; ++p)
            road += IsRoadTile(*p);
        if (road != reached)
            problems.push_back(std::to_string(road - reached) + " road tiles apart from the road");
        if (minCol < kRoadEdgeMargin || maxCol > kMapCols + 1 - kRoadEdgeMargin)
            problems.push_back("road spans columns " + std::to_string(minCol) + ".." +
                               std::to_string(maxCol));
    }

    const TrackMap& map_;
    const uint8_t* cells_;
    int top_;
};

std::string Join(const std::vector<std::string>& lines) {
    std::string s;
    for (size_t n = 0; n < lines.size() && n < 10; ++n)
        s += "\n  " + lines[n];
    if (lines.size() > 10) s += "\n  ... " + std::to_string(lines.size() - 10) + " more";
    return s;
}

TEST(TrackGenerator, EveryLevelLengthOverManySeedsGivesAWholeDrivableTrack) {
    auto map = std::make_unique<TrackMap>();
    for (int level = 1; level <= 6; ++level) {
        const int length = LevelParameters(level).TrackLength;
        for (uint32_t seed = 1; seed <= 50; ++seed) {
            TRandom rng(seed * 2654435761u);
            map->ClearRejectedWrites();
            BuildTrack(*map, rng, length);
            TrackChecker check(*map, length);
            check.CheckAll();
            EXPECT_TRUE(check.problems.empty())
                << "level " << level << ", seed " << seed << Join(check.problems);
        }
    }
}

TEST(TrackGenerator, TheSameSeedGivesTheSameTrackAndAnotherSeedAnotherTrack) {
    auto a = std::make_unique<TrackMap>(), b = std::make_unique<TrackMap>(), c = std::make_unique<TrackMap>();
    TRandom r1(77), r2(77), r3(78);
    BuildTrack(*a, r1, 700);
    b->Fill(9); // a left-over map must not show through
    BuildTrack(*b, r2, 700);
    BuildTrack(*c, r3, 700);
    EXPECT_TRUE(std::equal(a->Data(), a->Data() + kMapRows * kMapCols, b->Data()));
    EXPECT_FALSE(std::equal(a->Data(), a->Data() + kMapRows * kMapCols, c->Data()));
    EXPECT_EQ(r1.State(), r2.State());
}

TEST(TrackGenerator, ATrackHasTheSceneryOfEveryKind) {
    // Over a few long tracks every tile of the table turns up, so no rule of the
    // decoration, block or scenery passes is dead.
    auto map = std::make_unique<TrackMap>();
    std::vector<bool> seen(kTileCount, false);
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        TRandom rng(seed);
        BuildTrack(*map, rng, 1300);
        for (int n = 0; n < kMapRows * kMapCols; ++n)
            seen[map->Data()[n]] = true;
    }
    for (int t = 0; t < kTileCount; ++t)
        EXPECT_TRUE(seen[size_t(t)]) << "tile " << t << " never laid";
}

// The passes skip open ground and find empty areas with bit masks; they must lay
// exactly what testing every cell and every area one by one lays, drawing the same
// random numbers.
TEST(TrackGenerator, FastPassesLayExactlyWhatTheCellByCellRulesLay) {
    for (uint32_t n : {0u, 1u, 2u, 3u, 63u, 64u, 643u, 100000u}) {
        TRandom skipped(99), drawn(99);
        skipped.Skip(n);
        for (uint32_t k = 0; k < n; ++k)
            drawn.Random(3);
        EXPECT_EQ(skipped.State(), drawn.State()) << n << " draws";
    }

    auto fast = std::make_unique<TrackMap>(), slow = std::make_unique<TrackMap>();
    auto same = [&] { return std::equal(fast->Data(), fast->Data() + kMapRows * kMapCols, slow->Data()); };
    for (int length : {300, 1300}) {
        for (uint32_t seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE("length " + std::to_string(length) + ", seed " + std::to_string(seed));
            TRandom rng(seed);
            fast->Fill(kEmptyCell);
            trackgen::RoadPass(*fast, rng, length);
            *slow = *fast;
            TRandom slowRng = rng;

            trackgen::DecorationPass(*fast, rng, length);
            for (int i = 1498; i >= 1500 - length; --i)
                for (int j = 3; j <= 645; ++j)
                    trackgen::DecorateCell(*slow, slowRng, i, j);
            ASSERT_TRUE(same()) << "decoration";
            ASSERT_EQ(rng.State(), slowRng.State());

            auto areaEmpty = [&](int top, int left, int size) {
                for (int r = top; r < top + size; ++r)
                    for (int c = left; c < left + size; ++c)
                        if (slow->Cell(r, c) != kEmptyCell) return false;
                return true;
            };
            trackgen::BlockPass(*fast, rng, length);
            for (int r = 1499 - length; r <= 1495; ++r)
                for (int k = 1; k <= 645; ++k)
                    if (areaEmpty(r + 1, k, 5)) trackgen::PlaceBlock(*slow, slowRng, r, k);
            ASSERT_TRUE(same()) << "blocks";
            ASSERT_EQ(rng.State(), slowRng.State());

            trackgen::SceneryPass(*fast, rng, length);
            for (int r = 1499 - length; r <= 1495; ++r)
                for (int k = 1; k <= 645; ++k)
                    if (areaEmpty(r + 1, k, 4)) trackgen::PlaceScenery(*slow, slowRng, r, k);
            ASSERT_TRUE(same()) << "scenery";
            ASSERT_EQ(rng.State(), slowRng.State());
        }
    }
}

TEST(TrackGenerator, RejectsLengthsOutsideTheMap) {
    auto map = std::make_unique<TrackMap>();
    TRandom rng(1);
    EXPECT_THROW(BuildTrack(*map, rng, kMinTrackLength - 1), std::invalid_argument);
    EXPECT_THROW(BuildTrack(*map, rng, kMaxTrackLength + 1), std::invalid_argument);
    EXPECT_NO_THROW(BuildTrack(*map, rng, kMaxTrackLength));
    TrackChecker check(*map, kMaxTrackLength);
    check.CheckAll();
    EXPECT_TRUE(check.problems.empty()) << Join(check.problems);
}

TEST(TrackGenerator, ARoadStartedAtAnEdgeNeverLeavesTheMap) {
    // The game starts the road in the middle; started at an edge, every segment that
    // would move it further out is turned into a straight, so no write is lost and
    // the road stays whole.
    auto map = std::make_unique<TrackMap>();
    for (int start : {1, 10, 640, 647}) {
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            SCOPED_TRACE("start " + std::to_string(start) + ", seed " + std::to_string(seed));
            map->Fill(kEmptyCell);
            map->ClearRejectedWrites();
            TRandom rng(seed);
            trackgen::RoadPass(*map, rng, 1300, start);
            EXPECT_EQ(map->RejectedWrites(), 0);
            int minCol = kMapCols, maxCol = 1;
            for (int r = 200; r <= 1499; ++r) {
                const std::string row = RoadRow(*map, r);
                ASSERT_NE(row, "") << "row " << r;
                for (int c = 1; c <= kMapCols; ++c)
                    if (IsRoadTile(map->Cell(r, c)))
                        minCol = std::min(minCol, c), maxCol = std::max(maxCol, c);
            }
            EXPECT_GE(minCol, std::min(start, kRoadEdgeMargin));
            EXPECT_LE(maxCol, std::max(start + 3, kMapCols + 1 - kRoadEdgeMargin));
        }
    }
}

} // namespace
} // namespace vorlane
