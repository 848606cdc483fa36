// The replay worker pool on its own: a bounded queue, checks in child processes with a
// CPU limit, and the verdict each check leads to, written to a real store.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>

#include "replays/IsolatedCheck.h"
#include "replays/ReplayJudge.h"
#include "replays/ReplayVerifier.h"
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
        const ReplayJudgement judgement = JudgeReplay(c.check, c.submitted);
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
    ReplayVerifier verifier(*store, checker, "", limits);
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

} // namespace
} // namespace vorlane::scores::testing
