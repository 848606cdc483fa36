// The score server's HTTP parts on their own: which client a request came from
// behind proxies, the framing of chunked bodies, what a Range header gets, what a
// head is refused for, and what the access log writes.
#include <gtest/gtest.h>

#include "web/AccessLog.h"
#include "web/ByteRange.h"
#include "web/ChunkedFraming.h"
#include "web/RequestScreen.h"
#include "web/TrustedProxies.h"

namespace vorlane::scores {
namespace {

TEST(TrustedProxies, TakesTheClientOnlyFromTrustedPeersReadingFromTheRight) {
    TrustedProxies proxies;
    for (const char* proxy : {"127.0.0.2", "10.0.0.0/8", "2001:db8:1::/48", "::1"})
        ASSERT_TRUE(proxies.Add(proxy)) << proxy;
    struct Case {
        const char* peer;
        std::vector<std::string> values;
        ForwardedHeader kind;
        const char* client;
    };
    using enum ForwardedHeader;
    const std::vector<Case> cases = {
        {"198.51.100.4",
         {"203.0.113.7"},
         XForwardedFor,
         "198.51.100.4"}, // not a proxy: the header is anyone's
        {"127.0.0.2", {"203.0.113.7"}, XForwardedFor, "203.0.113.7"},
        {"127.0.0.2", {}, XForwardedFor, "127.0.0.2"},                          // no header: the proxy itself
        {"127.0.0.2", {"1.1.1.1, 203.0.113.7"}, XForwardedFor, "203.0.113.7"},  // a forged left part
        {"127.0.0.2", {"203.0.113.9, 10.1.2.3"}, XForwardedFor, "203.0.113.9"}, // two proxies in a chain
        {"127.0.0.2", {"203.0.113.9", "10.1.2.3"}, XForwardedFor, "203.0.113.9"}, // the same in two headers
        {"10.200.0.1", {"10.0.0.5,10.0.0.6"}, XForwardedFor, "10.0.0.5"},         // proxies all the way
        {"127.0.0.2", {"unknown, 10.0.0.9"}, XForwardedFor, "10.0.0.9"},          // the walk stops at garbage
        {"127.0.0.2", {"garbage"}, XForwardedFor, "127.0.0.2"},
        {"127.0.0.2", {" 2001:db8:2::5 "}, XForwardedFor, "2001:db8:2::5"},
        {"::1", {"2001:DB8:2:0::5"}, XForwardedFor, "2001:db8:2::5"},        // written the shortest way
        {"2001:db8:1:ff::1", {"203.0.113.1"}, XForwardedFor, "203.0.113.1"}, // an IPv6 network
        {"2001:db8:2::1", {"203.0.113.1"}, XForwardedFor, "2001:db8:2::1"},  // outside it
        {"::ffff:127.0.0.2", {"203.0.113.7"}, XForwardedFor, "203.0.113.7"}, // IPv4 on an IPv6 socket
        {"127.0.0.2", {"for=203.0.113.7;proto=https"}, Forwarded, "203.0.113.7"},
        {"127.0.0.2", {"for=1.1.1.1, for=\"[2001:db8:2::5]:4711\""}, Forwarded, "2001:db8:2::5"},
        {"127.0.0.2", {"for=203.0.113.60:8080;by=10.0.0.1, for=10.0.0.2"}, Forwarded, "203.0.113.60"},
        {"127.0.0.2", {"for=_hidden"}, Forwarded, "127.0.0.2"},
        {"127.0.0.2", {"proto=https"}, Forwarded, "127.0.0.2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(proxies.ClientOf(c.peer, c.values, c.kind), c.client)
            << c.peer << " " << (c.values.empty() ? "" : c.values.back());
}

TEST(TrustedProxies, RefusesWhatIsNotAnAddressOrNetwork) {
    TrustedProxies proxies;
    for (const char* bad : {"", "localhost", "10.0.0.0/33", "::/129", "10.0.0.0/", "10.0.0.0/x", "1.2.3",
                            "10.0.0.0/-1", "10.0.0.0/99999999999999999999"})
        EXPECT_FALSE(proxies.Add(bad)) << bad;
    EXPECT_TRUE(proxies.Empty());
    ASSERT_TRUE(proxies.Add("192.168.4.0/22"));
    EXPECT_TRUE(proxies.Contains("192.168.7.255"));
    EXPECT_FALSE(proxies.Contains("192.168.8.0"));
    EXPECT_FALSE(proxies.Contains("::ffff:192.168.8.0"));
    ASSERT_TRUE(proxies.Add("0.0.0.0/0"));
    EXPECT_TRUE(proxies.Contains("8.8.8.8"));
    EXPECT_FALSE(proxies.Contains("2001:db8::1")); // an IPv4 network holds no IPv6 address
}

TEST(ChunkedFraming, FollowsTheChunksAndSeesWhereTheyBreak) {
    struct Case {
        std::string body;
        bool broken;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"5\r\nhello\r\n0\r\n\r\n", false, true},
        {"5;name=value\r\nhello\r\nA\r\n0123456789\r\n0\r\nX-Trailer: 1\r\n\r\n", false, true},
        {"5\r\nhello\r\n", false, false},               // more to come
        {"5\r\nhelloXGET / HTTP/1.1\r\n", true, false}, // longer than declared
        {"5\r\nhel\r\n0\r\n\r\n", true, false},         // shorter: the next line lands in the data
        {"5\nhello\r\n0\r\n\r\n", true, false},         // a bare LF
        {"g\r\nhello\r\n", true, false},                // not hex
        {"\r\n", true, false},                          // no size at all
        {"1000000000000000\r\n", true, false},          // sixteen digits
        {"0\r\n\r\nGET / HTTP/1.1\r\n", false, true},   // what follows the end is not the body's
    };
    for (const Case& c : cases) {
        ChunkedFraming whole;
        whole.Take(c.body.data(), c.body.size());
        EXPECT_EQ(whole.Broken(), c.broken) << c.body;
        EXPECT_EQ(whole.Complete(), c.complete) << c.body;
        // Byte by byte (as httplib reads size lines) the verdict is the same.
        ChunkedFraming bytes;
        for (char b : c.body)
            bytes.Take(&b, 1);
        EXPECT_EQ(bytes.Broken(), c.broken) << c.body;
    }
}

TEST(ByteRange, OneRangeIsHonouredAndAListGetsTheWholeFile) {
    using Kind = ByteRangeAnswer::Kind;
    struct Case {
        const char* header;
        Kind kind;
        size_t offset;
        size_t length;
    };
    const std::vector<Case> cases = {
        {"", Kind::Whole, 0, 0},
        {"bytes=2-5", Kind::Part, 2, 4},
        {"bytes=2-", Kind::Part, 2, 8},
        {"bytes=-3", Kind::Part, 7, 3},
        {"bytes=8-1000", Kind::Part, 8, 2},
        {"bytes=0-", Kind::Whole, 0, 0},
        {"bytes=-10", Kind::Whole, 0, 0},
        {"bytes=10-", Kind::Unsatisfiable, 0, 0},
        {"bytes=-0", Kind::Unsatisfiable, 0, 0},
        {"bytes=0-0,0-0", Kind::Whole, 0, 0},
        {"bytes=5-2", Kind::Whole, 0, 0},
        {"bytes=-", Kind::Whole, 0, 0},
        {"bytes=99999999999999999999-", Kind::Whole, 0, 0},
        {"items=1-2", Kind::Whole, 0, 0},
    };
    for (const Case& c : cases) {
        const ByteRangeAnswer answer = AnswerRange(c.header, 10);
        EXPECT_EQ(answer.kind, c.kind) << c.header;
        if (c.kind != Kind::Part) continue;
        EXPECT_EQ(answer.offset, c.offset) << c.header;
        EXPECT_EQ(answer.length, c.length) << c.header;
    }
}

TEST(RequestScreen, RefusesHeadsThatCanBeReadTwoWays) {
    struct Case {
        httplib::Headers headers;
        bool refused;
    };
    const std::vector<Case> cases = {
        {{{"Content-Length", "5"}}, false},
        {{{"Content-Length", "5"}, {"content-length", "005"}}, false}, // the same length twice
        {{{"Content-Length", "5"}, {"Content-Length", "40"}}, true},
        {{{"Content-Length", "5, 5"}}, true},
        {{{"Content-Length", "-1"}}, true},
        {{{"Transfer-Encoding", "chunked"}}, false},
        {{{"Transfer-Encoding", "Chunked"}}, false},
        {{{"Transfer-Encoding", "chunked"}, {"Content-Length", "5"}}, true},
        {{{"Transfer-Encoding", "gzip, chunked"}}, true},
        {{{"Transfer-Encoding", "chunked"}, {"Transfer-Encoding", "chunked"}}, true},
        {{{std::string("X-A\0b", 5), "1"}}, true},
        {{{"X-A", std::string("1\0"
                              "2",
                              3)}},
         true},
    };
    for (const Case& c : cases) {
        httplib::Request request;
        request.headers = c.headers;
        EXPECT_EQ(!MalformedHead(request).empty(), c.refused)
            << c.headers.begin()->first << ": " << c.headers.begin()->second;
    }
}

TEST(AccessLog, KeepsTheQueryNamesAndDropsTheirValues) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/cgi/version.pl?hs&prg=Vorlane&inf=SECRET", "/cgi/version.pl?hs&prg&inf"},
        {"/api/rank?score=5&period=day", "/api/rank?score&period"},
        {"/healthz", "/healthz"},
        {"/x?&&a=1&&b", "/x?a&b"},
        {"/a b\x01\xc3\xa9?n\n=1", "/a%20b%01%C3%A9?n%0A"},
    };
    for (const auto& [target, shown] : cases)
        EXPECT_EQ(PathWithoutValues(target), shown) << target;
    AccessEntry entry{std::chrono::system_clock::time_point(std::chrono::milliseconds(1'765'000'000'123)),
                      "203.0.113.7",
                      "GET",
                      "/api/rank?score=5",
                      200,
                      42,
                      1.234};
    EXPECT_EQ(AccessLine(entry), "2025-12-06T05:46:40.123Z 203.0.113.7 GET /api/rank?score 200 42 1.23ms\n");
    entry.method.clear();
    entry.target.clear();
    entry.status = 400;
    EXPECT_EQ(AccessLine(entry), "2025-12-06T05:46:40.123Z 203.0.113.7 - - 400 42 1.23ms\n");
}

} // namespace
} // namespace vorlane::scores
