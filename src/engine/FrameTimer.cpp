#include "engine/FrameTimer.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vorlane {

TFrameTimer::TFrameTimer(IClock& clock) : clock_(clock) {}

TFrameTimer::~TFrameTimer() {
    Stop();
}

void TFrameTimer::SetInterval(int32_t value) {
    interval_ = std::max<int32_t>(value, 0);
    lagDivisor_ = std::max<int32_t>(value, 1);
}

void TFrameTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    if (!loaded_) return;
    if (value) {
        Start();
    } else {
        Stop();
    }
}

void TFrameTimer::Loaded() {
    loaded_ = true;
    if (enabled_) Start();
}

void TFrameTimer::Start() {
    Stop();
    if (!ActiveOnly || applicationActive_) Resume();
    started_ = true;
}

void TFrameTimer::Stop() {
    if (!started_) return;
    attached_ = false;
    started_ = false;
}

void TFrameTimer::Resume() {
    const uint32_t now = clock_.Milliseconds();
    lastTick_ = now;
    windowStart_ = now;
    attached_ = true;
}

void TFrameTimer::Activate() {
    applicationActive_ = true;
    if (OnActivate) OnActivate();
    if (started_ && ActiveOnly) Resume();
}

void TFrameTimer::Deactivate() {
    applicationActive_ = false;
    if (OnDeactivate) OnDeactivate();
    if (started_ && ActiveOnly) attached_ = false;
}

bool TFrameTimer::Idle() {
    if (!attached_) return false;
    const uint32_t now = clock_.Milliseconds();
    // Unsigned differences stay right across the 32-bit wrap of the clock.
    const uint32_t sinceLast = now - lastTick_;
    if (sinceLast < uint32_t(interval_)) return false;

    const uint32_t lag = sinceLast / uint32_t(lagDivisor_);
    lastTick_ = now;

    ++framesCounted_;
    const uint32_t elapsed = std::max<uint32_t>(now - windowStart_, 1);
    if (elapsed >= 1000) {
        frameRate_ = int(std::nearbyint(double(framesCounted_) * 1000.0 / double(elapsed)));
        framesCounted_ = 0;
        windowStart_ = now;
    }

    const int lagCount = lag > 0 ? int(std::min<uint32_t>(lag, INT_MAX)) : 1;
    if (OnTimer) OnTimer(lagCount);
    return true;
}

} // namespace vorlane
