#include "persist/OnlineScore.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "persist/HighScores.h"
#include "persist/OnlineConfig.h"
#include "persist/TempDir.h"
#include "persist/WebLinks.h"

namespace vorlane {
namespace {

// Reverses the encoding for texts whose length is a multiple of 5.
std::string Decode(const std::string& encoded) {
    std::string bits;
    for (char c : encoded) {
        const size_t v = kSubmissionAlphabet.find(c);
        EXPECT_NE(v, std::string_view::npos) << "character '" << c << "' is not in the alphabet";
        for (int b = 4; b >= 0; --b)
            bits += ((v >> b) & 1) ? '1' : '0';
    }
    std::string text;
    for (size_t i = 0; i + 8 <= bits.size(); i += 8)
        text += char(std::stoi(bits.substr(i, 8), nullptr, 2));
    return text;
}

TEST(EncodeSubmission, TurnsEveryFiveBitsIntoOneCharacter) {
    struct Case {
        std::string text;
        const char* encoded;
    };
    const Case cases[] = {
        {"type=", "QT61A3K7"},
        {"", ""},
        {std::string(5, '\0'), "AAAAAAAA"},
        {std::string(5, '\xFF'), "99999999"},
        {"A", "CB"},    // 8 bits get two zero bits in front: 00010 00001
        {"AB", "ASLC"}, // 16 bits get four: 00000 10000 01010 00010
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeSubmission(c.text), c.encoded) << ::testing::PrintToString(c.text);
        // And back: the server's decoder reads the same table the other way.
        const SubmissionDecoding decoded = DecodeSubmission(c.encoded);
        EXPECT_TRUE(decoded.ok) << c.encoded << ": " << decoded.error;
        EXPECT_EQ(decoded.text, c.text) << c.encoded;
    }
}

TEST(SubmissionText, CarriesTheResultAndIsPaddedToFiveCharacters) {
    const std::string key(1, kSubmissionKey);
    const std::string text = BuildSubmissionText("ABC", 1234, "_______");
    EXPECT_EQ(text, "type=0|name=ABC|score=1234|key=" + key + "|p=|add=_______|z=");
    EXPECT_EQ(text.size(), 50u);
    EXPECT_EQ(EncodeSubmission(text).size(), 80u);
    EXPECT_EQ(Decode(EncodeSubmission(text)), text);

    // One character more: four "0" make it 55.
    EXPECT_EQ(BuildSubmissionText("ABCD", 1234, "_______"),
              "type=0|name=ABCD|score=1234|key=" + key + "|p=|add=_______|z=0000");

    EXPECT_TRUE(BuildSubmissionText("", -7, "\xC4").starts_with("type=0|name=|score=-7|key="));

    // No country goes as the underscores the server reads as none.
    EXPECT_EQ(BuildSubmissionText("ABC", 1234, ""), text);
}

TEST(SubmissionKey, IsOneCapitalLetter) {
    EXPECT_GE(kSubmissionKey, 'A');
    EXPECT_LE(kSubmissionKey, 'Z');
}

class RecordingHttp : public IHttpClient {
  public:
    enum class Answer { Ok, Fail, Throw };
    explicit RecordingHttp(Answer answer) : answer_(answer) {}
    bool Get(const HttpRequest& request) override {
        requests.push_back(request);
        if (answer_ == Answer::Throw) throw std::runtime_error("connection refused");
        return answer_ == Answer::Ok;
    }
    std::vector<HttpRequest> requests;

  private:
    Answer answer_;
};

TEST(SubmitScore, SendsOneGetWithTheEncodedResultAndTheFixedHeaders) {
    RecordingHttp http(RecordingHttp::Answer::Ok);
    EXPECT_TRUE(SubmitScore(http, "http://scores.example.test:8123", "ABC", 1234, "_______"));
    ASSERT_EQ(http.requests.size(), 1u);
    const HttpRequest& request = http.requests[0];

    const std::string prefix = "http://scores.example.test:8123/cgi/version.pl?hs&prg=Vorlane&inf=";
    ASSERT_EQ(request.url.substr(0, prefix.size()), prefix);
    const std::string encoded = request.url.substr(prefix.size());
    EXPECT_EQ(encoded, EncodeSubmission(BuildSubmissionText("ABC", 1234, "_______")));
    EXPECT_EQ(Decode(encoded), BuildSubmissionText("ABC", 1234, "_______"));

    EXPECT_EQ(request.headers, (std::vector<std::string>{
                                   "Accept: text/html, */*",
                                   "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
                                   "Content-Type: text/html",
                               }));
    // The game stands still while the request runs: the wait must be bounded.
    EXPECT_GT(request.connectTimeoutMs, 0);
    EXPECT_LE(request.connectTimeoutMs, 5000);
    EXPECT_GE(request.totalTimeoutMs, request.connectTimeoutMs);
    EXPECT_LE(request.totalTimeoutMs, 15000);
}

TEST(SubmitScore, AFailedRequestIsSwallowed) {
    THighScoreTable table;
    table.InsertScore("ABC", 6000);
    const std::string checkBefore = table.HighScoreCheck();

    for (auto answer : {RecordingHttp::Answer::Fail, RecordingHttp::Answer::Throw}) {
        RecordingHttp http(answer);
        bool sent = true;
        EXPECT_NO_THROW(sent = SubmitScore(http, online::kDefaultServerUrl, table.Entry(1).Name,
                                           table.Entry(1).Score, "_______"));
        EXPECT_FALSE(sent);
        EXPECT_EQ(http.requests.size(), 1u) << "no retry";
    }
    EXPECT_EQ(table.HighScoreCheck(), checkBefore);
    EXPECT_EQ(table.Entry(1).Name, "ABC");
}

class RecordingShell : public IShell {
  public:
    void Open(const std::string& target) override {
        opened.push_back(target);
        if (fail) throw std::runtime_error("no handler");
    }
    std::vector<std::string> opened;
    bool fail = false;
};

TEST(WebLinks, AddressesOnTheGamesServer) {
    EXPECT_EQ(OnlineTableUrl("http://127.0.0.1:8080"),
              "http://127.0.0.1:8080/cgi/version.pl?prg=Vorlane&show&type=0");
    EXPECT_EQ(HomePageUrl("http://127.0.0.1:8080"), "http://127.0.0.1:8080/");
    EXPECT_EQ(HomePageUrl("https://example.test/games"), "https://example.test/games/");

    RecordingShell shell;
    shell.fail = true;
    EXPECT_NO_THROW(OpenUrl(shell, OnlineTableUrl("http://example.test")));
    EXPECT_EQ(shell.opened, std::vector<std::string>{OnlineTableUrl("http://example.test")});
}

TEST(GoToLink, OpensPlayUrlOnlyWhenItExists) {
    testing::TempDataRoot root;
    RecordingShell shell;
    EXPECT_FALSE(GoToLink(shell, root.Path()));
    EXPECT_TRUE(shell.opened.empty());

    root.Write(root.Path() / "play.url", "[InternetShortcut]\r\nURL=http://example.invalid/\r\n");
    shell.fail = true;
    EXPECT_TRUE(GoToLink(shell, root.Path()));
    EXPECT_EQ(shell.opened, std::vector<std::string>{(root.Path() / "play.url").string()});
}

} // namespace
} // namespace vorlane
