// The screen and dialog machine's one dispatcher for Enter and clicks, and the shell's
// answers to what the screens and the race ask for (a dialog, the end of a level).
#include "app/TMForm.h"

#include "app/DialogFlow.h"
#include "app/Dialogs.h"
#include "menus/Screens.h"
#include "persist/WebLinks.h"
#include "race/Race.h"

namespace vorlane {

namespace {

// Enter typed in the name entry.
constexpr char EnterKey = 13;
// A dialog action that answers whatever item is selected.
constexpr int AnyItem = 0;

// The name entry's send box: pattern 1 ticked, 0 not.
int SendBoxPattern(const TMForm& form) {
    const TGameSprite* box = form.Dialog.SendBox;
    return box && box->FramePos >= 0.5 ? 1 : 0;
}

// ---- the dialogs' actions ----

void LeaveGame(TMForm& f) {
    CloseDialog(f);
    CloseMainMenu(f); // kills the screen's backdrop too
    f.ShutDown();
}

void LeaveRace(TMForm& f) {
    CloseDialog(f);
    if (f.HighScores.ScoreQualifies(RaceScore(f)))
        OpenDialog(f, DialogKind::NameEntry);
    else
        EndRaceToMainMenu(f);
}

void ClearHighScores(TMForm& f) {
    CloseDialog(f);
    f.HighScores.DefaultHighScores();
    f.Recording.TableReset(f);
}

// Enter accepts the name (a place in the table, then the table or the sending); a
// click on the send box ticks or unticks it.
void NameEntryActivated(TMForm& f) {
    TDialogState& d = f.Dialog;
    if (d.DialogKey == EnterKey) {
        d.DialogKey = 0;
        f.Recording.NameEntered(f);
        const int rank = f.HighScores.InsertScore(d.PlayerName, RaceScore(f));
        f.Recording.FileEntry(f, rank);
        if (rank > 0) f.Menu.Replays.Rank = rank; // the high-score screen offers this race first
        d.SendChoice = SendBoxPattern(f);
        CloseDialog(f);
        if (d.SendChoice == 0)
            EndRaceToHighScores(f);
        else
            OpenDialog(f, DialogKind::SendingResults);
    } else if (f.Keys.MouseX >= 161 && f.Keys.MouseX <= 215 && f.Keys.MouseY >= 369 && f.Keys.MouseY <= 414) {
        if (TGameSprite* box = d.SendBox) box->FramePos = SendBoxPattern(f) == 1 ? 0 : 1;
    }
}

struct TDialogAction {
    DialogKind dialog;
    int item; // AnyItem: every item
    void (*act)(TMForm&);
};

// The time over, pause, level banner, game over and sending dialogs take no items.
constexpr TDialogAction kDialogActions[] = {
    {DialogKind::LeaveGame, ItemNo(DialogItem::Yes), LeaveGame},
    {DialogKind::LeaveGame, ItemNo(DialogItem::No), CloseDialog},
    {DialogKind::LeaveRace, ItemNo(DialogItem::Yes), LeaveRace},
    {DialogKind::LeaveRace, ItemNo(DialogItem::No), CloseDialog},
    {DialogKind::ClearHighScores, ItemNo(DialogItem::Yes), ClearHighScores},
    {DialogKind::ClearHighScores, ItemNo(DialogItem::No), CloseDialog},
    {DialogKind::NameEntry, AnyItem, NameEntryActivated},
};

// ---- the screens' actions ----

// Back to the main menu from a screen, with the screen's own item selected there.
template <void (*Close)(TGame&), MainMenuItem Selected> void BackToMainMenu(TMForm& f) {
    Close(f);
    OpenMainMenu(f, 0, ItemNo(Selected), false);
}

template <void (*Open)(TGame&)> void FromMainMenuTo(TMForm& f) {
    CloseMainMenu(f);
    Open(f);
}

void StartRaceFromCarSelect(TMForm& f) {
    CloseCarSelect(f);
    OpenMainMenu(f, 0, ItemNo(MainMenuItem::Race), false);
    CloseMainMenu(f);
    f.Recording.Begin(f); // before the race draws its first random number
    StartRace(f);
}

void ToggleScreenMode(TMForm& f) {
    f.Options().FullScreenMode = !f.Options().FullScreenMode;
    f.ApplyDisplayMode();
}

void ToggleMusic(TMForm& f) {
    f.Options().MusicOn = !f.Options().MusicOn;
    f.StopMusic();
    f.PlayScreenMusic();
}

struct TScreenAction {
    ScreenKind screen;
    int item;
    void (*act)(TMForm&);
};

constexpr TScreenAction kScreenActions[] = {
    {ScreenKind::MainMenu, ItemNo(MainMenuItem::Race), FromMainMenuTo<OpenCarSelect>},
    {ScreenKind::MainMenu, ItemNo(MainMenuItem::HighScores), FromMainMenuTo<OpenHighScores>},
    {ScreenKind::MainMenu, ItemNo(MainMenuItem::HomePage),
     [](TMForm& f) { OpenUrl(f.PlatformServices->Shell(), HomePageUrl(f.ServerUrl())); }},
    {ScreenKind::MainMenu, ItemNo(MainMenuItem::Options), FromMainMenuTo<OpenOptions>},
    {ScreenKind::MainMenu, ItemNo(MainMenuItem::Help), FromMainMenuTo<OpenHelp>},
    {ScreenKind::MainMenu, ItemNo(MainMenuItem::Quit),
     [](TMForm& f) { OpenDialog(f, DialogKind::LeaveGame); }},

    {ScreenKind::CarSelect, ItemNo(CarSelectItem::PrecedingCar), [](TMForm& f) { SwitchToPrecedingCar(f); }},
    {ScreenKind::CarSelect, ItemNo(CarSelectItem::FollowingCar), [](TMForm& f) { SwitchToFollowingCar(f); }},
    {ScreenKind::CarSelect, ItemNo(CarSelectItem::Race), StartRaceFromCarSelect},
    {ScreenKind::CarSelect, ItemNo(CarSelectItem::Back), BackToMainMenu<CloseCarSelect, MainMenuItem::Race>},

    {ScreenKind::Options, ItemNo(OptionsItem::ScreenMode), ToggleScreenMode},
    {ScreenKind::Options, ItemNo(OptionsItem::Music), ToggleMusic},
    {ScreenKind::Options, ItemNo(OptionsItem::Sound),
     [](TMForm& f) { f.Options().SoundOn = !f.Options().SoundOn; }},
    {ScreenKind::Options, ItemNo(OptionsItem::Country), [](TMForm& f) { ToggleCountryEditing(f); }},
    {ScreenKind::Options, ItemNo(OptionsItem::Back), BackToMainMenu<CloseOptions, MainMenuItem::Options>},

    {ScreenKind::HighScores, ItemNo(HighScoresItem::Clear),
     [](TMForm& f) { OpenDialog(f, DialogKind::ClearHighScores); }},
    {ScreenKind::HighScores, ItemNo(HighScoresItem::OnlineTable),
     [](TMForm& f) { OpenUrl(f.PlatformServices->Shell(), OnlineTableUrl(f.ServerUrl())); }},
    {ScreenKind::HighScores, ItemNo(HighScoresItem::Back),
     BackToMainMenu<CloseHighScores, MainMenuItem::HighScores>},

    {ScreenKind::Help, ItemNo(HelpItem::PreviousPage), [](TMForm& f) { PrevHelpPage(f); }},
    {ScreenKind::Help, ItemNo(HelpItem::NextPage), [](TMForm& f) { NextHelpPage(f); }},
    {ScreenKind::Help, ItemNo(HelpItem::Back), BackToMainMenu<CloseHelp, MainMenuItem::Help>},
};

// The main menu takes no items while its buttons fade in, the car selection none
// while it switches cars.
bool ScreenTakesItems(const TMForm& f) {
    if (f.Screen.ActiveScreen == ScreenKind::MainMenu) return f.Screen.MenuIntro != 1;
    if (f.Screen.ActiveScreen == ScreenKind::CarSelect) return f.Menu.CarSwitchPhase == 0;
    return true;
}

} // namespace

void TMForm::ActivateItem(int item) {
    Screen.SelectedItem = item;
    ActivateSelection();
}

void TMForm::ActivateSelection() {
    // Every Enter or click outside a race, and every one in a dialog, clicks.
    if (Screen.ActiveScreen != ScreenKind::Race || Screen.ActiveDialog != DialogKind::None)
        PlayEffect("Button");
    const int item = Screen.SelectedItem;

    // An open dialog takes the selection; the screen beneath gets nothing.
    if (Screen.ActiveDialog != DialogKind::None) {
        for (const TDialogAction& a : kDialogActions) {
            if (a.dialog == Screen.ActiveDialog && (a.item == AnyItem || a.item == item)) {
                a.act(*this);
                break;
            }
        }
        return;
    }
    if (!ScreenTakesItems(*this)) return;
    for (const TScreenAction& a : kScreenActions) {
        if (a.screen == Screen.ActiveScreen && a.item == item) {
            a.act(*this);
            break;
        }
    }
}

void TMForm::RequestDialog(DialogKind dialog) {
    OpenDialog(*this, dialog);
}

void TMForm::ReportRace(RaceEvent event) {
    switch (event) {
    case RaceEvent::LevelReady:
        OpenDialog(*this, DialogKind::LevelBanner);
        break; // the level banner
    case RaceEvent::TimeOver:
        OpenDialog(*this, DialogKind::TimeOver);
        break; // the level again when it closes
    case RaceEvent::GameOver:
        OpenDialog(*this, DialogKind::GameOver);
        break;
    case RaceEvent::LeaveAsked:
        OpenDialog(*this, DialogKind::LeaveRace);
        break;
    case RaceEvent::PauseAsked:
        OpenDialog(*this, DialogKind::Pause);
        break;
    }
}

} // namespace vorlane
