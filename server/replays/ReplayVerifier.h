#pragma once
// The worker pool that checks uploaded replays. A bounded queue: the HTTP side first
// reserves a place (none free: it answers 503 and stores nothing), then stores the
// replay and hands it over. Each worker runs one check at a time in a child process
// with a CPU limit (IsolatedCheck.h) and writes the verdict to the store.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "replays/ReplayCheck.h"
#include "store/ScoreStore.h"

namespace vorlane::scores {

struct VerifierLimits {
    size_t workers = 2; // checks at once
    size_t queued = 32; // replays waiting or being checked
    // The game's re-simulation plays a five-minute race in about half a second of CPU
    // on a small machine (make bench-replay): ten seconds cover well over an hour.
    std::chrono::seconds cpuPerReplay{10};
};

struct ReplayJob {
    int64_t replayId = 0;
    int64_t submittedScore = 0;
    std::vector<uint8_t> bytes;
};

class ReplayVerifier {
  public:
    ReplayVerifier(ScoreStore& store, ReplayChecker checker, std::filesystem::path dataDir,
                   VerifierLimits limits = {});
    ~ReplayVerifier(); // Stop()
    ReplayVerifier(const ReplayVerifier&) = delete;
    ReplayVerifier& operator=(const ReplayVerifier&) = delete;

    // Takes a place in the queue; false when it is full.
    bool TryReserve();
    // Gives back a place taken by TryReserve that will not be used.
    void CancelReservation();
    // Hands over a job for a reserved place.
    void Enqueue(ReplayJob job);

    // Waits for the checks running now; replays still queued stay pending.
    void Stop();
    // Waits until the queue is empty and no check runs (tests, benchmarks).
    void WaitIdle();

  private:
    void Work();
    void Check(const ReplayJob& job);

    ScoreStore& store_;
    ReplayChecker checker_;
    std::filesystem::path dataDir_;
    VerifierLimits limits_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ReplayJob> jobs_;
    size_t taken_ = 0; // reserved, queued or running
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace vorlane::scores
