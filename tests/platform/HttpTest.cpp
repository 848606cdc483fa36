// The libcurl client against a small HTTP server on 127.0.0.1 run by the test.
#include "platform/CurlHttpClient.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace vorlane {
namespace {

// Accepts one connection, keeps the request, answers with `status` (or not at all).
class OneShotServer {
  public:
    explicit OneShotServer(std::string status, bool answer = true)
        : status_(std::move(status)), answer_(answer) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0; // any free port
        const int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(listener_, 1) != 0)
            throw std::runtime_error("cannot listen");
        socklen_t len = sizeof addr;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~OneShotServer() {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR); // wakes a waiting accept
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }
    int Port() const { return port_; }
    std::string Url(const std::string& pathAndQuery) const {
        return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
    }
    std::string Request() {
        stop_ = true;
        if (thread_.joinable()) {
            ::shutdown(listener_, SHUT_RDWR);
            thread_.join();
        }
        return request_;
    }

  private:
    void Serve() {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        char buffer[4096];
        while (request_.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request_.append(buffer, size_t(n));
        }
        if (answer_) {
            const std::string body = "<html>ignored</html>";
            const std::string reply =
                "HTTP/1.1 " + status_ +
                "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\nConnection: close\r\n\r\n" + body;
            ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        } else {
            while (!stop_)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::close(client);
    }

    std::string status_;
    bool answer_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::string request_;
    std::thread thread_;
};

HttpRequest Submission(const std::string& url) {
    HttpRequest r;
    r.url = url;
    r.headers = {"Accept: text/html, */*", "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
                 "Content-Type: text/html"};
    r.connectTimeoutMs = 2000;
    r.totalTimeoutMs = 5000;
    return r;
}

TEST(HttpTest, RequestArrivesAsSentAndOkIsSuccess) {
    OneShotServer server("200 OK");
    CurlHttpClient client;
    EXPECT_TRUE(client.Get(Submission(server.Url("/cgi/version.pl?hs&prg=Vorlane&inf=QT61A3K7"))));
    const std::string request = server.Request();
    EXPECT_EQ(request.rfind("GET /cgi/version.pl?hs&prg=Vorlane&inf=QT61A3K7 HTTP/1.1\r\n", 0), 0u)
        << request;
    EXPECT_NE(request.find("\r\nAccept: text/html, */*\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nContent-Type: text/html\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"),
              std::string::npos);
}

TEST(HttpTest, ErrorStatusesAreFailures) {
    for (const char* status : {"500 Internal Server Error", "404 Not Found"}) {
        OneShotServer server(status);
        CurlHttpClient client;
        EXPECT_FALSE(client.Get(Submission(server.Url("/x")))) << status;
        EXPECT_FALSE(server.Request().empty());
    }
}

TEST(HttpTest, AClosedPortFailsQuickly) {
    int port;
    {
        OneShotServer server("200 OK");
        port = server.Port();
    } // nobody listens there any more
    CurlHttpClient client;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.Get(Submission("http://127.0.0.1:" + std::to_string(port) + "/")));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(HttpTest, AServerThatNeverAnswersEndsWithinTheTimeLimit) {
    OneShotServer server("200 OK", false);
    CurlHttpClient client;
    HttpRequest r = Submission(server.Url("/slow"));
    r.totalTimeoutMs = 300;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.Get(r));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(250));
    EXPECT_LT(took, std::chrono::seconds(3));
}

TEST(HttpTest, AnUnusableAddressFails) {
    CurlHttpClient client;
    EXPECT_FALSE(client.Get(Submission("")));
    EXPECT_FALSE(client.Get(Submission("ftp://127.0.0.1/")));
}

} // namespace
} // namespace vorlane
