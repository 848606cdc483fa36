#pragma once
// cpp-httplib's server with the connection handling made safe against slow and
// greedy clients. Requests are parsed by httplib; this owns the sockets:
// - a fixed pool of worker threads over a bounded queue (what finds the queue full
//   is answered 503 at once),
// - connections with nothing to read wait in an epoll waiting room, not in a worker,
// - a cap on the connections one address may hold open,
// - a deadline for the whole head of each request, so that a client sending a
//   byte now and then is cut off all the same, and a time-out for every write,
// - no second request on a connection whose request could not be read,
// - a head that could be read two ways (see RequestScreen.h) or a chunked body whose
//   framing breaks is answered 400 and the connection closed,
// - byte ranges are never applied by httplib (a handler may answer one itself),
// - behind trusted proxies, the client named in the forwarding header is the
//   request's remote_addr and holds the per-address connection slot,
// - an access line for every answer and counts of what was refused (AccessLog).
// It uses httplib's logger and pre-routing handler for these: do not replace them
// with set_logger or set_pre_routing_handler.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "web/AccessLog.h"
#include "web/TrustedProxies.h"
#include "web/WaitingRoom.h"

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

    // Both before the server listens. Without proxies every client is its peer.
    void SetTrustedProxies(TrustedProxies proxies, ForwardedHeader header);
    void SetAccessLog(AccessLog* log) { accessLog_ = log; }

  private:
    class DeadlineSocketStream;
    // Called by httplib with the head read and before the body: the checks above.
    void ScreenRequest(httplib::Request& request, Connection& connection, DeadlineSocketStream& stream);
    void Log(const httplib::Request& request, const httplib::Response& response);
    void CountRefusal(Refusal reason);
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
    TrustedProxies proxies_;
    ForwardedHeader forwardedHeader_ = ForwardedHeader::XForwardedFor;
    AccessLog* accessLog_ = nullptr;
};

} // namespace vorlane::scores
