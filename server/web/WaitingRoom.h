#pragma once
// Connections that have nothing to read yet - new ones before their first byte,
// kept-alive ones between requests - wait here, watched by one epoll thread,
// instead of each holding a worker thread. When one becomes readable it is handed
// back; when it stays silent past its time it is closed.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

namespace vorlane::scores {

// An open client connection and what the server keeps about it.
struct Connection {
    int fd = -1;
    std::string client; // the peer's address, for the per-address cap
    size_t served = 0;  // requests answered on it
};

class WaitingRoom {
  public:
    using Clock = std::chrono::steady_clock;
    // `ready` is called on the room's thread with a connection that has bytes to read
    // (or was closed by its client); `closed` just before a silent one is closed here.
    WaitingRoom(size_t capacity, std::function<void(Connection)> ready,
                std::function<void(const Connection&)> closed);
    ~WaitingRoom(); // Stop()

    // Takes the connection until it is readable or `deadline` passes. False when
    // the room is full or stopped; the caller keeps the connection then.
    bool Add(Connection connection, Clock::time_point deadline);

    // Closes every waiting connection and ends the thread; Add refuses from now on.
    void Stop();

  private:
    struct Waiting {
        Connection connection;
        Clock::time_point deadline;
    };
    void Run();
    void CloseExpired(Clock::time_point now);

    size_t capacity_;
    std::function<void(Connection)> ready_;
    std::function<void(const Connection&)> closed_;
    int epoll_ = -1;
    int wake_ = -1; // eventfd that ends the thread's wait
    std::mutex mutex_;
    std::unordered_map<int, Waiting> waiting_;
    bool stopped_ = false;
    Clock::time_point nextSweep_{};
    std::thread thread_;
};

} // namespace vorlane::scores
