// Replays sent to the real vorlane-scores after their submission that must not verify
// it: each leaves the row as it was, with the reason kept, and the server goes on
// serving; replays a stopped server left waiting are checked after its restart. (A
// real game's replay verifying its row: tests/online/whole_loop_test.cpp.)
#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <thread>

#include "persist/OnlineScore.h"
#include "replay/ReplayRecorder.h"
#include "replay/SyntheticRace.h"
#include "server/ScoresProcess.h"
#include "web/Pages.h"

namespace vorlane::scores::testing {
namespace {

// A made-up race of a minute with this outcome written into the file (not a race the
// game would play that way).
std::vector<uint8_t> ReplayEndingWith(int score, uint32_t seed = 7) {
    replaytest::SyntheticRaceSettings settings;
    settings.Seed = seed;
    Replay replay = replaytest::MakeSyntheticRace(settings);
    replay.Outcome.Result = {score, 2, 1};
    return WriteReplay(replay);
}

class ReplayUpload : public ::testing::Test {
  protected:
    void SetUp() override {
        server = ScoresProcess::StartOn(db, {"--rate-limit", "0"});
        ASSERT_TRUE(server);
    }

    void Submit(const std::string& name, int score, const std::string& country) {
        auto answer = server->Client().Get(SubmissionPath(name, score, country));
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, 200) << answer->body;
    }

    // `inChunks`: sent with chunked transfer encoding, its length not declared.
    httplib::Result Upload(const std::string& name, int score, const std::string& country,
                           const std::vector<uint8_t>& bytes, bool inChunks = false) {
        const std::string path =
            "/api/replays?prg=Vorlane&inf=" + EncodeSubmission(BuildSubmissionText(name, score, country));
        if (!inChunks)
            return server->Client().Post(path, std::string(bytes.begin(), bytes.end()),
                                         "application/octet-stream");
        return server->Client().Post(
            path,
            [&bytes](size_t offset, httplib::DataSink& sink) {
                if (offset >= bytes.size()) {
                    sink.done();
                    return true;
                }
                const size_t part = std::min<size_t>(16 * 1024, bytes.size() - offset);
                return sink.write(reinterpret_cast<const char*>(bytes.data() + offset), part);
            },
            "application/octet-stream");
    }

    // The replay id in "OK replay 12 ...".
    static int64_t ReplayIdOf(const std::string& answer) {
        std::smatch match;
        if (!std::regex_search(answer, match, std::regex(R"(^OK replay (\d+) )"))) return 0;
        return std::stoll(match[1]);
    }

    // Waits (a bounded time) until the replay is judged; answers its record.
    ReplayRecord Judged(int64_t id) {
        auto store = db.Open();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (;;) {
            std::optional<ReplayRecord> record = store->FindReplay(id);
            if (!record) {
                ADD_FAILURE() << "replay " << id << " was not stored";
                return {};
            }
            if (record->state != ReplayState::Pending || std::chrono::steady_clock::now() > deadline)
                return *record;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    void ExpectStillServing() {
        auto health = server->Client().Get("/healthz");
        ASSERT_TRUE(health);
        EXPECT_EQ(health->status, 200);
    }

    TestDatabase db;
    std::unique_ptr<ScoresProcess> server;
};

// Replays that must not verify anything: each leaves the row unverified with its
// reason, and the server answers the next request.
struct RefusedCase {
    const char* what;
    int submittedScore; // the row in the table (-1: none)
    int uploadedScore;  // the score the upload's query names
    std::vector<uint8_t> (*bytes)();
    const char* reasonStart; // alternatives separated by '|'
};

// Whether `text` starts with one of the '|'-separated `starts`.
bool StartsWithOneOf(const std::string& text, const std::string& starts) {
    for (size_t from = 0;;) {
        const size_t bar = starts.find('|', from);
        if (text.starts_with(starts.substr(from, bar - from))) return true;
        if (bar == std::string::npos) return false;
        from = bar + 1;
    }
}

std::vector<uint8_t> ReplayOf1000() {
    return ReplayEndingWith(1000);
}
std::vector<uint8_t> TamperedReplay() {
    std::vector<uint8_t> bytes = ReplayEndingWith(1000);
    bytes[bytes.size() / 2] ^= 0x40;
    return bytes;
}
std::vector<uint8_t> NotAReplay() {
    return std::vector<uint8_t>(500, 'x');
}

TEST_F(ReplayUpload, ReplaysThatDoNotProveTheirScoreLeaveTheRowUnverifiedWithTheReason) {
    const RefusedCase cases[] = {
        // The file says 1000; the player claims 1500 with it. Played again, a made-up
        // race diverges from its file before its score is even compared.
        {"a replay of another score", 1500, 1500, ReplayOf1000, "score differs|replay diverged"},
        {"a made-up race", 1000, 1000, ReplayOf1000, "replay diverged|score differs"},
        {"a tampered replay", 1000, 1000, TamperedReplay, "replay refused: "},
        {"not a replay at all", 1000, 1000, NotAReplay, "replay refused: "},
        {"a replay without a submission", -1, 1000, ReplayOf1000, "no matching submission"},
    };
    int player = 0;
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "P" + std::to_string(++player);
        if (c.submittedScore >= 0) Submit(name, c.submittedScore, "Peru");
        auto answer = Upload(name, c.uploadedScore, "Peru", c.bytes());
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 200) << answer->body;
        const int64_t id = ReplayIdOf(answer->body);
        ASSERT_GT(id, 0) << answer->body;
        const ReplayRecord record = Judged(id);
        EXPECT_EQ(record.state, ReplayState::Failed);
        EXPECT_TRUE(StartsWithOneOf(record.reason, c.reasonStart)) << record.reason;
        auto status = server->Client().Get("/api/replays/" + std::to_string(id));
        ASSERT_TRUE(status);
        EXPECT_NE(status->body.find("\"state\":\"failed\""), std::string::npos) << status->body;
        auto file = server->Client().Get("/api/replays/" + std::to_string(id) + ".vrp");
        ASSERT_TRUE(file);
        EXPECT_EQ(file->status, 404); // only verified replays are given out
        ExpectStillServing();
    }
    auto store = db.Open();
    for (const RankedScore& row : AllRows(*store))
        EXPECT_FALSE(row.verified) << row.name;
    EXPECT_TRUE(AllRows(*store, ScoreFilter{0, "", true}).empty());
}

// A body over 256 KiB is refused (413) and not kept, yet the row its address names keeps
// the reason, as for any other replay that does not prove its score; an empty body or
// a bad address (400) stores nothing at all.
TEST_F(ReplayUpload, OversizedUploadsKeepTheirReasonWhileEmptyOrBadlyAddressedOnesStoreNothing) {
    Submit("BIG", 1000, "Peru");
    std::vector<uint8_t> huge = ReplayEndingWith(1000);
    huge.resize(300 * 1024, 0);
    const struct {
        const char* what;
        const char* name;
        bool inChunks;
        const char* reason;
    } oversized[] = {
        {"a row to keep the reason", "BIG", false, "replay too large: 307200 bytes, at most 262144"},
        // Its length not declared, the body is counted as it comes (up to a request's limit).
        {"sent in chunks", "BIG", true, "replay too large: 307200 bytes, at most 262144"},
        {"no row of that name", "NOBODY", false, "no matching submission"},
    };
    auto store = db.Open();
    for (const auto& c : oversized) {
        SCOPED_TRACE(c.what);
        auto tooBig = Upload(c.name, 1000, "Peru", huge, c.inChunks);
        ASSERT_TRUE(tooBig);
        EXPECT_EQ(tooBig->status, 413) << tooBig->body;
        std::smatch match;
        ASSERT_TRUE(std::regex_search(tooBig->body, match, std::regex(R"(replay (\d+) not checked: )")))
            << tooBig->body;
        const int64_t id = std::stoll(match[1]);
        EXPECT_NE(tooBig->body.find(c.reason), std::string::npos) << tooBig->body;
        EXPECT_EQ(store->LatestReplayId(), id);

        const std::optional<ReplayRecord> record = store->FindReplay(id);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->state, ReplayState::Failed);
        EXPECT_EQ(record->reason, c.reason);
        EXPECT_EQ(record->claimedScore, 1000);
        const std::vector<RankedScore> rows = AllRows(*store);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(record->scoreId, std::string(c.name) == "BIG" ? rows[0].id : 0);
        EXPECT_FALSE(rows[0].verified);

        auto status = server->Client().Get("/api/replays/" + std::to_string(id));
        ASSERT_TRUE(status);
        EXPECT_EQ(status->status, 200);
        EXPECT_NE(status->body.find("\"state\":\"failed\""), std::string::npos) << status->body;
        EXPECT_NE(status->body.find(std::string("\"reason\":\"") + c.reason + "\""), std::string::npos)
            << status->body;
        auto file = server->Client().Get("/api/replays/" + std::to_string(id) + ".vrp");
        ASSERT_TRUE(file);
        EXPECT_EQ(file->status, 404);
        ExpectStillServing();
    }
    const int64_t recorded = store->LatestReplayId();

    // Too large and badly addressed: refused for its size, nothing to keep a reason for.
    auto tooBigAndBad =
        server->Client().Post("/api/replays?prg=Vorlane&inf=garbage", std::string(huge.begin(), huge.end()),
                              "application/octet-stream");
    ASSERT_TRUE(tooBigAndBad);
    EXPECT_EQ(tooBigAndBad->status, 413);
    ExpectStillServing();

    auto empty = Upload("BIG", 1000, "Peru", {});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->status, 400);

    const std::string body(100, 'r');
    const std::vector<std::string> badPaths{"/api/replays", "/api/replays?prg=Vorlane&inf=garbage",
                                            "/api/replays?prg=Other&inf=" +
                                                EncodeSubmission(BuildSubmissionText("BIG", 1000, "Peru"))};
    for (const std::string& path : badPaths) {
        SCOPED_TRACE(path);
        auto bad = server->Client().Post(path, body, "application/octet-stream");
        ASSERT_TRUE(bad);
        EXPECT_EQ(bad->status, 400);
        EXPECT_EQ(bad->get_header_value("Content-Type"), "text/plain; charset=utf-8");
        EXPECT_LT(bad->body.size(), 200u);
    }
    EXPECT_EQ(store->LatestReplayId(), recorded);
    for (const RankedScore& row : AllRows(*store))
        EXPECT_FALSE(row.verified) << row.name;
    ExpectStillServing();
}

// Oversized bodies are kept as records only within the sender's replay rate, the same
// rate its ordinary uploads draw on: a sender cannot fill the database with them.
TEST_F(ReplayUpload, OversizedUploadsAreRecordedOnlyWithinTheSendersReplayRate) {
    server.reset(); // one server per SQLite file: the fixture's goes first
    server = ScoresProcess::StartOn(db, {"--rate-limit", "2"});
    ASSERT_TRUE(server);
    Submit("FLOOD", 1000, "Peru");
    std::vector<uint8_t> huge(300 * 1024, 'x');
    std::vector<int64_t> recorded;
    for (int upload = 1; upload <= 4; ++upload) {
        SCOPED_TRACE(upload);
        auto tooBig = Upload("FLOOD", 1000, "Peru", huge);
        ASSERT_TRUE(tooBig);
        EXPECT_EQ(tooBig->status, 413) << tooBig->body;
        std::smatch match;
        if (std::regex_search(tooBig->body, match,
                              std::regex(R"(replay (\d+) not checked: replay too large)")))
            recorded.push_back(std::stoll(match[1]));
        else
            EXPECT_NE(tooBig->body.find("not recorded: too many replays"), std::string::npos) << tooBig->body;
    }
    ASSERT_EQ(recorded.size(), 2u);
    auto store = db.Open();
    const int64_t latest = store->LatestReplayId();
    EXPECT_EQ(latest, recorded.back());
    auto ordinary = Upload("FLOOD", 1000, "Peru", ReplayEndingWith(1000));
    ASSERT_TRUE(ordinary);
    EXPECT_EQ(ordinary->status, 429) << ordinary->body;
    EXPECT_EQ(store->LatestReplayId(), latest);
    ExpectStillServing();
}

// A server stopped with replays still waiting for their check (stored, never judged)
// checks them once started again on the same database.
TEST_F(ReplayUpload, ReplaysLeftPendingByAStoppedServerAreCheckedAfterItsRestart) {
    server->Signal(SIGTERM);
    ASSERT_EQ(server->WaitForExit(), 0) << server->Stderr();
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reasonStart;
    } left[] = {
        {"LEFT1", NotAReplay(), "replay refused: "},
        {"LEFT2", ReplayOf1000(), "replay diverged|score differs"},
        {"LEFT3", TamperedReplay(), "replay refused: "},
    };
    std::vector<int64_t> ids;
    {
        auto store = db.Open();
        for (const auto& replay : left) {
            store->InsertBatch(std::vector<NewScore>{{replay.name, "Peru", 1000, 1000, "sender"}});
            const ReplayRecord record =
                store->StoreReplay({replay.name, "Peru", 1000, 1001, "sender", replay.bytes});
            ASSERT_EQ(record.state, ReplayState::Pending);
            ids.push_back(record.id);
        }
    }
    server = ScoresProcess::StartOn(db, {"--rate-limit", "0"});
    ASSERT_TRUE(server);
    for (size_t i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(left[i].name);
        const ReplayRecord record = Judged(ids[i]);
        EXPECT_EQ(record.state, ReplayState::Failed);
        EXPECT_TRUE(StartsWithOneOf(record.reason, left[i].reasonStart)) << record.reason;
    }
    ExpectStillServing();
}

// Junk uploads for one result: the row takes a few (--max-uploads-per-row, 3 by
// default) and refuses the rest with 429 and the reason; the failed ones keep their
// verdict but not their bytes, so the database does not grow with the junk (200
// uploads of 256 KiB once grew it by over 100 MB).
TEST_F(ReplayUpload, AResultTakesAFewReplaysAndFailedOnesLeaveNoBytesBehind) {
    Submit("JUNK", 1000, "Peru");
    const std::vector<uint8_t> junk(kMaxReplayBytes, 'x');
    std::vector<int64_t> queued;
    int refused = 0;
    for (int upload = 0; upload < 200; ++upload) {
        auto answer = Upload("JUNK", 1000, "Peru", junk);
        ASSERT_TRUE(answer);
        if (answer->status == 200) {
            queued.push_back(ReplayIdOf(answer->body));
        } else {
            EXPECT_EQ(answer->status, 429) << answer->body;
            EXPECT_NE(answer->body.find("replay not stored: this result has had as many replays"),
                      std::string::npos)
                << answer->body;
            ++refused;
        }
    }
    EXPECT_EQ(queued.size(), 3u);
    EXPECT_EQ(refused, 197);
    for (int64_t id : queued) {
        ASSERT_GT(id, 0);
        EXPECT_EQ(Judged(id).state, ReplayState::Failed);
    }
    ExpectStillServing();
    if (!db.IsSqlite()) return;
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.SqlitePath().c_str(), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* kept = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(handle, "SELECT count(*), coalesce(sum(length(bytes)), 0) FROM replays", -1,
                                 &kept, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(kept), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int64(kept, 0), 3);
    EXPECT_EQ(sqlite3_column_int64(kept, 1), 0); // no failed replay keeps its file
    sqlite3_finalize(kept);
    sqlite3_close(handle);
    uintmax_t size = 0;
    for (const char* suffix : {"", "-wal"}) {
        std::error_code error;
        const uintmax_t part = std::filesystem::file_size(db.SqlitePath().string() + suffix, error);
        if (!error) size += part;
    }
    std::printf("database and log after 200 junk uploads of 256 KiB: %.1f MB\n", double(size) / 1e6);
    EXPECT_LT(size, 8u * 1000 * 1000);
}

// The room for files waiting for their check (--max-pending-bytes): an upload that
// would overfill it stores nothing and hears 503 with the reason and when to try
// again; one that fits is queued as ever.
TEST_F(ReplayUpload, AnUploadThePendingFilesHaveNoRoomForIsTurnedAwayWith503) {
    server.reset(); // one server per SQLite file: the fixture's goes first
    server = ScoresProcess::StartOn(db, {"--rate-limit", "0", "--max-pending-bytes", "1000"});
    ASSERT_TRUE(server);
    Submit("ROOM", 1000, "Peru");
    auto tooMuch = Upload("ROOM", 1000, "Peru", std::vector<uint8_t>(1001, 'x'));
    ASSERT_TRUE(tooMuch);
    EXPECT_EQ(tooMuch->status, 503) << tooMuch->body;
    EXPECT_EQ(tooMuch->get_header_value("Retry-After"), "60");
    EXPECT_NE(tooMuch->body.find("replay not stored: the replays waiting to be checked fill the room"),
              std::string::npos)
        << tooMuch->body;
    EXPECT_EQ(db.Open()->LatestReplayId(), 0);
    auto fits = Upload("ROOM", 1000, "Peru", std::vector<uint8_t>(1000, 'x'));
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->status, 200) << fits->body;
    EXPECT_GT(ReplayIdOf(fits->body), 0) << fits->body;
}

} // namespace
} // namespace vorlane::scores::testing
