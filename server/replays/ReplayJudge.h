#pragma once
// Whether a checked replay verifies the submission it came with: the race played to
// its end, its final score is the submission's, and it ran with the seed the file
// announces. Otherwise the short reason kept with the replay.
#include <cstdint>
#include <string>

#include "replays/ReplayCheck.h"

namespace vorlane::scores {

struct ReplayJudgement {
    bool verified = false;
    std::string reason; // empty when verified
};

ReplayJudgement JudgeReplay(const ReplayCheckResult& check, int64_t submittedScore);

} // namespace vorlane::scores
