// Slow clients and floods of connections on loopback, bounded in count and time:
// the other senders are still served.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "server/ScoresProcess.h"

namespace vorlane::scores::testing {
namespace {

using Clock = std::chrono::steady_clock;

// A raw connection to the server from one of the loopback addresses.
class RawConnection {
  public:
    RawConnection(const std::string& from, int port) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from.c_str(), &local.sin_addr);
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
        connected_ = bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
                     connect(fd_, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0;
    }
    ~RawConnection() { close(fd_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool Connected() const { return connected_; }
    void Send(const std::string& bytes) {
        [[maybe_unused]] auto sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }

    // True once the server has closed its side (after an answer or without one).
    bool ClosedByServer() {
        pollfd entry{fd_, POLLIN, 0};
        while (poll(&entry, 1, 0) > 0) {
            char buffer[512];
            const ssize_t got = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got <= 0) return true;
            answer_.append(buffer, static_cast<size_t>(got));
        }
        return false;
    }
    const std::string& Answer() const { return answer_; }

  private:
    int fd_ = -1;
    bool connected_ = false;
    std::string answer_;
};

std::string Address(int a, int b) {
    return "127.0." + std::to_string(a) + "." + std::to_string(b);
}

// Times one submission from 127.0.0.2 and checks it is taken.
double TimedSubmission(ScoresProcess& server, int score) {
    const auto start = Clock::now();
    httplib::Client client = server.Client("127.0.0.2");
    auto result = client.Get(SubmissionPath("CALM", score));
    EXPECT_TRUE(result) << "no answer for " << score;
    if (result) {
        EXPECT_EQ(result->status, 200) << result->body;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

using Connections = std::vector<std::unique_ptr<RawConnection>>;

// Opens `count` connections, the i-th from `from(i)`, each sending `firstBytes`.
template <class From>
void Open(Connections& connections, int count, From from, int port, const std::string& firstBytes) {
    for (int i = 0; i < count; ++i) {
        connections.push_back(std::make_unique<RawConnection>(from(i), port));
        ASSERT_TRUE(connections.back()->Connected()) << i;
        if (!firstBytes.empty()) connections.back()->Send(firstBytes);
    }
}

// Waits up to `timeout` for the server to close them all; answers how many stay open.
size_t StillOpenAfter(Connections& connections, std::chrono::seconds timeout) {
    const auto giveUp = Clock::now() + timeout;
    for (;;) {
        size_t open = 0;
        for (auto& connection : connections)
            open += connection->ClosedByServer() ? 0 : 1;
        if (open == 0 || Clock::now() >= giveUp) return open;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

class ScoresUnderPressure : public ::testing::Test {
  protected:
    void SetUp() override {
        server = ScoresProcess::StartOn(db, {"--rate-limit", "0"});
        ASSERT_TRUE(server);
    }
    TestDatabase db;
    std::unique_ptr<ScoresProcess> server;
};

TEST_F(ScoresUnderPressure, SlowClientsAreCappedAndCutOffWhileOthersAreServed) {
    // One address opens 300 connections, each with half a request that it goes on
    // sending a byte at a time. 256 get in; the rest are turned away at once. And 40
    // more addresses keep one such connection each.
    Connections slow;
    Open(
        slow, 300, [](int) { return std::string("127.0.0.1"); }, server->Port(),
        "GET /healthz HTTP/1.1\r\nHost: slow\r\nX-Slow: ");
    Open(
        slow, 40, [](int i) { return Address(1, i + 1); }, server->Port(),
        "GET /healthz HTTP/1.1\r\nX-Slow: ");
    ASSERT_EQ(slow.size(), 340u);
    std::atomic<bool> trickling{true};
    std::thread trickle([&] {
        while (trickling) {
            for (auto& connection : slow)
                connection->Send("a");
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    });

    double slowest = 0;
    for (int i = 1; i <= 20; ++i)
        slowest = std::max(slowest, TimedSubmission(*server, i * 5));
    EXPECT_LT(slowest, 2.0) << "seconds for one submission among slow clients";

    size_t turnedAway = 0;
    for (auto& connection : slow) {
        if (connection->ClosedByServer()) {
            ++turnedAway;
            EXPECT_TRUE(connection->Answer().starts_with("HTTP/1.1 503")) << connection->Answer();
        }
    }
    EXPECT_EQ(turnedAway, 300u - 256u) << "all over the per-address cap, none under it";

    // The request deadline (5 s) cuts off the ones that got in, trickle or not.
    EXPECT_EQ(StillOpenAfter(slow, std::chrono::seconds(9)), 0u)
        << "slow connections open after the request deadline";
    trickling = false;
    trickle.join();
    EXPECT_LT(TimedSubmission(*server, 1000), 2.0);
}

TEST_F(ScoresUnderPressure, AFloodOfSilentConnectionsDoesNotStarveTheOthers) {
    // 1200 connections from 30 addresses that never send a byte: more than there
    // are worker threads, but they only wait, not work.
    Connections silent;
    Open(
        silent, 1200, [](int i) { return Address(2, 1 + i % 30); }, server->Port(), "");
    ASSERT_EQ(silent.size(), 1200u);
    double slowest = 0;
    for (int i = 1; i <= 20; ++i)
        slowest = std::max(slowest, TimedSubmission(*server, i * 5));
    EXPECT_LT(slowest, 2.0) << "seconds for one submission among 1200 silent connections";

    // A burst of ordinary requests from many threads at once is served too.
    std::atomic<int> served{0};
    std::vector<std::thread> burst;
    for (int t = 0; t < 16; ++t) {
        burst.emplace_back([&, t] {
            httplib::Client client = server->Client(Address(3, 1 + t));
            for (int i = 0; i < 25; ++i) {
                auto result = client.Get("/cgi/version.pl?prg=Vorlane&show&type=0");
                if (result && result->status == 200) ++served;
            }
        });
    }
    for (std::thread& thread : burst)
        thread.join();
    EXPECT_EQ(served.load(), 16 * 25);

    // Silent connections are closed after the idle time (5 s).
    EXPECT_EQ(StillOpenAfter(silent, std::chrono::seconds(10)), 0u);
}

TEST_F(ScoresUnderPressure, AnEndlessRequestHeadIsCutOff) {
    RawConnection endless("127.0.0.1", server->Port());
    ASSERT_TRUE(endless.Connected());
    endless.Send("GET /healthz HTTP/1.1\r\nHost: x\r\n");
    const std::string line = "X-More: " + std::string(90, 'a') + "\r\n";
    const auto start = Clock::now();
    // 2 MB of header lines, far more than a request may hold; the server stops
    // reading and closes long before.
    for (int i = 0; i < 20'000 && !endless.ClosedByServer(); ++i)
        endless.Send(line);
    while (!endless.ClosedByServer() && Clock::now() - start < std::chrono::seconds(8))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(endless.ClosedByServer());
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 4.0);
    EXPECT_LT(TimedSubmission(*server, 5), 2.0);
}

} // namespace
} // namespace vorlane::scores::testing
