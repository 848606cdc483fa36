#include "app/ReplayPace.h"

#include "app/ReplayRun.h"
#include "app/TMForm.h"

#include <algorithm>

namespace vorlane {

namespace {

// While several recorded frames are played on one displayed frame, each is drawn and
// none is shown; the form shows every frame again afterwards, whatever happened.
class HeldFrames {
  public:
    explicit HeldFrames(TMForm& form) : form_(form) { form_.ShowEachFrame = false; }
    ~HeldFrames() { form_.ShowEachFrame = true; }
    HeldFrames(const HeldFrames&) = delete;
    HeldFrames& operator=(const HeldFrames&) = delete;

  private:
    TMForm& form_;
};

} // namespace

void TReplayPace::Elapse(int elapsedMs) {
    owed_ += std::max(elapsedMs, 0);
    played_ = 0;
}

void TReplayPace::Played(int lag) {
    owed_ -= lag;
    ++played_;
}

void TReplayPace::Settle(int nextLag) {
    // Only a watcher that played all it may on this displayed frame and still owes the
    // next one is behind; one waiting for a long recorded frame keeps what it owes.
    if (played_ >= kMostFramesPerShown && owed_ >= nextLag)
        owed_ = std::min<long long>(owed_, std::max(nextLag, kMostBehindMs));
}

void TReplayPace::Restart() {
    owed_ = 0;
    played_ = 0;
}

bool TReplayPace::ShowFrame(TMForm& form, const TReplayRun& run, int elapsedMs,
                            const std::function<bool()>& playOne) {
    Elapse(elapsedMs);
    {
        HeldFrames held(form);
        while (Due(run.NextLag())) {
            Played(run.NextLag());
            if (!playOne()) return false;
        }
    }
    Settle(run.NextLag());
    form.ShowFrame();
    return true;
}

} // namespace vorlane
