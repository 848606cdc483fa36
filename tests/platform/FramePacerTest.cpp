// Frame pacing with a clock that only moves when the pacer sleeps or a frame works.
#include "platform/FramePacer.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

struct FakeClock : IClock {
    uint32_t now = 0;
    uint32_t Milliseconds() override { return now; }
};

struct Rig {
    FakeClock clock;
    uint32_t slept = 0;
    FramePacer pacer{clock, [this](uint32_t ms) {
                         slept += ms;
                         clock.now += ms;
                     }};
};

TEST(FramePacerTest, FastFramesAreHeldToTheRefreshRate) {
    Rig rig;
    rig.clock.now = 0xFFFFFF00u; // across the clock's wrap
    const uint32_t start = rig.clock.now;
    for (int frame = 0; frame < 61; ++frame) {
        rig.clock.now += 2; // the frame's own work
        rig.pacer.WaitForNextFrame(60, false);
    }
    // 60 periods of 16.67 ms after the first frame: a second, give or take a millisecond.
    const uint32_t elapsed = rig.clock.now - start;
    EXPECT_GE(elapsed, 999u);
    EXPECT_LE(elapsed, 1003u);
    EXPECT_GT(rig.slept, 800u);
}

TEST(FramePacerTest, NoWaitWithVsyncOrWhenLate) {
    Rig rig;
    for (int frame = 0; frame < 10; ++frame) {
        rig.clock.now += 1;
        rig.pacer.WaitForNextFrame(85, true);
    }
    EXPECT_EQ(rig.slept, 0u);

    rig.pacer.WaitForNextFrame(50, false); // starts the schedule
    rig.clock.now += 250;                  // a long stall (the online submission)
    rig.pacer.WaitForNextFrame(50, false);
    EXPECT_EQ(rig.pacer.LastWait(), 0u);
    rig.clock.now += 5; // the next frames run at full pace again, not rushed
    rig.pacer.WaitForNextFrame(50, false);
    EXPECT_EQ(rig.pacer.LastWait(), 15u);
}

TEST(FramePacerTest, ARateOfZeroOrOneCountsAsSixty) {
    Rig rig;
    rig.pacer.WaitForNextFrame(0, false);
    rig.pacer.WaitForNextFrame(1, false);
    EXPECT_EQ(rig.pacer.LastWait(), 16u);
}

} // namespace
} // namespace vorlane
