#include "web/SubmissionLimits.h"

#include <algorithm>

namespace vorlane::scores {

std::string HashClientAddress(std::string_view salt, std::string_view address) {
    // FNV-1a over salt, a separator and the address, then a final mix so that
    // neighbouring addresses land far apart.
    uint64_t hash = 0xcbf29ce484222325ull;
    auto mix = [&](std::string_view bytes) {
        for (char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ull;
        }
    };
    mix(salt);
    mix(std::string_view("\0", 1));
    mix(address);
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[static_cast<size_t>(i)] = kHex[hash & 0xF];
    return text;
}

bool SubmissionRateLimiter::TryTake(const std::string& clientHash, Clock::time_point now) {
    if (perMinute_ == 0) return true;
    const double capacity = static_cast<double>(perMinute_);
    std::lock_guard lock(mutex_);
    if (buckets_.size() > 100'000) ForgetFullBuckets(now);
    auto [it, fresh] = buckets_.try_emplace(clientHash, Bucket{capacity, now});
    Bucket& bucket = it->second;
    if (!fresh) {
        const double minutes = std::chrono::duration<double, std::ratio<60>>(now - bucket.updated).count();
        bucket.tokens = std::min(capacity, bucket.tokens + std::max(0.0, minutes) * capacity);
        bucket.updated = std::max(bucket.updated, now);
    }
    if (bucket.tokens < 1.0) return false;
    bucket.tokens -= 1.0;
    return true;
}

void SubmissionRateLimiter::ForgetFullBuckets(Clock::time_point now) {
    // A bucket that has filled up again is the same as no bucket.
    std::erase_if(buckets_,
                  [&](const auto& entry) { return now - entry.second.updated >= std::chrono::minutes(1); });
}

} // namespace vorlane::scores
