// What the dialogs' answers do: "Yes" and "No" of the three questions, Enter and
// the send box of the name entry; and the ways out of a race they share.
#include "app/TMForm.h"
#include "menus/DialogFlow.h"
#include "menus/Dialogs.h"
#include "menus/Screens.h"
#include "race/Race.h"
#include "race/RaceState.h"

namespace vorlane {
namespace {

constexpr int kYes = 11;
constexpr int kNo = 12;
constexpr char kEnter = 13;

// The send box of the name entry, in screen pixels, edges included.
constexpr int kSendBoxLeft = 161, kSendBoxRight = 215;
constexpr int kSendBoxTop = 369, kSendBoxBottom = 414;

void LeaveGame(TMForm& form) {
    CloseDialog(form);
    if (form.Menu.Background) form.Menu.Background->Kill();
    CloseMainMenu(form);
    form.ShutDown();
}

void LeaveRace(TMForm& form) {
    CloseDialog(form);
    NameEntryOrMainMenu(form);
}

void ClearHighScores(TMForm& form) {
    CloseDialog(form);
    form.HighScores.DefaultHighScores();
}

// Enter in the name entry: the name goes into the table with the race total, then
// the result is sent (box ticked) or the table is shown (box empty).
void StoreNameEntry(TMForm& form) {
    TDialogState& d = form.Dialog;
    d.DialogKey = 0;
    form.HighScores.InsertScore(d.PlayerName, RaceScore(form));
    d.SendChoice = d.SendBox && d.SendBox->FramePos >= 0.5 ? 1 : 0;
    CloseDialog(form);
    if (d.SendChoice == 0)
        EndRaceToHighScores(form);
    else
        OpenDialog(form, 9);
}

void ClickNameEntry(TMForm& form) {
    TDialogState& d = form.Dialog;
    const TKeyState& k = form.Keys;
    const bool onBox = k.MouseX >= kSendBoxLeft && k.MouseX <= kSendBoxRight && k.MouseY >= kSendBoxTop &&
                       k.MouseY <= kSendBoxBottom;
    if (onBox && d.SendBox) d.SendBox->FramePos = d.SendBox->FramePos >= 0.5 ? 0 : 1;
}

} // namespace

int RaceScore(const TMForm& form) { return form.Race ? form.Race->Score : 0; }

bool RaceScoreQualifies(const TMForm& form) {
    return form.Race && form.HighScores.ScoreQualifies(form.Race->Score);
}

void EndRaceToMainMenu(TMForm& form) {
    EndRace(form);
    OpenMainMenu(form, 0, 1, true);
}

void EndRaceToHighScores(TMForm& form) {
    EndRace(form);
    OpenMainMenu(form, 0, 1, true);
    CloseMainMenu(form);
    OpenHighScores(form);
}

void NameEntryOrMainMenu(TMForm& form) {
    if (RaceScoreQualifies(form))
        OpenDialog(form, 8);
    else
        EndRaceToMainMenu(form);
}

void ActivateDialogSelection(TMForm& form) {
    const int item = form.Screen.SelectedItem;
    switch (form.Screen.ActiveDialog) {
    case 1:
        if (item == kYes) LeaveGame(form);
        if (item == kNo) CloseDialog(form);
        break;
    case 2:
        if (item == kYes) LeaveRace(form);
        if (item == kNo) CloseDialog(form);
        break;
    case 4:
        if (item == kYes) ClearHighScores(form);
        if (item == kNo) CloseDialog(form);
        break;
    case 8:
        if (form.Dialog.DialogKey == kEnter)
            StoreNameEntry(form);
        else
            ClickNameEntry(form);
        break;
    default: break; // the messages end by themselves or by their keys
    }
}

} // namespace vorlane
