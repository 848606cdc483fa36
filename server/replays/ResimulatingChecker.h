#pragma once
// The checker the server runs on uploaded replays.
#include "replays/ReplayCheck.h"

namespace vorlane::scores {

// The game's own headless re-simulation when this build has it; otherwise the
// interim RecordedOutcomeChecker (GameReplaysResimulated() says which).
ReplayChecker ReplayCheckerOfTheGame();
bool GameReplaysResimulated();

} // namespace vorlane::scores
