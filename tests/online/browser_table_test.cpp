// The online table in a real browser: headless Chromium loads the page of a
// vorlane-scores on 127.0.0.1 whose table holds hostile names and countries put
// straight into the database. The table is there, every hostile text shows as
// text, and nothing in it ran. The page fits a phone's width and is set in the
// fonts the server serves. Screenshots of the page are kept in the build folder
// (shots/table.png, shots/table-390.png).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "server/ScoresProcess.h"

namespace vorlane::scores::testing {
namespace {

std::string FindChromium() {
    for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
        if (std::filesystem::exists(path)) return path;
    return "";
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Count(const std::string& text, const std::regex& pattern) {
    return static_cast<size_t>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
}

class BrowserTable : public ::testing::Test {
  protected:
    void SetUp() override {
        chromium_ = FindChromium();
        if (chromium_.empty()) GTEST_SKIP() << "Chromium is not installed (apt-get install chromium)";
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlane-browser-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    }

    // Runs headless Chromium with a fresh profile on `url` plus `what` (--dump-dom,
    // --screenshot=...); answers its standard output. Bounded by `timeout`.
    std::string Chromium(const std::string& url, const std::string& what) {
        const auto profile = folder_ / ("profile" + std::to_string(++runs_));
        const auto out = folder_ / "out.txt";
        const auto err = folder_ / "err.txt";
        const std::string command = "cd '" + folder_.string() + "' && timeout 120 '" + chromium_ +
                                    "' --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
                                    "--disable-background-networking"
                                    " --disable-component-update --disable-sync --user-data-dir='" +
                                    profile.string() + "' " + what + " '" + url + "' >'" + out.string() +
                                    "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadAll(err);
        return ReadAll(out);
    }

    std::string chromium_;
    std::filesystem::path folder_;
    int runs_ = 0;
};

TEST_F(BrowserTable, HostileNamesShowAsTextAndRunNothing) {
    // What a forged row might carry: markup that would run a script or change the
    // page if it were not shown as text.
    const std::vector<std::string> hostile = {
        "<script>alert(1)</script>",
        "\"><img src=x onerror=alert(1)>",
        "<script>document.title='PWNED'</script>",
        "<img src=x onerror=\"document.title='PWNED'\">",
        "'><svg onload=\"document.body.setAttribute('data-pwned','1')\">",
        "</td></tr></table><b id=pwned>",
    };
    TestDatabase db;
    {
        auto store = db.Open();
        std::vector<NewScore> rows;
        int64_t score = 90000;
        for (const std::string& text : hostile) {
            rows.push_back({text, "Poland", score -= 1000, 1'700'000'000, "forged"});
            std::string plain = "Plain";
            plain += std::to_string(rows.size());
            rows.push_back({plain, text, score -= 1000, 1'700'000'000, "forged"});
        }
        rows.push_back({"Ren\xC3\xA9", "_______", 500, 1'700'000'000, "forged"});
        store->InsertBatch(rows);
    }
    auto server = ScoresProcess::StartOn(db);
    ASSERT_TRUE(server);
    const std::string url = server->BaseUrl() + "/cgi/version.pl?prg=Vorlane&show&type=0";
    const auto direct = server->Client().Get("/cgi/version.pl?prg=Vorlane&show&type=0");
    ASSERT_TRUE(direct);
    std::smatch title;
    ASSERT_TRUE(std::regex_search(direct->body, title, std::regex("<title>([^<]*)</title>")));

    const std::string dom = Chromium(url, "--dump-dom");
    ASSERT_FALSE(dom.empty());

    // The table is there with every row, in a table of its own.
    EXPECT_EQ(Count(dom, std::regex("<table")), 1u) << dom;
    EXPECT_EQ(Count(dom, std::regex("<td class=\"name\">")), hostile.size() * 2 + 1) << dom;
    EXPECT_NE(dom.find("<td class=\"name\">Ren\xC3\xA9</td>"), std::string::npos) << dom;

    // Every hostile text is a text node: no element it names exists in the DOM.
    EXPECT_EQ(Count(dom, std::regex("<(script|img|svg|b)[\\s>/]", std::regex::icase)), 0u) << dom;
    EXPECT_EQ(dom.find("id=\"pwned\""), std::string::npos) << dom;
    EXPECT_NE(dom.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos) << dom;
    EXPECT_NE(dom.find("\"&gt;&lt;img src=x onerror=alert(1)&gt;"), std::string::npos) << dom;
    EXPECT_NE(dom.find("&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;b id=pwned&gt;"), std::string::npos) << dom;

    // And nothing ran: the title is the server's own, the body carries no mark.
    std::smatch shownTitle;
    ASSERT_TRUE(std::regex_search(dom, shownTitle, std::regex("<title>([^<]*)</title>")));
    EXPECT_EQ(shownTitle[1].str(), title[1].str());
    EXPECT_EQ(dom.find("data-pwned=\""), std::string::npos) << dom;

    // A picture of the page for people to look at.
    const auto shot = folder_ / "table.png";
    Chromium(url, "--screenshot='" + shot.string() + "' --window-size=1280,900 --hide-scrollbars");
    const std::string png = ReadAll(shot);
    ASSERT_GT(png.size(), 10000u) << "no screenshot";
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const auto keep = std::filesystem::path(VORLANE_BINARY_DIR) / "shots";
    std::filesystem::create_directories(keep);
    std::filesystem::copy_file(shot, keep / "table.png", std::filesystem::copy_options::overwrite_existing);
}

// The page laid out as wide as a phone (in a frame that wide: headless Chromium's
// window is never narrower than 500 px; tall enough to need no scroll bar of its
// own, as a phone shows none), measured by a script of the test: nothing
// wider than the screen, every score on one line, and the fonts the style sheet
// names loaded from the server itself.
TEST_F(BrowserTable, FitsAPhoneScreenInTheGamesOwnFonts) {
    TestDatabase db;
    {
        auto store = db.Open();
        std::vector<NewScore> rows;
        for (int i = 0; i < 60; ++i) {
            // The widest a row gets: a name and a country as long as they may be, the highest score.
            std::string name(12, i % 2 == 0 ? 'W' : 'M');
            name += std::to_string(i);
            rows.push_back({name.substr(name.size() - 12), i % 3 == 0 ? "_______" : "Bosnia and Herze",
                            100'000'000 - i * 1'234'567, 1'700'000'000 + i,
                            std::string("phone").append(std::to_string(i))});
        }
        store->InsertBatch(rows);
        for (int i = 0; i < 60; i += 4) {
            const NewScore& row = rows[static_cast<size_t>(i)];
            const ReplayRecord replay = store->StoreReplay(
                {row.name, row.country, row.score, 1'700'000'100, row.clientHash, {1, 2, 3}});
            store->RecordReplayVerdict(replay.id, true, "");
        }
    }
    auto server = ScoresProcess::StartOn(db);
    ASSERT_TRUE(server);

    const std::regex measured("MEASURE scroll=(\\d+) client=(\\d+) wrapped=(\\d+) loaded=([^<]*)");
    for (const std::string path : {"/cgi/version.pl?prg=Vorlane&show&type=0", "/"}) {
        const auto page = server->Client().Get(path);
        ASSERT_TRUE(page);
        ASSERT_EQ(page->status, 200);
        std::string inner = page->body;
        const size_t head = inner.find("<head>");
        ASSERT_NE(head, std::string::npos);
        inner.insert(head + 6, "<base href=\"" + server->BaseUrl() + "/\">");
        std::ofstream(folder_ / "inner.html") << inner;
        for (const int width : {360, 390, 1280}) {
            SCOPED_TRACE(path + " at " + std::to_string(width) + " px");
            std::ofstream(folder_ / "outer.html") << R"(<!DOCTYPE html><html><body style="margin:0">
<iframe id="f" src="inner.html" style="border:0;width:)"
                                                  << width << R"(px;height:6000px"></iframe>
<script>
var f = document.getElementById('f');
f.addEventListener('load', function () {
  var d = f.contentDocument;
  d.fonts.ready.then(function () {
    var wrapped = 0;
    d.querySelectorAll('td.score').forEach(function (td) {
      var range = d.createRange(); range.selectNodeContents(td);
      var tops = new Set();
      Array.prototype.forEach.call(range.getClientRects(), function (r) { tops.add(Math.round(r.top)); });
      if (tops.size > 1) wrapped++;
    });
    var loaded = [];
    d.fonts.forEach(function (font) { if (font.status === 'loaded') loaded.push(font.family); });
    var out = document.createElement('pre');
    out.textContent = 'MEASURE scroll=' + d.documentElement.scrollWidth + ' client=' +
      d.documentElement.clientWidth + ' wrapped=' + wrapped + ' loaded=' + loaded.join('|');
    document.body.appendChild(out);
  });
});
</script></body></html>)";
            const std::string dom = Chromium("file://" + (folder_ / "outer.html").string(),
                                             "--allow-file-access-from-files --disable-web-security "
                                             "--virtual-time-budget=5000 --window-size=1400,1300 --dump-dom");
            std::smatch figures;
            ASSERT_TRUE(std::regex_search(dom, figures, measured)) << dom;
            EXPECT_EQ(std::stoi(figures[2].str()), width);
            EXPECT_LE(std::stoi(figures[1].str()), std::stoi(figures[2].str())) << "scrolls sideways";
            EXPECT_EQ(figures[3].str(), "0") << "scores wrapped onto a second line";
            EXPECT_NE(figures[4].str().find("Roboto Condensed"), std::string::npos) << figures[4].str();
            if (path != "/") {
                EXPECT_NE(figures[4].str().find("DSEG14 Classic"), std::string::npos) << figures[4].str();
            }
        }
    }

    // The table as a phone shows it, for people to look at.
    const auto shot = folder_ / "table-390.png";
    std::ofstream(folder_ / "shot.html")
        << R"(<!DOCTYPE html><html><body style="margin:0">)"
        << R"(<iframe src="inner.html" style="border:0;width:390px;height:1600px">)"
        << "</iframe></body></html>";
    const auto table = server->Client().Get("/cgi/version.pl?prg=Vorlane&show&type=0");
    ASSERT_TRUE(table);
    std::string inner = table->body;
    inner.insert(inner.find("<head>") + 6, "<base href=\"" + server->BaseUrl() + "/\">");
    std::ofstream(folder_ / "inner.html") << inner;
    Chromium("file://" + (folder_ / "shot.html").string(),
             "--allow-file-access-from-files --disable-web-security --virtual-time-budget=5000 "
             "--window-size=390,1600 --hide-scrollbars --screenshot='" +
                 shot.string() + "'");
    ASSERT_GT(ReadAll(shot).size(), 10000u) << "no screenshot";
    const auto keep = std::filesystem::path(VORLANE_BINARY_DIR) / "shots";
    std::filesystem::create_directories(keep);
    std::filesystem::copy_file(shot, keep / "table-390.png",
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace
} // namespace vorlane::scores::testing
