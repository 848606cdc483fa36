// The table lives through a kill -9 of the server at any moment: every submission
// that was answered 200 is there after a restart.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include "server/ScoresProcess.h"

namespace vorlane::scores::testing {
namespace {

using Answered = std::set<std::pair<std::string, int64_t>>;

// Six senders submit distinct results as fast as they can until `signalNumber`
// reaches the server after `streamMs`; answers whether it ended with status 0
// and adds every submission answered 200 to `answered`.
int StreamThenSignal(ScoresProcess& server, int round, int streamMs, int signalNumber, Answered& answered) {
    std::mutex answeredMutex;
    std::atomic<bool> signalled{false};
    std::vector<std::thread> senders;
    for (int sender = 0; sender < 6; ++sender) {
        senders.emplace_back([&, sender] {
            httplib::Client client = server.Client();
            for (int i = 0; i < 100'000; ++i) {
                std::string name = "R";
                name += std::to_string(round);
                name += 'S';
                name += std::to_string(sender);
                name += 'N';
                name += std::to_string(i);
                const int64_t score = 5 * (i + 1);
                auto result = client.Get(SubmissionPath(name, static_cast<int>(score)));
                if (!result || result->status != 200) {
                    EXPECT_TRUE(signalled.load())
                        << "refused before the signal: " << (result ? result->status : -1);
                    return;
                }
                std::lock_guard lock(answeredMutex);
                answered.emplace(name, score);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(streamMs));
    signalled = true;
    server.Signal(signalNumber);
    const int status = server.WaitForExit();
    for (std::thread& sender : senders)
        sender.join();
    return status;
}

// Every answered submission is in the table.
void ExpectAllStored(const TestDatabase& db, const Answered& answered) {
    auto store = db.Open();
    Answered stored;
    for (const RankedScore& row : AllRows(*store))
        stored.emplace(row.name, row.score);
    size_t missing = 0;
    for (const auto& entry : answered) {
        if (!stored.contains(entry) && ++missing <= 5)
            ADD_FAILURE() << "lost " << entry.first << " " << entry.second;
    }
    EXPECT_EQ(missing, 0u) << "of " << answered.size() << " answered";
    std::printf("%zu answered, %zu stored\n", answered.size(), stored.size());
}

TEST(ScoresDurability, AKillNineLosesNoAnsweredSubmission) {
    TestDatabase db;
    Answered answered;
    int round = 0;
    // Three kills after different lengths of the stream, on the same database.
    for (int streamMs : {300, 700, 1200}) {
        auto server = ScoresProcess::StartOn(db, {"--rate-limit", "0"});
        ASSERT_TRUE(server);
        EXPECT_EQ(StreamThenSignal(*server, ++round, streamMs, SIGKILL, answered), -1)
            << "ended by the signal";
    }
    ASSERT_GT(answered.size(), 30u) << "the stream should have been going";

    // A restart opens the same file, and the table holds every answered row.
    auto server = ScoresProcess::StartOn(db, {"--rate-limit", "0"});
    ASSERT_TRUE(server);
    ExpectAllStored(db, answered);
}

TEST(ScoresDurability, SigtermDuringAStreamAnswersWhatItTookAndEndsWithStatusZero) {
    TestDatabase db;
    Answered answered;
    auto server = ScoresProcess::StartOn(db, {"--rate-limit", "0"});
    ASSERT_TRUE(server);
    EXPECT_EQ(StreamThenSignal(*server, 1, 500, SIGTERM, answered), 0) << server->Stderr();
    ASSERT_GT(answered.size(), 10u);
    ExpectAllStored(db, answered);
}

} // namespace
} // namespace vorlane::scores::testing
