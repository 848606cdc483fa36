#pragma once
// The one thread that writes accepted submissions. Whatever has arrived while the
// previous commit ran goes into the next transaction together (group commit), and
// every sender is answered only after the commit that holds its row: durable and
// fast at once.
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "store/ScoreStore.h"

namespace vorlane::scores {

class SubmissionWriter {
  public:
    // The most entries one transaction takes.
    static constexpr size_t kMaxBatch = 512;

    explicit SubmissionWriter(ScoreStore& store);
    ~SubmissionWriter(); // Stop()

    // Queues the entry; the future is ready after its transaction committed, and
    // holds the StoreError when it failed, or a StoreError when the writer stopped
    // before taking it.
    std::future<InsertOutcome> Submit(NewScore entry);

    // Writes what is queued, then ends the thread. Later Submits fail at once.
    void Stop();

  private:
    struct Pending {
        NewScore entry;
        std::promise<InsertOutcome> done;
    };
    void Run();

    ScoreStore& store_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Pending> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace vorlane::scores
