#include "sim/Helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

namespace vorlane {
namespace {

struct CycleCase {
    int v;
    int after;
    bool wrapped;
};

TEST(CycleNext, StepsUpAndWrapsToLow) {
    const CycleCase cases[] = {
        {1, 2, false}, {4, 5, false}, {5, 1, true},  // the end wraps
        {0, 1, true},  {9, 1, true},  {-3, 1, true}, // out of range jumps to lo
    };
    for (const CycleCase& c : cases) {
        int v = c.v;
        EXPECT_EQ(CycleNext(v, 1, 5), c.wrapped) << "from " << c.v;
        EXPECT_EQ(v, c.after) << "from " << c.v;
    }
}

TEST(CyclePrev, StepsDownAndWrapsToHigh) {
    const CycleCase cases[] = {
        {5, 4, false}, {2, 1, false}, {1, 5, true}, // the start wraps
        {0, 5, true},  {9, 5, true},  {6, 5, true}, // out of range jumps to hi
    };
    for (const CycleCase& c : cases) {
        int v = c.v;
        EXPECT_EQ(CyclePrev(v, 1, 5), c.wrapped) << "from " << c.v;
        EXPECT_EQ(v, c.after) << "from " << c.v;
    }
}

TEST(TryCountDown, RefusesToDropBelowLow) {
    struct Case {
        int v, lo, step;
        bool counted;
        int after;
    };
    const Case cases[] = {
        {10, 0, 15, false, 10}, // would drop below: left alone
        {15, 0, 15, true, 0},   // reaching lo exactly is fine
        {16, 0, 15, true, 1},
        {0, 0, 0, true, 0},
        {100, 50, 11, true, 89},
        {55, 50, 11, false, 55},
        {INT_MIN + 5, INT_MIN, 100, false, INT_MIN + 5}, // no overflow near the end of int
    };
    for (const Case& c : cases) {
        int v = c.v;
        EXPECT_EQ(TryCountDown(v, c.lo, c.step), c.counted) << c.v << " - " << c.step << " vs " << c.lo;
        EXPECT_EQ(v, c.after) << c.v << " - " << c.step << " vs " << c.lo;
    }
}

TEST(TryCountDown, ALevelBannerAt85FramesPerSecondClosesOnFrame182) {
    int timer = 2000;
    int frames = 1;
    while (TryCountDown(timer, 0, 11))
        ++frames;
    EXPECT_EQ(frames, 182);
    EXPECT_EQ(timer, 9);
}

TEST(StepUpAndDown, NeverPassTheBoundAndNeverWrap) {
    struct Case {
        int v, bound, step, up, down;
    };
    // StepUp uses bound as hi, StepDown as lo.
    const Case cases[] = {
        {3, 5, 1, 4, 3}, // up to 4; down would go further below lo 5: stays
        {5, 5, 1, 5, 5}, // at the bound: neither moves past it
        {4, 5, 2, 4, 4}, // up would pass 5: stays
        {7, 5, 2, 7, 5}, // down to exactly 5
        {8, 5, 2, 8, 6}, {INT_MAX - 1, INT_MAX, 5, INT_MAX - 1, INT_MAX - 1},
    };
    for (const Case& c : cases) {
        int up = c.v, down = c.v;
        StepUp(up, c.bound, c.step);
        StepDown(down, c.bound, c.step);
        EXPECT_EQ(up, c.up) << "StepUp from " << c.v;
        EXPECT_EQ(down, c.down) << "StepDown from " << c.v;
    }
    int v = INT_MIN + 1;
    StepDown(v, INT_MIN, 5);
    EXPECT_EQ(v, INT_MIN + 1);
}

TEST(ResetIfOut, OnlyValuesOutsideTheRangeMove) {
    struct Case {
        int v, low, high;
    };
    const Case cases[] = {{0, 1, 5}, {1, 1, 1}, {3, 3, 3}, {5, 5, 5}, {6, 1, 5}};
    for (const Case& c : cases) {
        int low = c.v, high = c.v;
        ResetLowIfOut(low, 1, 5);
        ResetHighIfOut(high, 1, 5);
        EXPECT_EQ(low, c.low) << "from " << c.v;
        EXPECT_EQ(high, c.high) << "from " << c.v;
    }
}

const TQuad kSquare{{{{0, 0}, {10, 0}, {10, 10}, {0, 10}}}};

TEST(PointInQuad, InsideOutsideCornerAndSide) {
    struct Case {
        const char* what;
        TPointD p;
        bool inside;
    };
    const Case cases[] = {
        {"centre", {5, 5}, true},
        {"off centre", {2, 8}, true},
        {"right of it", {20, 5}, false},
        {"above it", {5, -6}, false},
        {"diagonally away", {-5, -5}, false},
        {"far away", {1000, 1000}, false},
        {"on corner 1", {0, 0}, true},
        {"on corner 3", {10, 10}, true},
        {"on the top side", {5, 0}, true},
        {"on the right side", {10, 5}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PointInQuad(c.p, kSquare), c.inside) << c.what;
    }
    // Corners the other way round and a turned square give the same answers.
    const TQuad reversed{{{{0, 10}, {10, 10}, {10, 0}, {0, 0}}}};
    EXPECT_TRUE(PointInQuad({5, 5}, reversed));
    EXPECT_FALSE(PointInQuad({20, 5}, reversed));
    EXPECT_TRUE(PointInQuad(0.5, 0.5, 0, -2, 2, 0, 0, 2, -2, 0));
    EXPECT_FALSE(PointInQuad(1.9, 1.9, 0, -2, 2, 0, 0, 2, -2, 0));
}

TEST(PointInQuad, APointOnASideIsInsideEvenWhenRoundingOvershoots) {
    // On the side from (0, 0) to (1, 6) a third of the way along, the dot product
    // of the two unit vectors rounds to just below -1.
    const TQuad slanted{{{{0, 0}, {1, 6}, {7, 6}, {6, 0}}}};
    EXPECT_TRUE(PointInQuad({1.0 / 3.0, 2.0}, slanted));
}

// The angle sum over all four corners, as the rule reads, without any shortcut (the
// same arithmetic, so that only a shortcut can make a difference).
bool AngleSumInside(double px, double py, const TQuad& q) {
    double ux[4], uy[4];
    for (size_t i = 0; i < 4; ++i) {
        const double dx = q.corners[i].x - px, dy = q.corners[i].y - py;
        const double length = std::sqrt(dx * dx + dy * dy);
        if (length == 0.0) return true;
        ux[i] = dx / length;
        uy[i] = dy / length;
    }
    double sum = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t j = (i + 1) % 4;
        sum += std::acos(std::clamp(ux[i] * ux[j] + uy[i] * uy[j], -1.0, 1.0)) * 57.29577951308232;
    }
    return sum >= 355.0;
}

// Points far from a quad are answered without the angle sum; the answers must be those
// of the sum everywhere: near the sides (where a point just outside still counts as
// inside), far away, and for turned, thin, crossed and collapsed quads.
TEST(PointInQuad, AgreesWithTheFullAngleSumNearAndFar) {
    const TQuad quads[] = {
        {{{{0, 0}, {10, 0}, {10, 10}, {0, 10}}}},               // a square
        {{{{0, -2}, {2, 0}, {0, 2}, {-2, 0}}}},                 // turned by 45 degrees
        {{{{0, 0}, {64, 0}, {64, 1}, {0, 1}}}},                 // a thin strip, like a wall's box
        {{{{0, 0}, {10, 10}, {10, 0}, {0, 10}}}},               // crossed (a bow tie)
        {{{{5, 5}, {5, 5}, {5, 5}, {5, 5}}}},                   // a single point
        {{{{-31.5, 7.25}, {20.1, -40}, {60, 33.3}, {-5, 48}}}}, // an uneven one
    };
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> spread(-1.0, 1.0);
    for (const TQuad& q : quads) {
        for (double scale : {0.01, 0.5, 3.0, 20.0, 200.0}) {
            for (int n = 0; n < 2000; ++n) {
                // Around a corner or the middle of a side, at this scale.
                const TPointD& a = q.corners[size_t(n % 4)];
                const TPointD& b = q.corners[size_t((n + 1) % 4)];
                const double t = (n / 4) % 2 == 0 ? 0.0 : 0.5;
                const double px = a.x + (b.x - a.x) * t + spread(random) * scale;
                const double py = a.y + (b.y - a.y) * t + spread(random) * scale;
                ASSERT_EQ(PointInQuad({px, py}, q), AngleSumInside(px, py, q))
                    << "point (" << px << ", " << py << ") against quad starting (" << q.corners[0].x << ", "
                    << q.corners[0].y << ")";
            }
        }
    }
}

TEST(QuadsOverlap, NeedsACornerOfOneInTheOther) {
    const TQuad far{{{{100, 100}, {110, 100}, {110, 110}, {100, 110}}}};
    const TQuad cornerIn{{{{8, 8}, {18, 8}, {18, 18}, {8, 18}}}};
    const TQuad around{{{{-5, -5}, {15, -5}, {15, 15}, {-5, 15}}}};
    const TQuad touching{{{{10, 10}, {20, 10}, {20, 20}, {10, 20}}}};
    // A plus sign: each bar crosses the other, no corner in the other.
    const TQuad wide{{{{-10, 4}, {20, 4}, {20, 6}, {-10, 6}}}};
    const TQuad tall{{{{4, -10}, {6, -10}, {6, 20}, {4, 20}}}};

    EXPECT_TRUE(QuadsOverlap(kSquare, kSquare));
    EXPECT_FALSE(QuadsOverlap(kSquare, far));
    EXPECT_TRUE(QuadsOverlap(kSquare, cornerIn));
    EXPECT_TRUE(QuadsOverlap(cornerIn, kSquare));
    EXPECT_TRUE(QuadsOverlap(kSquare, around)) << "every corner of the small one is in the big one";
    EXPECT_TRUE(QuadsOverlap(around, kSquare));
    EXPECT_TRUE(QuadsOverlap(kSquare, touching)) << "a shared corner counts";
    EXPECT_FALSE(QuadsOverlap(wide, tall));
}

} // namespace
} // namespace vorlane
