// The online high-score submission end to end: a race ended with a qualifying score,
// the name typed, the result sent to a real HTTP server on 127.0.0.1 started here,
// and the game going on to the high-score table whatever the server does.
#include "game/FormFixture.h"

#include "persist/OnlineConfig.h"
#include "persist/OnlineScore.h"
#include "platform/CurlHttpClient.h"
#include "platform/KeyCodes.h"
#include "sim/RaceState.h"

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
    // The body after the head, as long as its Content-Length says.
    static void ReadBody(int c, std::string& request) {
        const auto headEnd = request.find("\r\n\r\n");
        const auto field = request.find("\r\nContent-Length: ");
        if (headEnd == std::string::npos || field == std::string::npos || field > headEnd) return;
        const size_t length = std::stoul(request.substr(field + 18));
        char buf[4096];
        while (request.size() < headEnd + 4 + length) {
            pollfd q{c, POLLIN, 0};
            if (poll(&q, 1, 2000) <= 0) break;
            const ssize_t n = recv(c, buf, sizeof buf, 0);
            if (n <= 0) break;
            request.append(buf, size_t(n));
        }
    }

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
            ReadBody(c, head);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(head);
            }
            if (mode_ == Mode::NeverAnswers) {
                // Holds the connection open, silent, until the test ends.
                while (!stop_)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            } else {
                const std::string answer =
                    mode_ == Mode::Ok ? "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"
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

std::string LocalUrl(int port) {
    return "http://127.0.0.1:" + std::to_string(port);
}

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
    std::string replay; // the race's replay as the game kept it
};

// A whole game: the intro, the car selection, a race whose total is set to 9000, the
// window's close button in the race, "Yes", the name "ACE", Enter with the send box
// ticked, and the two frames of "Sending results...". The game is told to use the
// score server at serverUrl and sends through the real HTTP client.
Outcome PlayToSubmission(const std::string& serverUrl) {
    test::FormFixture::Options options;
    options.ServerUrl = serverUrl;
    test::FormFixture game(options);
    TMForm& f = game.Form();
    CurlHttpClient network;
    game.Game().Http.Forward = &network;
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
    o.sendingFrame =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    game.RunFrames(3);
    o.screenAfter = f.Screen.ActiveScreen;
    o.dialogAfter = f.Screen.ActiveDialog;
    o.requestsMade = int(game.Game().Http.Requests.size());
    const std::vector<uint8_t>& replay = f.Recording.LastRace();
    o.replay.assign(replay.begin(), replay.end());
    for (int rank = 1; rank <= 10; ++rank)
        if (f.HighScores.Entry(rank).Name == "ACE") o.rankOfName = rank;
    return o;
}

TEST(OnlineSubmission, TheServerGetsTheEncodedResultWithTheGamesHeaders) {
    LocalServer server(LocalServer::Mode::Ok);
    const Outcome o = PlayToSubmission(LocalUrl(server.Port()));
    EXPECT_EQ(o.screenAfter, ScreenKind::HighScores);
    EXPECT_EQ(o.dialogAfter, DialogKind::None);
    EXPECT_EQ(o.rankOfName, 1);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    const std::string& head = requests[0];
    const std::string encoded = EncodeSubmission(BuildSubmissionText("ACE", 9000, "_______"));
    const std::string expectedLine = "GET " + std::string(kSubmissionPath) + encoded + " HTTP/1.1\r\n";
    EXPECT_EQ(head.rfind(expectedLine, 0), 0u) << head;
    EXPECT_NE(head.find("\r\nAccept: text/html, */*\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos)
        << head;

    // After the result, the race's replay: the same encoded result, the bytes as the body.
    const std::string& upload = requests[1];
    EXPECT_EQ(upload.rfind("POST " + std::string(kReplayUploadPath) + encoded + " HTTP/1.1\r\n", 0), 0u)
        << upload;
    EXPECT_NE(upload.find("\r\nContent-Type: application/octet-stream\r\n"), std::string::npos) << upload;
    ASSERT_GT(o.replay.size(), 18u);
    EXPECT_EQ(o.replay.compare(0, 4, "VRPL"), 0);
    const auto bodyAt = upload.find("\r\n\r\n");
    ASSERT_NE(bodyAt, std::string::npos);
    EXPECT_EQ(upload.substr(bodyAt + 4), o.replay);
}

// The upload's own rules: sent only after a result the server took, never when too
// large, and its failure reported to nobody.
TEST(OnlineSubmission, TheReplayFollowsOnlyATakenResultAndOnlyWhenSmallEnough) {
    struct Case {
        const char* what;
        LocalServer::Mode mode;
        size_t replayBytes;
        size_t requestsSeen;
    };
    const Case cases[] = {
        {"taken, small", LocalServer::Mode::Ok, 1000, 2},
        {"taken, exactly the limit", LocalServer::Mode::Ok, kMaxReplayUploadBytes, 2},
        {"taken, too large", LocalServer::Mode::Ok, kMaxReplayUploadBytes + 1, 1},
        {"taken, no replay", LocalServer::Mode::Ok, 0, 1},
        {"refused", LocalServer::Mode::ServerError, 1000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LocalServer server(c.mode);
        CurlHttpClient http;
        const std::string replay(c.replayBytes, 'r');
        EXPECT_EQ(SubmitScoreAndReplay(http, LocalUrl(server.Port()), "ACE", 9000, "NZ", replay),
                  c.mode == LocalServer::Mode::Ok);
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), c.requestsSeen);
        if (c.requestsSeen == 2) {
            EXPECT_EQ(requests[1].substr(requests[1].find("\r\n\r\n") + 4), replay);
        }
    }
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
        const Outcome o = PlayToSubmission(LocalUrl(server ? server->Port() : ClosedPort()));
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

TEST(OnlineLinks, TheWebSiteAndTheOnlineTableOpenOnTheConfiguredServer) {
    test::FormFixture::Options options;
    options.ServerUrl = "http://scores.example.test:9000/vorlane";
    test::FormFixture game(options);
    TMForm& f = game.Form();
    game.RunFrames(46); // the intro
    ASSERT_EQ(f.Screen.ActiveScreen, ScreenKind::MainMenu);
    f.ActivateItem(ItemNo(MainMenuItem::HomePage));
    f.ActivateItem(ItemNo(MainMenuItem::HighScores));
    ASSERT_EQ(f.Screen.ActiveScreen, ScreenKind::HighScores);
    f.ActivateItem(ItemNo(HighScoresItem::OnlineTable));
    EXPECT_EQ(game.Game().Shell.Opened,
              (std::vector<std::string>{
                  "http://scores.example.test:9000/vorlane/",
                  "http://scores.example.test:9000/vorlane/cgi/version.pl?prg=Vorlane&show&type=0"}));
}

} // namespace
} // namespace vorlane
