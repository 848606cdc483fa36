#pragma once
// The store for more than one server process: a PostgreSQL database reached by a
// libpq address, e.g.
//   postgresql://vorlane@db.example.org:5432/vorlane
//   postgresql://postgres@%2Ftmp%2Fpgdir:5432/vorlane      (a socket folder as host)
//   postgresql:///vorlane?host=/tmp/pgdir&port=5432&user=postgres
//   postgresql://vorlane@db1:5432,db2:5432/vorlane         (a primary and a replica)
// Every value goes in through a prepared statement. One write connection (the
// writer thread's: each batch is one transaction, committed before the senders are
// answered) and a pool of read connections. With several hosts in the address the
// writer finds the one that takes writes and the readers prefer a replica. The
// schema is brought up to date on start under an advisory lock, so that processes
// started together do it once.
// PostgreSQL text is valid UTF-8 without NUL: other bytes in a name or country
// (never sent by the server, possible in a row put in by hand) are stored as U+FFFD.
#include <pqxx/connection>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "store/ScoreStore.h"

namespace vorlane::scores {

class PgScoreStore : public ScoreStore {
  public:
    // Connects, migrates and reads the salt. Throws StoreError with one line naming
    // the database (without its password) when it cannot. Holds options.connections
    // connections at most: the writer's and a pool of readers, opened as needed and
    // kept; a read that finds them all busy waits up to options.connectionWait for
    // one, then throws StoreBusy.
    explicit PgScoreStore(std::string url, const StoreOptions& options = {});
    ~PgScoreStore() override;

    std::vector<InsertOutcome> InsertBatch(std::span<const NewScore> batch) override;
    std::vector<RankedScore> Page(const ScoreFilter& filter, int64_t offset, int64_t limit) override;
    std::optional<RankedScore> BestOf(const ScoreFilter& filter, std::string_view name) override;
    int64_t RankFor(const ScoreFilter& filter, int64_t score) override;
    std::string ClientSalt() override { return salt_; }
    ReplayRecord StoreReplay(const NewReplay& replay) override;
    ReplayRecord StoreRefusedReplay(const NewReplay& replay, std::string_view refusal) override;
    bool RecordReplayVerdict(int64_t replayId, bool verified, std::string_view reason,
                             std::string_view race) override;
    std::optional<PendingReplay> ClaimPendingReplay(std::string_view checker,
                                                    std::chrono::seconds lease) override;
    std::optional<ReplayRecord> FindReplay(int64_t replayId) override;
    std::vector<PendingReplay> PendingReplays(int64_t afterId, int64_t throughId, int64_t limit) override;
    int64_t LatestReplayId() override;
    std::optional<std::vector<uint8_t>> VerifiedReplayFile(int64_t replayId) override;

    // The schema version this program writes.
    static int64_t CurrentSchemaVersion();

    // The address as it may be shown: a password replaced by "***".
    static std::string RedactedUrl(const std::string& url);
    // Whether the address names more than one host (a primary and its replicas).
    static bool NamesSeveralHosts(const std::string& url);

  private:
    class ReadLease;
    // Both kinds of replay: Failed with `refusal` when it is not empty.
    ReplayRecord InsertReplay(const NewReplay& replay, std::string_view refusal);
    std::unique_ptr<pqxx::connection> Connect(const std::string& url);
    std::unique_ptr<pqxx::connection> TakeReader();
    // A reader back to the pool; nothing for one that broke (its place is free again).
    void GiveBackReader(std::unique_ptr<pqxx::connection> reader);
    // Runs `write` in one transaction on the writer connection, committed before it
    // returns; failures become StoreError naming `what` was refused.
    template <class Write> auto InWriteTransaction(const char* what, Write&& write);

    std::string writerUrl_; // as given, for libpq, with a connect time-out and the
    std::string readerUrl_; // kind of server (read-write, prefer-standby) added
    std::string shownUrl_;  // for messages
    std::unique_ptr<pqxx::connection> writer_;
    std::mutex writerMutex_;
    std::string salt_;
    size_t maxReaders_;
    std::chrono::milliseconds connectionWait_;
    std::mutex readersMutex_;
    std::condition_variable readerFreed_;
    size_t openReaders_ = 0; // idle, lent out, or being opened
    std::vector<std::unique_ptr<pqxx::connection>> idleReaders_;
};

} // namespace vorlane::scores
