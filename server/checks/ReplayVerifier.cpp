#include "checks/ReplayVerifier.h"

#include <iostream>

#include "checks/IsolatedCheck.h"
#include "checks/ReplayJudge.h"

namespace vorlane::scores {

ReplayVerifier::ReplayVerifier(ScoreStore& store, IsolatedReplayCheck run, VerifierLimits limits)
    : store_(store), run_(std::move(run)), limits_(limits) {
    for (size_t i = 0; i < limits_.workers; ++i)
        workers_.emplace_back([this] { Work(); });
}

ReplayVerifier::~ReplayVerifier() {
    Stop();
}

bool ReplayVerifier::TryReserve() {
    if (LeavesChecksToOthers()) return true;
    std::lock_guard lock(mutex_);
    if (stopping_ || taken_ >= limits_.queued) return false;
    ++taken_;
    return true;
}

void ReplayVerifier::CancelReservation() {
    if (LeavesChecksToOthers()) return;
    GiveBackPlace();
}

void ReplayVerifier::GiveBackPlace() {
    size_t backlogPlaces = 0;
    {
        std::lock_guard lock(mutex_);
        --taken_;
        backlogPlaces = ReserveForBacklog();
        changed_.notify_all();
    }
    if (backlogPlaces > 0) QueueBacklog(backlogPlaces);
}

void ReplayVerifier::Enqueue(ReplayJob job) {
    if (LeavesChecksToOthers()) return; // stored pending: a checking process takes it
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    changed_.notify_all();
}

void ReplayVerifier::TakeUpPendingReplays() {
    if (LeavesChecksToOthers()) return;
    int64_t latest = 0;
    try {
        latest = store_.LatestReplayId();
    } catch (const StoreError& error) {
        std::cerr << "vorlane-scores: the pending replays are not checked before the next start: "
                  << error.what() << std::endl;
        return;
    }
    size_t places = 0;
    {
        std::lock_guard lock(mutex_);
        backlogLeft_ = latest > 0;
        backlogAfter_ = 0;
        backlogThrough_ = latest;
        places = ReserveForBacklog();
    }
    if (places > 0) QueueBacklog(places);
}

size_t ReplayVerifier::ReserveForBacklog() {
    if (!backlogLeft_ || stopping_ || taken_ != 0) return 0;
    taken_ = limits_.queued;
    return limits_.queued;
}

void ReplayVerifier::QueueBacklog(size_t places) {
    int64_t after = 0;
    int64_t through = 0;
    {
        std::lock_guard lock(mutex_);
        after = backlogAfter_;
        through = backlogThrough_;
    }
    std::vector<PendingReplay> pending;
    bool answered = false;
    try {
        pending = store_.PendingReplays(after, through, static_cast<int64_t>(places));
        answered = true;
    } catch (const StoreError& error) {
        // Tried again the next time the queue runs empty.
        std::cerr << "vorlane-scores: the pending replays: " << error.what() << std::endl;
    }
    std::lock_guard lock(mutex_);
    for (PendingReplay& replay : pending)
        jobs_.push_back(ReplayJob{replay.id, replay.claimedScore, std::move(replay.bytes),
                                  std::move(replay.name), std::move(replay.country)});
    if (!pending.empty()) backlogAfter_ = pending.back().id;
    // Fewer than asked for: the backlog is done.
    if (answered && pending.size() < places) backlogLeft_ = false;
    taken_ -= places - pending.size();
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
        GiveBackPlace();
    }
}

void ReplayVerifier::Check(const ReplayJob& job) {
    const ReplayCheckResult check = run_(job.bytes, limits_.cpuPerReplay);
    const ReplayJudgement judgement = JudgeReplay(check, job.submittedScore, job.name, job.country);
    try {
        store_.RecordReplayVerdict(job.replayId, judgement.verified, judgement.reason, judgement.race);
    } catch (const StoreError& error) {
        // The replay stays pending; it is not lost, only unjudged.
        std::cerr << "vorlane-scores: replay " << job.replayId << ": " << error.what() << std::endl;
    }
}

} // namespace vorlane::scores
