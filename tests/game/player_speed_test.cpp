// The player car's speed model and steering, frame by frame, as pure functions.
#include "sim/Player.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlane {
namespace {

// Runs n frames of the same pedals and answers the state after them.
TSpeedState Frames(TSpeedState s, const TPedals& p, int frames, double scale = 1.0, bool onRoad = true) {
    for (int i = 0; i < frames; ++i) {
        s.NitroBurning = false;
        SpeedStep(s, p, onRoad, scale);
    }
    return s;
}

TSpeedState At(double speed) {
    TSpeedState s;
    s.Speed = speed;
    return s;
}

const TPedals kUp{true, false, false, false};
const TPedals kDown{false, true, false, false};
const TPedals kNone{};

TEST(PlayerSpeedModel, ThrottleAndCoastingFollowTheSpeed) {
    struct Case {
        double v, throttle, coast;
    };
    for (const Case& c : {Case{50, 0.2, 0.05}, Case{100, 0.0707, 0.1146}, Case{160, 0.0349, 0.1325},
                          Case{0, 0.3, 0}, Case{-10, 0.3, 0}, Case{20, 0.3, 0.05}}) {
        EXPECT_NEAR(ThrottleAccel(c.v), c.throttle, 5e-5) << c.v;
        EXPECT_NEAR(CoastDrag(c.v), c.coast, 5e-5) << c.v;
    }
}

TEST(PlayerSpeedModel, UpFromStandstillClimbsAtThreeTenthsThenHoversAt160) {
    TSpeedState s = Frames(At(0), kUp, 1);
    EXPECT_NEAR(s.Speed, 0.3, 1e-12);
    s = Frames(At(0), kUp, 100);
    EXPECT_NEAR(s.Speed, 30, 1e-9); // still on the flat part below 38
    s = Frames(At(0), kUp, 10000);
    // Above 160 the coasting drag replaces the throttle, below it the throttle adds.
    for (int i = 0; i < 50; ++i) {
        s = Frames(s, kUp, 1);
        EXPECT_GT(s.Speed, 159.8);
        EXPECT_LT(s.Speed, 160.1);
    }
}

TEST(PlayerSpeedModel, SameSpeedAfterTheSameTimeAt85And42Point5FramesPerSecond) {
    struct Case {
        const char* what;
        double start;
        TPedals pedals;
        bool onRoad;
    };
    const Case cases[] = {
        {"throttle from standstill", 0, kUp, true}, {"throttle from 100", 100, kUp, true},
        {"brake from 100", 100, kDown, true},       {"coasting from 150", 150, kNone, true},
        {"off the road at 160", 160, kNone, false},
    };
    for (const Case& c : cases) {
        for (int seconds : {1, 2, 4}) {
            const TSpeedState fast = Frames(At(c.start), c.pedals, 85 * seconds, 1.0, c.onRoad);
            const TSpeedState slow = Frames(At(c.start), c.pedals, 85 * seconds / 2, 2.0, c.onRoad);
            EXPECT_NEAR(fast.Speed, slow.Speed, 0.04 * std::max(1.0, std::abs(fast.Speed)) + 0.35)
                << c.what << " after " << seconds << " s";
        }
    }
    // Twice the frame time doubles every change.
    TSpeedState s = Frames(At(0), kUp, 1, 2.0);
    EXPECT_NEAR(s.Speed, 0.6, 1e-12);
}

TEST(PlayerSpeedModel, DownBrakesThroughZeroAndReversesToTheLimit) {
    TSpeedState s = Frames(At(100), kDown, 1);
    EXPECT_NEAR(s.Speed, 99.7, 1e-9);
    bool passedZero = false;
    for (int i = 0; i < 2000; ++i) {
        s = Frames(s, kDown, 1);
        passedZero = passedZero || s.Speed < 0;
        EXPECT_GE(s.Speed, kReverseLimit);
    }
    EXPECT_TRUE(passedZero);
    EXPECT_EQ(s.Speed, -15);
    // Up while reversing accelerates at 0.3 again; rolling backwards keeps the speed.
    EXPECT_NEAR(Frames(At(-15), kUp, 1).Speed, -14.7, 1e-12);
    EXPECT_EQ(Frames(At(-10), kNone, 50).Speed, -10);
}

TEST(PlayerSpeedModel, HandbrakeStopsExactlyAtZeroFromEitherWayAndHolds) {
    for (double start : {170.0, 100.0, 0.5, -0.5, -15.0}) {
        TSpeedState s = At(start);
        for (int i = 0; i < 400; ++i)
            s = Frames(s, TPedals{false, false, true, false}, 1);
        EXPECT_EQ(s.Speed, 0) << start;
    }
    // The drag is 0.6 a frame from either way.
    EXPECT_NEAR(Frames(At(100), TPedals{false, false, true, false}, 1).Speed, 99.4, 1e-12);
    EXPECT_NEAR(Frames(At(-10), TPedals{false, false, true, false}, 1).Speed, -9.4, 1e-12);
    // At 85 frames a second a held handbrake keeps the car at 0 whatever else is pressed.
    TSpeedState s = At(0);
    s.HasNitro = true;
    s.NitroLeft = 100;
    for (const TPedals& p : {TPedals{true, false, true, false}, TPedals{false, true, true, false},
                             TPedals{true, true, true, true}, TPedals{false, false, true, true}}) {
        s = Frames(s, p, 30);
        EXPECT_EQ(s.Speed, 0);
    }
}

TEST(PlayerSpeedModel, NitroClimbsToExactly170AndFallsBackTo160) {
    TSpeedState s = At(100);
    s.HasNitro = true;
    s.NitroLeft = 100;
    s = Frames(s, TPedals{true, false, false, true}, 1);
    EXPECT_NEAR(s.Speed, 100.6, 1e-9);
    EXPECT_NEAR(s.NitroLeft, 99.5, 1e-12);
    EXPECT_TRUE(s.NitroBurning);
    s = Frames(s, TPedals{true, false, false, true}, 150);
    EXPECT_EQ(s.Speed, kNitroLimit);
    // Nitro without the bonus does nothing beyond the throttle.
    TSpeedState none = Frames(At(100), TPedals{true, false, false, true}, 1);
    EXPECT_NEAR(none.Speed, 100 + ThrottleAccel(100), 1e-12);
    EXPECT_FALSE(none.NitroBurning);
    // Released above 160 with Up held: down to 160 and no lower.
    s = Frames(s, kUp, 400);
    EXPECT_NEAR(s.Speed, 160, 0.15);
    // Empty nitro still pushes the car but does not burn.
    TSpeedState empty = At(100);
    empty.HasNitro = true;
    empty.NitroLeft = 0;
    empty = Frames(empty, TPedals{false, false, false, true}, 1);
    EXPECT_FALSE(empty.NitroBurning);
    EXPECT_NEAR(empty.Speed, 100.6 - CoastDrag(100), 1e-9);
}

TEST(PlayerSpeedModel, OffTheRoadBrakesHardDownTo80ThenDrivesNormally) {
    TSpeedState s = Frames(At(160), kUp, 1, 1.0, false);
    EXPECT_NEAR(s.Speed, 160 + ThrottleAccel(160) - 0.5, 1e-9);
    s = Frames(At(160), kUp, 400, 1.0, false);
    EXPECT_GT(s.Speed, 79.5);
    EXPECT_LT(s.Speed, 80.5);
    // At 80 and below the road surface makes no difference.
    EXPECT_EQ(Frames(At(70), kUp, 10, 1.0, false).Speed, Frames(At(70), kUp, 10, 1.0, true).Speed);
}

TEST(PlayerSteering, RateFollowsTheSpeedAndTheWayOfTravel) {
    struct Case {
        double speed;
        bool left, right, handbrake;
        double expected; // from SteerPos 0, one frame at 85 fps
    };
    for (const Case& c : {
             Case{0, true, false, false, 0},  // a standing car does not steer
             Case{50, false, true, false, 1}, // full rate from 50
             Case{160, false, true, false, 1}, Case{25, false, true, false, 0.5},
             Case{25, true, false, false, -0.5},
             Case{-5, false, true, false, -1}, // reversing steers the other way, full at -5
             Case{-2.5, false, true, false, -0.5}, Case{100, true, true, false, 0}, // both: left then right
             Case{100, false, true, true, 0}, // the handbrake locks the wheel
         }) {
        EXPECT_NEAR(SteerStep(0, c.left, c.right, c.handbrake, c.speed / 10, c.speed, 1.0), c.expected, 1e-12)
            << c.speed;
    }
    // Twice the frame time, twice the turn; full lock is 128, Heading 64.
    EXPECT_NEAR(SteerStep(0, false, true, false, 10, 100, 2.0), 2, 1e-12);
    double pos = 0;
    for (int i = 0; i < 300; ++i)
        pos = SteerStep(pos, false, true, false, 16, 160, 1.0);
    EXPECT_EQ(pos, 128);
    EXPECT_EQ(RoundHalfEven(pos / 2), 64);
    for (int i = 0; i < 600; ++i)
        pos = SteerStep(pos, true, false, false, 16, 160, 1.0);
    EXPECT_EQ(pos, -128);
    // Heading rounds halves to even.
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

} // namespace
} // namespace vorlane
