#pragma once
// The nine modal dialog windows (DialogKind). Opening one while another is open does
// nothing.
#include "core/MenuItems.h"
#include "core/ScreenState.h"

namespace vorlane {

class TMForm;

void OpenDialog(TMForm& form, DialogKind dialog);
// Once a frame instead of the screen's update; lagCount is the frame timer's move
// count, which moves the dialog's buttons and the name entry's cursor.
void UpdateDialog(TMForm& form, int lagCount);
void CloseDialog(TMForm& form);

} // namespace vorlane
