#pragma once
// The score server's command line:
//   vorlane-scores [--listen HOST:PORT] [--db URL] [--key LETTER] [--public-url URL] [--rate-limit N]
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane::scores {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 8080; // 0: any free port (the "listening on" line tells which)
    std::string dbUrl = "sqlite:vorlane-scores.db";
    char key = 'K';                  // replaced by the game's key in ParseServerOptions
    std::string publicUrl;           // empty: http://HOST:PORT as listened on
    int64_t rateLimitPerMinute = 10; // 0: no limit
};

struct ServerOptionsParse {
    bool ok = false;
    ServerOptions options;
    std::string error; // one line, when not ok
};

// `args` without the program name.
ServerOptionsParse ParseServerOptions(const std::vector<std::string>& args);

inline constexpr const char* kServerUsage = "usage: vorlane-scores [--listen HOST:PORT] [--db URL] [--key "
                                            "LETTER] [--public-url URL] [--rate-limit N]";

} // namespace vorlane::scores
