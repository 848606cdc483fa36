#pragma once
// cpp-httplib's server with the connection handling made safe against slow and
// greedy clients: a fixed pool of worker threads, a bounded queue of accepted
// connections (more are answered 503 at once), a cap on the connections one
// address may hold open, a deadline for the whole head of each request (a client
// that sends a byte now and then is cut off all the same) and a short wait for
// the next request on a kept-alive connection. Requests are parsed by httplib;
// this only owns the socket's reading and writing.
#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vorlane::scores {

struct ConnectionLimits {
    size_t workerThreads = 128;          // connections served at once
    size_t queuedConnections = 512;      // accepted and waiting for a worker
    size_t connectionsPerClient = 64;    // open at once from one address
    size_t requestsPerConnection = 100;  // then the connection is closed
    std::chrono::milliseconds requestTimeout{5000}; // from a request's first byte to its last
    std::chrono::milliseconds writeTimeout{5000};   // for each part of an answer
    std::chrono::milliseconds idleTimeout{2000};    // for the next request on a kept-alive connection
    size_t maxRequestBody = 4096;
};

class GuardedServer : public httplib::Server {
public:
    explicit GuardedServer(ConnectionLimits limits = {});

    // Binds and listens with a backlog long enough for a burst of new connections.
    // Answers the port (the chosen one when `port` is 0), or -1 when it cannot.
    int Bind(const std::string& host, int port);

private:
    bool process_and_close_socket(socket_t sock) override;
    bool TakeClientSlot(const std::string& address);
    void GiveBackClientSlot(const std::string& address);

    ConnectionLimits limits_;
    std::mutex clientsMutex_;
    std::unordered_map<std::string, size_t> openPerClient_;
};

} // namespace vorlane::scores
