#pragma once
// The ways out of a race that several dialogs share.
namespace vorlane {

class TMForm;

// The race total, 0 when no race is running.
int RaceScore(const TMForm& form);
// Whether the race total earns a place in the high-score table.
bool RaceScoreQualifies(const TMForm& form);
// Ends the race and opens the main menu (its Race item selected) with its music.
void EndRaceToMainMenu(TMForm& form);
// Ends the race and shows the high-score table, passing through the main menu so
// that its music plays and "back" leads there.
void EndRaceToHighScores(TMForm& form);
// After game over or leaving the race: the name entry when the total earns a place,
// otherwise the main menu.
void NameEntryOrMainMenu(TMForm& form);

} // namespace vorlane
