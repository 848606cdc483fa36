#pragma once
// The secret each database keeps to mix into the senders' address hashes: 32 hex
// digits from the system's random source, made once when the database is new.
#include <random>
#include <string>

namespace vorlane::scores {

inline std::string NewClientSalt() {
    std::random_device random;
    std::string salt;
    const char* hex = "0123456789abcdef";
    for (int i = 0; i < 32; ++i)
        salt += hex[random() % 16];
    return salt;
}

} // namespace vorlane::scores
