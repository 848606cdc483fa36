#include "web/GuardedServer.h"

#include "web/ByteRange.h"
#include "web/ChunkedFraming.h"
#include "web/RequestScreen.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

namespace vorlane::scores {
namespace {

using Clock = std::chrono::steady_clock;

// Set on the thread that turns away connections the queue has no room for.
thread_local bool t_refusingConnections = false;
// Set when the answer just written says the request itself was malformed: the
// connection is closed after it instead of waiting for another.
thread_local bool t_closeAfterAnswer = false;

// The request the worker is reading or answering.
struct RequestInProgress {
    Clock::time_point start;
    std::string peer;          // the connection's peer address
    int refusalStatus = 0;     // not 0: answered with this status and closed, unrouted
    std::string refusalReason; // its one line
};
thread_local RequestInProgress t_request;

void Refuse(int status, std::string reason) {
    t_request.refusalStatus = status;
    t_request.refusalReason = std::move(reason);
}

constexpr std::string_view kBusyAnswer = "HTTP/1.1 503 Service Unavailable\r\n"
                                         "Content-Type: text/plain; charset=utf-8\r\n"
                                         "Content-Length: 12\r\n"
                                         "Retry-After: 1\r\n"
                                         "Connection: close\r\n"
                                         "\r\n"
                                         "server busy\n";

// Tells the client it came at a bad moment without waiting for it, then closes.
void SendBusyAndClose(int fd) {
    [[maybe_unused]] const ssize_t sent =
        send(fd, kBusyAnswer.data(), kBusyAnswer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    shutdown(fd, SHUT_RDWR);
    close(fd);
}

std::string AddressText(const sockaddr_storage& address, int* port) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        if (port) *port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        if (port) *port = ntohs(v6.sin6_port);
    }
    return text;
}

std::string PeerAddress(int fd, int* port = nullptr) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
    return AddressText(address, port);
}

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 60'000));
}

bool PollFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int ready = poll(&entry, 1, timeoutMs);
        if (ready >= 0) return ready > 0;
        if (errno != EINTR) return false;
    }
}

} // namespace

// A socket with a read buffer, a deadline for the current request and a time-out
// for every write; it follows the framing of a chunked body as httplib reads it.
class GuardedServer::DeadlineSocketStream : public httplib::Stream {
  public:
    DeadlineSocketStream(int fd, const ConnectionLimits& limits) : fd_(fd), limits_(limits) {}

    bool HasBuffered() const { return start_ < end_; }

    void StartRequest() {
        readDeadline_ = Clock::now() + limits_.requestTimeout;
        requestBytes_ = 0;
        timedOut_ = false;
        brokenBody_ = false;
        framing_.reset();
        inHead_ = true;
        lineStart_ = true;
        lineLength_ = 0;
        renamed_ = {};
        renamedAt_ = 0;
    }

    // The body that follows the head comes in chunks: its framing is checked.
    void ExpectChunkedBody() { framing_ = std::make_unique<ChunkedFraming>(); }
    // The request's deadline passed while it was being read.
    bool TimedOut() const { return timedOut_; }
    // A chunked body broke its framing: reading stopped there.
    bool BrokenBody() const { return brokenBody_; }

    bool is_readable() const override {
        return start_ < end_ || PollFor(fd_, POLLIN, MillisecondsUntil(readDeadline_));
    }

    bool is_writable() const override {
        return PollFor(fd_, POLLOUT, static_cast<int>(limits_.writeTimeout.count()));
    }

    ssize_t read(char* ptr, size_t size) override {
        // httplib does not limit the number of header lines; this bounds a request.
        if (requestBytes_ >= limits_.maxRequestBytes) return -1;
        size = std::min(size, limits_.maxRequestBytes - requestBytes_);
        if (brokenBody_) return -1;
        if (renamedAt_ < renamed_.size())
            return Served(ptr, size, renamed_.data() + renamedAt_, renamedAt_, renamed_.size() - renamedAt_);
        if (start_ == end_ && !Fill()) return timedOut_ ? -1 : lastRecv_;
        if (inHead_ && lineStart_ && RenameRangeHeader()) return read(ptr, size);
        size_t n = std::min(size, end_ - start_);
        if (inHead_) n = FollowHead(n);
        std::memcpy(ptr, buffer_ + start_, n);
        start_ += n;
        requestBytes_ += n;
        if (framing_ && !framing_->Take(ptr, n)) {
            brokenBody_ = true;
            return -1;
        }
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (!is_writable()) return -1;
        return send(fd_, ptr, size, MSG_NOSIGNAL);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { ip = PeerAddress(fd_, &port); }

    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            ip = AddressText(address, &port);
    }

    socket_t socket() const override { return fd_; }

  private:
    // Reads more into the buffer (after what it holds); false when nothing came: the
    // deadline passed (timedOut_) or the peer closed or failed (lastRecv_).
    bool Fill() {
        if (start_ == end_) start_ = end_ = 0;
        if (end_ == sizeof buffer_) return false;
        lastRecv_ = -1;
        if (!is_readable()) {
            timedOut_ = Clock::now() >= readDeadline_;
            return false;
        }
        const ssize_t got = recv(fd_, buffer_ + end_, sizeof buffer_ - end_, 0);
        lastRecv_ = got;
        if (got <= 0) return false;
        end_ += static_cast<size_t>(got);
        return true;
    }

    ssize_t Served(char* ptr, size_t size, const char* from, size_t& at, size_t left) {
        const size_t n = std::min(size, left);
        std::memcpy(ptr, from, n);
        at += n;
        requestBytes_ += n;
        return static_cast<ssize_t>(n);
    }

    // At the start of a head line: when the line is a Range header, its name is
    // handed to httplib as kRangeHeader instead. httplib parses Range itself before
    // any hook of the server runs, and answers 416 to a unit it does not know
    // ("items=1-2") where a server must ignore the header; under the other name it
    // never sees one.
    bool RenameRangeHeader() {
        constexpr std::string_view name = "range:";
        auto matchesSoFar = [&] {
            const size_t have = std::min(end_ - start_, name.size());
            for (size_t i = 0; i < have; ++i)
                if (std::tolower(static_cast<unsigned char>(buffer_[start_ + i])) != name[i]) return false;
            return true;
        };
        while (end_ - start_ < name.size() && matchesSoFar()) {
            if (start_ > 0) {
                std::memmove(buffer_, buffer_ + start_, end_ - start_);
                end_ -= start_;
                start_ = 0;
            }
            if (!Fill()) return false;
        }
        if (end_ - start_ < name.size() || !matchesSoFar()) return false;
        start_ += name.size();
        renamed_ = kRenamedRange;
        renamedAt_ = 0;
        lineStart_ = false;
        lineLength_ += kRenamedRange.size();
        return true;
    }

    // Follows the head's lines over the next `n` bytes; answers how many of them to
    // hand out now (up to a line's end, so that the next line's start is seen).
    size_t FollowHead(size_t n) {
        for (size_t i = 0; i < n; ++i) {
            const char c = buffer_[start_ + i];
            if (c == '\n') {
                // The empty line ("\r\n") ends the head; the body is not looked at.
                if (lineLength_ == 1 && lineFirst_ == '\r') inHead_ = false;
                lineStart_ = true;
                lineLength_ = 0;
                return i + 1;
            }
            if (lineLength_ == 0) lineFirst_ = c;
            lineStart_ = false;
            ++lineLength_;
        }
        return n;
    }

    static constexpr std::string_view kRenamedRange = "X-Vorlane-Range:";
    static_assert(kRenamedRange.substr(0, kRenamedRange.size() - 1) == kRangeHeader);

    int fd_;
    const ConnectionLimits& limits_;
    Clock::time_point readDeadline_ = Clock::now();
    char buffer_[4096];
    size_t start_ = 0;
    size_t end_ = 0;
    size_t requestBytes_ = 0;
    bool timedOut_ = false;
    bool brokenBody_ = false;
    std::unique_ptr<ChunkedFraming> framing_;
    ssize_t lastRecv_ = 0;
    bool inHead_ = true;
    bool lineStart_ = true;
    size_t lineLength_ = 0;
    char lineFirst_ = 0;
    std::string_view renamed_;
    size_t renamedAt_ = 0;
};

// A fixed pool of workers over a bounded queue; what finds the queue full goes to
// one more thread that only turns connections away (never reads, never waits).
class BoundedTaskQueue : public httplib::TaskQueue {
  public:
    BoundedTaskQueue(size_t workers, size_t maxQueued, std::function<void()> beforeShutdown)
        : maxQueued_(maxQueued), beforeShutdown_(std::move(beforeShutdown)) {
        for (size_t i = 0; i < workers; ++i)
            threads_.emplace_back([this] { Work(queue_, queueWake_, false); });
        threads_.emplace_back([this] { Work(overflow_, overflowWake_, true); });
    }

    void enqueue(std::function<void()> fn) override {
        bool queued = false;
        {
            std::lock_guard lock(mutex_);
            queued = queue_.size() < maxQueued_;
            (queued ? queue_ : overflow_).push_back(std::move(fn));
        }
        (queued ? queueWake_ : overflowWake_).notify_one();
    }

    // Serves everything already queued, then ends the threads.
    void shutdown() override {
        beforeShutdown_();
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        queueWake_.notify_all();
        overflowWake_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
        threads_.clear();
    }

  private:
    void Work(std::deque<std::function<void()>>& jobs, std::condition_variable& wake, bool refusing) {
        t_refusingConnections = refusing;
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                wake.wait(lock, [&] { return stopping_ || !jobs.empty(); });
                if (jobs.empty()) return;
                job = std::move(jobs.front());
                jobs.pop_front();
            }
            job();
        }
    }

    size_t maxQueued_;
    std::function<void()> beforeShutdown_;
    std::mutex mutex_;
    std::condition_variable queueWake_;
    std::condition_variable overflowWake_;
    std::deque<std::function<void()>> queue_;
    std::deque<std::function<void()>> overflow_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

GuardedServer::GuardedServer(ConnectionLimits limits) : limits_(limits) {
    waitingRoom_ = std::make_unique<WaitingRoom>(
        limits_.waitingConnections,
        [this](Connection connection) {
            workers_.load()->enqueue([this, connection] { Serve(connection); });
        },
        [this](const Connection& connection) { GiveBackClientSlot(connection.client); });
    new_task_queue = [this] {
        auto* queue = new BoundedTaskQueue(limits_.workerThreads, limits_.queuedConnections, [this] {
            // Connections between requests are closed; requests being served finish.
            waitingRoom_->Stop();
            workers_ = nullptr;
        });
        workers_ = queue;
        return queue;
    };
    // httplib keeps a connection open after answering a request it could not read
    // (400, 413, 414, 431); a client that sends garbage gets no second turn.
    set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        const int status = response.status;
        t_closeAfterAnswer = status == 400 || status == 408 || status == 413 || status == 414 ||
                             status == 431 || t_request.refusalStatus != 0;
        Log(request, response);
    });
    // What ScreenRequest refused is answered here, before any handler or body.
    set_pre_routing_handler([](const httplib::Request&, httplib::Response& response) {
        if (t_request.refusalStatus == 0) return HandlerResponse::Unhandled;
        response.status = t_request.refusalStatus;
        response.set_header("Connection", "close");
        response.set_content(t_request.refusalReason + "\n", "text/plain; charset=utf-8");
        return HandlerResponse::Handled;
    });
    set_payload_max_length(limits_.maxRequestBody);
    set_tcp_nodelay(true);
    // httplib's default also sets SO_REUSEPORT, which would let a second server
    // start on a port already taken and share its connections.
    set_socket_options([](socket_t sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Only for the Keep-Alive header of the answers; the waiting is done here.
    set_keep_alive_max_count(limits_.requestsPerConnection);
    set_keep_alive_timeout(std::chrono::duration_cast<std::chrono::seconds>(limits_.idleTimeout).count());
}

int GuardedServer::Bind(const std::string& host, int port) {
    const int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
    if (bound < 0) return -1;
    // httplib listens with a backlog of 5; a burst of clients would wait for SYN retries.
    ::listen(svr_sock_, 1024);
    return bound;
}

void GuardedServer::SetTrustedProxies(TrustedProxies proxies, ForwardedHeader header) {
    proxies_ = std::move(proxies);
    forwardedHeader_ = header;
}

void GuardedServer::CountRefusal(Refusal reason) {
    if (accessLog_) accessLog_->Refused(reason);
}

void GuardedServer::ScreenRequest(httplib::Request& request, Connection& connection,
                                  DeadlineSocketStream& stream) {
    // httplib would answer a list of ranges with that many copies of the body; the
    // handlers that honour a range read the header themselves (kRangeHeader). The
    // stream has renamed it already; this is for a head it could not follow.
    request.ranges.clear();
    if (const std::string bad = MalformedHead(request); !bad.empty())
        return Refuse(400, "bad request: " + bad);
    if (HasChunkedBody(request)) stream.ExpectChunkedBody();
    if (proxies_.Empty() || !proxies_.Contains(request.remote_addr)) return;

    const char* headerName = forwardedHeader_ == ForwardedHeader::Forwarded ? "Forwarded" : "X-Forwarded-For";
    std::vector<std::string> values;
    const auto [first, last] = request.headers.equal_range(headerName);
    for (auto it = first; it != last; ++it)
        values.push_back(it->second);
    const std::string client = proxies_.ClientOf(request.remote_addr, values, forwardedHeader_);
    request.remote_addr = client;
    request.headers.erase("REMOTE_ADDR");
    request.headers.emplace("REMOTE_ADDR", client);
    // The connection's slot is the client's now (a proxy may carry many clients'
    // requests, one after the other, on one connection).
    if (client == connection.client) return;
    GiveBackClientSlot(connection.client);
    connection.client.clear();
    if (!TakeClientSlot(client)) {
        CountRefusal(Refusal::PerAddressCap);
        return Refuse(503, "too many connections from this address, try again later");
    }
    connection.client = client;
}

void GuardedServer::Log(const httplib::Request& request, const httplib::Response& response) {
    if (!accessLog_ || !accessLog_->WritesRequestLines()) return;
    AccessEntry entry;
    entry.time = std::chrono::system_clock::now();
    entry.client = request.remote_addr.empty() ? t_request.peer : request.remote_addr;
    entry.method = request.method;
    entry.target = request.target;
    entry.status = response.status;
    entry.bytes = response.body.size();
    entry.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - t_request.start).count();
    accessLog_->Request(entry);
}

bool GuardedServer::TakeClientSlot(const std::string& address) {
    std::lock_guard lock(clientsMutex_);
    size_t& open = openPerClient_[address];
    if (open >= limits_.connectionsPerClient) return false;
    ++open;
    return true;
}

void GuardedServer::GiveBackClientSlot(const std::string& address) {
    if (address.empty()) return; // a trusted proxy's connection before its first request
    std::lock_guard lock(clientsMutex_);
    const auto it = openPerClient_.find(address);
    if (it != openPerClient_.end() && --it->second == 0) openPerClient_.erase(it);
}

GuardedServer::~GuardedServer() {
    waitingRoom_->Stop();
}

bool GuardedServer::process_and_close_socket(socket_t sock) {
    Connection connection{sock, PeerAddress(sock), 0};
    // A trusted proxy's connections count against the clients it names, request by
    // request (ScreenRequest), not against the proxy.
    if (!proxies_.Empty() && proxies_.Contains(connection.client)) connection.client.clear();
    if (t_refusingConnections) {
        CountRefusal(Refusal::Busy);
        SendBusyAndClose(sock);
        return false;
    }
    if (!connection.client.empty() && !TakeClientSlot(connection.client)) {
        CountRefusal(Refusal::PerAddressCap);
        SendBusyAndClose(sock);
        return false;
    }
    Serve(std::move(connection));
    return true;
}

void GuardedServer::Serve(Connection connection) {
    if (t_refusingConnections) return TurnAway(connection);
    DeadlineSocketStream stream(connection.fd, limits_);
    const std::string peer = PeerAddress(connection.fd);
    for (;;) {
        if (!stream.HasBuffered() &&
            !PollFor(connection.fd, POLLIN, static_cast<int>(limits_.linger.count()))) {
            if (Stopping()) break;
            return Park(std::move(connection));
        }
        stream.StartRequest();
        const bool last = ++connection.served >= limits_.requestsPerConnection || Stopping();
        bool closed = false;
        t_closeAfterAnswer = false;
        t_request.start = Clock::now();
        t_request.peer = peer;
        t_request.refusalStatus = 0;
        const bool ok = process_request(stream, last, closed, [&](httplib::Request& request) {
            ScreenRequest(request, connection, stream);
        });
        if (stream.TimedOut())
            CountRefusal(Refusal::HeadTimeout);
        else if (t_closeAfterAnswer || stream.BrokenBody())
            CountRefusal(Refusal::MalformedRequest);
        if (!ok || closed || last || t_closeAfterAnswer) break;
    }
    Close(connection);
}

void GuardedServer::Park(Connection connection) {
    if (waitingRoom_->Add(connection, WaitingRoom::Clock::now() + limits_.idleTimeout)) return;
    CountRefusal(Refusal::WaitingRoomFull);
    Close(connection);
}

// The slot goes back first: a client that reconnects as soon as it sees the close
// must find it free.
void GuardedServer::Close(const Connection& connection) {
    GiveBackClientSlot(connection.client);
    shutdown(connection.fd, SHUT_RDWR);
    close(connection.fd);
}

void GuardedServer::TurnAway(const Connection& connection) {
    CountRefusal(Refusal::Busy);
    GiveBackClientSlot(connection.client);
    SendBusyAndClose(connection.fd);
}

} // namespace vorlane::scores
