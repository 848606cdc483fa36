#pragma once
// The worker pool that checks uploaded replays. A bounded queue: the HTTP side first
// reserves a place (none free: it answers 503 and stores nothing), then stores the
// replay and hands it over. Each worker runs one check at a time in a process of its
// own with a CPU limit (IsolatedCheck.h) and writes the verdict to the store.
//
// Replays still pending when the server last stopped (queued, or being checked)
// are the backlog: TakeUpPendingReplays, called once at start-up before uploads are
// taken, notes the latest replay id stored then and fills the queue with the oldest
// of them. The rest wait until the queue has run empty (no upload reserved, queued
// or checked); then a worker reserves every place and fills them with the next
// oldest, until none is left. Each start-up walks the backlog once.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "checks/IsolatedCheck.h"
#include "checks/ReplayCheck.h"
#include "store/ScoreStore.h"

namespace vorlane::scores {

struct VerifierLimits {
    size_t workers = 2; // checks at once; 0: none here, every upload stays pending for
                        // the checking processes (ReplayClaimer.h) to take
    size_t queued = 32; // replays waiting or being checked
    // The game's re-simulation plays a five-minute race in about half a second of CPU
    // on a small machine (make bench-replay): ten seconds cover well over an hour.
    std::chrono::seconds cpuPerReplay{10};
};

struct ReplayJob {
    int64_t replayId = 0;
    int64_t submittedScore = 0;
    std::vector<uint8_t> bytes;
    std::string name = {}; // the row's name and country, as the upload named them
    std::string country = {};
};

class ReplayVerifier {
  public:
    // run: how one replay is checked in a process of its own (IsolatedCheck.h).
    ReplayVerifier(ScoreStore& store, IsolatedReplayCheck run, VerifierLimits limits = {});
    ~ReplayVerifier(); // Stop()
    ReplayVerifier(const ReplayVerifier&) = delete;
    ReplayVerifier& operator=(const ReplayVerifier&) = delete;

    // Takes a place in the queue; false when it is full.
    bool TryReserve();
    // Gives back a place taken by TryReserve that will not be used.
    void CancelReservation();
    // Hands over a job for a reserved place.
    void Enqueue(ReplayJob job);

    // Queues the replays the store holds as pending from before this start, as said
    // above. A store that fails here is logged; those replays wait for the next start.
    void TakeUpPendingReplays();

    // No workers: uploads are stored and left pending, the queue is never full.
    bool LeavesChecksToOthers() const { return limits_.workers == 0; }

    // Waits for the checks running now; replays still queued stay pending.
    void Stop();
    // Waits until the queue is empty and no check runs (tests, benchmarks).
    void WaitIdle();

  private:
    void Work();
    void Check(const ReplayJob& job);
    // Frees one place; when that empties the queue, the backlog moves on.
    void GiveBackPlace();
    // With the queue empty and backlog left: reserves every place and answers how
    // many (0 otherwise). Called with mutex_ held.
    size_t ReserveForBacklog();
    // Fills `places` reserved places with the next pending replays of the backlog and
    // gives back the places left over.
    void QueueBacklog(size_t places);

    ScoreStore& store_;
    IsolatedReplayCheck run_;
    VerifierLimits limits_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ReplayJob> jobs_;
    size_t taken_ = 0; // reserved, queued or running
    bool stopping_ = false;
    // The backlog: pending replays with backlogAfter_ < id <= backlogThrough_.
    bool backlogLeft_ = false;
    int64_t backlogAfter_ = 0;
    int64_t backlogThrough_ = 0;
    std::vector<std::thread> workers_;
};

} // namespace vorlane::scores
