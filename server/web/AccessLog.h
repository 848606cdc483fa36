#pragma once
// The operator's view of the traffic, on standard output: one line per answered
// request, and every interval (a minute by default) one line that sums up the
// connections the server refused, by reason (only when it refused any). Lines are
// handed to a thread of their own, so that a slow reader of the output (a full pipe,
// a busy journal) never holds up a request: past a bound, lines are dropped and the
// next summary says how many.
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace vorlane::scores {

// Why a connection or a request was turned away before (or instead of) its answer.
enum class Refusal {
    Busy,             // every worker busy and the queue full: 503 at once
    PerAddressCap,    // the client holds as many connections as one address may
    WaitingRoomFull,  // too many idle connections open
    HeadTimeout,      // the request (head or body) did not arrive within its deadline
    MalformedRequest, // a request the server could not read: answered 4xx and closed
};
inline constexpr size_t kRefusalKinds = 5;

struct AccessEntry {
    std::chrono::system_clock::time_point time;
    std::string client;
    std::string method; // empty when the request line could not be read
    std::string target; // the request line's target as sent
    int status = 0;
    size_t bytes = 0; // of the answer's body
    double milliseconds = 0;
};

// "2026-12-11T03:50:00.123Z 127.0.0.1 GET /cgi/version.pl?prg&hs&inf 200 16 0.42ms":
// the query keeps its parameter names, never their values (a submission's text, a
// player's name); bytes outside printable ASCII are written as %XX.
std::string AccessLine(const AccessEntry& entry);

// The target's path and query names only: "/cgi/version.pl?prg&hs&inf".
std::string PathWithoutValues(std::string_view target);

class AccessLog {
  public:
    // `requestLines` false writes the summaries only.
    AccessLog(bool requestLines, std::chrono::seconds summaryInterval, FILE* out = stdout);
    ~AccessLog(); // writes what is left, then ends the thread
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    bool WritesRequestLines() const { return requestLines_; }
    void Request(const AccessEntry& entry);
    void Refused(Refusal reason);

  private:
    void Run();
    void WriteSummary();

    bool requestLines_;
    std::chrono::seconds summaryInterval_;
    FILE* out_;
    std::array<std::atomic<uint64_t>, kRefusalKinds> refused_{};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    uint64_t dropped_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace vorlane::scores
