#pragma once
// cpp-httplib's server with the connection handling made safe against slow and
// greedy clients. Requests are parsed by httplib; this owns the sockets:
// - a fixed pool of worker threads over a bounded queue (what finds the queue full
//   is answered 503 at once),
// - connections with nothing to read wait in an epoll waiting room, not in a worker,
// - a cap on the connections one address may hold open,
// - a deadline for the whole head of each request, so that a client sending a
//   byte now and then is cut off all the same, and a time-out for every write,
// - no second request on a connection whose request could not be read.
// It uses httplib's logger for the last point: do not replace it with set_logger.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "app/WaitingRoom.h"

namespace vorlane::scores {

struct ConnectionLimits {
    size_t workerThreads = 512;                     // requests served at once
    size_t queuedConnections = 2048;                // readable and waiting for a worker
    size_t waitingConnections = 10000;              // open with nothing to read
    size_t connectionsPerClient = 256;              // open at once from one address: half the workers
    size_t requestsPerConnection = 1000;            // then the connection is closed
    std::chrono::milliseconds requestTimeout{5000}; // from a request's first byte to its last
    std::chrono::milliseconds writeTimeout{5000};   // for each part of an answer
    std::chrono::milliseconds idleTimeout{5000};    // for the first or the next request
    // How long a worker keeps a quiet connection before it goes to the waiting
    // room: a busy kept-alive client's next request usually comes within it.
    std::chrono::milliseconds linger{2};
    size_t maxRequestBody = 256 * 1024;  // an uploaded replay (kMaxReplayBytes); more is 413
    size_t maxRequestBytes = 320 * 1024; // request line, headers and body together
};

class BoundedTaskQueue;

class GuardedServer : public httplib::Server {
  public:
    explicit GuardedServer(ConnectionLimits limits = {});
    ~GuardedServer() override;

    // Binds and listens with a backlog long enough for a burst of new connections.
    // Answers the port (the chosen one when `port` is 0), or -1 when it cannot.
    int Bind(const std::string& host, int port);

  private:
    bool process_and_close_socket(socket_t sock) override;
    // Answers the requests the connection has ready, then parks or closes it.
    void Serve(Connection connection);
    void Park(Connection connection);
    void Close(const Connection& connection);
    void TurnAway(const Connection& connection);
    bool Stopping() const { return svr_sock_ == INVALID_SOCKET; }

    bool TakeClientSlot(const std::string& address);
    void GiveBackClientSlot(const std::string& address);

    ConnectionLimits limits_;
    std::mutex clientsMutex_;
    std::unordered_map<std::string, size_t> openPerClient_;
    std::atomic<BoundedTaskQueue*> workers_{nullptr};
    std::unique_ptr<WaitingRoom> waitingRoom_;
};

} // namespace vorlane::scores
