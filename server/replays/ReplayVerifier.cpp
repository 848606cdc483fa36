#include "replays/ReplayVerifier.h"

#include <iostream>

#include "replays/IsolatedCheck.h"
#include "replays/ReplayJudge.h"

namespace vorlane::scores {

ReplayVerifier::ReplayVerifier(ScoreStore& store, ReplayChecker checker, std::filesystem::path dataDir,
                               VerifierLimits limits)
    : store_(store), checker_(std::move(checker)), dataDir_(std::move(dataDir)), limits_(limits) {
    for (size_t i = 0; i < limits_.workers; ++i)
        workers_.emplace_back([this] { Work(); });
}

ReplayVerifier::~ReplayVerifier() {
    Stop();
}

bool ReplayVerifier::TryReserve() {
    std::lock_guard lock(mutex_);
    if (stopping_ || taken_ >= limits_.queued) return false;
    ++taken_;
    return true;
}

void ReplayVerifier::CancelReservation() {
    std::lock_guard lock(mutex_);
    --taken_;
    changed_.notify_all();
}

void ReplayVerifier::Enqueue(ReplayJob job) {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    changed_.notify_all();
}

void ReplayVerifier::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    for (std::thread& worker : workers_)
        if (worker.joinable()) worker.join();
}

void ReplayVerifier::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return taken_ == 0 || stopping_; });
}

void ReplayVerifier::Work() {
    for (;;) {
        ReplayJob job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        Check(job);
        std::lock_guard lock(mutex_);
        --taken_;
        changed_.notify_all();
    }
}

void ReplayVerifier::Check(const ReplayJob& job) {
    const ReplayCheckResult check = RunCheckIsolated(checker_, job.bytes, dataDir_, limits_.cpuPerReplay);
    const ReplayJudgement judgement = JudgeReplay(check, job.submittedScore);
    try {
        store_.RecordReplayVerdict(job.replayId, judgement.verified, judgement.reason);
    } catch (const StoreError& error) {
        // The replay stays pending; it is not lost, only unjudged.
        std::cerr << "vorlane-scores: replay " << job.replayId << ": " << error.what() << std::endl;
    }
}

} // namespace vorlane::scores
