#pragma once
// The nine modal dialog windows. Opening one while another is open does nothing.
namespace vorlane {

class TMForm;

void OpenDialog(TMForm& form, int dialog);
void UpdateDialog(TMForm& form);
void CloseDialog(TMForm& form);

} // namespace vorlane
