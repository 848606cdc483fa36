// The head-up display's reckonings: the time text, lives, the energy gauge, the
// progress marker and the speedometer needle.
#include "race/Hud.h"
#include "sim/HudGauges.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(RaceHud, TimeTextPadsMinutesAndSeconds) {
    const struct {
        int ms;
        const char* text;
    } rows[] =
        {
            {65000, "01 : 05"},  {9999, "00 : 09"},  {0, "00 : 00"},
            {234000, "03 : 54"}, {59999, "00 : 59"}, {600000, "10 : 00"},
            {-135, "00 : 00"},   {-1250, "00 : 00"}, // left by the level end's count under a message
        };
    for (const auto& r : rows)
        EXPECT_EQ(TimeText(r.ms), r.text) << r.ms;
}

TEST(RaceHud, NegativeLivesShowZero) {
    EXPECT_EQ(LivesText(-1), "0");
    EXPECT_EQ(LivesText(0), "0");
    EXPECT_EQ(LivesText(3), "3");
    EXPECT_EQ(LivesText(12), "12");
}

TEST(RaceHud, EnergyGaugeShowsEmptyForEnergyOutsideItsRange) {
    const int expected[] = {3, 2, 1, 0}; // energy 0..3: full energy shows pattern 0
    for (int e = 0; e <= 3; ++e)
        EXPECT_EQ(EnergyGaugePattern(e), expected[e]) << e;
    EXPECT_EQ(EnergyGaugePattern(4), 3);
    EXPECT_EQ(EnergyGaugePattern(-1), 3);
}

TEST(RaceHud, ProgressMarkerRunsUpTheBarAndStopsAtItsTop) {
    const int h = 14;
    // At the start of a level the view's top row is 1488: the marker sits at the
    // bottom of the bar.
    EXPECT_NEAR(ProgressMarkerY(h, 300, 1488), (216 - h) - (201.0 - h) / 240 * 2, 1e-9);
    // It reaches 15 when the view is 50 rows from the road's top end...
    EXPECT_NEAR(ProgressMarkerY(h, 300, 1490 - 240), 15, 1e-9);
    // ... and never goes above it, however far the view runs.
    for (int row = 0; row <= 1490; row += 7)
        EXPECT_GE(ProgressMarkerY(h, 300, row), 15) << row;
    for (int row = 0; row <= 1490; row += 7)
        EXPECT_GE(ProgressMarkerY(h, 1300, row), 15) << row;
    // It moves up steadily as the view climbs.
    EXPECT_LT(ProgressMarkerY(h, 1300, 1000), ProgressMarkerY(h, 1300, 1200));
}

TEST(RaceHud, NeedleFollowsTheSpeedAndDipsOnAGearShift) {
    EXPECT_EQ(NeedleAngle(0, false), -28);
    EXPECT_EQ(NeedleAngle(-15, false), -28); // reversing keeps the needle at rest
    EXPECT_EQ(NeedleAngle(-15, true), -29);
    EXPECT_EQ(NeedleAngle(100, false), 87); // 115 - 28
    EXPECT_EQ(NeedleAngle(160, true), 155); // 184 - 28 - 1
}

} // namespace
} // namespace vorlane
