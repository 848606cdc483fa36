#pragma once
// The checks of a checking process (vorlane-scores --checker): the database is the
// queue. Each worker takes the oldest pending replay whose lease is free
// (ScoreStore::ClaimPendingReplay), checks it in a process of its own as the server's
// own workers do (IsolatedCheck.h), writes the verdict, and takes the next; with none
// free it looks again after a pause. Any number of such processes on any machines
// share one PostgreSQL database; one that dies leaves its replay to the others once
// the lease runs out. The verdict written first stands (a verdict is only written over
// pending), so a replay is judged once.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "checks/IsolatedCheck.h"
#include "store/ScoreStore.h"

namespace vorlane::scores {

struct ClaimLimits {
    size_t workers = 2; // checks at once in this process
    // Longer than a check may take (its wall-clock bound is a few times its CPU limit),
    // so that a replay is taken up again only when its checker is gone.
    std::chrono::seconds lease{60};
    std::chrono::seconds cpuPerReplay{10};
    std::chrono::milliseconds idlePause{1000}; // between looks while nothing is pending
};

class ReplayClaimer {
  public:
    // `name` goes with each claim (host and process); `report` gets one line for each
    // verdict written and for each failure of the database.
    ReplayClaimer(ScoreStore& store, IsolatedReplayCheck run, std::string name, ClaimLimits limits,
                  std::function<void(const std::string&)> report);
    ~ReplayClaimer(); // Stop()
    ReplayClaimer(const ReplayClaimer&) = delete;
    ReplayClaimer& operator=(const ReplayClaimer&) = delete;

    // Lets the checks running now end and write their verdicts, takes no more.
    void Stop();

  private:
    void Work();
    // Waits the pause or until stopped; whether to go on.
    bool Pause();

    ScoreStore& store_;
    IsolatedReplayCheck run_;
    std::string name_;
    ClaimLimits limits_;
    std::function<void(const std::string&)> report_;
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace vorlane::scores
