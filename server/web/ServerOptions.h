#pragma once
// The score server's command line (kServerUsage, kServerHelp).
#include <cstdint>
#include <string>
#include <vector>

#include "store/ScoreStore.h"
#include "web/TrustedProxies.h"

namespace vorlane::scores {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 8080; // 0: any free port (the "listening on" line tells which)
    std::string dbUrl = "sqlite:vorlane-scores.db";
    char key = 'K';                  // replaced by the game's key in ParseServerOptions
    std::string publicUrl;           // empty: http://HOST:PORT as listened on
    int64_t rateLimitPerMinute = 10; // 0: no limit
    TrustedProxies trustedProxies;   // empty: every client is its connection's peer
    ForwardedHeader forwardedHeader = ForwardedHeader::XForwardedFor;
    bool accessLog = true; // a line per request on standard output
    int64_t refusalSummarySeconds = 60;
    ReplayQuota replayQuota;         // uploads a row may have, bytes the pending replays may hold
    StoreOptions store;              // the connections held to a PostgreSQL server
    bool checkerOnly = false;        // --checker: check replays taken from the database, no HTTP
    int64_t checkers = 2;            // replay checks at once in this process (0: none)
    int64_t replayLeaseSeconds = 60; // how long a checking process holds a replay it took
};

struct ServerOptionsParse {
    bool ok = false;
    ServerOptions options;
    std::string error; // one line, when not ok
};

// `args` without the program name.
ServerOptionsParse ParseServerOptions(const std::vector<std::string>& args);

inline constexpr const char* kServerUsage =
    "usage: vorlane-scores [--listen HOST:PORT] [--db URL] [--key LETTER] [--public-url URL] [--rate-limit N]"
    " [--trusted-proxy ADDR[/BITS]]... [--forwarded-header NAME] [--no-access-log] [--refusal-summary "
    "SECONDS]"
    " [--max-uploads-per-row N] [--max-pending-bytes N] [--db-pool N] [--checkers N]"
    " [--checker [--replay-lease S]] | --version | --help";

// What --help prints: the usage line and a line for each option with its default.
inline constexpr const char* kServerHelp =
    "  --listen HOST:PORT  where to take requests (127.0.0.1:8080; port 0: any free port)\n"
    "  --db URL            sqlite:FILE (sqlite:vorlane-scores.db) or postgresql://USER@HOST:PORT/DB\n"
    "  --key LETTER        the submission key (the game's own)\n"
    "  --public-url URL    the address the pages link to (http://HOST:PORT as listened on)\n"
    "  --rate-limit N      submissions a minute from one address (10; 0: no limit)\n"
    "  --trusted-proxy ADDR[/BITS]  a reverse proxy (IPv4 or IPv6, a network with /BITS) whose\n"
    "                      requests name their client in the forwarding header; repeatable.\n"
    "                      The rate limit, connection cap and replay binding then count that client\n"
    "  --forwarded-header NAME  x-forwarded-for (the default) or forwarded: the header the\n"
    "                      trusted proxies write; the other one is ignored\n"
    "  --no-access-log     no line per request on standard output (the refusal summaries stay)\n"
    "  --refusal-summary SECONDS  how often a line sums up refused connections (60)\n"
    "  --max-uploads-per-row N  replays stored for one result, failed ones included (3; 0: no limit)\n"
    "  --max-pending-bytes N    bytes the replays waiting for their check may hold in the database\n"
    "                      (67108864, i.e. 64 MiB; 0: no limit)\n"
    "  --db-pool N         connections held to PostgreSQL at most, the writer's included (8; 2 to 1000);\n"
    "                      a read waits up to 5 s for a free one, then is answered 503\n"
    "  --checkers N        replay checks at once in this process (2; 0: none here, the uploads stay\n"
    "                      pending for checking processes on the same PostgreSQL database)\n"
    "  --checker           check replays only, no HTTP: take pending replays from the PostgreSQL\n"
    "                      database (--db), any number of such processes on any machines\n"
    "  --replay-lease S    how long a checking process holds a replay it took before another may\n"
    "                      take it up (60; longer than a check may last, about 42 s)\n"
    "  --version           prints the version and ends\n"
    "  --help, -h          prints this and ends (wherever it stands on the line)\n"
    "Uploaded replays are played through with the game data in $VORLANE_DATA_DIR (or the\n"
    "folder this build made). SIGINT or SIGTERM stops the server after the requests in flight.\n"
    "Endpoints: / (home page), /cgi/version.pl (submissions, the table), /api/scores, /api/rank,\n"
    "/api/replays, /healthz (the process answers), /readyz (503 while the database cannot be reached).\n";

} // namespace vorlane::scores
