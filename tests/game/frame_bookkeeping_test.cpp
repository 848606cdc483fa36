#include "app/FrameBookkeeping.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

struct RateCase {
    int frameRate;
    int refreshRate;
    int frameMs;
    double speedScale;
};

TEST(FrameTimingFor, PicksMeasuredOrRefreshRate) {
    const RateCase cases[] = {
        {60, 85, 16, 85.0 / 60}, // far below the refresh rate: measured
        {81, 85, 12, 85.0 / 81}, // 4 below: still measured
        {82, 85, 11, 1.0},       // 3 below: refresh rate
        {83, 85, 11, 1.0},       {85, 85, 11, 1.0},
        {86, 85, 11, 85.0 / 86},                    // +1 and +2 are used as measured
        {87, 85, 11, 85.0 / 87}, {88, 85, 11, 1.0}, // +3 and more fall back
        {90, 85, 11, 1.0},       {0, 85, 11, 1.0},  // nothing measured yet: refresh rate
        {0, 60, 16, 85.0 / 60},  {30, 60, 33, 85.0 / 30},
        {0, 0, 16, 85.0 / 60}, // a display reporting no rate counts as 60 Hz
        {0, 1, 16, 85.0 / 60},   {60, 0, 16, 85.0 / 60},
    };
    for (const RateCase& c : cases) {
        const TFrameTiming t = FrameTimingFor(c.frameRate, c.refreshRate);
        EXPECT_EQ(t.FrameMs, c.frameMs) << c.frameRate << " at " << c.refreshRate << " Hz";
        EXPECT_DOUBLE_EQ(t.SpeedScale, c.speedScale) << c.frameRate << " at " << c.refreshRate << " Hz";
    }
}

TEST(UpdateFrameStats, StoresMeasuredRateAndNextFrameTiming) {
    TFrameStats stats;
    stats.RefreshRate = 85;
    EXPECT_EQ(stats.FrameMs, 15); // the start-up value, before the first frame ends
    UpdateFrameStats(stats, 60);
    EXPECT_EQ(stats.FrameRate, 60);
    EXPECT_EQ(stats.FrameMs, 16);
    EXPECT_DOUBLE_EQ(stats.SpeedScale, 85.0 / 60);
    UpdateFrameStats(stats, 84);
    EXPECT_EQ(stats.FrameRate, 84);
    EXPECT_EQ(stats.FrameMs, 11);
    EXPECT_DOUBLE_EQ(stats.SpeedScale, 1.0);
}

} // namespace
} // namespace vorlane
