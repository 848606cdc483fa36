#include "checks/ResimulatingChecker.h"

#include "app/ReplayRun.h"

namespace vorlane::scores {
namespace {

ReplayCheckKind KindOf(ReplayVerdictKind kind) {
    switch (kind) {
    case ReplayVerdictKind::Ok:
        return ReplayCheckKind::Ok;
    case ReplayVerdictKind::Diverged:
        return ReplayCheckKind::Diverged;
    case ReplayVerdictKind::Refused:
        break;
    }
    return ReplayCheckKind::Refused;
}

// The game's headless re-simulation: the race played again from the file's start with
// the game's own code, frame by frame, to its end.
ReplayCheckResult Resimulate(const std::vector<uint8_t>& bytes, const std::filesystem::path& dataDir) {
    const ReplayVerdict verdict = VerifyReplay(bytes, dataDir);
    ReplayCheckResult result;
    result.kind = KindOf(verdict.Kind);
    result.message = verdict.Message;
    result.finalScore = verdict.Score;
    result.level = verdict.Level;
    result.lives = verdict.Lives;
    result.frames = verdict.Frames;
    result.seed = verdict.Seed;
    result.recordedSeed = RecordedSeedOf(bytes);
    return result;
}

} // namespace

ReplayChecker ReplayCheckerOfTheGame() {
    return Resimulate;
}

bool GameReplaysResimulated() {
    return true;
}

} // namespace vorlane::scores
