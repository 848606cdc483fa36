#include "app/EntryReplayWatch.h"

#include "app/Dialogs.h"
#include "app/KeyEdges.h"
#include "app/TMForm.h"
#include "menus/Screens.h"
#include "persist/ReplayShelf.h"
#include "platform/KeyCodes.h"
#include "race/Race.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <vector>

namespace vorlane {

namespace {

void CloseScreenShowing(TMForm& form) {
    switch (form.Screen.ActiveScreen) {
    case ScreenKind::MainMenu:
        CloseMainMenu(form);
        break;
    case ScreenKind::CarSelect:
        CloseCarSelect(form);
        break;
    case ScreenKind::Options:
        CloseOptions(form);
        break;
    case ScreenKind::HighScores:
        CloseHighScores(form);
        break;
    case ScreenKind::Help:
        CloseHelp(form);
        break;
    case ScreenKind::Race:
        EndRace(form);
        break;
    case ScreenKind::None:
        break;
    }
}

// The keys held when the playback ends (the Esc that left it) count as held before
// the next frame: they reach the screen only when pressed again.
void TakeHeldKeysAsOld(TKeyState& keys, TInputDevice& input) {
    UpdateKeyEdges(keys, input);
    keys.UpPressed = keys.DownPressed = keys.LeftPressed = keys.RightPressed = false;
    keys.PausePressed = keys.YesPressed = keys.NoPressed = keys.EscPressed = false;
}

} // namespace

TEntryReplayWatch::TEntryReplayWatch(TMForm& form) : form_(form) {}

TEntryReplayWatch::~TEntryReplayWatch() {
    // The game ends in the middle of a playback: the player's keyboard goes back, since
    // the replay's one goes with this.
    run_.reset();
    if (kept_.Input) form_.Input = std::move(kept_.Input);
}

void TEntryReplayWatch::Begin(int rank) {
    if (Active()) return;
    const std::string place = rank >= 1 && rank <= THighScoreTable::kSize ? PlaceText(rank) : "";
    const std::optional<std::string> bytes =
        rank >= 1 && rank <= THighScoreTable::kSize
            ? TReplayShelf(form_.SaveRoot).EntryReplay(form_.HighScores.Entries(), rank)
            : std::nullopt;
    if (!bytes) {
        Refuse(rank, place.empty() ? "NO RACE TO WATCH" : "NO RACE KEPT\nFOR " + place);
        return;
    }
    std::vector<uint8_t> file(bytes->begin(), bytes->end());
    try {
        ReplayPlayer check(file); // a file this game cannot play is refused before anything changes
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlane: the replay of entry %d: %s\n", rank, e.what());
        Refuse(rank, "THE RACE IN " + place + "\nIS DAMAGED");
        return;
    }
    PutAside();
    try {
        run_ = std::make_unique<TReplayRun>(form_, keys_.Setter(), std::move(file));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlane: the replay of entry %d: %s\n", rank, e.what());
        GiveBack();
        Refuse(rank, "THE RACE IN " + place + "\nIS DAMAGED");
        return;
    }
    end_ = {};
    pace_.Restart();
    paused_ = false;
}

void TEntryReplayWatch::Refuse(int rank, const std::string& notice) {
    ShowHighScoreNotice(form_, notice);
    // The row no longer offers what it cannot play.
    if (rank >= 1 && rank <= THighScoreTable::kSize) form_.Menu.Replays.Kept[size_t(rank - 1)] = false;
}

void TEntryReplayWatch::PutAside() {
    kept_.Options = form_.Options();
    kept_.HighScores = form_.HighScores;
    kept_.PlayerName = form_.Dialog.PlayerName;
    kept_.DialogKey = form_.Dialog.DialogKey;
    kept_.SendChoice = form_.Dialog.SendChoice;
    kept_.SelectedCar = form_.Menu.SelectedCar;
    kept_.Keys = form_.Keys;
    kept_.Stats = form_.Stats;
    kept_.RandomState = form_.Random.State();
    kept_.SelectedItem = form_.Screen.SelectedItem;
    kept_.ReplayRank = form_.Menu.Replays.Rank;
    kept_.Recording = form_.Recording.Enabled;

    form_.Recording.Enabled = false;
    form_.StopMusic(); // the replay's race plays its own, or none
    // The playback leaves from the main menu, as a race does.
    CloseHighScores(form_);
    OpenMainMenu(form_, 0, ItemNo(MainMenuItem::HighScores), false);
    // The race polls the replay's keys, on the game's own key table.
    keys_ = TReplayKeyboard();
    kept_.Input = std::move(form_.Input);
    form_.Input = std::make_unique<TInputDevice>(keys_);
    form_.Input->Assigns = GameKeyAssigns();
    form_.Input->ActiveOnly = true;
    form_.Input->KeyboardEnabled = true;
    form_.Input->Initialize();
}

void TEntryReplayWatch::GiveBack() {
    if (form_.Screen.ActiveDialog != DialogKind::None) CloseDialog(form_);
    CloseScreenShowing(form_);
    if (form_.Race) EndRace(form_);
    form_.Input = std::move(kept_.Input);

    // The frame statistics as they were, on the display as it is now.
    const int refreshRate = form_.Stats.RefreshRate;
    form_.Stats = kept_.Stats;
    form_.Stats.RefreshRate = refreshRate;
    // The mode the window shows now (the race may have switched it) against the player's.
    const bool shownFullScreen = form_.Options().FullScreenMode;
    form_.Options() = kept_.Options;
    if (form_.Options().FullScreenMode != shownFullScreen) form_.ApplyDisplayMode();
    form_.HighScores = kept_.HighScores;
    form_.Dialog.PlayerName = kept_.PlayerName;
    form_.Dialog.DialogKey = kept_.DialogKey;
    form_.Dialog.SendChoice = kept_.SendChoice;
    form_.Menu.SelectedCar = kept_.SelectedCar;
    form_.Keys = kept_.Keys;
    form_.Random.Seed(kept_.RandomState);
    form_.Recording.Enabled = kept_.Recording;

    form_.StopMusic();
    OpenHighScores(form_);
    form_.Screen.SelectedItem = kept_.SelectedItem;
    form_.Menu.Replays.Rank = kept_.ReplayRank;
    form_.ShowPointer();
    form_.PlayScreenMusic();
    TakeHeldKeysAsOld(form_.Keys, *form_.Input);
}

void TEntryReplayWatch::Leave() {
    if (!Active()) return;
    run_.reset();
    GiveBack();
}

void TEntryReplayWatch::Tick(int lagCount) {
    if (!Active()) return;
    if (paused_) {
        form_.ShowFrame(); // the picture stays, at the display's pace
        return;
    }
    const bool goesOn = pace_.ShowFrame(form_, *run_, lagCount, [this] {
        feeding_ = true;
        const bool more = run_->Next();
        feeding_ = false;
        // Over as soon as the race is: what the recording had after it (the events
        // that ended it) is no business of the screen it returns to.
        return more && !end_.Over(form_);
    });
    if (!goesOn) Leave();
}

void TEntryReplayWatch::WindowEvent(const InputEvent& e) {
    // What the player holds and points at meanwhile is theirs when the playback ends.
    if (e.kind == EventKind::KeyDown || e.kind == EventKind::KeyUp) {
        const bool down = e.kind == EventKind::KeyDown;
        if (e.key == vk::Shift) kept_.Keys.ShiftHeld = down;
        if (e.key == vk::Ctrl) kept_.Keys.CtrlHeld = down;
    } else if (e.kind == EventKind::MouseMove) {
        kept_.Keys.MouseX = e.x;
        kept_.Keys.MouseY = e.y;
        kept_.Keys.MouseKnown = true;
    } else if (e.kind == EventKind::Activate) {
        form_.FrameTimer->Activate();
    } else if (e.kind == EventKind::Deactivate) {
        form_.FrameTimer->Deactivate();
    }
    switch (WatchCommandOf(e)) {
    case ReplayWatchCommand::SwitchMode:
        // The player's own choice, kept when the playback ends.
        kept_.Options.FullScreenMode = !kept_.Options.FullScreenMode;
        form_.Options().FullScreenMode = kept_.Options.FullScreenMode;
        form_.ApplyDisplayMode();
        break;
    case ReplayWatchCommand::Leave:
        Leave();
        // Closing the window: the game asks whether to leave, as on the screen.
        if (e.kind == EventKind::CloseRequest) form_.HandleEvent(e);
        break;
    case ReplayWatchCommand::Pause:
        paused_ = !paused_;
        pace_.Restart();
        break;
    case ReplayWatchCommand::None:
        break;
    }
}

} // namespace vorlane
