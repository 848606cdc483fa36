#pragma once
// The checker the server runs on uploaded replays.
#include "checks/ReplayCheck.h"

namespace vorlane::scores {

// The game's own headless re-simulation (app/ReplayRun.h: VerifyReplay), run by the
// worker pool in a child process per replay. GameReplaysResimulated() says whether
// the build's checker really plays the race again (it does; the interim checker of
// RecordedOutcomeChecker.h does not).
ReplayChecker ReplayCheckerOfTheGame();
bool GameReplaysResimulated();

} // namespace vorlane::scores
