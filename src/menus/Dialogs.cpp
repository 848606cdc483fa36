// The dialog windows: opening, the per-frame update with its timing, and closing.
#include "menus/Dialogs.h"

#include "app/Helpers.h"
#include "app/TMForm.h"

namespace vorlane {

void OpenDialog(TMForm& form, int dialog) {
    TScreenState& s = form.Screen;
    if (s.ActiveDialog != 0) return;
    TDialogState& d = form.Dialog;
    s.ActiveDialog = static_cast<uint8_t>(dialog);
    d.SavedSelectedItem = s.SelectedItem;
    d.SavedFirstItem = s.FirstItem;
    d.SavedLastItem = s.LastItem;
    if (dialog == 6) d.DialogTimer = 2000;
    if (dialog == 3 || dialog == 7) d.DialogTimer = 3000;
    d.SendingStarted = false;
}

void UpdateDialog(TMForm& form, int /*lagCount*/) {
    TDialogState& d = form.Dialog;
    switch (form.Screen.ActiveDialog) {
    case 3:
    case 6:
    case 7:
        if (!TryCountDown(d.DialogTimer, 0, form.Stats.FrameMs)) CloseDialog(form);
        break;
    case 5:
        if (form.Keys.PausePressed || form.Keys.EscPressed) CloseDialog(form);
        break;
    default:
        break;
    }
}

void CloseDialog(TMForm& form) {
    TScreenState& s = form.Screen;
    const TDialogState& d = form.Dialog;
    s.SelectedItem = d.SavedSelectedItem;
    s.FirstItem = d.SavedFirstItem;
    s.LastItem = d.SavedLastItem;
    s.ActiveDialog = 0;
}

} // namespace vorlane
