#include "app/ReplayRun.h"

#include "app/HeadlessServices.h"

#include "app/TMForm.h"
#include "menus/Screens.h"
#include "platform/KeyCodes.h"
#include "race/Race.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <mutex>

namespace vorlane {

TReplayRun::TReplayRun(TMForm& form, KeySetter setKey, std::vector<uint8_t> file)
    : form_(form), setKey_(std::move(setKey)), player_(std::move(file)) {
    const ReplayStart& start = player_.Start();
    // The way the car selection's start button leaves the menus.
    CloseMainMenu(form_);
    OpenCarSelect(form_);
    form_.Menu.SelectedCar = start.Car;
    CloseCarSelect(form_);
    OpenMainMenu(form_, 0, 1, false);
    CloseMainMenu(form_);
    // What the race reads of the game at its start. The switches are the game's own
    // for this run only: a watching or checking game never saves its options.
    form_.Options().SoundOn = (start.Options & uint32_t(ReplayOption::SoundOn)) != 0;
    form_.Options().MusicOn = (start.Options & uint32_t(ReplayOption::MusicOn)) != 0;
    form_.Keys.MouseX = start.MouseX;
    form_.Keys.MouseY = start.MouseY;
    form_.Dialog.PlayerName = start.PlayerName;
    SetHeld(start.InitialHeld);
    form_.Input->PollInput();
    form_.Random.Seed(start.Seed);
    StartRace(form_);
    hasNext_ = player_.Next(next_);
}

void TReplayRun::SetHeld(uint64_t held) {
    const TKeyAssignList keys = GameKeyAssigns();
    for (int state = 0; state < InputStateCount; ++state)
        if (const int code = keys[size_t(state)][0]) setKey_(code, (HeldStates(held) & StateBit(state)) != 0);
    form_.Keys.ShiftHeld = HeldShift(held);
    form_.Keys.CtrlHeld = HeldCtrl(held);
}

bool TReplayRun::Next() {
    if (done_) return false;
    if (!hasNext_) {
        for (const ReplayEvent& e : player_.TrailingEvents())
            form_.HandleEvent(InputEventOf(e));
        if (!endedAtFrame_ && watch_.Over(form_)) endedAtFrame_ = played_;
        done_ = true;
        return false;
    }
    for (const ReplayEvent& e : next_.Events)
        form_.HandleEvent(InputEventOf(e));
    SetHeld(next_.Held);
    form_.Stats.FrameMs = next_.Step.FrameMs;
    form_.Stats.SpeedScale = next_.Step.SpeedScale;
    form_.RunFrame(next_.Step.LagCount);
    ++played_;
    hasNext_ = player_.Next(next_);
    if (watch_.Over(form_)) {
        endedAtFrame_ = played_;
        // The race is over: only the recording's own last frame may end it.
        if (hasNext_) done_ = true;
    }
    return !done_;
}

ReplayVerdict TReplayRun::Verdict() const {
    ReplayVerdict v;
    const RaceResult& got = watch_.Result();
    const ReplayOutcome& want = player_.Outcome();
    v.Score = got.Score;
    v.Level = got.Level;
    v.Lives = got.Lives;
    v.Frames = played_;
    v.Seed = player_.Start().Seed;
    v.Kind = ReplayVerdictKind::Diverged;
    const std::string recorded = std::to_string(want.Frames);
    if (endedAtFrame_ == 0) {
        v.Message = "the race was still on after the " + recorded + " recorded frames";
    } else if (endedAtFrame_ != want.Frames) {
        v.Message = "the race ended at frame " + std::to_string(endedAtFrame_) + ", the recording at frame " +
                    recorded;
    } else if (got.Score != want.Result.Score) {
        v.Message = "frame " + recorded + ": score " + std::to_string(got.Score) + ", recorded " +
                    std::to_string(want.Result.Score);
    } else if (got.Level != want.Result.Level) {
        v.Message = "frame " + recorded + ": level " + std::to_string(got.Level) + ", recorded " +
                    std::to_string(want.Result.Level);
    } else if (got.Lives != want.Result.Lives) {
        v.Message = "frame " + recorded + ": lives " + std::to_string(got.Lives) + ", recorded " +
                    std::to_string(want.Result.Lives);
    } else {
        v.Kind = ReplayVerdictKind::Ok;
    }
    return v;
}

void TReplayKeyboard::Snapshot(uint8_t keys[256]) {
    std::copy(held_, held_ + 256, keys);
}

void TReplayKeyboard::SetDown(int key, bool down) {
    if (key > 0 && key < 256) held_[key] = down ? 0x80 : 0;
}

namespace {

// A clock that never moves: the run gives every frame its recorded move count.
class StillClock final : public IClock {
  public:
    uint32_t Milliseconds() override { return 1000; }
};

// No browser and no network in a check.
class NoShell final : public IShell {
  public:
    void Open(const std::string&) override {}
};
class NoHttp final : public IHttpClient {
  public:
    bool Get(const HttpRequest&) override { return false; }
};

std::mutex& SdlLock() {
    static std::mutex lock;
    return lock;
}

ReplayVerdict Refused(std::string message) {
    ReplayVerdict v;
    v.Kind = ReplayVerdictKind::Refused;
    v.Message = std::move(message);
    return v;
}

} // namespace

ReplayWatchCommand WatchCommandOf(const InputEvent& e) {
    if (e.kind == EventKind::CloseRequest) return ReplayWatchCommand::Leave;
    if (e.kind != EventKind::KeyDown || e.repeat) return ReplayWatchCommand::None;
    if (e.key == vk::Esc) return ReplayWatchCommand::Leave;
    if (e.key == 'P') return ReplayWatchCommand::Pause;
    if (e.alt && e.key == vk::Enter) return ReplayWatchCommand::SwitchMode;
    return ReplayWatchCommand::None;
}

ReplayVerdict VerifyReplay(const std::vector<uint8_t>& bytes, const std::filesystem::path& dataDir) {
    std::unique_ptr<ReplayPlayer> check;
    try {
        check = std::make_unique<ReplayPlayer>(bytes); // refuse a bad file before any SDL work
    } catch (const std::exception& e) {
        return Refused(e.what());
    }
    check.reset();

    const std::lock_guard<std::mutex> hold(SdlLock());
    StillClock clock;
    TReplayKeyboard keys;
    NoShell shell;
    NoHttp http;
    // The seed is the replay's own; the rate only sets the first frame's statistics,
    // which every recorded frame replaces.
    TMFormServices services = HeadlessServices(dataDir, 1, 85, {&clock, &keys, &shell, &http});
    services.RecordRaces = false;
    // Nobody watches a check: no window, no drawing, no sound.
    services.Platform.blind = true;
    try {
        TMForm form(std::move(services));
        TReplayRun run(form, keys.Setter(), bytes);
        while (run.Next()) {
        }
        return run.Verdict();
    } catch (const ReplayError& e) {
        return Refused(e.what());
    } catch (const std::exception& e) {
        return Refused(std::string("the game could not play the replay: ") + e.what());
    }
}

} // namespace vorlane
