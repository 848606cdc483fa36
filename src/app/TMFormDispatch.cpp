// The screen and dialog machine's one dispatcher for Enter and clicks, the mouse hit
// test and the per-frame highlight of the selected item.
#include "app/TMForm.h"

#include "app/Dialogs.h"
#include "menus/MenuButton.h"
#include "menus/Screens.h"
#include "persist/WebLinks.h"
#include "race/Race.h"
#include "race/RaceState.h"

namespace vorlane {

namespace {

// Items of the question dialogs.
constexpr int YesItem = 11;
constexpr int NoItem = 12;
// Enter typed in the name entry.
constexpr char EnterKey = 13;

int RaceTotal(const TMForm& form) { return form.Race ? form.Race->Score : 0; }

// The name entry's send box: pattern 1 ticked, 0 not.
int SendBoxPattern(const TMForm& form) {
    const TGameSprite* box = form.Dialog.SendBox;
    return box && box->FramePos >= 0.5 ? 1 : 0;
}

} // namespace

void TMForm::ActivateItem(int item) {
    Screen.SelectedItem = item;
    ActivateSelection();
}

void TMForm::ActivateSelection() {
    // Every Enter or click outside a race, and every one in a dialog, clicks.
    if (Screen.ActiveScreen != 6 || Screen.ActiveDialog != 0) PlayEffect("Button");
    const int item = Screen.SelectedItem;

    // Table A: the dialogs.
    if (Screen.ActiveDialog != 0) {
        switch (Screen.ActiveDialog) {
        case 1: // leave the game?
            if (item == YesItem) {
                CloseDialog(*this);
                CloseMainMenu(*this); // kills the screen's backdrop too
                ShutDown();
            } else if (item == NoItem) {
                CloseDialog(*this);
            }
            break;
        case 2: // leave the race?
            if (item == YesItem) {
                CloseDialog(*this);
                if (HighScores.ScoreQualifies(RaceTotal(*this))) {
                    OpenDialog(*this, 8);
                } else {
                    EndRace(*this);
                    OpenMainMenu(*this, 0, 1, true);
                }
            } else if (item == NoItem) {
                CloseDialog(*this);
            }
            break;
        case 4: // clear the high scores?
            if (item == YesItem) {
                CloseDialog(*this);
                HighScores.DefaultHighScores();
                Recording.TableReset(*this);
            } else if (item == NoItem) {
                CloseDialog(*this);
            }
            break;
        case 8: // name entry
            if (Dialog.DialogKey == EnterKey) {
                Dialog.DialogKey = 0;
                Recording.FileEntry(*this, HighScores.InsertScore(Dialog.PlayerName, RaceTotal(*this)));
                Dialog.SendChoice = SendBoxPattern(*this);
                CloseDialog(*this);
                if (Dialog.SendChoice == 0) {
                    EndRace(*this);
                    OpenMainMenu(*this, 0, 1, true);
                    CloseMainMenu(*this);
                    OpenHighScores(*this);
                } else {
                    OpenDialog(*this, 9);
                }
            } else if (Keys.MouseX >= 161 && Keys.MouseX <= 215 && Keys.MouseY >= 369 && Keys.MouseY <= 414) {
                // A click on the send box ticks or unticks it.
                if (TGameSprite* box = Dialog.SendBox) box->FramePos = SendBoxPattern(*this) == 1 ? 0 : 1;
            }
            break;
        default: // 3, 5, 6, 7, 9: nothing
            break;
        }
        return;
    }

    // Table B: the screens.
    switch (Screen.ActiveScreen) {
    case 1: // main menu
        if (Screen.MenuIntro == 1) break;
        switch (item) {
        case 1: CloseMainMenu(*this); OpenCarSelect(*this); break;
        case 2: CloseMainMenu(*this); OpenHighScores(*this); break;
        case 3: OpenUrl(MPlatform->Shell(), HomePageUrl(ServerUrl())); break;
        case 4: CloseMainMenu(*this); OpenOptions(*this); break;
        case 5: CloseMainMenu(*this); OpenHelp(*this); break;
        case 6: OpenDialog(*this, 1); break;
        default: break;
        }
        break;
    case 2: // car selection
        if (Menu.CarSwitchPhase != 0) break;
        switch (item) {
        case 1: SwitchToPrecedingCar(*this); break;
        case 2: SwitchToFollowingCar(*this); break;
        case 3:
            CloseCarSelect(*this);
            OpenMainMenu(*this, 0, 1, false);
            CloseMainMenu(*this);
            Recording.Begin(*this); // before the race draws its first random number
            StartRace(*this);
            break;
        case 4: CloseCarSelect(*this); OpenMainMenu(*this, 0, 1, false); break;
        default: break;
        }
        break;
    case 3: // options
        switch (item) {
        case 1:
            Options().FullScreenMode = !Options().FullScreenMode;
            ApplyDisplayMode();
            break;
        case 2:
            Options().MusicOn = !Options().MusicOn;
            StopMusic();
            PlayScreenMusic();
            break;
        case 3: Options().SoundOn = !Options().SoundOn; break;
        case 4: ToggleCountryEditing(*this); break;
        case 5: CloseOptions(*this); OpenMainMenu(*this, 0, 4, false); break;
        default: break;
        }
        break;
    case 4: // high scores
        switch (item) {
        case 1: OpenDialog(*this, 4); break;
        case 2: OpenUrl(MPlatform->Shell(), OnlineTableUrl(ServerUrl())); break;
        case 3: CloseHighScores(*this); OpenMainMenu(*this, 0, 2, false); break;
        default: break;
        }
        break;
    case 5: // help
        switch (item) {
        case 1: PrevHelpPage(*this); break;
        case 2: NextHelpPage(*this); break;
        case 3: CloseHelp(*this); OpenMainMenu(*this, 0, 5, false); break;
        default: break;
        }
        break;
    default: // 0 and the race: nothing
        break;
    }
}

void TMForm::RequestDialog(int dialog) { OpenDialog(*this, dialog); }

void TMForm::ReportRace(RaceEvent event) {
    switch (event) {
    case RaceEvent::LevelReady: OpenDialog(*this, 6); break; // the level banner
    case RaceEvent::TimeOver: OpenDialog(*this, 3); break;   // the level again when it closes
    case RaceEvent::GameOver: OpenDialog(*this, 7); break;
    case RaceEvent::LeaveAsked: OpenDialog(*this, 2); break;
    case RaceEvent::PauseAsked: OpenDialog(*this, 5); break;
    }
}

} // namespace vorlane
