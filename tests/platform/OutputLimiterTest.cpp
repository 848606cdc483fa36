// The mix's gain staging: the limiter brings the mix (made at the headroom) back up,
// turns a mix that would pass the ceiling down without clipping it, and lets the
// level come back when it is quiet again.
#include "platform/detail/OutputLimiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace vorlane {
namespace {

using detail::kMixCeiling;
using detail::kMixMakeup;
using detail::OutputLimiter;

constexpr int kRate = 44100;

// A stereo sine of `amplitude` at 441 Hz (100 samples a cycle) for `frames` frames.
std::vector<int16_t> Sine(double amplitude, int frames) {
    std::vector<int16_t> s;
    for (int f = 0; f < frames; ++f) {
        const auto v = int16_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * f / 100.0)));
        s.push_back(v);
        s.push_back(v);
    }
    return s;
}

int Peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to && i < s.size(); ++i)
        peak = std::max(peak, std::abs(int(s[i])));
    return peak;
}

TEST(OutputLimiterTest, QuietMixesComeBackUpWhileLoudOnesAreTurnedDownBelowFullScaleWithoutClipping) {
    struct Case {
        std::string What;
        double Amplitude; // of the mix as made, at the headroom
        bool Limited;
    };
    const Case cases[] = {
        {"one sound", 3000, false},              // 3000 * 5.6 = 16800: as it is, brought up
        {"just under the ceiling", 5150, false}, // 28840
        {"many sounds", 12000, true},            // 67200 would be two full scales over
        {"the 16-bit sum at its limit", 32767, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        OutputLimiter limiter(kRate, 2);
        const std::vector<int16_t> in = Sine(c.Amplitude, kRate / 2);
        std::vector<int16_t> out = in;
        // In blocks of 1024 frames, as the mixer hands them over.
        for (size_t at = 0; at < out.size(); at += 2048)
            limiter.Apply(out.data() + at, std::min<size_t>(2048, out.size() - at));
        EXPECT_LE(Peak(out, 0, out.size()), int(kMixCeiling));
        if (!c.Limited) {
            EXPECT_DOUBLE_EQ(limiter.Gain(), 1.0);
            for (size_t i = 0; i < in.size(); ++i)
                ASSERT_NEAR(out[i], in[i] * kMixMakeup, 0.5) << i;
            continue;
        }
        // After the first peak the level holds: the sine stays a sine, scaled down to
        // the ceiling, instead of being cut flat at full scale.
        EXPECT_LT(limiter.Gain(), 1.0);
        const double g = double(out[2 * 125]) / in[2 * 125]; // a quarter cycle after the first peak
        for (size_t i = 2 * 200; i < in.size(); ++i)
            ASSERT_NEAR(out[i], in[i] * g, 1.0) << i;
        EXPECT_GT(Peak(out, 400, out.size()), int(kMixCeiling) - 30) << "as loud as it may be";
    }
}

TEST(OutputLimiterTest, TheLevelComesBackWithinHalfASecondOfTheLoudPart) {
    OutputLimiter limiter(kRate, 2);
    std::vector<int16_t> loud = Sine(20000, 4410);
    limiter.Apply(loud.data(), loud.size());
    const double held = limiter.Gain();
    ASSERT_LT(held, 0.3);
    std::vector<int16_t> quiet = Sine(1000, kRate / 2);
    limiter.Apply(quiet.data(), quiet.size());
    EXPECT_GT(limiter.Gain(), 0.95);
    // Held a moment, then back up cycle by cycle, never in a jump.
    int before = Peak(quiet, 0, 200);
    EXPECT_EQ(Peak(quiet, 2 * 2000, 2 * 2100), before) << "held for the first 45 ms";
    for (size_t cycle = 1; cycle < quiet.size() / 200; ++cycle) {
        const int peak = Peak(quiet, cycle * 200, cycle * 200 + 200);
        EXPECT_GE(peak, before);
        EXPECT_LE(peak, before + before / 20 + 1) << "cycle " << cycle;
        before = peak;
    }
}

} // namespace
} // namespace vorlane
