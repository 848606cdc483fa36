#pragma once
// The one thread that writes accepted submissions. Whatever has arrived while the
// previous commit ran goes into the next transaction together (group commit), and
// every sender is answered only after the commit that holds its row: durable and
// fast at once.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "store/ScoreStore.h"

namespace vorlane::scores {

class SubmissionWriter {
  public:
    // The most entries one transaction takes.
    static constexpr size_t kMaxBatch = 512;

    explicit SubmissionWriter(ScoreStore& store);
    ~SubmissionWriter(); // Stop()

    // Queues the entry and waits for the transaction that holds it: its outcome once
    // committed. Throws the store's StoreError when the transaction failed, and a
    // StoreError when the writer stopped before taking it or when no commit came
    // within `wait` (the entry may still be written later).
    InsertOutcome Write(NewScore entry, std::chrono::milliseconds wait);

    // Writes what is queued, then ends the thread. Later Writes fail at once.
    void Stop();

  private:
    // One waiting sender. Its own lock and wake-up: the writer wakes exactly the
    // senders of the batch it committed, each once (a std::promise cost several
    // futex calls and a call_once a row, all on the writer thread).
    struct Pending {
        NewScore entry;
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        InsertOutcome outcome = InsertOutcome::Stored;
        std::exception_ptr error;
    };
    void Run();
    static void Finish(Pending& pending, InsertOutcome outcome, std::exception_ptr error);

    ScoreStore& store_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Pending>> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace vorlane::scores
