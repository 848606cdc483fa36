// The real vorlane-scores program on 127.0.0.1: what it answers and what it keeps.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <chrono>
#include <regex>

#include "persist/OnlineScore.h"
#include "server/ScoresProcess.h"
#include "web/ServerOptions.h"
#include "web/WebText.h"
#include "wire/SubmissionText.h"

namespace vorlane::scores::testing {
namespace {

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// "P7": built with += (GCC 12 warns falsely about Numbered("P", i)).
std::string Numbered(const char* prefix, int number) {
    std::string name = prefix;
    name += std::to_string(number);
    return name;
}

// Valid UTF-8 with no control characters but the line ends.
bool CleanLines(const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (CleanUtf8(line) != line) return false;
        start = end + 1;
    }
    return true;
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class ScoresServer : public ::testing::Test {
  protected:
    void StartServer(const std::vector<std::string>& extra = {"--rate-limit", "0"}) {
        server = ScoresProcess::StartOn(db, extra);
        ASSERT_TRUE(server);
    }

    httplib::Result Get(const std::string& path, const std::string& fromAddress = "") {
        httplib::Client client = server->Client(fromAddress);
        return client.Get(path);
    }

    int Submit(const std::string& name, int score, const std::string& country = "_______",
               const std::string& from = "") {
        auto result = Get(SubmissionPath(name, score, country), from);
        return result ? result->status : -1;
    }

    // Rows put in past the server's checks.
    void PutIn(std::vector<NewScore> rows) {
        auto store = db.Open();
        store->InsertBatch(rows);
    }

    TestDatabase db;
    std::unique_ptr<ScoresProcess> server;
};

TEST_F(ScoresServer, TakesTheGamesSubmissionAndShowsItOnEveryTable) {
    StartServer();
    auto answer = Get(SubmissionPath("ABC", 12345, "Deutschland"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->get_header_value("Content-Type"), "text/plain; charset=utf-8");
    EXPECT_EQ(Occurrences(answer->body, "\n"), 1u) << answer->body;

    auto json = Get("/api/scores");
    ASSERT_TRUE(json);
    EXPECT_EQ(json->status, 200);
    EXPECT_EQ(json->get_header_value("Content-Type"), "application/json");
    const std::regex row(
        R"re(\[\s*\{"rank":1,"name":"ABC","country":"Deutschland","score":12345,"time":"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)","verified":false\}\]\s*)re");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(json->body, match, row)) << json->body;
    EXPECT_TRUE(match[1].str().starts_with(IsoUtcTime(Now()).substr(0, 10))) << match[1];

    auto page = Get("/cgi/version.pl?prg=Vorlane&show&type=0");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(page->body.find("<td class=\"name\">ABC</td>"), std::string::npos);
    EXPECT_NE(page->body.find("Deutschland"), std::string::npos);
    EXPECT_NE(page->body.find("12\u2009345"), std::string::npos);

    auto rank = Get("/api/rank?score=12345");
    ASSERT_TRUE(rank);
    EXPECT_EQ(rank->body, "{\"rank\":2,\"score\":12345,\"period\":\"all\"}\n");
    EXPECT_EQ(Get("/api/rank?score=12350")->body, "{\"rank\":1,\"score\":12350,\"period\":\"all\"}\n");

    auto health = Get("/healthz");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
}

TEST_F(ScoresServer, PagesHaveAStrictPolicyAndNoScriptOrInlineStyle) {
    StartServer();
    ASSERT_EQ(Submit("ABC", 500), 200);
    for (const char* path : {"/", "/cgi/version.pl?prg=Vorlane&show&type=0",
                             "/cgi/version.pl?prg=Vorlane&show&type=0&name=ABC"}) {
        auto page = Get(path);
        ASSERT_TRUE(page) << path;
        EXPECT_EQ(page->status, 200) << path;
        const std::string policy = page->get_header_value("Content-Security-Policy");
        EXPECT_NE(policy.find("default-src 'none'"), std::string::npos) << path;
        EXPECT_NE(policy.find("style-src 'self'"), std::string::npos) << path;
        EXPECT_EQ(policy.find("unsafe-inline"), std::string::npos) << path;
        EXPECT_EQ(policy.find("script-src"), std::string::npos) << path << ": no script is allowed at all";
        EXPECT_EQ(page->body.find("<script"), std::string::npos) << path;
        EXPECT_EQ(page->body.find("<style"), std::string::npos) << path;
        EXPECT_EQ(page->body.find("style="), std::string::npos) << path;
        EXPECT_FALSE(std::regex_search(page->body, std::regex(" on[a-z]+=", std::regex::icase)))
            << path << ": no event handler";
        EXPECT_NE(page->body.find("href=\"/static/vorlane.css\""), std::string::npos) << path;
        EXPECT_TRUE(CleanLines(page->body)) << path;
    }
    auto css = Get("/static/vorlane.css");
    ASSERT_TRUE(css);
    EXPECT_EQ(css->status, 200);
    EXPECT_EQ(css->get_header_value("Content-Type"), "text/css; charset=utf-8");
    EXPECT_NE(css->body.find("--orange"), std::string::npos);

    auto home = Get("/");
    EXPECT_NE(home->body.find("href=\"/cgi/version.pl?prg=Vorlane&amp;show&amp;type=0\""), std::string::npos);
    EXPECT_NE(home->body.find("nitro"), std::string::npos);
}

// "Today" is the last 24 hours, not the calendar day: the page says what each
// period takes in and from when. The fonts the style sheet names come from the
// server itself.
TEST_F(ScoresServer, PeriodPagesSayTheirWindowAndTheFontsAreServed) {
    StartServer();
    struct Case {
        const char* period;
        int64_t seconds;
        const char* says;
    };
    const Case cases[] = {
        {"day", 86'400, "<strong>Today</strong> is the last 24 hours, so it lists yesterday's dates too"},
        {"week", 7 * 86'400, "<strong>This week</strong> is the last 7 days"},
        {"month", 30 * 86'400, "<strong>This month</strong> is the last 30 days"},
    };
    const auto shown = [](int64_t seconds) {
        const std::string iso = IsoUtcTime(seconds);
        return "scores sent since " + iso.substr(0, 10) + " " + iso.substr(11, 5) + " UTC.";
    };
    for (const Case& c : cases) {
        const int64_t before = Now();
        auto page = Get(std::string("/cgi/version.pl?prg=Vorlane&show&type=0&period=") + c.period);
        const int64_t after = Now();
        ASSERT_TRUE(page) << c.period;
        EXPECT_NE(page->body.find(c.says), std::string::npos) << page->body;
        EXPECT_TRUE(page->body.find(shown(before - c.seconds)) != std::string::npos ||
                    page->body.find(shown(after - c.seconds)) != std::string::npos)
            << page->body;
    }
    EXPECT_EQ(Get("/cgi/version.pl?prg=Vorlane&show&type=0")->body.find("class=\"window\""),
              std::string::npos);

    const std::string css = Get("/static/vorlane.css")->body;
    EXPECT_NE(Get("/")->get_header_value("Content-Security-Policy").find("font-src 'self'"),
              std::string::npos);
    for (const char* font : {"roboto-condensed.ttf", "roboto-condensed-bold.ttf", "dseg14-classic.ttf"}) {
        const std::string path = std::string("/fonts/") + font;
        EXPECT_NE(css.find("url(\"" + path + "\")"), std::string::npos) << path;
        auto file = Get(path);
        ASSERT_TRUE(file) << path;
        ASSERT_EQ(file->status, 200) << path << " (fonts-roboto-unhinted and fonts-dseg: make setup)";
        EXPECT_EQ(file->get_header_value("Content-Type"), "font/ttf") << path;
        EXPECT_EQ(file->body.substr(0, 4), std::string("\0\1\0\0", 4)) << path << ": a TrueType file";
    }
    EXPECT_EQ(Get("/fonts/other.ttf")->status, 404);
    EXPECT_EQ(Get("/fonts/roboto-condensedXttf")->status, 404);
}

TEST_F(ScoresServer, RefusesBadSubmissionsAndStoresNone) {
    StartServer();
    const std::string key = "|key=" + std::string(1, kSubmissionKey);
    const std::string paths[] = {
        "/cgi/version.pl?hs&prg=Vorlane&inf=",
        "/cgi/version.pl?hs&prg=Vorlane",
        "/cgi/version.pl?hs&prg=Vorlane&inf=QT6",      // not whole characters
        "/cgi/version.pl?hs&prg=Vorlane&inf=QT61A3K0", // 0 is not in the alphabet
        "/cgi/version.pl?hs&prg=Vorlane&inf=%3Cscript%3E",
        "/cgi/version.pl?hs&prg=Other&inf=" + SubmissionPath("ABC", 5).substr(kSubmissionPath.size()),
        SubmissionPath("ABC", 1234), // not a multiple of 5
        SubmissionPath("ABC", 100'000'005),
        SubmissionPath("ABCDEFGHIJKLM", 5), // 13 characters
        SubmissionPath("<b>", 5),
        SubmissionPath("ABC", 5, "a|b"),
        SubmissionPathForText("type=0|name=ABC|score=5|key=" +
                              std::string(1, kSubmissionKey == 'Q' ? 'R' : 'Q') + "|p=|add=_______|z="),
        SubmissionPathForText("type=0|name=ABC|score=5" + key + "|p=|z="),
    };
    for (const std::string& path : paths) {
        auto answer = Get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, 400) << path;
        EXPECT_EQ(Occurrences(answer->body, "\n"), 1u) << path << ": " << answer->body;
        EXPECT_EQ(answer->body.back(), '\n');
    }
    auto store = db.Open();
    EXPECT_TRUE(AllRows(*store).empty());

    auto neither = Get("/cgi/version.pl?prg=Vorlane");
    ASSERT_TRUE(neither);
    EXPECT_EQ(neither->status, 400);
    EXPECT_EQ(Get("/nothing/here")->status, 404);
}

TEST_F(ScoresServer, RanksHigherScoresFirstAndEqualScoresBySubmissionOrder) {
    StartServer();
    ASSERT_EQ(Submit("FIRST", 500), 200);
    ASSERT_EQ(Submit("TOP", 9000), 200);
    ASSERT_EQ(Submit("SECOND", 500), 200);
    ASSERT_EQ(Submit("LOW", 5), 200);
    ASSERT_EQ(Submit("", 500), 200); // an empty name is taken and shown as a dash

    auto store = db.Open();
    const std::vector<RankedScore> rows = AllRows(*store);
    ASSERT_EQ(rows.size(), 5u);
    const char* order[] = {"TOP", "FIRST", "SECOND", "", "LOW"};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, order[i]) << i;
        EXPECT_EQ(rows[i].rank, static_cast<int64_t>(i) + 1);
    }

    const std::string page = Get("/cgi/version.pl?prg=Vorlane&show&type=0")->body;
    const size_t top = page.find(">TOP<"), first = page.find(">FIRST<"), second = page.find(">SECOND<"),
                 dash = page.find("<td class=\"name\">-</td>"), low = page.find(">LOW<");
    ASSERT_NE(dash, std::string::npos);
    EXPECT_TRUE(top < first && first < second && second < dash && dash < low);

    // A new 500 would come after the three there are.
    EXPECT_EQ(Get("/api/rank?score=500")->body, "{\"rank\":5,\"score\":500,\"period\":\"all\"}\n");
    EXPECT_EQ(Get("/api/rank?score=0")->body, "{\"rank\":6,\"score\":0,\"period\":\"all\"}\n");
    EXPECT_EQ(Get("/api/rank")->status, 400);
    EXPECT_EQ(Get("/api/rank?score=abc")->status, 400);
}

TEST_F(ScoresServer, PeriodsCountriesAndPages) {
    const int64_t now = Now();
    std::vector<NewScore> rows = {
        {"HOUR", "Chile", 400, now - 3600, "a"},
        {"DAYS", "Chile", 300, now - 3 * 86400, "a"},
        {"WEEKS", "Peru", 200, now - 20 * 86400, "a"},
        {"YEAR", "Peru", 100, now - 365 * 86400, "a"},
    };
    // Page filler from long ago, below the rest.
    for (int i = 0; i < 120; ++i)
        rows.push_back({Numbered("FILL", i), "Peru", 95 - (i % 19) * 5, now - 400 * 86400, "b"});
    PutIn(rows);
    StartServer();

    struct Case {
        const char* query;
        std::vector<std::string> firstNames;
    };
    const Case cases[] = {
        {"period=day", {"HOUR"}},
        {"period=week", {"HOUR", "DAYS"}},
        {"period=month", {"HOUR", "DAYS", "WEEKS"}},
        {"period=all&limit=4", {"HOUR", "DAYS", "WEEKS", "YEAR"}},
        {"limit=4", {"HOUR", "DAYS", "WEEKS", "YEAR"}},
        {"country=Chile", {"HOUR", "DAYS"}},
        {"country=Peru&period=month", {"WEEKS"}},
        {"country=Peru&limit=2", {"WEEKS", "YEAR"}},
        {"offset=2&limit=2", {"WEEKS", "YEAR"}},
        {"country=Nowhere", {}},
    };
    for (const Case& c : cases) {
        auto json = Get(std::string("/api/scores?") + c.query);
        ASSERT_TRUE(json) << c.query;
        ASSERT_EQ(json->status, 200) << c.query;
        std::vector<std::string> names;
        const std::regex name("\"name\":\"([A-Z0-9]*)\"");
        for (auto it = std::sregex_iterator(json->body.begin(), json->body.end(), name);
             it != std::sregex_iterator(); ++it)
            names.push_back((*it)[1]);
        EXPECT_EQ(names, c.firstNames) << c.query;
    }
    EXPECT_NE(Get("/api/scores?offset=2&limit=1")->body.find("\"rank\":3,"), std::string::npos);
    EXPECT_EQ(Occurrences(Get("/api/scores?limit=100")->body, "\"rank\""), 100u);
    EXPECT_EQ(Occurrences(Get("/api/scores")->body, "\"rank\""), 50u);
    for (const char* bad : {"limit=101", "limit=0", "offset=-1", "period=year", "limit=x"})
        EXPECT_EQ(Get(std::string("/api/scores?") + bad)->status, 400) << bad;
    EXPECT_EQ(Get("/api/rank?score=250&period=week")->body,
              "{\"rank\":3,\"score\":250,\"period\":\"week\"}\n");
    EXPECT_EQ(Get("/api/rank?score=250&country=Peru")->body,
              "{\"rank\":1,\"score\":250,\"period\":\"all\"}\n");

    // 124 rows: pages of 50, 50 and 24, with links between them.
    const std::string table = "/cgi/version.pl?prg=Vorlane&show&type=0";
    const std::string first = Get(table)->body;
    EXPECT_EQ(Occurrences(first, "<td class=\"rank\">"), 50u);
    EXPECT_NE(first.find("<td class=\"rank\">1</td>"), std::string::npos);
    EXPECT_NE(first.find("&amp;page=2\">Lower"), std::string::npos);
    EXPECT_EQ(first.find("Higher"), std::string::npos);
    const std::string last = Get(table + "&page=3")->body;
    EXPECT_EQ(Occurrences(last, "<td class=\"rank\">"), 24u);
    EXPECT_NE(last.find("<td class=\"rank\">101</td>"), std::string::npos);
    EXPECT_NE(last.find("<td class=\"rank\">124</td>"), std::string::npos);
    EXPECT_EQ(last.find("Lower"), std::string::npos);
    EXPECT_NE(last.find("&amp;page=2\">&larr; Higher"), std::string::npos);
    EXPECT_EQ(Occurrences(Get(table + "&page=9")->body, "<td class=\"rank\">"), 0u);
    const std::string week = Get(table + "&period=week")->body;
    EXPECT_EQ(Occurrences(week, "<td class=\"rank\">"), 2u);
    EXPECT_NE(
        week.find(
            "class=\"current\" href=\"/cgi/version.pl?prg=Vorlane&amp;show&amp;type=0&amp;period=week\""),
        std::string::npos);
    const std::string chile = Get(table + "&country=Chile")->body;
    EXPECT_EQ(Occurrences(chile, "<td class=\"rank\">"), 2u);
    for (const char* bad : {"&page=0", "&page=x", "&period=hour"})
        EXPECT_EQ(Get(table + bad)->status, 400) << bad;
}

TEST_F(ScoresServer, HighlightsAPlayersBestEntryEvenOffThePage) {
    const int64_t now = Now();
    std::vector<NewScore> rows;
    for (int i = 0; i < 120; ++i)
        rows.push_back({Numbered("P", i), "_______", 100'000 - i * 5, now - 60, "x"});
    rows.push_back({"ZED", "_______", 5, now - 50, "x"});
    rows.push_back({"ZED", "_______", 100'000 - 104 * 5, now - 40, "x"}); // ties with P104, later: rank 106
    PutIn(rows);
    StartServer();

    const std::string page = Get("/cgi/version.pl?prg=Vorlane&show&type=0&name=ZED")->body;
    EXPECT_NE(page.find("rank <strong>106</strong>"), std::string::npos);
    EXPECT_NE(page.find("&amp;page=3&amp;name=ZED\">(page 3)"), std::string::npos);
    EXPECT_EQ(Occurrences(page, "<tr class=\"you\">"), 1u);
    const size_t offPage = page.find("<tbody class=\"offpage\">");
    ASSERT_NE(offPage, std::string::npos);
    EXPECT_NE(page.find("<tr class=\"you\"><td class=\"rank\">106</td>", offPage), std::string::npos);
    // The paging links keep the player.
    EXPECT_NE(page.find("&amp;page=2&amp;name=ZED\">Lower"), std::string::npos);

    const std::string third = Get("/cgi/version.pl?prg=Vorlane&show&type=0&page=3&name=ZED")->body;
    EXPECT_EQ(third.find("offpage"), std::string::npos);
    EXPECT_NE(third.find("<tr class=\"you\"><td class=\"rank\">106</td>"), std::string::npos);
    EXPECT_EQ(Occurrences(third, "<tr class=\"you\">"), 1u);

    const std::string nobody = Get("/cgi/version.pl?prg=Vorlane&show&type=0&name=NOBODY")->body;
    EXPECT_NE(nobody.find("No score of <strong>NOBODY</strong>"), std::string::npos);
    EXPECT_EQ(nobody.find("class=\"you\""), std::string::npos);
}

TEST_F(ScoresServer, HostileTextInTheTableIsShownHarmlessly) {
    const int64_t now = Now();
    const std::vector<std::string> hostile = {
        "<script>alert(1)</script>",
        "\"><img src=x onerror=alert(1)>",
        "';alert(1);//",
        "\xC3\x28\xFF\xFE",
        std::string("a\0b\r\n<", 6),
        "\xE2\x80\xAE"
        "321",
        "&lt;amp",
        "</td></tr></table><form>",
    };
    std::vector<NewScore> rows;
    int64_t score = 1000;
    for (const std::string& text : hostile)
        rows.push_back({text, text, score -= 5, now - 10, "h"});
    PutIn(rows);
    StartServer();

    for (const std::string& query : {std::string(), std::string("&name=%3Cscript%3Ealert(1)%3C%2Fscript%3E"),
                                     std::string("&country=%22%3E%3Cimg")}) {
        auto page = Get("/cgi/version.pl?prg=Vorlane&show&type=0" + query);
        ASSERT_TRUE(page);
        ASSERT_EQ(page->status, 200);
        const std::string& body = page->body;
        EXPECT_EQ(body.find("<script"), std::string::npos) << query;
        EXPECT_EQ(body.find("<img"), std::string::npos) << query;
        EXPECT_EQ(body.find("<form>"), std::string::npos) << query;
        EXPECT_EQ(body.find("onerror=alert(1)>"), std::string::npos) << query;
        EXPECT_EQ(body.find('\r'), std::string::npos) << query;
        EXPECT_EQ(body.find('\0'), std::string::npos) << query;
        EXPECT_EQ(body.find("\xE2\x80\xAE"), std::string::npos) << query;
        EXPECT_TRUE(CleanLines(body)) << query << ": the page is valid UTF-8";
        EXPECT_EQ(Occurrences(body, "<table"), query.find("country") == std::string::npos ? 1u : 0u) << query;
    }
    const std::string page = Get("/cgi/version.pl?prg=Vorlane&show&type=0")->body;
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.find("&amp;lt;amp"), std::string::npos);
    EXPECT_EQ(Occurrences(page, "<tr>") + Occurrences(page, "<tr class"), hostile.size() + 1);

    const std::string json = Get("/api/scores")->body;
    EXPECT_EQ(json.find('<'), std::string::npos);
    EXPECT_EQ(json.find('\r'), std::string::npos);
    EXPECT_TRUE(CleanLines(json));
    EXPECT_NE(json.find("\"\\u003cscript\\u003ealert(1)\\u003c/script\\u003e\""), std::string::npos);
    EXPECT_NE(json.find("\"\\\"\\u003e\\u003cimg src=x onerror=alert(1)\\u003e\""), std::string::npos);
}

TEST_F(ScoresServer, RateLimitRefusesTheFloodAndStoresNoneOfIt) {
    StartServer({"--rate-limit", "3"});
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(Submit("ABC", i * 5), 200) << i;
    auto refused = Get(SubmissionPath("ABC", 20));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 429);
    EXPECT_EQ(refused->get_header_value("Retry-After"), "60");
    EXPECT_EQ(Submit("ABC", 25), 429);
    // Another address has its own bucket.
    EXPECT_EQ(Submit("ABC", 30, "_______", "127.0.0.2"), 200);

    auto store = db.Open();
    std::vector<int64_t> scores;
    for (const RankedScore& row : AllRows(*store))
        scores.push_back(row.score);
    EXPECT_EQ(scores, (std::vector<int64_t>{30, 15, 10, 5}));
}

TEST_F(ScoresServer, WithoutRateLimitEverySubmissionIsTaken) {
    StartServer({"--rate-limit", "0"});
    for (int i = 1; i <= 30; ++i)
        ASSERT_EQ(Submit("ABC", i * 5), 200) << i;
    auto store = db.Open();
    EXPECT_EQ(AllRows(*store).size(), 30u);
}

TEST_F(ScoresServer, TheSameSubmissionFromTheSameAddressIsStoredOnce) {
    StartServer();
    EXPECT_EQ(Submit("ABC", 500), 200);
    auto again = Get(SubmissionPath("ABC", 500));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_EQ(Submit("ABC", 500), 200);
    EXPECT_EQ(Submit("ABC", 505), 200);                         // another score
    EXPECT_EQ(Submit("ABD", 500), 200);                         // another name
    EXPECT_EQ(Submit("ABC", 500, "Chile"), 200);                // another country
    EXPECT_EQ(Submit("ABC", 500, "_______", "127.0.0.2"), 200); // another sender

    auto store = db.Open();
    EXPECT_EQ(AllRows(*store).size(), 5u);

    // Ten minutes later the same result counts again.
    store->InsertBatch(std::vector<NewScore>{{"OLD", "_______", 5, Now() - kDuplicateWindowSeconds - 5, "q"},
                                             {"OLD", "_______", 5, Now(), "q"},
                                             {"OLD", "_______", 5, Now(), "q"}});
    EXPECT_EQ(AllRows(*store, ScoreFilter{0, ""}).size(), 7u);
}

TEST_F(ScoresServer, StopsCleanlyOnSigtermAndSigintAndKeepsItsTable) {
    for (int signalNumber : {SIGTERM, SIGINT}) {
        StartServer();
        ASSERT_EQ(Submit(Numbered("SIG", signalNumber), 500), 200);
        server->Signal(signalNumber);
        EXPECT_EQ(server->WaitForExit(), 0) << server->Stderr();
    }
    // A restart finds the schema in place and the rows kept.
    StartServer();
    auto store = db.Open();
    EXPECT_EQ(AllRows(*store).size(), 2u);
    EXPECT_EQ(Get("/api/rank?score=505")->body, "{\"rank\":1,\"score\":505,\"period\":\"all\"}\n");
}

TEST(ScoresCommandLine, ABadCommandLineOrDatabaseEndsWithOneLineAndStatusTwo) {
    TestDatabase db;
    const std::vector<std::vector<std::string>> cases = {
        {"--port", "80"},
        {"--listen"},
        {"--listen", "127.0.0.1"},
        {"--listen", "127.0.0.1:65536"},
        {"--listen", "127.0.0.1:http"},
        {"--key", "k"},
        {"--key", "KK"},
        {"--rate-limit", "-1"},
        {"--rate-limit", "ten"},
        {"--public-url", "ftp://x"},
        {"--db", "mysql://x"},
        {"--db", "sqlite:"},
        {"--db", "sqlite:/nonexistent-folder/for/sure/scores.db"},
        {"--db", "postgresql://nobody@127.0.0.1:1/none"},
        {"extra"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> full = {"--listen", "127.0.0.1:0", "--db", db.Url()};
        full.insert(full.end(), args.begin(), args.end());
        ScoresProcess process(full);
        EXPECT_EQ(process.WaitForExit(std::chrono::seconds(20)), 2) << args[0];
        const std::string message = process.Stderr();
        EXPECT_EQ(Occurrences(message, "\n"), 1u) << args[0] << ": " << message;
        EXPECT_TRUE(message.starts_with("vorlane-scores: ")) << message;
        EXPECT_TRUE(process.FirstLine().empty());
    }
}

// --help tells the options on the standard output and ends with status 0.
TEST(ScoresCommandLine, HelpPrintsTheUsageAndEnds) {
    for (const std::string flag : {"--help", "-h"}) {
        ScoresProcess process({flag});
        EXPECT_FALSE(process.WaitUntilListening()) << flag;
        EXPECT_EQ(process.FirstLine(), std::string(kServerUsage) + "\n") << flag;
        EXPECT_EQ(process.WaitForExit(std::chrono::seconds(20)), 0) << flag;
        EXPECT_EQ(process.Stderr(), "") << flag;
    }
}

TEST(ScoresCommandLine, APortInUseEndsWithStatusTwo) {
    TestDatabase db;
    auto first = ScoresProcess::StartOn(db);
    ASSERT_TRUE(first);
    TestDatabase other;
    ScoresProcess second({"--listen", "127.0.0.1:" + std::to_string(first->Port()), "--db", other.Url()});
    EXPECT_EQ(second.WaitForExit(), 2);
    EXPECT_NE(second.Stderr().find("cannot listen"), std::string::npos);
}

TEST(ScoresCommandLine, ADatabaseFromANewerProgramIsRefused) {
    TestDatabase db;
    if (!db.IsSqlite()) GTEST_SKIP() << "written for the SQLite file";
    db.Open().reset(); // creates the schema
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(db.SqlitePath().c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(handle, "INSERT INTO schema_migrations VALUES (999, 0)", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(handle);
    ScoresProcess process({"--listen", "127.0.0.1:0", "--db", db.Url()});
    EXPECT_EQ(process.WaitForExit(), 2);
    EXPECT_NE(process.Stderr().find("newer"), std::string::npos);
}

} // namespace
} // namespace vorlane::scores::testing
