#pragma once
// The menu screens: each is built by its Open and torn down by its Close; the frame
// calls its Update while it is the active screen and no dialog is open.
//
// Every Update does the whole per-frame work of its screen, in the screen's order:
// UpdateHighlight, then the screen's own key navigation (the arrow keys and Esc, read
// from the frame's key edges), then sprite movement and texts. The frame only calls
// Update; it does no key navigation of its own for these screens. Enter and clicks
// go through the form's dispatcher, which calls the actions below.
#include <string>

namespace vorlane {

class TGame;

// intro 1 fades the buttons in one after another (start-up only); item is the item
// selected at first; playMusic starts the menu song.
void OpenMainMenu(TGame& form, int intro, int item, bool playMusic);
void CloseMainMenu(TGame& form);
void UpdateMainMenu(TGame& form);

void OpenCarSelect(TGame& form);
void CloseCarSelect(TGame& form);
void UpdateCarSelect(TGame& form);
// The car selection's PrecedingCar and FollowingCar items: cross-fade to the preceding or following car
// (the dispatcher ignores them while a switch is running).
void SwitchToPrecedingCar(TGame& form);
void SwitchToFollowingCar(TGame& form);

void OpenOptions(TGame& form);
void CloseOptions(TGame& form);
void UpdateOptions(TGame& form, int lagCount);
// The options' Country item: starts or ends typing the country (the cursor blinks while typing).
void ToggleCountryEditing(TGame& form);
// The option pictures follow the options and the country line is drawn; part of
// UpdateOptions, and called by the frame on its own while a dialog is open over the
// options screen.
void DrawOptionsState(TGame& form);

void OpenHighScores(TGame& form);
void CloseHighScores(TGame& form);
void UpdateHighScores(TGame& form, int lagCount);
// The names and scores in the table's frame; part of UpdateHighScores, and called by
// the frame on its own while a dialog is open over the high-score screen, so the
// table stays in view under the question whether to clear it.
void DrawHighScoreTable(TGame& form);
// The lines under the back button ("\n" between lines): how to watch the race of the
// picked row when that entry's race is on the shelf, or a notice for a few seconds;
// "" when none.
std::string HighScoreReplayLine(const TGame& form);
void ShowHighScoreNotice(TGame& form, const std::string& notice);
// A row of the table as the hints name it: "1ST PLACE" .. "10TH PLACE".
std::string PlaceText(int rank);
// Where the lines are drawn (text style, centre of the first, distance between lines).
inline constexpr int kReplayLineStyle = 2;
inline constexpr int kReplayLineX = 146;
inline constexpr int kReplayLineY = 551;
inline constexpr int kReplayLinePitch = 24;

void OpenHelp(TGame& form);
void CloseHelp(TGame& form);
void UpdateHelp(TGame& form, int lagCount);
// The help's PreviousPage and NextPage items: the page before or after, in a ring of five.
void PrevHelpPage(TGame& form);
void NextHelpPage(TGame& form);

} // namespace vorlane
