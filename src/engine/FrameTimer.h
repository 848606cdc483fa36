#pragma once
// The frame timer: ticks as often as the window's message loop is idle and hands each
// tick the move count, the whole milliseconds since the previous tick (at least 1),
// which the game passes on to the sprite engine. It also measures the frame rate over
// windows of about one second.
//
// The frame loop calls Idle() whenever it has no window events to handle; the
// application's activate and deactivate notifications go to Activate()/Deactivate().
// With ActiveOnly the game stands still while its window is in the background, and the
// first tick after re-activation carries only the time since then.
#include "engine/Clock.h"

#include <cstdint>
#include <functional>

namespace vorlane {

class TFrameTimer {
  public:
    using TimerEvent = std::function<void(int lagCount)>;
    using NotifyEvent = std::function<void()>;

    explicit TFrameTimer(IClock& clock);
    ~TFrameTimer();
    TFrameTimer(const TFrameTimer&) = delete;
    TFrameTimer& operator=(const TFrameTimer&) = delete;

    TimerEvent OnTimer;       // the tick, with the move count
    NotifyEvent OnActivate;   // raised on Activate()
    NotifyEvent OnDeactivate; // raised on Deactivate()

    // Only tick while the application is active.
    bool ActiveOnly = true;

    // Minimum milliseconds between ticks, and the unit of the move count: 0 ticks as
    // often as possible with the move count in milliseconds. Negative values become 0.
    int32_t Interval() const { return interval_; }
    void SetInterval(int32_t value);

    bool Enabled() const { return enabled_; }
    // Becoming true (after Loaded) starts the timer, becoming false stops it.
    void SetEnabled(bool value);

    // Called once the owner has set the timer up: starts it when enabled.
    void Loaded();
    // Stop, then resume unless ActiveOnly holds back an inactive application.
    void Start();
    // Detaches from the idle loop.
    void Stop();
    // Restarts the time base (frames counted so far are kept) and attaches.
    void Resume();

    // Application notifications.
    void Activate();
    void Deactivate();

    // The frame loop's idle call: ticks when attached and due. True when it ticked.
    bool Idle();

    // Frames per second of the last completed measuring window; 0 before the first.
    int FrameRate() const { return frameRate_; }
    bool Started() const { return started_; }
    bool Attached() const { return attached_; }
    bool ApplicationActive() const { return applicationActive_; }

  private:
    IClock& clock_;
    int32_t interval_ = 1000;
    int32_t lagDivisor_ = 1000;
    bool enabled_ = true;
    bool loaded_ = false;
    bool started_ = false;
    bool attached_ = false;
    bool applicationActive_ = true;
    uint32_t lastTick_ = 0;
    uint32_t windowStart_ = 0;
    int framesCounted_ = 0;
    int frameRate_ = 0;
};

} // namespace vorlane
