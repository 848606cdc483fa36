// The replay worker pool on its own: a bounded queue, checks in child processes with a
// CPU limit, and the verdict each check leads to, written to a real store.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "checks/IsolatedCheck.h"
#include "checks/RaceFingerprint.h"
#include "checks/RecordedOutcomeChecker.h"
#include "checks/ReplayJudge.h"
#include "checks/ReplayVerifier.h"
#include "replay/ReplayRecorder.h"
#include "replay/SyntheticRace.h"
#include "server/ScoresProcess.h"

namespace vorlane::scores::testing {
namespace {

ReplayCheckResult Played(int64_t score, uint32_t seed = 5, std::optional<uint32_t> recordedSeed = 5) {
    ReplayCheckResult result;
    result.kind = ReplayCheckKind::Ok;
    result.finalScore = score;
    result.seed = seed;
    result.recordedSeed = recordedSeed;
    return result;
}

TEST(ReplayJudge, VerifiesOnlyAReplayPlayedToItsEndWithTheSubmittedScoreAndItsOwnSeed) {
    ReplayCheckResult refused;
    refused.kind = ReplayCheckKind::Refused;
    refused.message = "replay: checksum mismatch";
    ReplayCheckResult diverged = Played(10);
    diverged.kind = ReplayCheckKind::Diverged;
    diverged.message = "the race ended on frame 3, the file says 9";
    ReplayCheckResult slow;
    slow.kind = ReplayCheckKind::TimeLimit;
    const struct {
        ReplayCheckResult check;
        int64_t submitted;
        bool verified;
        const char* reasonStart;
    } cases[] = {
        {Played(1200), 1200, true, ""},
        {Played(1200), 1300, false, "score differs: the replay ends with 1200, the submission says 1300"},
        {Played(1200, 5, 6), 1200, false, "seed differs"},
        {Played(1200, 5, std::nullopt), 1200, false, "replay refused"},
        {refused, 1200, false, "replay refused: replay: checksum mismatch"},
        {diverged, 10, false, "replay diverged: the race ended"},
        {slow, 1200, false, "time limit"},
    };
    for (const auto& c : cases) {
        const ReplayJudgement judgement = JudgeReplay(c.check, c.submitted, "ANN", "Peru");
        EXPECT_EQ(judgement.verified, c.verified) << c.reasonStart;
        EXPECT_TRUE(judgement.reason.starts_with(c.reasonStart)) << judgement.reason;
        EXPECT_EQ(judgement.reason.empty(), c.verified) << judgement.reason;
    }
}

TEST(IsolatedCheck, AnEndlessCrashingOrThrowingCheckCostsOnlyItsChild) {
    const std::vector<uint8_t> bytes{1, 2, 3};
    const auto start = std::chrono::steady_clock::now();
    const ReplayCheckResult spun = RunCheckIsolated(
        [](const std::vector<uint8_t>&, const std::filesystem::path&) -> ReplayCheckResult {
            volatile uint64_t n = 0;
            for (;;)
                n = n + 1;
        },
        bytes, "", std::chrono::seconds(1));
    EXPECT_EQ(spun.kind, ReplayCheckKind::TimeLimit);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));

    const ReplayCheckResult crashed = RunCheckIsolated(
        [](const std::vector<uint8_t>&, const std::filesystem::path&) -> ReplayCheckResult {
            raise(SIGSEGV);
            return {};
        },
        bytes, "", std::chrono::seconds(1));
    EXPECT_EQ(crashed.kind, ReplayCheckKind::Crashed);

    const ReplayCheckResult threw = RunCheckIsolated(
        [](const std::vector<uint8_t>&, const std::filesystem::path&) -> ReplayCheckResult {
            throw std::runtime_error("out of road");
        },
        bytes, "", std::chrono::seconds(1));
    EXPECT_EQ(threw.kind, ReplayCheckKind::Crashed);
    EXPECT_EQ(threw.message, "out of road");

    // What the child found comes back whole, the data folder as given.
    const ReplayCheckResult fine = RunCheckIsolated(
        [](const std::vector<uint8_t>& b, const std::filesystem::path& dir) {
            ReplayCheckResult r = Played(static_cast<int64_t>(b.size()) * 1000, 77, 77);
            r.level = 3;
            r.frames = 25500;
            r.message = dir.string();
            return r;
        },
        bytes, "/some/data", std::chrono::seconds(1));
    EXPECT_EQ(fine.kind, ReplayCheckKind::Ok);
    EXPECT_EQ(fine.finalScore, 3000);
    EXPECT_EQ(fine.level, 3);
    EXPECT_EQ(fine.frames, 25500u);
    EXPECT_EQ(fine.seed, 77u);
    EXPECT_EQ(fine.recordedSeed, 77u);
    EXPECT_EQ(fine.message, "/some/data");
}

// A check in a program started afresh: the server's own checking mode answers with the
// game's verdict; a program that spins, sleeps, is missing or answers nothing is bounded
// and named like a forked check.
TEST(IsolatedCheck, AFreshProgramChecksWithinTheSameBounds) {
    const std::vector<uint8_t> notAReplay(300, 'x');
    const ReplayCheckResult refused =
        RunCheckInProgram({VORLANE_SCORES_EXE, "--check-replay", "/no/data/needed/to/refuse"}, notAReplay,
                          std::chrono::seconds(10));
    EXPECT_EQ(refused.kind, ReplayCheckKind::Refused) << refused.message;
    EXPECT_NE(refused.message.find("not a replay"), std::string::npos) << refused.message;

    const struct {
        const char* what;
        std::vector<std::string> program;
        ReplayCheckKind kind;
        const char* message;
    } cases[] = {
        {"spins", {"/bin/sh", "-c", "while :; do :; done"}, ReplayCheckKind::TimeLimit, "CPU time"},
        {"sleeps", {"/bin/sleep", "60"}, ReplayCheckKind::TimeLimit, "no answer in time"},
        {"is missing", {"/nonexistent/vorlane-check"}, ReplayCheckKind::Crashed, "the check gave no answer"},
        {"answers nothing", {"/bin/true"}, ReplayCheckKind::Crashed, "the check gave no answer"},
        {"answers garbage", {"/bin/cat"}, ReplayCheckKind::Crashed, "the check's answer is garbled"},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const ReplayCheckResult result = RunCheckInProgram(c.program, notAReplay, std::chrono::seconds(1));
        EXPECT_EQ(result.kind, c.kind) << c.what << ": " << result.message;
        EXPECT_EQ(result.message, c.message) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << c.what;
    }
}

TEST(ReplayVerifier, AFullQueueTakesNoMoreAndEveryVerdictReachesTheStore) {
    TestDatabase db;
    auto store = db.Open();
    store->InsertBatch(
        std::vector<NewScore>{{"FAST", "Peru", 100, 1000, "c1"}, {"SLOW", "Peru", 200, 1000, "c1"}});
    const ReplayRecord fast = store->StoreReplay({"FAST", "Peru", 100, 1001, "c1", {100}});
    const ReplayRecord slow = store->StoreReplay({"SLOW", "Peru", 200, 1001, "c1", {0}});
    ASSERT_EQ(fast.state, ReplayState::Pending);
    ASSERT_NE(fast.scoreId, 0);

    // The first byte of a file: 0 spins for ever, anything else is the final score / 1.
    ReplayChecker checker = [](const std::vector<uint8_t>& bytes, const std::filesystem::path&) {
        if (bytes.at(0) == 0) {
            volatile uint64_t n = 0;
            for (;;)
                n = n + 1;
        }
        return Played(bytes[0]);
    };
    VerifierLimits limits;
    limits.workers = 1;
    limits.queued = 2;
    limits.cpuPerReplay = std::chrono::seconds(1);
    ReplayVerifier verifier(*store, InForkedChild(checker, ""), limits);
    ASSERT_TRUE(verifier.TryReserve());
    ASSERT_TRUE(verifier.TryReserve());
    EXPECT_FALSE(verifier.TryReserve());
    verifier.Enqueue({slow.id, 200, {0}});
    verifier.Enqueue({fast.id, 100, {100}});
    EXPECT_FALSE(verifier.TryReserve());
    verifier.WaitIdle();
    EXPECT_TRUE(verifier.TryReserve());
    verifier.CancelReservation();

    EXPECT_EQ(store->FindReplay(slow.id)->reason, "time limit");
    EXPECT_EQ(store->FindReplay(fast.id)->state, ReplayState::Verified);
    const std::vector<RankedScore> verified = AllRows(*store, ScoreFilter{0, "", true});
    ASSERT_EQ(verified.size(), 1u);
    EXPECT_EQ(verified[0].name, "FAST");
    EXPECT_EQ(verified[0].replayId, fast.id);
    EXPECT_EQ(verified[0].rank, 1);
    EXPECT_EQ(store->VerifiedReplayFile(fast.id), std::vector<uint8_t>{100});
    EXPECT_FALSE(store->VerifiedReplayFile(slow.id));
}

// Replays left pending by a server that stopped: a row and a pending replay for each
// score, stored as the upload would have; answers the replay ids in order.
std::vector<int64_t> StorePendingReplays(ScoreStore& store, const std::vector<int64_t>& scores,
                                         const std::vector<std::vector<uint8_t>>& files) {
    std::vector<NewScore> rows;
    for (int64_t score : scores) {
        std::string name = "P";
        name += std::to_string(score);
        rows.push_back({name, "Peru", score, 1000, "c1"});
    }
    store.InsertBatch(rows);
    std::vector<int64_t> ids;
    for (size_t i = 0; i < scores.size(); ++i) {
        const ReplayRecord record =
            store.StoreReplay({rows[i].name, "Peru", scores[i], 1001, "c1", files[i]});
        EXPECT_EQ(record.state, ReplayState::Pending);
        ids.push_back(record.id);
    }
    return ids;
}

TEST(ReplayStore, PendingReplaysComeOldestFirstWithTheirBytesWithinTheIdRange) {
    TestDatabase db;
    auto store = db.Open();
    EXPECT_EQ(store->LatestReplayId(), 0);
    EXPECT_TRUE(store->PendingReplays(0, 1000, 10).empty());
    const std::vector<int64_t> ids =
        StorePendingReplays(*store, {10, 11, 12, 13, 14}, {{1}, {2, 2}, {3, 3, 3}, {4}, {5}});
    store->RecordReplayVerdict(ids[1], true, "");
    store->RecordReplayVerdict(ids[3], false, "time limit");
    const ReplayRecord unmatched = store->StoreReplay({"NOBODY", "Peru", 1, 1002, "c1", {9}});
    EXPECT_EQ(store->LatestReplayId(), unmatched.id);

    const auto idsOf = [](const std::vector<PendingReplay>& pending) {
        std::vector<int64_t> found;
        for (const PendingReplay& replay : pending)
            found.push_back(replay.id);
        return found;
    };
    const struct {
        int64_t after, through, limit;
        std::vector<int64_t> expected;
    } cases[] = {
        {0, unmatched.id, 10, {ids[0], ids[2], ids[4]}}, // judged and unmatched replays are not pending
        {0, unmatched.id, 2, {ids[0], ids[2]}},
        {ids[0], unmatched.id, 10, {ids[2], ids[4]}},
        {0, ids[2], 10, {ids[0], ids[2]}},
        {ids[4], unmatched.id, 10, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.after << ".." << c.through << " limit " << c.limit);
        EXPECT_EQ(idsOf(store->PendingReplays(c.after, c.through, c.limit)), c.expected);
    }
    const std::vector<PendingReplay> third = store->PendingReplays(ids[1], ids[2], 1);
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(third[0].claimedScore, 12);
    EXPECT_EQ(third[0].bytes, (std::vector<uint8_t>{3, 3, 3}));
}

// A database written before pending replays had an index of their own: the upgrade
// adds it, the replays left pending there are found, and failed ones lose their files.
TEST(ReplayStore, AnOlderDatabaseKeepsItsPendingReplaysThroughTheUpgrade) {
    TestDatabase db;
    if (!db.IsSqlite()) GTEST_SKIP() << "written for the SQLite file";
    std::vector<int64_t> ids;
    {
        auto store = db.Open();
        ids = StorePendingReplays(*store, {10, 11}, {{1}, {2}});
    }
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(db.SqlitePath().c_str(), &handle), SQLITE_OK);
    const auto run = [&](const char* sql) {
        EXPECT_EQ(sqlite3_exec(handle, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(handle);
    };
    // Back to version 3, with a failed replay that kept its file (as they did then).
    run("DROP INDEX replays_pending; DROP INDEX replays_verified_race; ALTER TABLE replays DROP COLUMN race;"
        "ALTER TABLE replays DROP COLUMN lease_until; ALTER TABLE replays DROP COLUMN checker;"
        "DELETE FROM schema_migrations WHERE version > 3;"
        "INSERT INTO replays (name, country, score, uploaded_at, client_hash, bytes, state, reason)"
        " VALUES ('OLD', 'Peru', 1, 1, 'c1', x'0102', 'failed', 'score differs')");
    sqlite3_close(handle);

    auto store = db.Open();
    const std::vector<PendingReplay> pending = store->PendingReplays(0, store->LatestReplayId(), 10);
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[1].id, ids[1]);
    EXPECT_EQ(pending[1].bytes, std::vector<uint8_t>{2});
    store.reset();
    ASSERT_EQ(sqlite3_open(db.SqlitePath().c_str(), &handle), SQLITE_OK);
    run("SELECT 1 FROM replays INDEXED BY replays_pending WHERE state = 'pending' AND id > 0");
    sqlite3_stmt* kept = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(handle,
                                 "SELECT count(*) FROM replays WHERE state = 'failed' AND bytes IS NOT NULL",
                                 -1, &kept, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(kept), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int64(kept, 0), 0); // the upgrade dropped the failed one's file
    sqlite3_finalize(kept);
    sqlite3_close(handle);
}

// The log a check appends to from its child process: the first byte of each file checked.
class CheckLog {
  public:
    CheckLog()
        : path_(std::filesystem::temp_directory_path() /
                ("vorlane_checks_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove(path_);
    }
    ~CheckLog() { std::filesystem::remove(path_); }

    // Sleeps `pause`, logs the file, then: first byte 0 crashes, anything else is the
    // final score.
    ReplayChecker SlowChecker(std::chrono::milliseconds pause) const {
        const std::string path = path_.string();
        return [path, pause](const std::vector<uint8_t>& bytes, const std::filesystem::path&) {
            std::this_thread::sleep_for(pause);
            if (FILE* log = std::fopen(path.c_str(), "a")) {
                std::fprintf(log, "%d ", bytes.at(0));
                std::fclose(log);
            }
            if (bytes[0] == 0) raise(SIGSEGV);
            return Played(bytes[0]);
        };
    }
    std::string Text() const {
        std::ifstream in(path_);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

  private:
    std::filesystem::path path_;
};

// Replays left pending by the last run are checked oldest first, each once, never
// more at once than the queue holds; a replay stored after the start (an upload on its
// way to the queue) is not the backlog's and waits for the next start; a check that
// crashed ends failed and is not tried again.
TEST(ReplayVerifier, ReplaysLeftPendingAreCheckedOldestFirstWithinTheQueueLimitOncePerStart) {
    TestDatabase db;
    auto store = db.Open();
    const std::vector<int64_t> ids =
        StorePendingReplays(*store, {10, 11, 12, 13, 14, 15}, {{10}, {11}, {0}, {13}, {14}, {15}});
    store->RecordReplayVerdict(ids[5], false, "replay refused: judged before the stop");
    CheckLog log;
    VerifierLimits limits;
    limits.workers = 1;
    limits.queued = 2;
    limits.cpuPerReplay = std::chrono::seconds(2);
    {
        ReplayVerifier verifier(*store, InForkedChild(log.SlowChecker(std::chrono::milliseconds(300)), ""),
                                limits);
        verifier.TakeUpPendingReplays();
        EXPECT_FALSE(verifier.TryReserve()) << "the oldest two fill the queue";
        const std::vector<int64_t> late = StorePendingReplays(*store, {99}, {{99}});
        verifier.WaitIdle();
        EXPECT_EQ(log.Text(), "10 11 0 13 14 ");
        EXPECT_EQ(store->FindReplay(late[0])->state, ReplayState::Pending);
    }
    for (size_t i : {0, 1, 3, 4})
        EXPECT_EQ(store->FindReplay(ids[i])->state, ReplayState::Verified) << i;
    EXPECT_TRUE(store->FindReplay(ids[2])->reason.starts_with("check failed: "))
        << store->FindReplay(ids[2])->reason;
    EXPECT_EQ(store->FindReplay(ids[5])->reason, "replay refused: judged before the stop");

    // The next start takes up only what is still pending.
    ReplayVerifier restarted(*store, InForkedChild(log.SlowChecker(std::chrono::milliseconds(0)), ""),
                             limits);
    restarted.TakeUpPendingReplays();
    restarted.WaitIdle();
    EXPECT_EQ(log.Text(), "10 11 0 13 14 99 ");
    EXPECT_TRUE(store->PendingReplays(0, store->LatestReplayId(), 10).empty());
}

TEST(ReplayStore, AReplayLinksToTheSendersLatestUnverifiedRowOfThatResult) {
    TestDatabase db;
    auto store = db.Open();
    store->InsertBatch(std::vector<NewScore>{{"ANN", "Peru", 500, 1000, "me"},
                                             {"ANN", "Peru", 500, 2000, "me"},
                                             {"ANN", "Peru", 500, 3000, "someone else"},
                                             {"ANN", "Chile", 500, 4000, "me"}});
    const std::vector<RankedScore> rows = AllRows(*store);
    const auto idAt = [&](int64_t submittedAt) {
        for (const RankedScore& row : rows)
            if (row.submittedAt == submittedAt) return row.id;
        return int64_t{0};
    };
    const ReplayRecord first = store->StoreReplay({"ANN", "Peru", 500, 5000, "me", {1, 2}});
    EXPECT_EQ(first.scoreId, idAt(2000));
    store->RecordReplayVerdict(first.id, true, "");
    // The row at 2000 is verified now: the next replay of that result goes to the older one.
    const ReplayRecord second = store->StoreReplay({"ANN", "Peru", 500, 5001, "me", {1, 2}});
    EXPECT_EQ(second.scoreId, idAt(1000));
    store->RecordReplayVerdict(second.id, false, "score differs");
    EXPECT_EQ(store->FindReplay(second.id)->reason, "score differs");

    for (const NewReplay& stranger :
         {NewReplay{"ANN", "Peru", 501, 5002, "me", {1}}, NewReplay{"BOB", "Peru", 500, 5002, "me", {1}},
          NewReplay{"ANN", "Peru", 500, 5002, "nobody", {1}}}) {
        const ReplayRecord none = store->StoreReplay(stranger);
        EXPECT_EQ(none.scoreId, 0);
        EXPECT_EQ(none.state, ReplayState::Failed);
        EXPECT_EQ(store->FindReplay(none.id)->reason, kNoMatchingSubmission);
    }
    // Reopened: the schema is in place and what was stored is there.
    store.reset();
    store = db.Open();
    EXPECT_EQ(store->FindReplay(first.id)->state, ReplayState::Verified);
    EXPECT_EQ(AllRows(*store, ScoreFilter{0, "Peru", true}).size(), 1u);
}

// An upload turned away before its check (too large) is linked to its row by the same
// rule as any replay but kept Failed with its reason and without a file: never pending,
// never given out, not verified by a later verdict, and the row still takes its real
// replay.
TEST(ReplayStore, ARefusedUploadIsLinkedAndFailedWithItsReasonAndNoFile) {
    TestDatabase db;
    auto store = db.Open();
    store->InsertBatch(std::vector<NewScore>{{"ANN", "Peru", 500, 1000, "me"}});
    const int64_t rowId = AllRows(*store).at(0).id;
    const std::string tooLarge = "replay too large: 300000 bytes, at most 262144";

    const ReplayRecord refused =
        store->StoreRefusedReplay({"ANN", "Peru", 500, 2000, "me", {1, 2, 3}}, tooLarge);
    EXPECT_EQ(refused.scoreId, rowId);
    EXPECT_EQ(refused.state, ReplayState::Failed);
    EXPECT_EQ(refused.reason, tooLarge);
    const std::optional<ReplayRecord> found = store->FindReplay(refused.id);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->scoreId, rowId);
    EXPECT_EQ(found->state, ReplayState::Failed);
    EXPECT_EQ(found->reason, tooLarge);
    EXPECT_EQ(found->claimedScore, 500);
    EXPECT_TRUE(store->PendingReplays(0, refused.id, 10).empty());
    store->RecordReplayVerdict(refused.id, true, ""); // a verdict is for a pending replay only
    EXPECT_EQ(store->FindReplay(refused.id)->state, ReplayState::Failed);
    EXPECT_FALSE(store->VerifiedReplayFile(refused.id));
    EXPECT_FALSE(AllRows(*store).at(0).verified);

    const ReplayRecord stray = store->StoreRefusedReplay({"BOB", "Peru", 500, 2001, "me", {}}, tooLarge);
    EXPECT_EQ(stray.scoreId, 0);
    EXPECT_EQ(stray.state, ReplayState::Failed);
    EXPECT_EQ(store->FindReplay(stray.id)->reason, kNoMatchingSubmission);

    const ReplayRecord real = store->StoreReplay({"ANN", "Peru", 500, 3000, "me", {7}});
    EXPECT_EQ(real.scoreId, rowId);
    EXPECT_EQ(real.state, ReplayState::Pending);
}

// The quota: a row takes a bounded number of uploads (refused ones for their size count
// too), the files waiting for their check a bounded number of bytes, and a judged
// replay frees its room. Nothing is stored for an upload past the quota.
TEST(ReplayStore, TheQuotaBoundsARowsUploadsAndTheBytesWaitingForTheirCheck) {
    TestDatabase db;
    auto store = db.Open();
    store->SetReplayQuota({2, 1000});
    store->InsertBatch(std::vector<NewScore>{{"ANN", "Peru", 500, 1000, "me"},
                                             {"BOB", "Peru", 600, 1000, "me"},
                                             {"CID", "Peru", 700, 1000, "me"}});
    const auto upload = [&](const char* name, int64_t score, size_t size) {
        return store->StoreReplay({name, "Peru", score, 2000, "me", std::vector<uint8_t>(size, 1)});
    };
    const ReplayRecord ann = upload("ANN", 500, 600);
    ASSERT_EQ(ann.refused, ReplayRefusal::None);
    const int64_t latest = store->LatestReplayId();
    EXPECT_EQ(upload("BOB", 600, 600).refused, ReplayRefusal::PendingFull); // 1200 > 1000
    EXPECT_EQ(store->LatestReplayId(), latest);                             // nothing stored
    const ReplayRecord bob = upload("BOB", 600, 400);                       // 1000: just fits
    ASSERT_EQ(bob.refused, ReplayRefusal::None);
    EXPECT_EQ(bob.state, ReplayState::Pending);
    EXPECT_EQ(upload("CID", 700, 1).refused, ReplayRefusal::PendingFull);

    store->RecordReplayVerdict(ann.id, false, "replay refused: junk");
    const ReplayRecord ann2 = upload("ANN", 500, 600); // the failed one's room is free again
    ASSERT_EQ(ann2.refused, ReplayRefusal::None);
    EXPECT_EQ(upload("ANN", 500, 1).refused, ReplayRefusal::RowFull); // ANN had two
    EXPECT_EQ(store->StoreRefusedReplay({"ANN", "Peru", 500, 2001, "me", {}}, "replay too large").refused,
              ReplayRefusal::RowFull);
    const ReplayRecord bigBob = store->StoreRefusedReplay({"BOB", "Peru", 600, 2001, "me", {}}, "too large");
    EXPECT_EQ(bigBob.refused, ReplayRefusal::None); // its second: recorded, and it holds no file
    EXPECT_EQ(bigBob.state, ReplayState::Failed);
    EXPECT_EQ(upload("BOB", 600, 1).refused, ReplayRefusal::RowFull);

    store->RecordReplayVerdict(bob.id, true, "");
    store->RecordReplayVerdict(ann2.id, false, "score differs");
    EXPECT_EQ(store->VerifiedReplayFile(bob.id), std::vector<uint8_t>(400, 1)); // a verified one keeps it
    EXPECT_EQ(upload("CID", 700, 1000).refused, ReplayRefusal::None);           // nothing pending now
    // A replay without its row holds no file and has no row to count against.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(upload("NOBODY", 1, 5000).reason, kNoMatchingSubmission);

    store->SetReplayQuota({0, 0}); // no bounds
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(upload("ANN", 500, 2000).refused, ReplayRefusal::None);
}

Replay SyntheticRace(uint32_t seed) {
    replaytest::SyntheticRaceSettings settings;
    settings.Seed = seed;
    settings.Frames = 85 * 5;
    return replaytest::MakeSyntheticRace(settings);
}

// A race that played to the row's score proves the row only with the name (and the
// country) its own name entry took, compared as the table compares names; a race
// without a name entry proves the score alone. A refusal for the name keeps the race,
// so that the store can name the row the race verified first.
TEST(ReplayJudge, ARaceWithItsNameEntryVerifiesOnlyTheRowOfThatName) {
    const auto named = [](std::string name, std::string country) {
        ReplayCheckResult check = Played(1200);
        check.raceFingerprint = "00000000000000aa";
        check.nameEntry = ReplayCheckResult::NameEntry{std::move(name), std::move(country)};
        return check;
    };
    ReplayCheckResult alone = Played(1200);
    alone.raceFingerprint = "00000000000000aa";
    const struct {
        const char* what;
        ReplayCheckResult check;
        const char* rowName;
        const char* rowCountry;
        const char* reason; // empty: verified
    } cases[] = {
        {"the same name and country", named("ANN", "Peru"), "ANN", "Peru", ""},
        {"another letter case", named("Ann", "PERU"), "ANN", "peru", ""},
        {"no country given, sent as the line", named("ANN", ""), "ANN", "_______", ""},
        {"a Latin-1 letter", named("\xC5SA", "Sverige"), "\xC3\x85SA", "Sverige", ""},
        {"another name", named("ANN", "Peru"), "THIEF", "Peru",
         "name differs: the replay's name entry took \"ANN\", the result names \"THIEF\""},
        {"a longer name", named("ANN", "Peru"), "ANNA", "Peru", "name differs"},
        {"another country", named("ANN", "Peru"), "ANN", "Chile",
         "country differs: the replay's name entry went with \"Peru\", the result with \"Chile\""},
        {"a country where none was given", named("ANN", ""), "ANN", "Peru", "country differs"},
        {"a non-ASCII letter in another case", named("\xE5SA", "Sverige"), "\xC3\x85SA", "Sverige",
         "name differs"},
        {"bytes no name holds are shown as ?", named("A\x01\x7F", "Peru"), "ANN", "Peru",
         "name differs: the replay's name entry took \"A??\""},
        {"a race without a name entry", alone, "WHOEVER", "Chile", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ReplayJudgement judgement = JudgeReplay(c.check, 1200, c.rowName, c.rowCountry);
        EXPECT_EQ(judgement.verified, *c.reason == 0) << judgement.reason;
        EXPECT_TRUE(judgement.reason.starts_with(c.reason)) << judgement.reason;
        EXPECT_EQ(judgement.race, "00000000000000aa"); // played to the score: the store checks the race
    }
    // A score or seed that differs says so first, and gives no race to look for.
    const ReplayJudgement otherScore = JudgeReplay(named("ANN", "Peru"), 1300, "THIEF", "Peru");
    EXPECT_TRUE(otherScore.reason.starts_with("score differs")) << otherScore.reason;
    EXPECT_EQ(otherScore.race, "");
}

// The fingerprint names the race, not the file's bytes: what the race does not read
// leaves it alone, anything it plays differently changes it.
TEST(RaceFingerprint, IsTheSameForTheSameRaceOnlyWhateverTheFileSays) {
    const Replay race = SyntheticRace(7);
    const std::string original = RaceFingerprint(WriteReplay(race));
    EXPECT_EQ(original.size(), 16u);
    EXPECT_EQ(RaceFingerprint(WriteReplay(race)), original);
    const struct {
        const char* what;
        void (*change)(Replay&);
        bool sameRace;
    } cases[] = {
        {"another name kept from before the race", [](Replay& r) { r.Start.PlayerName = "Thief"; }, true},
        {"a name entry added",
         [](Replay& r) {
             r.NameEntry = ReplayNameEntry{"THIEF", "Chile"};
         },
         true},
        {"another seed", [](Replay& r) { r.Start.Seed += 1; }, false},
        {"another car", [](Replay& r) { r.Start.Car = r.Start.Car % 6 + 1; }, false},
        {"a key held one frame longer", [](Replay& r) { r.Frames[100].Held ^= 1; }, false},
        {"a character typed", [](Replay& r) { r.Frames[50].Events.push_back(ReplayEvent::Char('a')); },
         false},
        {"a frame's step", [](Replay& r) { r.Frames[10].Step.FrameMs += 1; }, false},
        {"another score claimed", [](Replay& r) { r.Outcome.Result.Score += 10; }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Replay changed = race;
        c.change(changed);
        const std::vector<uint8_t> bytes = WriteReplay(changed);
        EXPECT_NE(bytes, WriteReplay(race));
        EXPECT_EQ(RaceFingerprint(bytes) == original, c.sameRace);
    }
    // A file that is no replay: its bytes are what it holds.
    EXPECT_EQ(RaceFingerprint({1, 2, 3}), RaceFingerprint({1, 2, 3}));
    EXPECT_NE(RaceFingerprint({1, 2, 3}), RaceFingerprint({1, 2, 4}));
    EXPECT_NE(RaceFingerprint({}), RaceFingerprint({0}));
}

// A race proves one result: its replay, however renamed and from whoever, verifies
// no second row once it verified one (the first stands, on any server of the
// database); another race of the same score still verifies its own.
TEST(ReplayVerifier, ARaceVerifiesOneResultOnly) {
    TestDatabase db;
    auto store = db.Open();
    store->InsertBatch(std::vector<NewScore>{{"ANN", "Peru", 100, 1000, "ann's address"},
                                             {"THIEF", "Chile", 100, 1001, "another address"},
                                             {"CID", "Peru", 100, 1002, "cid's address"}});
    Replay race = SyntheticRace(7);
    const std::vector<uint8_t> annFile = WriteReplay(race);
    race.Start.PlayerName = "THIEF";
    const std::vector<uint8_t> renamedFile = WriteReplay(race);
    const std::vector<uint8_t> cidFile = WriteReplay(SyntheticRace(8));
    const NewReplay uploads[] = {
        {"ANN", "Peru", 100, 2000, "ann's address", annFile},
        {"THIEF", "Chile", 100, 2001, "another address", annFile},
        {"THIEF", "Chile", 100, 2002, "another address", renamedFile},
        {"CID", "Peru", 100, 2003, "cid's address", cidFile},
    };
    // Every file here plays through to the score of 100.
    ReplayChecker checker = [](const std::vector<uint8_t>&, const std::filesystem::path&) {
        return Played(100);
    };
    VerifierLimits limits;
    limits.workers = 1;
    ReplayVerifier verifier(*store, InForkedChild(checker, ""), limits);
    std::vector<int64_t> ids;
    for (const NewReplay& upload : uploads) {
        const ReplayRecord record = store->StoreReplay(upload);
        ASSERT_EQ(record.state, ReplayState::Pending);
        ids.push_back(record.id);
        ASSERT_TRUE(verifier.TryReserve());
        verifier.Enqueue({record.id, 100, upload.bytes});
        verifier.WaitIdle(); // one after the other: the first upload is the one that counts
    }
    const ReplayRecord ann = *store->FindReplay(ids[0]);
    const ReplayRecord thief = *store->FindReplay(ids[1]);
    const ReplayRecord renamed = *store->FindReplay(ids[2]);
    const ReplayRecord cid = *store->FindReplay(ids[3]);
    EXPECT_EQ(ann.state, ReplayState::Verified);
    EXPECT_EQ(cid.state, ReplayState::Verified);
    for (const ReplayRecord& stolen : {thief, renamed}) {
        EXPECT_EQ(stolen.state, ReplayState::Failed);
        EXPECT_EQ(stolen.reason, kRaceVerifiedAlready + std::to_string(ann.id));
        EXPECT_FALSE(store->VerifiedReplayFile(stolen.id));
    }
    std::vector<std::string> verifiedNames;
    for (const RankedScore& row : AllRows(*store, ScoreFilter{0, "", true}))
        verifiedNames.push_back(row.name);
    EXPECT_EQ(verifiedNames, (std::vector<std::string>{"ANN", "CID"}));
}

// A replay with its name entry, checked in a process of its own: it verifies the row
// of the name and country typed (in any letter case) and is refused for a row under
// another; a replay without a name entry verifies the score of whatever row it came
// for. Each upload here is a race of its own.
TEST(ReplayVerifier, AReplayWithItsNameEntryVerifiesTheRowOfThatNameOnly) {
    TestDatabase db;
    auto store = db.Open();
    const struct {
        const char* rowName;
        const char* rowCountry;
        std::optional<ReplayNameEntry> entry;
        const char* reason; // empty: verified
    } cases[] = {
        {"ANN", "Peru", ReplayNameEntry{"ANN", "Peru"}, ""},
        {"bob", "_______", ReplayNameEntry{"BOB", ""}, ""},
        {"THIEF", "Peru", ReplayNameEntry{"CID", "Peru"},
         "name differs: the replay's name entry took \"CID\", the result names \"THIEF\""},
        {"DAN", "Chile", ReplayNameEntry{"DAN", "Peru"}, "country differs"},
        {"ZED", "Chile", std::nullopt, ""}, // a race alone (an older replay)
    };
    VerifierLimits limits;
    limits.workers = 1;
    ReplayVerifier verifier(*store, InForkedChild(CheckRecordedOutcomeOnly, ""), limits);
    uint32_t seed = 20;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rowName);
        Replay race = SyntheticRace(++seed);
        race.Outcome.Result = {100, 1, 0};
        race.NameEntry = c.entry;
        const std::vector<uint8_t> file = WriteReplay(race);
        store->InsertBatch(std::vector<NewScore>{{c.rowName, c.rowCountry, 100, 1000, "address"}});
        const NewReplay upload{c.rowName, c.rowCountry, 100, 2000, "address", file};
        const ReplayRecord record = store->StoreReplay(upload);
        ASSERT_EQ(record.state, ReplayState::Pending);
        ASSERT_TRUE(verifier.TryReserve());
        verifier.Enqueue({record.id, 100, file, c.rowName, c.rowCountry});
        verifier.WaitIdle();
        const ReplayRecord judged = *store->FindReplay(record.id);
        EXPECT_EQ(judged.state, *c.reason == 0 ? ReplayState::Verified : ReplayState::Failed)
            << judged.reason;
        EXPECT_TRUE(judged.reason.starts_with(c.reason)) << judged.reason;
    }
    std::vector<std::string> verifiedNames;
    for (const RankedScore& row : AllRows(*store, ScoreFilter{0, "", true}))
        verifiedNames.push_back(row.name);
    std::sort(verifiedNames.begin(), verifiedNames.end());
    EXPECT_EQ(verifiedNames, (std::vector<std::string>{"ANN", "ZED", "bob"}));

    // The refused file, sent again for the row of its own name: that row it verifies.
    Replay cids = SyntheticRace(23);
    cids.Outcome.Result = {100, 1, 0};
    cids.NameEntry = ReplayNameEntry{"CID", "Peru"};
    const std::vector<uint8_t> file = WriteReplay(cids);
    store->InsertBatch(std::vector<NewScore>{{"CID", "Peru", 100, 1000, "cid's address"}});
    const ReplayRecord record = store->StoreReplay({"CID", "Peru", 100, 2000, "cid's address", file});
    ASSERT_TRUE(verifier.TryReserve());
    verifier.Enqueue({record.id, 100, file, "CID", "Peru"});
    verifier.WaitIdle();
    EXPECT_EQ(store->FindReplay(record.id)->state, ReplayState::Verified)
        << store->FindReplay(record.id)->reason;
}

// The database as the queue: the oldest pending replay whose lease is free is taken,
// never one another checker holds; a lease that ran out (its checker died) frees the
// replay again; a judged replay is taken by nobody, and its verdict is written once.
TEST(ReplayStore, AClaimedReplayIsLeasedToOneCheckerUntilItsLeaseRunsOut) {
    TestDatabase db;
    auto store = db.Open();
    const std::vector<int64_t> ids = StorePendingReplays(*store, {10, 11, 12}, {{1}, {2}, {3}});
    const auto claim = [&](const char* checker, int seconds) {
        const std::optional<PendingReplay> taken =
            store->ClaimPendingReplay(checker, std::chrono::seconds(seconds));
        return taken ? taken->id : int64_t{0};
    };
    EXPECT_EQ(claim("a", 1), ids[0]);
    const std::optional<PendingReplay> second = store->ClaimPendingReplay("b", std::chrono::seconds(60));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->id, ids[1]);
    EXPECT_EQ(second->claimedScore, 11);
    EXPECT_EQ(second->bytes, std::vector<uint8_t>{2});
    EXPECT_TRUE(store->RecordReplayVerdict(ids[1], false, "replay refused: junk"));
    EXPECT_FALSE(store->RecordReplayVerdict(ids[1], true, "")); // judged already: the first stands
    EXPECT_EQ(store->FindReplay(ids[1])->state, ReplayState::Failed);
    EXPECT_EQ(claim("c", 60), ids[2]);
    EXPECT_EQ(claim("d", 60), 0); // a's lease still runs
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_EQ(claim("d", 60), ids[0]); // a's ran out
    EXPECT_EQ(claim("e", 60), 0);
}

} // namespace
} // namespace vorlane::scores::testing
