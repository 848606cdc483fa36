#pragma once
// The nine modal dialog windows. Opening one while another is open does nothing.
//  1 leave the game?   2 leave the race?   3 time over   4 clear the high scores?
//  5 pause             6 level banner      7 game over   8 name entry
//  9 sending results
namespace vorlane {

class TMForm;

void OpenDialog(TMForm& form, int dialog);
// Once a frame instead of the screen's update; lagCount is the frame timer's move
// count, which moves the dialog's buttons and the name entry's cursor.
void UpdateDialog(TMForm& form, int lagCount);
void CloseDialog(TMForm& form);

} // namespace vorlane
