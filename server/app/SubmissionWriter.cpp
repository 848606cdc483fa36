#include "app/SubmissionWriter.h"

#include <vector>

namespace vorlane::scores {

SubmissionWriter::SubmissionWriter(ScoreStore& store) : store_(store), thread_([this] { Run(); }) {}

SubmissionWriter::~SubmissionWriter() {
    Stop();
}

std::future<InsertOutcome> SubmissionWriter::Submit(NewScore entry) {
    Pending pending{std::move(entry), {}};
    std::future<InsertOutcome> done = pending.done.get_future();
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            pending.done.set_exception(std::make_exception_ptr(StoreError("the server is shutting down")));
            return done;
        }
        queue_.push_back(std::move(pending));
    }
    wake_.notify_one();
    return done;
}

void SubmissionWriter::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void SubmissionWriter::Run() {
    std::vector<Pending> batch;
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
        for (Pending& pending : batch)
            entries.push_back(pending.entry);
        try {
            const std::vector<InsertOutcome> outcomes = store_.InsertBatch(entries);
            if (outcomes.size() != batch.size())
                throw StoreError("the store answered for a different number of entries");
            for (size_t i = 0; i < batch.size(); ++i)
                batch[i].done.set_value(outcomes[i]);
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            for (Pending& pending : batch)
                pending.done.set_exception(error);
        }
        batch.clear();
    }
}

} // namespace vorlane::scores
