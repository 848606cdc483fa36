#pragma once
// The pace of a watched replay (from the high-score table or with --replay): every
// recorded frame comes after its own move count, whatever the display's rate. Each
// displayed frame adds the time it took to what is owed, and the recorded frames that
// fit into it are played on that displayed frame, drawn, and only the last of them is
// shown: a 60 Hz display shows a race played at 85 Hz one or two recorded frames at a
// time, and a display that waits for its vertical blank on every flip is not slowed
// down by them. A recorded frame longer than the display's period (a stall while the
// race was played) simply waits until its own time has passed.
//
// A watcher that fell behind (the machine busy, the window dragged) plays at most
// kMostFramesPerShown recorded frames on one displayed frame, and what it still owes
// then is cut to kMostBehindMs (never below the next frame's own move count), so it
// catches up briefly instead of rushing through the race.
#include <functional>

namespace vorlane {

class TMForm;
class TReplayRun;

class TReplayPace {
  public:
    static constexpr int kMostFramesPerShown = 4;
    static constexpr int kMostBehindMs = 250;

    // A displayed frame begins, elapsedMs after the previous one (negative counts as 0).
    void Elapse(int elapsedMs);
    // Whether the recorded frame of move count lag is due on this displayed frame.
    bool Due(int lag) const { return played_ < kMostFramesPerShown && owed_ >= lag; }
    // The recorded frame of move count lag was played.
    void Played(int lag);
    // The displayed frame's recorded frames are played; nextLag is the move count of
    // the one that comes next.
    void Settle(int nextLag);
    // After a pause: nothing is owed, the next frame comes after its own time.
    void Restart();

    long long OwedMs() const { return owed_; }
    int PlayedThisFrame() const { return played_; }

    // One displayed frame of the replay `run` in `form`: plays the recorded frames due
    // (playOne plays the next one and answers whether the watch goes on), drawing each
    // and showing only the last, or shows the last frame again when none is due.
    // Answers false once playOne did (nothing is shown then).
    bool ShowFrame(TMForm& form, const TReplayRun& run, int elapsedMs, const std::function<bool()>& playOne);

  private:
    long long owed_ = 0; // milliseconds of recorded time due and not yet played
    int played_ = 0;     // recorded frames played on this displayed frame
};

} // namespace vorlane
