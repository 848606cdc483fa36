// Laying the pedestrians and bonuses of a level on generated tracks, and the walk of a
// pedestrian along the verges and around a block.
#include "sim/Bonus.h"
#include "sim/LevelTable.h"
#include "sim/Man.h"
#include "sim/TrackGenerator.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace vorlane {
namespace {

bool IsPath(int t) {
    return (t >= 23 && t <= 29) || t == 58 || t == 60;
}

// The states a walker may start in on each path tile.
std::set<ManState> StartStates(int tile) {
    switch (tile) {
    case 23:
        return {ManState::Up, ManState::Down};
    case 24:
        return {ManState::Left, ManState::Right};
    case 25:
        return {ManState::Left, ManState::Right, ManState::Up, ManState::Down};
    case 26:
        return {ManState::Right};
    case 27:
        return {ManState::Left};
    default:
        return {ManState::Up};
    }
}

// First column (from 50) whose tile is 1, and first whose tile is 4 with no lane 1 to
// its right: the outer edges of the road in that row.
std::pair<int, int> RoadEdges(const TrackMap& map, int row) {
    int left = 0, right = 0;
    for (int c = 50; c <= 600 && left == 0; ++c)
        if (map.At(row, c) == 1) left = c;
    for (int c = 50; c <= 600 && right == 0; ++c)
        if (map.At(row, c) == 4 && map.At(row, c + 1) != 1) right = c;
    return {left, right};
}

TEST(StreetLaying, PedestriansStandOnPathTilesBesideTheRoad) {
    auto map = std::make_unique<TrackMap>();
    auto slots = std::make_unique<TPedestrianSlots>();
    for (int level : {1, 3, 6}) {
        const int length = LevelParameters(level).TrackLength;
        const int rows = (1490 - (1500 - length)) / 5 + 1; // rows that are multiples of 5
        for (uint32_t seed = 1; seed <= 6; ++seed) {
            TRandom rng(seed);
            BuildTrack(*map, rng, length);
            LayPedestrianSlots(*slots, *map, length, rng);
            int laid = 0;
            for (int i = 1; i <= kMaxPedestrians; ++i) {
                const TPedestrian& p = (*slots)[size_t(i)];
                if (!p.Exists) continue;
                ++laid;
                SCOPED_TRACE("level " + std::to_string(level) + " seed " + std::to_string(seed) + " slot " +
                             std::to_string(i));
                // The left side fills the first slots, one per row; the right side the next.
                const bool leftSide = i <= rows;
                const int row = 1500 - length + ((leftSide ? i : i - rows) - 1) * 5;
                ASSERT_EQ(int(p.Y), row * 72 + 36); // in the middle of the tile
                ASSERT_EQ((int(p.X) - 36) % 72, 0);
                const int col = (int(p.X) - 36) / 72;
                const int tile = map->At(row, col);
                ASSERT_TRUE(IsPath(tile)) << tile;
                EXPECT_TRUE(StartStates(tile).count(p.State)) << int(p.State) << " on " << tile;
                EXPECT_EQ(p.Planned, p.State);
                EXPECT_GE(p.Speed, 3);
                EXPECT_LE(p.Speed, 5);
                EXPECT_GE(p.Frame, 0);
                EXPECT_LE(p.Frame, 3);
                // A row with no edge (a lane shift) keeps the range of the row before.
                int left = 0, right = 0;
                for (int r = row; r >= 1500 - length && (leftSide ? left : right) == 0; r -= 5)
                    std::tie(left, right) = RoadEdges(*map, r);
                if (leftSide) {
                    ASSERT_NE(left, 0);
                    EXPECT_LT(col, left);
                    EXPECT_GE(col, left - 19);
                } else {
                    ASSERT_NE(right, 0);
                    EXPECT_GT(col, right);
                    EXPECT_LE(col, right + 19);
                }
            }
            EXPECT_LE(laid, 2 * rows);
            EXPECT_GT(laid, rows / 2); // verges line the road almost everywhere
            if (level == 1) {
                EXPECT_LE(laid, 118);
            }
        }
    }
}

TEST(StreetLaying, BonusesLieInLaneTwoOrThreeOfTheLevelsRows) {
    auto map = std::make_unique<TrackMap>();
    auto slots = std::make_unique<TBonusSlots>();
    for (int level : {1, 4, 21}) {
        const LevelParams lp = LevelParameters(level);
        for (uint32_t seed = 1; seed <= 8; ++seed) {
            SCOPED_TRACE("level " + std::to_string(level) + " seed " + std::to_string(seed));
            TRandom rng(seed);
            BuildTrack(*map, rng, lp.TrackLength);
            // A bonus of a previous level must not survive the laying.
            for (TBonusSlot& s : *slots)
                s.Active = 1;
            const int counted = LayBonusSlots(*slots, *map, lp.TrackLength, lp.BonusCount, rng);
            int active = 0, lives = 0;
            for (int j = 0; j <= kMaxBonuses; ++j) {
                const TBonusSlot& s = (*slots)[size_t(j)];
                if (!s.Active) continue;
                ++active;
                ASSERT_GE(j, 1);
                ASSERT_LE(j, lp.BonusCount);
                EXPECT_GE(s.Row, 1549 - lp.TrackLength);
                EXPECT_LE(s.Row, 1494);
                EXPECT_TRUE(map->At(s.Row, s.Column - 1) == 1 || map->At(s.Row, s.Column - 2) == 1)
                    << "row " << s.Row << " column " << s.Column;
                EXPECT_GE(s.Kind, BonusKind::Points10);
                EXPECT_LE(s.Kind, BonusKind::RocketLauncher);
                if (s.Kind == BonusKind::ExtraLife) ++lives;
            }
            EXPECT_GT(active, 0);
            EXPECT_LE(lives, counted);
            EXPECT_LE(counted, kMaxLifeBonuses);
        }
    }
}

TEST(StreetLaying, AStraightRoadGetsEveryBonusAndAtMostTwoLives) {
    // Every row of the level is a straight road, so every slot gets its bonus; with 400
    // draws of eight kinds the third life would be all but certain without the limit.
    auto map = std::make_unique<TrackMap>();
    for (int r = 1; r <= kMapRows; ++r)
        for (int c = 0; c < 4; ++c)
            map->Set(r, 321 + c, uint8_t(1 + c));
    auto slots = std::make_unique<TBonusSlots>();
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        TRandom rng(seed);
        LayBonusSlots(*slots, *map, 1300, 400, rng);
        int active = 0, lives = 0;
        std::set<BonusKind> kinds;
        for (const TBonusSlot& s : *slots) {
            if (!s.Active) continue;
            ++active;
            kinds.insert(s.Kind);
            EXPECT_TRUE(s.Column == 322 || s.Column == 323) << s.Column;
            if (s.Kind == BonusKind::ExtraLife) ++lives;
        }
        EXPECT_EQ(active, 400);
        EXPECT_LE(lives, 2);
        EXPECT_EQ(kinds.size(), 8u); // every kind still turns up
    }
    // Level 1 on it: exactly ten.
    TRandom rng(7);
    LayBonusSlots(*slots, *map, 300, 10, rng);
    int active = 0;
    for (const TBonusSlot& s : *slots)
        active += s.Active;
    EXPECT_EQ(active, 10);
}

// --- walking -------------------------------------------------------------------

// Steps the walker n times, each step a change of pattern (so it moves every time),
// and answers the states it walked in, each run of one state written once.
std::vector<ManState> Walk(TPedestrian& p, const TrackMap& map, TRandom& rng, int steps) {
    std::vector<ManState> states;
    for (int k = 0; k < steps; ++k) {
        WalkPedestrian(p, map, rng, p.Frame + 1);
        if (states.empty() || states.back() != p.State) states.push_back(p.State);
    }
    return states;
}

TPedestrian WalkerAt(int row, int col, ManState state) {
    TPedestrian p;
    p.Exists = 1;
    p.X = col * 72 + 36;
    p.Y = row * 72 + 36;
    p.State = p.Planned = state;
    p.Speed = 4;
    p.TargetCol = p.TargetRow = -1;
    return p;
}

TEST(StreetWalking, CornersTurnAWalkerRoundABlock) {
    // A block as the generator lays it: corners 26 27 / 29 28, bands of 24 along the
    // top and bottom, verges 23 down the sides, filler inside.
    auto map = std::make_unique<TrackMap>();
    const int top = 100, left = 200;
    const uint8_t block[5][5] = {{26, 24, 24, 24, 27},
                                 {23, 30, 31, 32, 23},
                                 {23, 30, 30, 30, 23},
                                 {23, 31, 32, 30, 23},
                                 {29, 24, 24, 24, 28}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            map->Set(top + r, left + c, block[r][c]);

    TRandom rng(3);
    TPedestrian p = WalkerAt(top + 3, left, ManState::Up);
    std::vector<ManState> states;
    // About 9 steps of 8 pixels a tile; two rounds and a bit.
    for (int k = 0; k < 330; ++k) {
        WalkPedestrian(p, *map, rng, p.Frame + 1);
        if (states.empty() || states.back() != p.State) states.push_back(p.State);
        int c = 0, r = 0;
        ManCellOf(p.X, p.Y, c, r);
        // It never leaves the ring of path tiles...
        const bool ring = r == top || r == top + 4 || c == left || c == left + 4;
        ASSERT_TRUE(ring && r >= top && r <= top + 4 && c >= left && c <= left + 4) << r << "," << c;
        // ... and walks down the middle of its path.
        const bool across = p.State == ManState::Left || p.State == ManState::Right;
        ASSERT_EQ(int(across ? p.Y : p.X) % 72, 36) << k;
    }
    const std::vector<ManState> round = {ManState::Up, ManState::Right, ManState::Down, ManState::Left};
    ASSERT_GE(states.size(), 9u);
    for (size_t k = 0; k < states.size(); ++k)
        EXPECT_EQ(states[k], round[k % 4]) << k;
}

TEST(StreetWalking, AVergeWalkerKeepsGoingAndTurnsBackAtItsEnd) {
    auto map = std::make_unique<TrackMap>();
    for (int r = 300; r <= 320; ++r)
        map->Set(r, 50, 23);
    TRandom rng(1);
    TPedestrian p = WalkerAt(318, 50, ManState::Up);
    // Up the verge: 18 cells of 72 pixels at 8 pixels a step.
    const std::vector<ManState> up = Walk(p, *map, rng, 18 * 9 - 4);
    EXPECT_EQ(up, std::vector<ManState>{ManState::Up});
    EXPECT_GT(p.Y, 300 * 72 - 72);
    // Off the end of the verge (plain ground reads as "go back") it turns round.
    const std::vector<ManState> more = Walk(p, *map, rng, 40);
    EXPECT_EQ(more, (std::vector<ManState>{ManState::Up, ManState::Down}));
    EXPECT_GE(WorldToCell(int(p.Y)), 300);
}

TEST(StreetWalking, AWalkerStepsOnlyWhenItsPatternChanges) {
    // At 15 ms a frame a speed-4 walker's pattern changes about every 16.7 frames and
    // each change moves it 8 pixels.
    auto map = std::make_unique<TrackMap>();
    for (int r = 300; r <= 320; ++r)
        map->Set(r, 50, 23);
    TRandom rng(1);
    TPedestrian p = WalkerAt(318, 50, ManState::Up);
    p.Frame = 0;
    const double y0 = p.Y;
    int moves = 0;
    for (int f = 0; f < 100; ++f) {
        const double old = p.Frame;
        p.Frame += p.Speed / (1000.0 / 15);
        if (p.Frame > 4) p.Frame = 0;
        const double before = p.Y;
        WalkPedestrian(p, *map, rng, old);
        if (p.Y != before) {
            ++moves;
            EXPECT_EQ(before - p.Y, 8);
        }
    }
    EXPECT_EQ(moves, 5); // patterns 1, 2, 3, 4 and the wrap to 0 within 100 frames
    EXPECT_EQ(y0 - p.Y, 40);
}

TEST(StreetWalking, LyingAndGoneFiguresStayPut) {
    auto map = std::make_unique<TrackMap>();
    TRandom rng(1);
    for (ManState state : {ManState::Lying, ManState::Gone}) {
        TPedestrian p = WalkerAt(318, 50, state);
        p.Speed = 0;
        const double x = p.X, y = p.Y;
        Walk(p, *map, rng, 50);
        EXPECT_EQ(p.State, state);
        EXPECT_EQ(p.X, x);
        EXPECT_EQ(p.Y, y);
    }
}

} // namespace
} // namespace vorlane
