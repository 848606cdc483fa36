// One frame of the game, run by every tick of the frame timer.
#include "app/FrameBookkeeping.h"
#include "app/TMForm.h"

#include "app/Dialogs.h"
#include "menus/Screens.h"
#include "race/Race.h"

namespace vorlane {

void TMForm::RunFrame(int lagCount) {
    RunFrameSteps(lagCount);
    Recording.Settle(*this); // the frame may have ended the race
}

void TMForm::RunFrameSteps(int lagCount) {
    LagCount = lagCount;
    // 1. A selection changed during this frame (keys, dialogs) clicks at step 7; one
    //    changed by the mouse between frames has clicked already.
    const int selectedBefore = Screen.SelectedItem;
    // 2.-3. A black back buffer; a display that cannot draw now ends the tick.
    MDisplay().Clear();
    if (!MDisplay().CanDraw()) return;
    // 4. Every sprite, in depth order, at the place of the previous frame's move;
    //    this frame's texts go over them.
    MSpriteEngine.DrawAll();
    // 5. One-frame key edges.
    UpdateKeyEdges();
    Recording.Frame(*this); // the frame's poll and time step, before anything acts on them
    // 6. The open dialog, or the screen beneath.
    if (Screen.ActiveDialog != 0) {
        UpdateDialog(*this, lagCount);
        // Over the options screen the option pictures and the country line stay.
        if (Screen.ActiveScreen == 3) DrawOptionsState(*this);
    } else {
        switch (Screen.ActiveScreen) {
        case 1: UpdateMainMenu(*this); break;
        case 2: UpdateCarSelect(*this); break;
        case 3: UpdateOptions(*this, lagCount); break;
        case 4: UpdateHighScores(*this, lagCount); break;
        case 5: UpdateHelp(*this, lagCount); break;
        case 6: RaceTick(*this, lagCount); break;
        default: break;
        }
    }
    // 7. The "Button" click of a selection moved during the frame.
    if (Screen.SelectedItem != selectedBefore) PlayEffect("Button");
    // 8. Free what was killed.
    MSpriteEngine.SweepDead();
    // 9. Frame rate for the next frame's speeds and countdowns.
    UpdateFrameStats(Stats, MTimer->FrameRate());
    // 10.-11. Show it.
    if (OnFrameDrawn) OnFrameDrawn();
    MDisplay().Flip();
}

} // namespace vorlane
