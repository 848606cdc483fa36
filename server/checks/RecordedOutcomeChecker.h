#pragma once
// INTERIM checker, not a re-simulation: reads the replay file with the replay
// library's player (header, checksum, every frame) and reports the outcome the file
// itself records. It proves only that the file is well formed and claims the score;
// it stands in until the game's headless re-simulation is linked (see
// ResimulatingChecker.h) and is used by tests of the pool and the store.
#include "checks/ReplayCheck.h"

namespace vorlane::scores {

ReplayCheckResult CheckRecordedOutcomeOnly(const std::vector<uint8_t>& bytes,
                                           const std::filesystem::path& dataDir);

} // namespace vorlane::scores
