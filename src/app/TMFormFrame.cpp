// One frame of the game, run by every tick of the frame timer.
#include "app/FrameBookkeeping.h"
#include "app/TMForm.h"

#include "app/Dialogs.h"
#include "app/EntryReplayWatch.h"
#include "menus/Screens.h"
#include "race/Race.h"

namespace vorlane {

void TMForm::Tick(int lagCount) {
    PollPad();
    if (entryReplay_->Active())
        entryReplay_->Tick(lagCount); // the replay runs its own frames at its own pace
    else
        RunFrame(lagCount);
}

bool TMForm::WatchingReplay() const {
    return entryReplay_->Active();
}

void TMForm::RunFrame(int lagCount) {
    RunFrameSteps(lagCount);
    Recording.Settle(*this); // the frame may have ended the race
}

void TMForm::RunFrameSteps(int lagCount) {
    LagCount = lagCount;
    // A selection changed during this frame (keys, dialogs) clicks near its end; one
    // changed by the mouse between frames has clicked already.
    const int selectedBefore = Screen.SelectedItem;
    // A black back buffer; a display that cannot draw now ends the tick.
    Display().Clear();
    if (!Display().CanDraw()) return;
    // Every sprite, in depth order, at the place of the previous frame's move;
    // this frame's texts go over them.
    SpriteEngine.DrawAll();
    // One-frame key edges.
    UpdateKeyEdges();
    Recording.Frame(*this); // the frame's poll and time step, before anything acts on them
    // The open dialog, or the screen beneath.
    if (Screen.ActiveDialog != DialogKind::None) {
        UpdateDialog(*this, lagCount);
        // Over the options screen the option pictures and the country line stay, and
        // over the high-score screen the table (it is not cleared before "Yes").
        if (Screen.ActiveScreen == ScreenKind::Options) DrawOptionsState(*this);
        if (Screen.ActiveScreen == ScreenKind::HighScores) DrawHighScoreTable(*this);
    } else {
        switch (Screen.ActiveScreen) {
        case ScreenKind::MainMenu:
            UpdateMainMenu(*this);
            break;
        case ScreenKind::CarSelect:
            UpdateCarSelect(*this);
            break;
        case ScreenKind::Options:
            UpdateOptions(*this, lagCount);
            break;
        case ScreenKind::HighScores:
            UpdateHighScores(*this, lagCount);
            break;
        case ScreenKind::Help:
            UpdateHelp(*this, lagCount);
            break;
        case ScreenKind::Race:
            RaceTick(*this, lagCount);
            break;
        case ScreenKind::None:
            break;
        }
    }
    // The "Button" click of a selection moved during the frame.
    if (Screen.SelectedItem != selectedBefore) PlayEffect("Button");
    // Free what was killed.
    SpriteEngine.SweepDead();
    // Frame rate for the next frame's speeds and countdowns.
    UpdateFrameStats(Stats, FrameTimer->FrameRate());
    // Show it.
    if (ShowEachFrame) ShowFrame();
}

void TMForm::ShowFrame() {
    if (!Display().CanDraw()) return;
    if (OnFrameDrawn) OnFrameDrawn();
    Display().Flip();
}

} // namespace vorlane
