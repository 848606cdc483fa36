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

TEST(ScoresDurability, AKillNineLosesNoAnsweredSubmission)
{
    TestDatabase db;
    std::set<std::pair<std::string, int64_t>> answered;
    std::mutex answeredMutex;
    int round = 0;
    // Three kills after different lengths of the stream, on the same database.
    for (int streamMs : {300, 700, 1200}) {
        ++round;
        auto server = ScoresProcess::StartOn(db, {"--rate-limit", "0"});
        ASSERT_TRUE(server);
        std::atomic<bool> killed{false};
        std::vector<std::thread> senders;
        for (int sender = 0; sender < 6; ++sender) {
            senders.emplace_back([&, sender, round] {
                httplib::Client client = server->Client();
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
                        EXPECT_TRUE(killed.load()) << "refused before the kill: " << (result ? result->status : -1);
                        return;
                    }
                    std::lock_guard lock(answeredMutex);
                    answered.emplace(name, score);
                }
            });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(streamMs));
        killed = true;
        server->Signal(SIGKILL);
        EXPECT_EQ(server->WaitForExit(), -1) << "ended by the signal";
        for (std::thread& sender : senders) sender.join();
    }
    ASSERT_GT(answered.size(), 30u) << "the stream should have been going";

    // A restart opens the same file, and the table holds every answered row.
    auto server = ScoresProcess::StartOn(db, {"--rate-limit", "0"});
    ASSERT_TRUE(server);
    auto store = db.Open();
    std::set<std::pair<std::string, int64_t>> stored;
    for (const RankedScore& row : AllRows(*store)) stored.emplace(row.name, row.score);
    size_t missing = 0;
    for (const auto& entry : answered) {
        if (!stored.contains(entry)) {
            if (++missing <= 5) ADD_FAILURE() << "lost " << entry.first << " " << entry.second;
        }
    }
    EXPECT_EQ(missing, 0u) << "of " << answered.size() << " answered";
    EXPECT_GE(stored.size(), answered.size()) << "rows written but not answered may be there too";
    std::printf("kill -9 rounds: %zu answered, %zu stored\n", answered.size(), stored.size());
}

} // namespace
} // namespace vorlane::scores::testing
