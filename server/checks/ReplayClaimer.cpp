#include "checks/ReplayClaimer.h"

#include "checks/ReplayJudge.h"

namespace vorlane::scores {

ReplayClaimer::ReplayClaimer(ScoreStore& store, IsolatedReplayCheck run, std::string name, ClaimLimits limits,
                             std::function<void(const std::string&)> report)
    : store_(store), run_(std::move(run)), name_(std::move(name)), limits_(limits),
      report_(std::move(report)) {
    for (size_t i = 0; i < limits_.workers; ++i)
        workers_.emplace_back([this] { Work(); });
}

ReplayClaimer::~ReplayClaimer() {
    Stop();
}

void ReplayClaimer::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    for (std::thread& worker : workers_)
        if (worker.joinable()) worker.join();
}

bool ReplayClaimer::Pause() {
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, limits_.idlePause, [this] { return stopping_; });
}

void ReplayClaimer::Work() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        std::optional<PendingReplay> replay;
        try {
            replay = store_.ClaimPendingReplay(name_, limits_.lease);
        } catch (const StoreError& error) {
            report_(std::string("the pending replays: ") + error.what());
        }
        if (!replay) {
            if (!Pause()) return;
            continue;
        }
        const ReplayJudgement judgement = JudgeReplay(run_(replay->bytes, limits_.cpuPerReplay),
                                                      replay->claimedScore, replay->name, replay->country);
        try {
            if (store_.RecordReplayVerdict(replay->id, judgement.verified, judgement.reason, judgement.race))
                report_("replay " + std::to_string(replay->id) + " judged: " +
                        (judgement.verified ? std::string("verified") : "failed: " + judgement.reason));
        } catch (const StoreError& error) {
            // The replay stays pending; its lease runs out and it is taken up again.
            report_("replay " + std::to_string(replay->id) + ": " + error.what());
        }
    }
}

} // namespace vorlane::scores
