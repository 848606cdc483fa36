#include "replays/ReplayJudge.h"

namespace vorlane::scores {

ReplayJudgement JudgeReplay(const ReplayCheckResult& check, int64_t submittedScore) {
    switch (check.kind) {
    case ReplayCheckKind::Refused:
        return {false, "replay refused: " + check.message};
    case ReplayCheckKind::Diverged:
        return {false, "replay diverged: " + check.message};
    case ReplayCheckKind::TimeLimit:
        return {false, "time limit"};
    case ReplayCheckKind::Crashed:
        return {false, "check failed: " + check.message};
    case ReplayCheckKind::Ok:
        break;
    }
    if (check.finalScore != submittedScore)
        return {false, "score differs: the replay ends with " + std::to_string(check.finalScore) +
                           ", the submission says " + std::to_string(submittedScore)};
    if (!check.recordedSeed) return {false, "replay refused: its start section cannot be read"};
    if (check.seed != *check.recordedSeed)
        return {false, "seed differs: played with " + std::to_string(check.seed) + ", the file says " +
                           std::to_string(*check.recordedSeed)};
    return {true, "", check.raceFingerprint};
}

} // namespace vorlane::scores
