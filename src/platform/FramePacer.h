#pragma once
// Keeps the frame loop from running faster than the display refreshes when Flip()
// does not wait for the vertical blank (software renderer, vsync refused).
#include "engine/Clock.h"

#include <cstdint>
#include <functional>

namespace vorlane {

class FramePacer {
  public:
    using SleepFn = std::function<void(uint32_t milliseconds)>;
    // `sleep` is called with the time to wait; a headless run passes one that does
    // nothing (its injected clock does not move by sleeping).
    FramePacer(IClock& clock, SleepFn sleep) : clock_(clock), sleep_(std::move(sleep)) {}

    // Call once per frame after Flip(). With vsync in effect it returns at once;
    // otherwise it waits until 1000 / refreshRate ms have passed since the previous
    // frame's deadline. A frame that ran late starts a new schedule instead of
    // rushing the following frames to catch up.
    void WaitForNextFrame(int refreshRate, bool vsync);
    // Milliseconds of the last wait (0 when it did not wait), for tests and statistics.
    uint32_t LastWait() const { return lastWait_; }

  private:
    IClock& clock_;
    SleepFn sleep_;
    bool started_ = false;
    uint32_t anchor_ = 0;   // clock reading the schedule counts from
    double nextOffset_ = 0; // milliseconds after anchor_ of the next frame
    uint32_t lastWait_ = 0;
};

} // namespace vorlane
