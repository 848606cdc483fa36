// Level parameters for the table's levels and far past its end.
#include "sim/LevelTable.h"

#include <gtest/gtest.h>

#include <climits>

namespace vorlane {
namespace {

TEST(TrackLevelTable, GivesEachLevelsLengthTimeBonusesAndCars) {
    struct Row {
        int level, length, timeMs, bonuses, cars;
    };
    const Row rows[] = {
        {1, 300, 54000, 10, 10},
        {2, 500, 90000, 20, 40},
        {3, 700, 126000, 30, 90},
        {4, 900, 162000, 40, 160},
        {5, 1100, 198000, 50, 200},
        {6, 1300, 234000, 60, 200},
        {7, 1300, 234000, 70, 200},
        {8, 1300, 224000, 80, 200},
        {16, 1300, 144000, 160, 200},
        {20, 1300, 104000, 200, 200},
        {21, 1300, 94000, 400, 200},
        {24, 1300, 64000, 400, 200},
        {25, 1300, 60000, 400, 200},
        {26, 1300, 60000, 400, 200},
        {1000, 1300, 60000, 400, 200},
        // No overflow however far a player gets; a level below 1 counts as level 1.
        {INT_MAX, 1300, 60000, 400, 200},
    };
    for (const Row& r : rows) {
        const LevelParams p = LevelParameters(r.level);
        EXPECT_EQ(p.Level, r.level);
        EXPECT_EQ(p.TrackLength, r.length) << "level " << r.level;
        EXPECT_EQ(p.TimeLimitMs, r.timeMs) << "level " << r.level;
        EXPECT_EQ(p.BonusCount, r.bonuses) << "level " << r.level;
        EXPECT_EQ(p.CarCount, r.cars) << "level " << r.level;
    }
    const LevelParams zero = LevelParameters(0);
    EXPECT_EQ(zero.Level, 1);
    EXPECT_EQ(zero.TrackLength, 300);
}

} // namespace
} // namespace vorlane
