#pragma once
// The menu screens: each is built by its Open and torn down by its Close; the frame
// calls its Update while it is the active screen and no dialog is open.
namespace vorlane {

class TMForm;

void OpenMainMenu(TMForm& form, bool playMusic);
void CloseMainMenu(TMForm& form);
void UpdateMainMenu(TMForm& form);

void OpenCarSelect(TMForm& form);
void CloseCarSelect(TMForm& form);
void UpdateCarSelect(TMForm& form);

void OpenOptions(TMForm& form);
void CloseOptions(TMForm& form);
void UpdateOptions(TMForm& form);

void OpenHighScores(TMForm& form);
void CloseHighScores(TMForm& form);
void UpdateHighScores(TMForm& form);

void OpenHelp(TMForm& form);
void CloseHelp(TMForm& form);
void UpdateHelp(TMForm& form);

} // namespace vorlane
