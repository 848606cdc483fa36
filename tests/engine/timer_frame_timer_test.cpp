// The frame timer: move counts, the measured frame rate, and standing still while the
// application is in the background.
#include "engine/FrameTimer.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlane {
namespace {

class FakeClock : public IClock {
  public:
    uint32_t now = 0;
    uint32_t Milliseconds() override { return now; }
};

class FrameTimerTest : public ::testing::Test {
  protected:
    FrameTimerTest() : timer(clock) {
        timer.OnTimer = [this](int lag) { lags.push_back(lag); };
    }

    // The game's set-up: as often as possible, only while active, then loaded.
    void StartLikeTheGame(uint32_t at) {
        clock.now = at;
        timer.SetInterval(0);
        timer.Loaded();
    }
    // Advance the clock and give the timer its idle call.
    bool TickAt(uint32_t at) {
        clock.now = at;
        return timer.Idle();
    }

    FakeClock clock;
    TFrameTimer timer;
    std::vector<int> lags;
};

TEST_F(FrameTimerTest, MoveCountIsTheMillisecondsSinceTheLastTickAndAtLeastOne) {
    StartLikeTheGame(5000);
    EXPECT_TRUE(TickAt(5000)); // same millisecond as the start
    EXPECT_TRUE(TickAt(5016));
    EXPECT_TRUE(TickAt(5016)); // same millisecond as the previous tick
    EXPECT_TRUE(TickAt(5266)); // a 250 ms stall: no upper limit here
    EXPECT_EQ(lags, (std::vector<int>{1, 16, 1, 250}));
}

TEST_F(FrameTimerTest, MeasuresTheFrameRateOverOneSecondWindows) {
    StartLikeTheGame(0);
    for (int i = 1; i <= 24; ++i)
        TickAt(uint32_t(40 * i));
    EXPECT_EQ(timer.FrameRate(), 0); // the first window has not completed
    TickAt(1000);                    // the 25th tick of 40 ms
    EXPECT_EQ(timer.FrameRate(), 25);
    // The count restarted: the next second runs at 20 ms a frame.
    for (int i = 1; i <= 49; ++i)
        TickAt(uint32_t(1000 + 20 * i));
    EXPECT_EQ(timer.FrameRate(), 25);
    TickAt(2000);
    EXPECT_EQ(timer.FrameRate(), 50);
    // A window that closes late is rounded, halves to even: 3 ticks in 1 200 ms are
    // 2.5 frames a second -> 2.
    TickAt(2400);
    TickAt(2800);
    EXPECT_EQ(timer.FrameRate(), 50);
    TickAt(3200);
    EXPECT_EQ(timer.FrameRate(), 2);
}

TEST_F(FrameTimerTest, IntervalHoldsTicksBackAndDividesTheMoveCount) {
    clock.now = 0;
    timer.SetInterval(100);
    timer.Loaded();
    EXPECT_FALSE(TickAt(99));
    EXPECT_TRUE(TickAt(250));
    ASSERT_EQ(lags, (std::vector<int>{2}));

    timer.SetInterval(-5); // taken as 0: ticks at once, counted in milliseconds
    EXPECT_EQ(timer.Interval(), 0);
    EXPECT_TRUE(TickAt(250));
    EXPECT_TRUE(TickAt(257));
    EXPECT_EQ(lags, (std::vector<int>{2, 1, 7}));
}

TEST_F(FrameTimerTest, SurvivesTheClockWrappingAround) {
    StartLikeTheGame(0xFFFFFFF0u);
    TickAt(0x10u);
    ASSERT_EQ(lags, (std::vector<int>{32}));
    // The rate window also spans the wrap.
    for (uint32_t t = 0x10u + 40; t != 0x10u + 1000; t += 40)
        TickAt(t);
    TickAt(0x10u + 984);
    EXPECT_EQ(timer.FrameRate(), 26);
}

TEST_F(FrameTimerTest, StandsStillWhileTheApplicationIsInactive) {
    StartLikeTheGame(1000);
    TickAt(1010);
    timer.Deactivate();
    EXPECT_FALSE(TickAt(1500));
    EXPECT_FALSE(TickAt(9000));
    clock.now = 9000;
    timer.Activate();
    EXPECT_TRUE(TickAt(9012)); // only the time since re-activation
    EXPECT_EQ(lags, (std::vector<int>{10, 12}));
}

TEST_F(FrameTimerTest, DoesNotStartWhileInactiveUntilActivated) {
    timer.Deactivate();
    StartLikeTheGame(0);
    EXPECT_TRUE(timer.Started());
    EXPECT_FALSE(TickAt(50));
    clock.now = 60;
    timer.Activate();
    EXPECT_TRUE(TickAt(70));
    EXPECT_EQ(lags, (std::vector<int>{10}));
}

TEST_F(FrameTimerTest, WithoutActiveOnlyKeepsTickingInTheBackground) {
    timer.ActiveOnly = false;
    StartLikeTheGame(0);
    timer.Deactivate();
    EXPECT_TRUE(TickAt(30));
    EXPECT_EQ(lags, (std::vector<int>{30}));
}

TEST_F(FrameTimerTest, RaisesTheActivationEvents) {
    std::vector<char> events;
    timer.OnActivate = [&] { events.push_back('a'); };
    timer.OnDeactivate = [&] { events.push_back('d'); };
    timer.Deactivate();
    timer.Activate();
    EXPECT_EQ(events, (std::vector<char>{'d', 'a'}));
}

TEST_F(FrameTimerTest, TicksOnlyOnceLoadedAndWhileEnabled) {
    clock.now = 0;
    timer.SetInterval(0);
    EXPECT_FALSE(TickAt(10)); // not loaded yet
    timer.SetEnabled(false);
    timer.Loaded();
    EXPECT_FALSE(TickAt(20));
    clock.now = 100;
    timer.SetEnabled(true); // starts with a fresh time base
    EXPECT_TRUE(TickAt(103));
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Started());
    EXPECT_FALSE(TickAt(200));
    EXPECT_EQ(lags, (std::vector<int>{3}));
}

} // namespace
} // namespace vorlane
