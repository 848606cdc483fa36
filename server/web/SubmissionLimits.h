#pragma once
// Per sender: a token bucket of submissions a minute. Senders are known only by a
// salted hash of their address; the address itself is never kept.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vorlane::scores {

// A salted 64-bit hash of a client address, as 16 hex digits.
std::string HashClientAddress(std::string_view salt, std::string_view address);

class SubmissionRateLimiter {
  public:
    using Clock = std::chrono::steady_clock;

    // `perMinute` submissions a minute for each sender, at most `perMinute` in one
    // burst; 0 lets everything through.
    explicit SubmissionRateLimiter(int64_t perMinute) : perMinute_(perMinute) {}

    // Takes one token from the sender's bucket; false when it is empty.
    bool TryTake(const std::string& clientHash, Clock::time_point now = Clock::now());

  private:
    struct Bucket {
        double tokens;
        Clock::time_point updated;
    };
    void ForgetFullBuckets(Clock::time_point now);

    int64_t perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

} // namespace vorlane::scores
