#pragma once
// The embedded store: one SQLite file in WAL mode, synced in full on every commit,
// so that a kill of the server at any moment loses nothing that was answered as
// stored. One write connection (the writer thread's), a pool of read connections
// that read while it writes, and a thread that checkpoints the log in the
// background.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "store/ScoreStore.h"
#include "store/Sqlite.h"

namespace vorlane::scores {

class SqliteScoreStore : public ScoreStore {
  public:
    // Opens or creates the file and brings its schema up to date.
    explicit SqliteScoreStore(std::string path);
    ~SqliteScoreStore() override;

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
    // Opens the file afresh: the connections held open would go on working on a
    // file that was removed or moved away.
    void CheckReachable() override;

    // The schema version this program writes.
    static int64_t CurrentSchemaVersion();

  private:
    class ReadLease;
    // Both kinds of replay: Failed with `refusal` when it is not empty.
    ReplayRecord InsertReplay(const NewReplay& replay, std::string_view refusal);
    std::unique_ptr<SqliteConnection> TakeReader();
    // Copies committed pages from the log into the database file on its own
    // connection, so that the writer's commits never wait for it.
    void RunCheckpoints();
    void GiveBackReader(std::unique_ptr<SqliteConnection> reader);

    std::string path_;
    std::unique_ptr<SqliteConnection> writer_;
    std::mutex writerMutex_; // InsertBatch has one caller, but tests may call it too
    std::string salt_;
    std::mutex readersMutex_;
    std::vector<std::unique_ptr<SqliteConnection>> idleReaders_;
    std::mutex checkpointMutex_;
    std::condition_variable checkpointWake_;
    bool closing_ = false;
    std::thread checkpointer_;
};

} // namespace vorlane::scores
