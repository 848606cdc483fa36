// The ways out of a race that the game-over, name-entry and sending dialogs share.
#include "app/DialogFlow.h"

#include "app/Dialogs.h"
#include "app/TMForm.h"
#include "menus/Screens.h"
#include "race/Race.h"
#include "sim/RaceState.h"

namespace vorlane {

int RaceScore(const TMForm& form) {
    return form.Race ? form.Race->Score : 0;
}

bool RaceScoreQualifies(const TMForm& form) {
    return form.Race && form.HighScores.ScoreQualifies(form.Race->Score);
}

void EndRaceToMainMenu(TMForm& form) {
    EndRace(form);
    OpenMainMenu(form, 0, ItemNo(MainMenuItem::Race), true);
}

void EndRaceToHighScores(TMForm& form) {
    EndRace(form);
    OpenMainMenu(form, 0, ItemNo(MainMenuItem::Race), true);
    CloseMainMenu(form);
    OpenHighScores(form);
}

void NameEntryOrMainMenu(TMForm& form) {
    if (RaceScoreQualifies(form))
        OpenDialog(form, DialogKind::NameEntry);
    else
        EndRaceToMainMenu(form);
}

} // namespace vorlane
