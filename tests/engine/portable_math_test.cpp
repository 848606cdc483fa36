// The race's trigonometry without the C library: the portable functions against the C
// library of the machine the tests run on (the reference where they were written: Debian
// 12, glibc, x86-64), and the tables that keep the race's values where that library
// rounds otherwise.
#include "engine/MathTables.h"
#include "engine/PortableMath.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>

namespace vorlane {
namespace {

// How many doubles lie between a and b (0: the same bits).
int64_t UlpsApart(double a, double b) {
    auto key = [](double v) {
        const int64_t bits = std::bit_cast<int64_t>(v);
        return bits < 0 ? std::numeric_limits<int64_t>::min() - bits : bits;
    };
    const int64_t d = key(a) - key(b);
    return d < 0 ? -d : d;
}

constexpr double kTurn = 2.0 * std::numbers::pi / 256.0;

// The race's three ways of writing the radians of a heading give the same double,
// and the table holds the library's sine and cosine of it.
TEST(PortableMath, TheTurnTableHoldsTheLibrarysSineAndCosineOfEveryWhole256th) {
    for (int n = -kTurnTableReach; n <= kTurnTableReach; ++n) {
        const double x = n * kTurn;
        ASSERT_EQ(x, n * 2 * std::numbers::pi / 256) << n;
        ASSERT_EQ(UlpsApart(TurnSin(n), std::sin(x)), 0) << n;
        ASSERT_EQ(UlpsApart(TurnCos(n), std::cos(x)), 0) << n;
        // The portable functions agree on all of them too.
        ASSERT_EQ(UlpsApart(PortableSin(x), std::sin(x)), 0) << n;
        ASSERT_EQ(UlpsApart(PortableCos(x), std::cos(x)), 0) << n;
    }
    // Beyond the table the answer is computed, still as the race writes the radians.
    EXPECT_EQ(TurnSin(kTurnTableReach + 3), PortableSin((kTurnTableReach + 3) * kTurn));
    EXPECT_EQ(TurnCos(-kTurnTableReach - 3), PortableCos((-kTurnTableReach - 3) * kTurn));
}

TEST(PortableMath, TheExceptionTablesHoldTheLibrarysValuesSortedByArgument) {
    struct Table {
        const TMathException* list;
        int count;
        double (*library)(double);
        double (*race)(double);
        double (*portable)(double);
    };
    const Table tables[] = {
        {kSinExceptions, kSinExceptionCount, [](double x) { return std::sin(x); }, RaceSin, PortableSin},
        {kCosExceptions, kCosExceptionCount, [](double x) { return std::cos(x); }, RaceCos, PortableCos},
        {kAtanExceptions, kAtanExceptionCount, [](double x) { return std::atan(x); }, RaceAtan, PortableAtan},
    };
    for (const Table& t : tables) {
        for (int i = 0; i < t.count; ++i) {
            const TMathException& e = t.list[i];
            if (i > 0) {
                EXPECT_LT(t.list[i - 1].Argument, e.Argument);
            }
            EXPECT_EQ(UlpsApart(e.Value, t.library(e.Argument)), 0) << e.Argument;
            EXPECT_EQ(t.race(e.Argument), e.Value);
            // Only where the portable value differs, and then by one unit in the last place.
            EXPECT_EQ(UlpsApart(t.portable(e.Argument), e.Value), 1) << e.Argument;
        }
        // Elsewhere the race's function is the portable one.
        EXPECT_EQ(t.race(0.3), t.portable(0.3));
    }
    // Both at once, exceptions and all.
    for (int i = 0; i < kSinExceptionCount + kCosExceptionCount + 1; ++i) {
        const double x = i < kSinExceptionCount ? kSinExceptions[i].Argument
                         : i < kSinExceptionCount + kCosExceptionCount
                             ? kCosExceptions[i - kSinExceptionCount].Argument
                             : -0.0;
        double s = 0, c = 0;
        RaceSinCos(x, s, c);
        EXPECT_EQ(UlpsApart(s, RaceSin(x)), 0) << x;
        EXPECT_EQ(UlpsApart(c, RaceCos(x)), 0) << x;
    }
}

// Correct rounding cannot be checked against a library that is not correctly rounded
// itself; but both lie within one unit in the last place of the true value, so they
// never differ by more than one, and nearly always not at all.
TEST(PortableMath, SineCosineArcTangentAndArcCosineAgreeWithTheLibraryToTheLastBitNearlyAlways) {
    std::mt19937_64 random(22);
    struct Case {
        const char* name;
        double lo, hi;
        double (*portable)(double);
        double (*library)(double);
    };
    const Case cases[] = {
        {"sin", -7, 7, PortableSin, [](double x) { return std::sin(x); }},
        {"cos", -7, 7, PortableCos, [](double x) { return std::cos(x); }},
        {"sin small", -1e-3, 1e-3, PortableSin, [](double x) { return std::sin(x); }},
        {"atan", -50, 50, PortableAtan, [](double x) { return std::atan(x); }},
        {"atan wide", -1e6, 1e6, PortableAtan, [](double x) { return std::atan(x); }},
        {"acos", -1, 1, PortableAcos, [](double x) { return std::acos(x); }},
        {"acos near 1", 0.999999, 1, PortableAcos, [](double x) { return std::acos(x); }},
        {"acos near -1", -1, -0.999999, PortableAcos, [](double x) { return std::acos(x); }},
    };
    for (const Case& c : cases) {
        std::uniform_real_distribution<double> pick(c.lo, c.hi);
        int differ = 0;
        constexpr int kSamples = 40000;
        for (int i = 0; i < kSamples; ++i) {
            const double x = pick(random);
            const int64_t apart = UlpsApart(c.portable(x), c.library(x));
            ASSERT_LE(apart, 1) << c.name << " of " << x;
            differ += apart != 0 ? 1 : 0;
        }
        EXPECT_LT(differ, kSamples / 200) << c.name;
    }
}

TEST(PortableMath, EdgesAndSpecialValues) {
    EXPECT_EQ(PortableSin(0.0), 0.0);
    EXPECT_TRUE(std::signbit(PortableSin(-0.0)));
    EXPECT_EQ(PortableCos(0.0), 1.0);
    EXPECT_EQ(PortableAtan(0.0), 0.0);
    EXPECT_TRUE(std::signbit(PortableAtan(-0.0)));
    EXPECT_EQ(PortableAtan(1.0), std::atan(1.0));
    EXPECT_EQ(PortableAtan(1e308), std::atan(1e308));
    EXPECT_EQ(PortableAtan(-1e308), std::atan(-1e308));
    EXPECT_EQ(PortableAcos(1.0), 0.0);
    for (const double x : {-1.0, -0.5, 0.0, 0.5, std::nextafter(0.5, 1.0), std::nextafter(-0.5, -1.0),
                           std::nextafter(1.0, 0.0), std::nextafter(-1.0, 0.0), 1e-300}) {
        EXPECT_LE(UlpsApart(PortableAcos(x), std::acos(x)), 1) << x;
        EXPECT_LE(std::fabs(QuickAcos(x) - std::acos(x)), 1e-12) << x;
    }
    EXPECT_TRUE(std::isnan(PortableAcos(1.5)));
    EXPECT_TRUE(std::isnan(QuickAcos(-1.5)));
    EXPECT_TRUE(std::isnan(PortableAcos(std::nan(""))));
}

TEST(PortableMath, TheQuickArcCosineKeepsWithinItsBound) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> pick(-1, 1);
    double worst = 0;
    for (int i = 0; i < 200000; ++i) {
        const double x = pick(random);
        worst = std::max(worst, std::fabs(QuickAcos(x) - std::acos(x)));
    }
    EXPECT_LT(worst, 1e-12);
}

} // namespace
} // namespace vorlane
