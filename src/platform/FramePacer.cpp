// Frame pacing for displays without vertical-blank synchronisation.
#include "platform/FramePacer.h"

#include <cmath>

namespace vorlane {

void FramePacer::WaitForNextFrame(int refreshRate, bool vsync) {
    lastWait_ = 0;
    if (vsync) {
        started_ = false;
        return;
    }
    const double period = 1000.0 / (refreshRate > 1 ? refreshRate : 60);
    const uint32_t now = clock_.Milliseconds();
    if (!started_) {
        started_ = true;
        anchor_ = now;
        nextOffset_ = period;
        return;
    }
    // Unsigned difference: correct across the 32-bit wrap of the clock.
    const double elapsed = double(uint32_t(now - anchor_));
    if (elapsed >= nextOffset_ + period) {
        // A whole frame behind (a stall, or a clock that went backwards and wrapped):
        // restart the schedule from now.
        anchor_ = now;
        nextOffset_ = period;
        return;
    }
    if (elapsed < nextOffset_) {
        lastWait_ = uint32_t(std::floor(nextOffset_ - elapsed));
        if (lastWait_ > 0 && sleep_) sleep_(lastWait_);
    }
    nextOffset_ += period;
    // Keep the numbers small: move the anchor along in whole milliseconds.
    if (nextOffset_ > 10000) {
        const uint32_t shift = uint32_t(nextOffset_) - 1000;
        anchor_ += shift;
        nextOffset_ -= shift;
    }
}

} // namespace vorlane
