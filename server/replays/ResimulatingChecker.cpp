#include "replays/ResimulatingChecker.h"

#include "replays/RecordedOutcomeChecker.h"

namespace vorlane::scores {

// The game's re-simulation is not in this build yet: the interim checker stands in.
ReplayChecker ReplayCheckerOfTheGame()
{
    return CheckRecordedOutcomeOnly;
}

bool GameReplaysResimulated()
{
    return false;
}

} // namespace vorlane::scores
