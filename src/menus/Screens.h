#pragma once
// The menu screens: each is built by its Open and torn down by its Close; the frame
// calls its Update while it is the active screen and no dialog is open.
//
// Every Update does the whole per-frame work of its screen, in the screen's order:
// UpdateHighlight, then the screen's own key navigation (the arrow keys and Esc, read
// from the frame's key edges), then sprite movement and texts. The frame only calls
// Update; it does no key navigation of its own for these screens. Enter and clicks
// go through the form's dispatcher, which calls the actions below.
namespace vorlane {

class TMForm;

// intro 1 fades the buttons in one after another (start-up only); item is the item
// selected at first; playMusic starts the menu song.
void OpenMainMenu(TMForm& form, int intro, int item, bool playMusic);
void CloseMainMenu(TMForm& form);
void UpdateMainMenu(TMForm& form);

void OpenCarSelect(TMForm& form);
void CloseCarSelect(TMForm& form);
void UpdateCarSelect(TMForm& form);
// Items 1 and 2 of the car selection: cross-fade to the preceding or following car
// (the dispatcher ignores them while a switch is running).
void SwitchToPrecedingCar(TMForm& form);
void SwitchToFollowingCar(TMForm& form);

void OpenOptions(TMForm& form);
void CloseOptions(TMForm& form);
void UpdateOptions(TMForm& form, int lagCount);
// Item 4: starts or ends typing the country (the cursor blinks while typing).
void ToggleCountryEditing(TMForm& form);
// The option pictures follow the options and the country line is drawn; part of
// UpdateOptions, and called by the frame on its own while a dialog is open over the
// options screen.
void DrawOptionsState(TMForm& form);

void OpenHighScores(TMForm& form);
void CloseHighScores(TMForm& form);
void UpdateHighScores(TMForm& form, int lagCount);

void OpenHelp(TMForm& form);
void CloseHelp(TMForm& form);
void UpdateHelp(TMForm& form, int lagCount);
// Items 1 and 2 of the help: the page before or after, in a ring of five.
void PrevHelpPage(TMForm& form);
void NextHelpPage(TMForm& form);

} // namespace vorlane
