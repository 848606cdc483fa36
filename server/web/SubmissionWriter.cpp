#include "web/SubmissionWriter.h"

namespace vorlane::scores {

SubmissionWriter::SubmissionWriter(ScoreStore& store) : store_(store), thread_([this] { Run(); }) {}

SubmissionWriter::~SubmissionWriter() {
    Stop();
}

InsertOutcome SubmissionWriter::Write(NewScore entry, std::chrono::milliseconds wait) {
    auto pending = std::make_shared<Pending>();
    pending->entry = std::move(entry);
    {
        std::lock_guard lock(mutex_);
        if (stopping_) throw StoreError("the server is shutting down");
        queue_.push_back(pending);
    }
    wake_.notify_one();
    std::unique_lock lock(pending->mutex);
    if (!pending->done.wait_for(lock, wait, [&] { return pending->finished; }))
        throw StoreError("a submission waited more than " +
                         std::to_string(std::chrono::duration_cast<std::chrono::seconds>(wait).count()) +
                         " s for its commit");
    if (pending->error) std::rethrow_exception(pending->error);
    return pending->outcome;
}

void SubmissionWriter::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void SubmissionWriter::Finish(Pending& pending, InsertOutcome outcome, std::exception_ptr error) {
    {
        std::lock_guard lock(pending.mutex);
        pending.outcome = outcome;
        pending.error = std::move(error);
        pending.finished = true;
    }
    // After the unlock, so that the sender wakes to a free lock.
    pending.done.notify_one();
}

void SubmissionWriter::Run() {
    std::vector<std::shared_ptr<Pending>> batch;
    std::vector<NewScore> entries;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return; // stopping, and everything is written
            while (!queue_.empty() && batch.size() < kMaxBatch) {
                batch.push_back(std::move(queue_.front()));
                queue_.pop_front();
            }
        }
        entries.clear();
        for (const std::shared_ptr<Pending>& pending : batch)
            entries.push_back(std::move(pending->entry));
        try {
            const std::vector<InsertOutcome> outcomes = store_.InsertBatch(entries);
            if (outcomes.size() != batch.size())
                throw StoreError("the store answered for a different number of entries");
            for (size_t i = 0; i < batch.size(); ++i)
                Finish(*batch[i], outcomes[i], nullptr);
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            for (const std::shared_ptr<Pending>& pending : batch)
                Finish(*pending, InsertOutcome::Stored, error);
        }
        batch.clear();
    }
}

} // namespace vorlane::scores
