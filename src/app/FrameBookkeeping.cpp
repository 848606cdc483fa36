#include "app/FrameBookkeeping.h"

namespace vorlane {

namespace {

// The rate every race speed is stated for.
constexpr int BaseRate = 85;
// What a display that reports no real refresh rate is taken to run at.
constexpr int DefaultRefreshRate = 60;

TFrameTiming UseRate(int rate) {
    if (rate <= 0) rate = BaseRate;
    return {1000 / rate, double(BaseRate) / double(rate)};
}

} // namespace

TFrameTiming FrameTimingFor(int frameRate, int refreshRate) {
    // A display that only reports a default rate answers 0 or 1: count it as 60 Hz, the
    // same rule the display layer applies, so nothing divides by zero.
    if (refreshRate <= 1) refreshRate = DefaultRefreshRate;
    // The rules apply in order, a later one overriding an earlier one.
    int rate = refreshRate;
    if (frameRate > 0) rate = frameRate;
    if (refreshRate - 3 <= frameRate && frameRate <= refreshRate) rate = refreshRate;
    if (frameRate > refreshRate + 2) rate = refreshRate;
    return UseRate(rate);
}

void UpdateFrameStats(TFrameStats& stats, int measuredRate) {
    stats.FrameRate = measuredRate;
    const TFrameTiming t = FrameTimingFor(stats.FrameRate, stats.RefreshRate);
    stats.FrameMs = t.FrameMs;
    stats.SpeedScale = t.SpeedScale;
}

} // namespace vorlane
