#pragma once
// Where the score server keeps the accepted results. One implementation per
// database (SQLite embedded, PostgreSQL for more than one machine); the HTTP side
// only sees this interface.
//
// Threads: every query may run on many threads at once. InsertBatch is called by
// one writer thread only.
//
// Order of the table: higher score first, equal scores by earlier submission
// (smaller id). A rank is 1 + the number of rows before a row in that order.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::scores {

// Which rows a query looks at: those submitted at or after `since` (seconds since
// 1970 UTC; 0 for every row), when `country` is not empty of that country, and when
// `verifiedOnly` is set only those whose replay the server played through.
struct ScoreFilter {
    int64_t since = 0;
    std::string country;
    bool verifiedOnly = false;
};

// One accepted result on its way into the table. Name and country are UTF-8.
struct NewScore {
    std::string name;
    std::string country;
    int64_t score = 0;
    int64_t submittedAt = 0; // seconds since 1970 UTC
    std::string clientHash;  // salted hash of the sender's address, never the address
};

enum class InsertOutcome {
    Stored,
    Duplicate, // the same sender sent the same name, country and score within kDuplicateWindowSeconds
};

inline constexpr int64_t kDuplicateWindowSeconds = 10 * 60;

struct RankedScore {
    int64_t rank = 0;
    int64_t id = 0;
    std::string name; // as stored: UTF-8 from the server, anything when put in by hand
    std::string country;
    int64_t score = 0;
    int64_t submittedAt = 0;
    bool verified = false; // its replay was played through and gave this score
    int64_t replayId = 0;  // the replay that verified it; 0 when none
};

// A replay uploaded after a submission, with the submission it claims to belong to.
struct NewReplay {
    std::string name;
    std::string country;
    int64_t score = 0;      // the submission's score (the name entry's)
    int64_t uploadedAt = 0; // seconds since 1970 UTC
    std::string clientHash;
    std::vector<uint8_t> bytes;
};

enum class ReplayState { Pending, Verified, Failed };

// What uploaded replays may take of the database; 0 for no bound. A replay keeps its
// file only while it waits for its check and once it verified its row: a failed one
// keeps its verdict and reason, not its bytes.
struct ReplayQuota {
    int64_t uploadsPerRow = 3;               // replays stored for one table row, whatever became of them
    int64_t pendingBytes = 64 * 1024 * 1024; // the files of all replays waiting for their check
};

// Why an upload was turned away without storing anything.
enum class ReplayRefusal {
    None,
    RowFull,     // its row has had ReplayQuota::uploadsPerRow replays already
    PendingFull, // with its file the pending replays would hold more than ReplayQuota::pendingBytes
};

// "pending", "verified", "failed" (the database's spelling).
const char* ReplayStateName(ReplayState state);
ReplayState ParseReplayState(std::string_view text);

// What the store knows of an uploaded replay.
struct ReplayRecord {
    int64_t id = 0;
    int64_t scoreId = 0; // the table row it belongs to; 0 when none matched
    ReplayState state = ReplayState::Pending;
    std::string reason; // why it failed; empty otherwise
    int64_t claimedScore = 0;
    int64_t uploadedAt = 0;
    // Not None: nothing was stored (id 0), for this reason.
    ReplayRefusal refused = ReplayRefusal::None;
};

// A Pending replay as kept for its check: enough to play it through again after a
// restart of the server.
struct PendingReplay {
    int64_t id = 0;
    int64_t claimedScore = 0;
    std::vector<uint8_t> bytes;
};

// The reason kept for a replay that came without a submission to match.
inline constexpr const char* kNoMatchingSubmission = "no matching submission";
// The start of the reason kept for a replay whose race verified another replay's row
// already; the other replay's id follows.
inline constexpr const char* kRaceVerifiedAlready = "the same race verified another result already: replay ";

// The record a new replay gets when stored for the row `scoreId` (0: none matched):
// Pending with its file kept, or Failed with kNoMatchingSubmission or, when the server
// turned the file away before any check, with `refusal`. The id is the database's to
// give.
ReplayRecord NewReplayRecord(const NewReplay& replay, int64_t scoreId, std::string_view refusal);
// Whether a replay stored with this record keeps its file: only one still to check.
inline bool KeepsReplayFile(const ReplayRecord& record) {
    return record.state == ReplayState::Pending;
}
// Whether the quota takes a new replay with this record (as NewReplayRecord made it)
// and a file of `size` bytes: `rowUploads` replays its row has had, `pendingBytes`
// held by the pending replays now. The stores ask for each count only when `quota`
// bounds it (NeedsRowUploads, NeedsPendingBytes).
ReplayRefusal QuotaRefusal(const ReplayQuota& quota, const ReplayRecord& record, int64_t rowUploads,
                           int64_t pendingBytes, int64_t size);
inline bool NeedsRowUploads(const ReplayQuota& quota, const ReplayRecord& record) {
    return quota.uploadsPerRow > 0 && record.scoreId != 0;
}
inline bool NeedsPendingBytes(const ReplayQuota& quota, const ReplayRecord& record) {
    return quota.pendingBytes > 0 && KeepsReplayFile(record);
}

// Thrown by a store when its database cannot be reached or refuses a statement.
class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Thrown when every connection the store may hold stayed busy for its whole wait: the
// database is fine, this process asks more of it than its pool gives.
class StoreBusy : public StoreError {
  public:
    using StoreError::StoreError;
};

// How a store shares a database server with others.
struct StoreOptions {
    // Connections this process holds to a PostgreSQL server at most, all together: one
    // for the writer, the rest for reads (at least 2). Several servers on one database
    // each hold their own. SQLite ignores it (its readers are files, not a server's).
    size_t connections = 8;
    // How long a read waits for a free connection before StoreBusy.
    std::chrono::milliseconds connectionWait{5000};
};

class ScoreStore {
  public:
    virtual ~ScoreStore() = default;

    // Stores the batch in one transaction, durable (on disk, synced) before it
    // returns; one outcome per entry, in order. An entry is a Duplicate when a row
    // with the same clientHash, name, country and score was submitted less than
    // kDuplicateWindowSeconds before its submittedAt - earlier entries of the same
    // batch count too. Throws StoreError and stores nothing when it fails.
    virtual std::vector<InsertOutcome> InsertBatch(std::span<const NewScore> batch) = 0;

    // `limit` rows of the filtered table from rank offset+1 on, in table order,
    // each with its rank within the filter.
    virtual std::vector<RankedScore> Page(const ScoreFilter& filter, int64_t offset, int64_t limit) = 0;

    // The best row of the player `name` (exact match) within the filter, with its rank.
    virtual std::optional<RankedScore> BestOf(const ScoreFilter& filter, std::string_view name) = 0;

    // The rank a new submission of `score` would get now: after every row with a
    // score at least as high.
    virtual int64_t RankFor(const ScoreFilter& filter, int64_t score) = 0;

    // A random secret kept with the database, made on first start, mixed into the
    // address hashes so that they stay the same across restarts.
    virtual std::string ClientSalt() = 0;

    // Stores an uploaded replay, durable before it returns, linked to the most recent
    // unverified row with the same sender, name, country and score. Without such a
    // row the replay is recorded as Failed with kNoMatchingSubmission and its bytes
    // are not kept. Answers the record as stored; within the quota (SetReplayQuota)
    // only: a row that had its replays, or a file the pending ones have no room
    // left for, stores nothing and answers `refused`.
    virtual ReplayRecord StoreReplay(const NewReplay& replay) = 0;
    // The same for an upload turned away before any check (too large to take): linked
    // by the same rule, recorded Failed with `refusal` (kNoMatchingSubmission without
    // its row) and never with bytes (those of `replay` are ignored). It counts against
    // its row's uploads, and is not stored past them.
    virtual ReplayRecord StoreRefusedReplay(const NewReplay& replay, std::string_view refusal) = 0;

    // The check's outcome for a Pending replay: Verified marks its table row verified
    // (and links the row to it); Failed keeps `reason` and drops the file. A replay
    // judged already (by a second check of it) or refused keeps its state, and its row
    // is not touched. `race` is the verified race's fingerprint (RaceFingerprint.h):
    // a race that verified a replay already verifies no other, whoever sends it - the
    // replay fails with kRaceVerifiedAlready and the replay id of the first.
    // Answers whether this verdict was the one written.
    virtual bool RecordReplayVerdict(int64_t replayId, bool verified, std::string_view reason,
                                     std::string_view race = {}) = 0;

    // The database as the queue of checks, for checking processes on any machines: the
    // oldest Pending replay whose lease is free (never taken, or run out), taken for
    // `lease` from the database's own clock by `checker` (a name for the operator:
    // host and process), with its bytes; nothing when none is free. Two checkers never
    // take the same replay while its lease runs (PostgreSQL: FOR UPDATE SKIP LOCKED);
    // one that dies leaves it to be taken up again when the lease runs out.
    virtual std::optional<PendingReplay> ClaimPendingReplay(std::string_view checker,
                                                            std::chrono::seconds lease) = 0;

    virtual std::optional<ReplayRecord> FindReplay(int64_t replayId) = 0;

    // The Pending replays with afterId < id <= throughId, oldest (smallest id) first,
    // `limit` at most, each with its bytes. Read on the write side, so that a replica
    // running behind does not hide one.
    virtual std::vector<PendingReplay> PendingReplays(int64_t afterId, int64_t throughId, int64_t limit) = 0;
    // The id of the latest replay stored, whatever its state; 0 when there is none.
    virtual int64_t LatestReplayId() = 0;
    // The bytes of a Verified replay; nothing for any other.
    virtual std::optional<std::vector<uint8_t>> VerifiedReplayFile(int64_t replayId) = 0;

    // Throws StoreError when the database cannot be reached just now (for the
    // server's readiness check). By default a look-up on the write side.
    virtual void CheckReachable() { (void)LatestReplayId(); }

    // The bounds StoreReplay keeps to; set before the store is shared between threads.
    void SetReplayQuota(const ReplayQuota& quota) { quota_ = quota; }
    const ReplayQuota& Quota() const { return quota_; }

  private:
    ReplayQuota quota_;
};

// Opens the store a --db value names: "sqlite:PATH" or "postgresql://...".
// Creates or upgrades the schema. Throws StoreError with a one-line message when
// the value is not understood or the database cannot be opened.
std::unique_ptr<ScoreStore> OpenScoreStore(std::string_view url, const StoreOptions& options = {});

} // namespace vorlane::scores
