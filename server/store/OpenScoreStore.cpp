#include "store/ScoreStore.h"
#include "store/SqliteScoreStore.h"

#ifdef VORLANE_SCORES_POSTGRESQL
#include "store/PgScoreStore.h"
#endif

namespace vorlane::scores {

const char* ReplayStateName(ReplayState state) {
    switch (state) {
    case ReplayState::Verified:
        return "verified";
    case ReplayState::Failed:
        return "failed";
    case ReplayState::Pending:
        break;
    }
    return "pending";
}

ReplayState ParseReplayState(std::string_view text) {
    if (text == "verified") return ReplayState::Verified;
    if (text == "failed") return ReplayState::Failed;
    if (text == "pending") return ReplayState::Pending;
    throw StoreError("the database holds a replay in an unknown state \"" + std::string(text) + "\"");
}

ReplayRecord NewReplayRecord(const NewReplay& replay, int64_t scoreId, std::string_view refusal) {
    ReplayRecord record{0, scoreId, ReplayState::Pending, "", replay.score, replay.uploadedAt};
    if (scoreId == 0 || !refusal.empty()) {
        record.state = ReplayState::Failed;
        record.reason = scoreId == 0 ? kNoMatchingSubmission : refusal;
    }
    return record;
}

ReplayRefusal QuotaRefusal(const ReplayQuota& quota, const ReplayRecord& record, int64_t rowUploads,
                           int64_t pendingBytes, int64_t size) {
    if (NeedsRowUploads(quota, record) && rowUploads >= quota.uploadsPerRow) return ReplayRefusal::RowFull;
    if (NeedsPendingBytes(quota, record) && pendingBytes + size > quota.pendingBytes)
        return ReplayRefusal::PendingFull;
    return ReplayRefusal::None;
}

std::unique_ptr<ScoreStore> OpenScoreStore(std::string_view url,
                                           [[maybe_unused]] const StoreOptions& options) {
    constexpr std::string_view sqlite = "sqlite:";
    if (url.starts_with(sqlite)) {
        const std::string_view path = url.substr(sqlite.size());
        if (path.empty()) throw StoreError("--db sqlite: needs a file path after \"sqlite:\"");
        return std::make_unique<SqliteScoreStore>(std::string(path));
    }
    if (url.starts_with("postgresql://") || url.starts_with("postgres://")) {
#ifdef VORLANE_SCORES_POSTGRESQL
        return std::make_unique<PgScoreStore>(std::string(url), options);
#else
        throw StoreError("PostgreSQL support is not built");
#endif
    }
    throw StoreError("--db must be sqlite:PATH or postgresql://USER@HOST:PORT/DB, not \"" + std::string(url) +
                     "\"");
}

} // namespace vorlane::scores
