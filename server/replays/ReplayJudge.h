#pragma once
// Whether a checked replay verifies the submission it came with: the race played to
// its end, its final score is the submission's, and it ran with the seed the file
// announces. Otherwise the short reason kept with the replay. (That no other row was
// verified by the same race is the store's to see: RecordReplayVerdict.)
#include <cstdint>
#include <string>

#include "replays/ReplayCheck.h"

namespace vorlane::scores {

struct ReplayJudgement {
    bool verified = false;
    std::string reason;    // empty when verified
    std::string race = {}; // the race's fingerprint, when verified
};

ReplayJudgement JudgeReplay(const ReplayCheckResult& check, int64_t submittedScore);

} // namespace vorlane::scores
