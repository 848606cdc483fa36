// The real vorlane-scores program on 127.0.0.1 as a hostile client and an operator
// meet it: byte ranges, numbers past 64 bits, readiness, heads that could be read two
// ways, the access log, the command line, clients behind trusted proxies.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "persist/OnlineScore.h"
#include "server/ScoresProcess.h"
#include "web/ServerOptions.h"

namespace vorlane::scores::testing {
namespace {

using Clock = std::chrono::steady_clock;

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Sends `bytes` on a fresh connection (and `later` a moment after, in a packet of its
// own) and reads until the server closes it or `wait` passes; answers what came
// back, with "<open>" at the end when the server kept the connection open.
std::string RawExchange(int port, const std::string& bytes,
                        std::chrono::milliseconds wait = std::chrono::milliseconds(3000),
                        const std::string& later = "") {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        close(fd);
        return "<no connection>";
    }
    [[maybe_unused]] const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (!later.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        [[maybe_unused]] const ssize_t more = send(fd, later.data(), later.size(), MSG_NOSIGNAL);
    }
    std::string answer;
    const auto giveUp = Clock::now() + wait;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now()).count();
        pollfd entry{fd, POLLIN, 0};
        if (left <= 0 || poll(&entry, 1, static_cast<int>(left)) <= 0) {
            answer += "<open>";
            break;
        }
        char buffer[4096];
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        answer.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return answer;
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// "Range: bytes=0-,0-,...": the same bytes asked for `count` times.
std::string RangeList(int count) {
    std::string value = "bytes=0-";
    for (int i = 1; i < count; ++i)
        value += ",0-";
    return value;
}

// Waits until the server's standard output holds a line matching `pattern`.
bool WaitForOutputLine(ScoresProcess& server, const std::regex& pattern,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto giveUp = Clock::now() + timeout;
    for (;;) {
        const std::string out = server.Stdout();
        size_t start = 0;
        while (start < out.size()) {
            size_t end = out.find('\n', start);
            if (end == std::string::npos) end = out.size();
            if (std::regex_match(out.substr(start, end - start), pattern)) return true;
            start = end + 1;
        }
        if (Clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

class ScoresHttp : public ::testing::Test {
  protected:
    void StartServer(const std::vector<std::string>& extra = {"--rate-limit", "0"}) {
        server = ScoresProcess::StartOn(db, extra);
        ASSERT_TRUE(server);
    }

    httplib::Result Get(const std::string& path, const httplib::Headers& headers = {},
                        const std::string& fromAddress = "") {
        httplib::Client client = server->Client(fromAddress);
        return client.Get(path, headers);
    }

    TestDatabase db;
    std::unique_ptr<ScoresProcess> server;
};

// A list of ranges used to turn a 1.5 KB page into megabytes; now the pages and the
// JSON ignore Range and a replay file honours one range at most.
TEST_F(ScoresHttp, ARangeListNeverMultipliesAnAnswer) {
    std::vector<uint8_t> replay(1000);
    for (size_t i = 0; i < replay.size(); ++i)
        replay[i] = static_cast<uint8_t>(i * 7);
    int64_t replayId = 0;
    {
        auto store = db.Open();
        store->InsertBatch(std::vector<NewScore>{{"RNG", "_______", 100, Now(), "h"}});
        const ReplayRecord record = store->StoreReplay(NewReplay{"RNG", "_______", 100, Now(), "h", replay});
        ASSERT_EQ(record.state, ReplayState::Pending);
        store->RecordReplayVerdict(record.id, true, "");
        replayId = record.id;
    }
    ASSERT_NO_FATAL_FAILURE(StartServer());
    const std::string file = "/api/replays/" + std::to_string(replayId) + ".vrp";
    const std::string whole(replay.begin(), replay.end());
    const std::string table = "/cgi/version.pl?prg=Vorlane&show&type=0";

    struct Case {
        std::string path;
        std::string range;
        int status;
        std::string body; // empty: the same as without Range
        std::string contentRange;
    };
    const std::vector<Case> cases = {
        {table, RangeList(2600), 200, "", ""},
        {table, "bytes=0-10", 200, "", ""},
        {table, "bytes=999999-", 200, "", ""},
        {table, "items=0-5", 200, "", ""}, // a unit it does not know: ignored, not 416
        {table, "bytes=99999999999999999999-", 200, "", ""},
        {"/api/scores", "bytes=x-y", 200, "", ""},
        {"/", RangeList(2600), 200, "", ""},
        {"/api/scores", RangeList(100), 200, "", ""},
        {"/api/rank?score=5", "bytes=0-3", 200, "", ""},
        {"/healthz", "bytes=0-0,1-1", 200, "", ""},
        {file, RangeList(2600), 200, whole, ""},
        {file, "bytes=0-9,20-29", 200, whole, ""},
        {file, "bytes=10-19", 206, whole.substr(10, 10), "bytes 10-19/1000"},
        {file, "bytes=990-", 206, whole.substr(990), "bytes 990-999/1000"},
        {file, "bytes=-4", 206, whole.substr(996), "bytes 996-999/1000"},
        {file, "bytes=1000-", 416, "", "bytes */1000"},
        {file, "items=10-19", 200, whole, ""},
    };
    for (const Case& c : cases) {
        auto plain = Get(c.path);
        ASSERT_TRUE(plain) << c.path;
        auto ranged = Get(c.path, {{"Range", c.range}});
        ASSERT_TRUE(ranged) << c.path << " " << c.range.substr(0, 40);
        EXPECT_EQ(ranged->status, c.status) << c.path << " " << c.range.substr(0, 40);
        if (c.status != 416) {
            if (c.body.empty())
                EXPECT_EQ(ranged->body.size(), plain->body.size()) << c.path << " " << c.range.substr(0, 40);
            else
                EXPECT_EQ(ranged->body, c.body) << c.path << " " << c.range.substr(0, 40);
        }
        EXPECT_EQ(ranged->get_header_value("Content-Range"), c.contentRange) << c.path << " " << c.range;
        EXPECT_LT(ranged->body.size(), 64u * 1024) << c.path;
    }
    // The header's name in any case, and split over two packets, is still ignored.
    for (const auto& [first, second] : std::vector<std::pair<std::string, std::string>>{
             {"GET /healthz HTTP/1.1\r\nHost: x\r\nrAnGe: items=1-2\r\n\r\n", ""},
             {"GET /healthz HTTP/1.1\r\nHost: x\r\nRa", "nge: items=1-2\r\nConnection: close\r\n\r\n"}}) {
        const std::string answer =
            RawExchange(server->Port(), first, std::chrono::milliseconds(1500), second);
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 ")) << answer;
        EXPECT_TRUE(answer.find("\r\n\r\nok\n") != std::string::npos) << answer;
    }
}

// Numbers past 64 bits used to be taken as 0; each is refused and named.
TEST_F(ScoresHttp, NumbersPast64BitsAreRefusedByName) {
    ASSERT_NO_FATAL_FAILURE(StartServer());
    const std::string huge = "99999999999999999999";
    const std::string table = "/cgi/version.pl?prg=Vorlane&show&type=0";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/api/rank?score=" + huge, "score"},
        {"/api/rank?score=-" + huge, "score"},
        {"/api/rank?score=18446744073709551616", "score"},
        {"/api/scores?offset=" + huge, "offset"},
        {"/api/scores?limit=" + huge, "limit"},
        {"/api/scores?verified=" + huge, "verified"},
        {"/api/rank?score=5&verified=18446744073709551617", "verified"},
        {table + "&page=" + huge, "page"},
        {table + "&verified=" + huge, "verified"},
    };
    for (const auto& [path, name] : cases) {
        auto answer = Get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, 400) << path << ": " << answer->body;
        EXPECT_EQ(answer->body.find("bad request: " + name + " "), 0u) << path << ": " << answer->body;
    }
    // The same parameters within range are answered.
    for (const std::string& path : std::vector<std::string>{
             "/api/rank?score=5", "/api/scores?offset=999999999&verified=1", table + "&page=2"}) {
        auto answer = Get(path);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 200) << path << ": " << answer->body;
    }
}

// /healthz says the process answers; /readyz also that the database can be reached.
TEST_F(ScoresHttp, ReadinessFollowsTheDatabaseAndLivenessDoesNot) {
    if (!db.IsSqlite()) GTEST_SKIP() << "moves the SQLite file away (PostgreSQL: server_pg_tests)";
    ASSERT_NO_FATAL_FAILURE(StartServer());
    EXPECT_EQ(Get("/readyz")->status, 200);
    const std::filesystem::path folder = db.SqlitePath().parent_path();
    const std::filesystem::path away = folder.string() + ".away";
    std::filesystem::rename(folder, away);
    auto notReady = Get("/readyz");
    auto alive = Get("/healthz");
    std::filesystem::rename(away, folder);
    ASSERT_TRUE(notReady);
    EXPECT_EQ(notReady->status, 503) << notReady->body;
    EXPECT_EQ(notReady->get_header_value("Cache-Control"), "no-store");
    EXPECT_EQ(alive->status, 200);
    EXPECT_EQ(alive->body, "ok\n");
    EXPECT_EQ(Get("/readyz")->status, 200);
}

// Heads a proxy and this server could read two ways, and a chunk longer than it says:
// 400, the connection closed, and the bytes behind never taken as a second request.
TEST_F(ScoresHttp, AmbiguousFramingIsRefusedAndTheConnectionClosed) {
    ASSERT_NO_FATAL_FAILURE(StartServer());
    const std::string upload =
        "POST /api/replays?prg=Vorlane&inf=" + EncodeSubmission(BuildSubmissionText("SMUG", 50, "_______")) +
        " HTTP/1.1\r\nHost: x\r\n";
    const std::string smuggled = "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        int status;
    };
    const std::vector<Case> cases = {
        {"two Content-Length", upload + "Content-Length: 5\r\nContent-Length: 40\r\n\r\nhello" + smuggled,
         400},
        {"Content-Length and chunked",
         upload + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n" + smuggled,
         400},
        {"a chunk longer than declared",
         upload + "Transfer-Encoding: chunked\r\n\r\n5\r\nhelloX" + smuggled + "0\r\n\r\n", 400},
        {"a chunk shorter than declared",
         upload + "Transfer-Encoding: chunked\r\n\r\n9\r\nhello\r\n0\r\n\r\n" + smuggled, 400},
        {"NUL in a header name",
         "GET /healthz HTTP/1.1\r\nHost: x\r\nX-A" + std::string(1, '\0') + "b: 1\r\n\r\n" + smuggled, 400},
        {"NUL in a header value",
         "GET /healthz HTTP/1.1\r\nHost: x\r\nX-A: 1" + std::string(1, '\0') + "2\r\n\r\n" + smuggled, 400},
    };
    for (const Case& c : cases) {
        const std::string answer = RawExchange(server->Port(), c.bytes);
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 " + std::to_string(c.status) + " "))
            << c.what << ": " << answer;
        EXPECT_EQ(Occurrences(answer, "HTTP/1.1 "), 1u) << c.what << ": " << answer;
        EXPECT_FALSE(answer.ends_with("<open>")) << c.what << ": the connection stayed open";
    }
    // Well-formed: one length given twice alike, and a proper chunked body, each
    // answered, with the request behind answered too.
    for (const std::string& body :
         {upload + "Content-Length: 5\r\nContent-Length: 5\r\n\r\nhello" + smuggled,
          upload + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n" + smuggled}) {
        const std::string answer = RawExchange(server->Port(), body, std::chrono::milliseconds(1500));
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 ")) << answer;
        EXPECT_EQ(Occurrences(answer, "HTTP/1.1 200 "), 2u) << answer;
    }
}

// One line per request with the query's names and none of its values, and a summary
// of refusals; --no-access-log keeps the summaries only.
TEST_F(ScoresHttp, TheAccessLogShowsEveryRequestWithoutQueryValues) {
    ASSERT_NO_FATAL_FAILURE(StartServer({"--rate-limit", "0", "--refusal-summary", "1"}));
    const std::string submission = SubmissionPath("LOGME", 4245);
    ASSERT_EQ(Get(submission)->status, 200);
    ASSERT_EQ(Get("/api/rank?score=17&period=day")->status, 200);
    const std::string line = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z 127\.0\.0\.1 )";
    EXPECT_TRUE(WaitForOutputLine(*server,
                                  std::regex(line + R"(GET /cgi/version\.pl\?hs&prg&inf 200 \d+ [0-9.]+ms)")))
        << server->Stdout();
    EXPECT_TRUE(
        WaitForOutputLine(*server, std::regex(line + R"(GET /api/rank\?score&period 200 \d+ [0-9.]+ms)")))
        << server->Stdout();
    const std::string inf = submission.substr(submission.find("inf=") + 4);
    EXPECT_EQ(server->Stdout().find(inf), std::string::npos);

    // A malformed request: its own line, then the summary counts it.
    RawExchange(server->Port(), "GET /healthz HTTP/1.1\r\nX-A: 1" + std::string(1, '\0') + "\r\n\r\n");
    EXPECT_TRUE(WaitForOutputLine(*server, std::regex(line + R"(GET /healthz 400 \d+ [0-9.]+ms)")))
        << server->Stdout();
    EXPECT_TRUE(WaitForOutputLine(*server, std::regex(R"(.*Z refused 1 in 1 s: 1 malformed request)")))
        << server->Stdout();

    server.reset();
    ASSERT_NO_FATAL_FAILURE(StartServer({"--rate-limit", "0", "--no-access-log", "--refusal-summary", "1"}));
    ASSERT_EQ(Get("/healthz")->status, 200);
    RawExchange(server->Port(), "GET /healthz HTTP/1.1\r\nX-A: 1" + std::string(1, '\0') + "\r\n\r\n");
    EXPECT_TRUE(WaitForOutputLine(*server, std::regex(R"(.*Z refused 1 in 1 s: 1 malformed request)")))
        << server->Stdout();
    EXPECT_EQ(server->Stdout().find("/healthz"), std::string::npos) << server->Stdout();
}

// Behind a trusted proxy each player has a rate of their own; anyone else's
// forwarding header is ignored, and a forged left part of it changes nothing.
TEST_F(ScoresHttp, BehindATrustedProxyEachClientHasItsOwnRate) {
    ASSERT_NO_FATAL_FAILURE(
        StartServer({"--rate-limit", "2", "--trusted-proxy", "127.0.0.2", "--trusted-proxy", "10.0.0.0/8"}));
    auto submit = [&](int score, const std::string& from, const std::string& forwardedFor) {
        httplib::Headers headers;
        if (!forwardedFor.empty()) headers.emplace("X-Forwarded-For", forwardedFor);
        auto answer = Get(SubmissionPath("PROXY", score * 5), headers, from);
        return answer ? answer->status : -1;
    };
    // Through the proxy: two players, two each.
    EXPECT_EQ(submit(1, "127.0.0.2", "203.0.113.7"), 200);
    EXPECT_EQ(submit(2, "127.0.0.2", "1.1.1.1, 203.0.113.7"), 200);
    EXPECT_EQ(submit(3, "127.0.0.2", "9.9.9.9, 203.0.113.7"), 429);
    EXPECT_EQ(submit(4, "127.0.0.2", "203.0.113.8"), 200);
    EXPECT_EQ(submit(5, "127.0.0.2", "203.0.113.8, 10.4.4.4"), 200); // behind a second proxy
    EXPECT_EQ(submit(6, "127.0.0.2", "203.0.113.8"), 429);
    // The proxy's own requests without the header are the proxy's.
    EXPECT_EQ(submit(7, "127.0.0.2", ""), 200);
    // Not a trusted proxy: its header is ignored, every request is its own address.
    EXPECT_EQ(submit(8, "127.0.0.3", "203.0.113.20"), 200);
    EXPECT_EQ(submit(9, "127.0.0.3", "203.0.113.21"), 200);
    EXPECT_EQ(submit(10, "127.0.0.3", "203.0.113.22"), 429);
    // The access log names the client behind the proxy.
    EXPECT_TRUE(WaitForOutputLine(
        *server, std::regex(R"(\S+ 203\.0\.113\.8 GET /cgi/version\.pl\?hs&prg&inf 429 .*)")))
        << server->Stdout();
}

// A request on a kept-alive connection from `from`: answers the status line and
// leaves the connection open (-1 when it could not connect).
int KeptAliveRequest(std::vector<int>& open, const std::string& from, int port,
                     const std::string& forwardedFor, std::string& statusLine) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, from.c_str(), &local.sin_addr);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        close(fd);
        return -1;
    }
    open.push_back(fd);
    const std::string request =
        "GET /healthz HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: " + forwardedFor + "\r\n\r\n";
    [[maybe_unused]] const ssize_t sent = send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer;
    while (answer.find("\r\n") == std::string::npos) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 5000) <= 0) break;
        char buffer[1024];
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        answer.append(buffer, static_cast<size_t>(got));
    }
    statusLine = answer.substr(0, answer.find("\r\n"));
    return fd;
}

// The per-address connection cap counts the clients behind a trusted proxy, not the
// proxy: more connections than one address may hold come through from many players,
// and one player is capped however it comes.
TEST_F(ScoresHttp, BehindATrustedProxyTheConnectionCapCountsEachClient) {
    ASSERT_NO_FATAL_FAILURE(StartServer({"--rate-limit", "0", "--trusted-proxy", "127.0.0.2"}));
    constexpr int kCap = 256; // ConnectionLimits::connectionsPerClient
    std::vector<int> open;
    std::string status;
    int refused = 0;
    // The proxy opens more connections than one address may, each for another player.
    for (int i = 0; i < kCap + 20; ++i) {
        KeptAliveRequest(open, "127.0.0.2", server->Port(),
                         "198.51.100." + std::to_string(i % 250) + ", 203.0.113." + std::to_string(i / 250),
                         status);
        refused += status.starts_with("HTTP/1.1 200 ") ? 0 : 1;
    }
    EXPECT_EQ(refused, 0) << status;
    for (int fd : open)
        close(fd);
    open.clear();
    // One player through the proxy: as many kept-alive connections as an address may hold.
    for (int i = 0; i < kCap; ++i) {
        KeptAliveRequest(open, "127.0.0.2", server->Port(), "203.0.113.99", status);
        ASSERT_TRUE(status.starts_with("HTTP/1.1 200 ")) << i << ": " << status;
    }
    KeptAliveRequest(open, "127.0.0.2", server->Port(), "203.0.113.99", status);
    EXPECT_TRUE(status.starts_with("HTTP/1.1 503 ")) << status;
    KeptAliveRequest(open, "127.0.0.2", server->Port(), "203.0.113.100", status);
    EXPECT_TRUE(status.starts_with("HTTP/1.1 200 ")) << status;
    for (int fd : open)
        close(fd);
}

TEST_F(ScoresHttp, TheForwardedHeaderWhenTheProxyWritesThatOne) {
    ASSERT_NO_FATAL_FAILURE(StartServer(
        {"--rate-limit", "1", "--trusted-proxy", "127.0.0.2", "--forwarded-header", "forwarded"}));
    auto submit = [&](int score, const httplib::Headers& headers) {
        auto answer = Get(SubmissionPath("FWD", score * 5), headers, "127.0.0.2");
        return answer ? answer->status : -1;
    };
    EXPECT_EQ(submit(1, {{"Forwarded", "for=\"[2001:db8::1]:4711\";proto=https"}}), 200);
    EXPECT_EQ(submit(2, {{"Forwarded", "for=2001:db8::1"}}), 429);
    EXPECT_EQ(submit(3, {{"Forwarded", "for=192.0.2.60"}}), 200);
    // X-Forwarded-For is not the header this proxy writes: a client's own is ignored.
    EXPECT_EQ(submit(4, {{"X-Forwarded-For", "198.51.100.1"}}), 200); // the proxy itself
    EXPECT_EQ(submit(5, {{"X-Forwarded-For", "198.51.100.2"}}), 429);
}

TEST(ScoresOperator, HelpAndVersionWhereverTheyStand) {
    const std::vector<std::vector<std::string>> helps = {
        {"--help"}, {"--db", "sqlite:x.db", "--help"}, {"--rate-limit", "3", "-h", "--listen", "bad"}};
    for (const auto& args : helps) {
        ScoresProcess process(args);
        EXPECT_FALSE(process.WaitUntilListening()) << args.back();
        EXPECT_EQ(process.FirstLine(), std::string(kServerUsage) + "\n") << args.back();
        EXPECT_EQ(process.WaitForExit(std::chrono::seconds(20)), 0) << args.back();
    }
    const std::vector<std::vector<std::string>> versions = {{"--version"},
                                                            {"--listen", "127.0.0.1:0", "--version"}};
    for (const auto& args : versions) {
        ScoresProcess process(args);
        EXPECT_FALSE(process.WaitUntilListening());
        EXPECT_TRUE(std::regex_match(process.FirstLine(), std::regex(R"(vorlane-scores \d+\.\d+\.\d+\n)")))
            << process.FirstLine();
        EXPECT_EQ(process.WaitForExit(std::chrono::seconds(20)), 0);
        EXPECT_EQ(process.Stderr(), "");
    }
}

// A server refused for its port leaves no database behind; a second server on one
// SQLite file refuses with one line.
TEST(ScoresOperator, ARefusedStartLeavesNoFileAndOneFileHasOneServer) {
    TestDatabase db;
    if (!db.IsSqlite()) GTEST_SKIP() << "about SQLite files";
    auto first = ScoresProcess::StartOn(db);
    ASSERT_TRUE(first);

    TestDatabase other;
    ScoresProcess portTaken({"--listen", "127.0.0.1:" + std::to_string(first->Port()), "--db", other.Url()});
    EXPECT_EQ(portTaken.WaitForExit(), 2);
    EXPECT_FALSE(std::filesystem::exists(other.SqlitePath()));

    ScoresProcess sameFile({"--listen", "127.0.0.1:0", "--db", db.Url()});
    EXPECT_EQ(sameFile.WaitForExit(), 2);
    const std::string message = sameFile.Stderr();
    EXPECT_EQ(Occurrences(message, "\n"), 1u) << message;
    EXPECT_NE(message.find("another vorlane-scores already serves"), std::string::npos) << message;
    EXPECT_TRUE(sameFile.FirstLine().empty());

    // The first one goes on; once it ends, the file is free for the next.
    ASSERT_EQ(first->Client().Get("/readyz")->status, 200);
    first->Signal(SIGTERM);
    ASSERT_EQ(first->WaitForExit(), 0);
    EXPECT_TRUE(ScoresProcess::StartOn(db));
}

} // namespace
} // namespace vorlane::scores::testing
