#pragma once
// Which frame rate the game runs its clocks and speeds by.
#include "sim/FrameStats.h"

namespace vorlane {

struct TFrameTiming {
    int FrameMs = 0;
    double SpeedScale = 1.0;
};

// The measured rate is used when it is more than 3 below the refresh rate or exactly
// 1 or 2 above it; otherwise (and while nothing has been measured yet, FrameRate 0)
// the refresh rate is used. Using a rate R gives SpeedScale 85 / R and FrameMs the
// integer part of 1000 / R. A refresh rate of 0 or 1 (a display that reports only a
// default rate) is taken as 60 Hz so that nothing divides by zero.
TFrameTiming FrameTimingFor(int frameRate, int refreshRate);

// The end-of-frame step: FrameRate := the timer's measured rate, then FrameMs and
// SpeedScale for the next frame.
void UpdateFrameStats(TFrameStats& stats, int measuredRate);

} // namespace vorlane
