#include "checks/RecordedOutcomeChecker.h"

#include "replay/ReplayPlayer.h"

namespace vorlane::scores {

std::optional<uint32_t> RecordedSeedOf(const std::vector<uint8_t>& bytes) {
    try {
        return ReplayPlayer(bytes).Start().Seed;
    } catch (const ReplayError&) {
        return std::nullopt;
    }
}

std::optional<ReplayCheckResult::NameEntry> NameEntryOf(const std::vector<uint8_t>& bytes) {
    try {
        const std::optional<ReplayNameEntry> entry = ReplayPlayer(bytes).NameEntry();
        if (!entry) return std::nullopt;
        return ReplayCheckResult::NameEntry{entry->Name, entry->Country};
    } catch (const ReplayError&) {
        return std::nullopt;
    }
}

ReplayCheckResult CheckRecordedOutcomeOnly(const std::vector<uint8_t>& bytes, const std::filesystem::path&) {
    ReplayCheckResult result;
    try {
        ReplayPlayer player(bytes);
        ReplayFrame frame;
        while (player.Next(frame)) {
        }
        const ReplayOutcome& outcome = player.Outcome();
        result.kind = ReplayCheckKind::Ok;
        result.finalScore = outcome.Result.Score;
        result.level = outcome.Result.Level;
        result.lives = outcome.Result.Lives;
        result.frames = outcome.Frames;
        result.seed = player.Start().Seed;
        result.recordedSeed = result.seed;
    } catch (const ReplayError& e) {
        result.kind = ReplayCheckKind::Refused;
        result.message = e.what();
    }
    return result;
}

} // namespace vorlane::scores
