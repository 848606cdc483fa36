// The online high-score submission end to end: a race ended with a qualifying score,
// the name typed, the result sent to a real HTTP server on 127.0.0.1 started here,
// and the game going on to the high-score table whatever the server does.
#include "game/FormFixture.h"

#include "persist/OnlineConfig.h"
#include "persist/OnlineScore.h"
#include "platform/CurlHttpClient.h"
#include "platform/KeyCodes.h"
#include "race/RaceState.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vorlane {
namespace {

// A one-thread HTTP server on a free port of 127.0.0.1 that records the request heads.
class LocalServer {
public:
    enum class Mode { Ok, ServerError, NeverAnswers };

    explicit LocalServer(Mode mode) : mode_(mode) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd_, 8) != 0)
            throw std::runtime_error("cannot open a local server socket");
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LocalServer() {
        stop_ = true;
        thread_.join();
        close(fd_);
    }

    int Port() const { return port_; }
    std::vector<std::string> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void Serve() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            const int c = accept(fd_, nullptr, nullptr);
            if (c < 0) continue;
            std::string head;
            char buf[1024];
            while (head.find("\r\n\r\n") == std::string::npos) {
                pollfd q{c, POLLIN, 0};
                if (poll(&q, 1, 2000) <= 0) break;
                const ssize_t n = recv(c, buf, sizeof buf, 0);
                if (n <= 0) break;
                head.append(buf, size_t(n));
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(head);
            }
            if (mode_ == Mode::NeverAnswers) {
                // Holds the connection open, silent, until the test ends.
                while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            } else {
                const std::string answer = mode_ == Mode::Ok
                                               ? "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"
                                               : "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n"
                                                 "Connection: close\r\n\r\n";
                send(c, answer.data(), answer.size(), MSG_NOSIGNAL);
            }
            close(c);
        }
    }

    Mode mode_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

// The game's requests go to the real HTTP client with the score server's host
// replaced by a local address.
class LocalHostHttp final : public IHttpClient {
public:
    explicit LocalHostHttp(int port) : port_(port) {}
    bool Get(const HttpRequest& request) override {
        HttpRequest r = request;
        const std::string host = std::string("http://") + online::kServerHost;
        if (r.url.rfind(host, 0) == 0) r.url = "http://127.0.0.1:" + std::to_string(port_) + r.url.substr(host.size());
        return curl_.Get(r);
    }

private:
    int port_;
    CurlHttpClient curl_;
};

// A port with nothing listening on it.
int ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

struct Outcome {
    std::chrono::milliseconds sendingFrame{0}; // how long the frame that sent took
    ScreenKind screenAfter = ScreenKind::None;
    DialogKind dialogAfter = DialogKind::None;
    int rankOfName = 0;
    int requestsMade = 0;
};

// A whole game: the intro, the car selection, a race whose total is set to 9000, the
// window's close button in the race, "Yes", the name "ACE", Enter with the send box
// ticked, and the two frames of "Sending results...".
Outcome PlayToSubmission(IHttpClient& server) {
    test::FormFixture game;
    TMForm& f = game.Form();
    game.Game().Http.Forward = &server;
    game.RunFrames(46);
    game.Tap(vk::Enter); // new game
    game.RunFrames(2);
    game.Tap(vk::Enter); // start
    EXPECT_EQ(f.Screen.ActiveScreen, ScreenKind::Race);
    if (!f.Race) return {};
    game.RunFrames(200); // the level banner
    f.Race->Score = 9000;
    game.Game().CloseRequest();
    EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::LeaveRace);
    game.RunFrames(1);
    game.Tap(vk::Left);
    game.Tap(vk::Enter); // yes: the total earns a place
    EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::NameEntry);
    game.RunFrames(2);
    game.Type("ACE");
    game.Tap(vk::Enter);
    EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::SendingResults);
    EXPECT_EQ(f.HighScores.Entry(1).Name, "ACE");
    game.RunFrames(1); // "Sending results..." on the screen
    Outcome o;
    const auto start = std::chrono::steady_clock::now();
    game.RunFrames(1); // the submission, inside the frame
    o.sendingFrame = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    game.RunFrames(3);
    o.screenAfter = f.Screen.ActiveScreen;
    o.dialogAfter = f.Screen.ActiveDialog;
    o.requestsMade = int(game.Game().Http.Requests.size());
    for (int rank = 1; rank <= 10; ++rank)
        if (f.HighScores.Entry(rank).Name == "ACE") o.rankOfName = rank;
    return o;
}

TEST(OnlineSubmission, TheServerGetsTheEncodedResultWithTheGamesHeaders) {
    LocalServer server(LocalServer::Mode::Ok);
    LocalHostHttp http(server.Port());
    const Outcome o = PlayToSubmission(http);
    EXPECT_EQ(o.screenAfter, ScreenKind::HighScores);
    EXPECT_EQ(o.dialogAfter, DialogKind::None);
    EXPECT_EQ(o.rankOfName, 1);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& head = requests[0];
    const std::string expectedLine = "GET " + std::string(kSubmissionPath) +
                                     EncodeSubmission(BuildSubmissionText("ACE", 9000, "_______")) + " HTTP/1.1\r\n";
    EXPECT_EQ(head.rfind(expectedLine, 0), 0u) << head;
    EXPECT_NE(head.find("\r\nAccept: text/html, */*\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos) << head;
}

TEST(OnlineSubmission, FailuresEndWithinTheBoundAndTheGameGoesOn) {
    struct Case {
        const char* what;
        std::optional<LocalServer::Mode> mode; // none: a closed port
    };
    const Case cases[] = {
        {"closed port", std::nullopt},
        {"error status", LocalServer::Mode::ServerError},
        {"server that never answers", LocalServer::Mode::NeverAnswers},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<LocalServer> server;
        if (c.mode) server = std::make_unique<LocalServer>(*c.mode);
        LocalHostHttp http(server ? server->Port() : ClosedPort());
        const Outcome o = PlayToSubmission(http);
        EXPECT_EQ(o.requestsMade, 1); // sent once, never again
        EXPECT_EQ(o.screenAfter, ScreenKind::HighScores);
        EXPECT_EQ(o.dialogAfter, DialogKind::None);
        EXPECT_EQ(o.rankOfName, 1);
        EXPECT_LE(o.sendingFrame.count(), online::kTotalTimeoutMs + 2000);
        if (server) {
            EXPECT_EQ(server->Requests().size(), 1u);
        }
    }
}

} // namespace
} // namespace vorlane
