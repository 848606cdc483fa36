// The server's reading of the game's submission, through the game's own encoder.
#include <gtest/gtest.h>

#include "persist/OnlineScore.h"
#include "submission/Submission.h"
#include "wire/SubmissionText.h"

namespace vorlane::scores {
namespace {

constexpr char kKey = kSubmissionKey;

std::string Padded(std::string text) {
    while (text.size() % 5 != 0)
        text += '0';
    return text;
}

std::string WithKey(const std::string& before, const std::string& after) {
    return before + std::string(1, kKey) + after;
}

TEST(ParseSubmission, TakesWhatTheGameSends) {
    struct Case {
        std::string name;
        int score;
        std::string country;
        std::string expectName; // UTF-8
        std::string expectCountry;
    };
    const Case cases[] = {
        {"ABC", 1235, "_______", "ABC", "_______"},
        {"", 0, "_______", "", "_______"}, // the game can send an empty name
        {"Player Twelv", 100'000'000, "Germany", "Player Twelv", "Germany"}, // 12 characters, the top score
        {"J\xF6rg", 5, "\xD6sterreich", "J\xC3\xB6rg",
         "\xC3\x96sterreich"},         // Latin-1 bytes come out as UTF-8
        {"x", 50, "", "x", "_______"}, // no country goes online as the line to write on
        {"a1 b2", 995, "New_Zealand 2", "a1 b2", "New_Zealand 2"},
        {"Z", 10, "ABCDEFGHIJKLMNOP", "Z", "ABCDEFGHIJKLMNOP"}, // 16 characters of country
    };
    for (const Case& c : cases) {
        const std::string encoded = EncodeSubmission(BuildSubmissionText(c.name, c.score, c.country));
        const SubmissionCheck check = ParseEncodedSubmission(encoded, kKey);
        ASSERT_TRUE(check.ok) << c.name << ": " << check.error;
        EXPECT_EQ(check.submission.name, c.expectName);
        EXPECT_EQ(check.submission.country, c.expectCountry);
        EXPECT_EQ(check.submission.score, c.score);
    }
}

TEST(ParseSubmission, RefusesEveryBrokenRuleWithItsReason) {
    struct Case {
        std::string text; // padded before the test
        const char* reasonPart;
    };
    const Case cases[] = {
        {"", "empty"},
        {WithKey("type=0|name=ABC|score=1234|key=", "|p=|add=_______|z="), "multiple of 5"},
        {WithKey("type=0|name=ABC|score=-5|key=", "|p=|add=_______|z="), "whole number"},
        {WithKey("type=0|name=ABC|score=100000005|key=", "|p=|add=_______|z="), "above"},
        {WithKey("type=0|name=ABC|score=05|key=", "|p=|add=_______|z="), "whole number"},
        {WithKey("type=0|name=ABC|score=|key=", "|p=|add=_______|z="), "whole number"},
        {WithKey("type=0|name=ABC|score=5x|key=", "|p=|add=_______|z="), "whole number"},
        {WithKey("type=0|name=ABC|score=99999999999999999999|key=", "|p=|add=_______|z="), "whole number"},
        {WithKey("type=0|name=ThirteenChars|score=5|key=", "|p=|add=_______|z="), "name is longer"},
        {WithKey("type=0|name=<b>|score=5|key=", "|p=|add=_______|z="), "name may hold"},
        {WithKey("type=0|name=A_B|score=5|key=", "|p=|add=_______|z="), "name may hold"},
        {WithKey("type=0|name=A\tB|score=5|key=", "|p=|add=_______|z="), "name may hold"},
        {WithKey("type=0|name=A\xD7|score=5|key=", "|p=|add=_______|z="),
         "name may hold"}, // the multiplication sign
        {WithKey("type=0|name=ABC|score=5|key=", "|p=|add=ABCDEFGHIJKLMNOPQ|z="), "country is longer"},
        {WithKey("type=0|name=ABC|score=5|key=", "|p=|add=a&b|z="), "country may hold"},
        {"type=0|name=ABC|score=5|key=" + std::string(1, kKey == 'Q' ? 'R' : 'Q') + "|p=|add=_______|z=",
         "wrong key"},
        {"type=0|name=ABC|score=5|key=|p=|add=_______|z=", "wrong key"},
        {WithKey("type=0|name=ABC|score=5|key=", "|p=1|add=_______|z="), "p must be empty"},
        {WithKey("type=1|name=ABC|score=5|key=", "|p=|add=_______|z="), "type must be 0"},
        {WithKey("type=0|score=5|name=ABC|key=", "|p=|add=_______|z="), "expected field name"},
        {WithKey("type=0|name=ABC|score=5|key=", "|p=|add=_______"), "field z is missing"},
        {WithKey("type=0|name=ABC|score=5|key=", "|add=_______|z="), "expected field p"},
        {WithKey("type=0|name=ABC|score=5|key=", "|p=|add=_______|z=|x="), "text after"},
        {WithKey("type=0|name=ABC|score=5|key=", "|p=|add=_______|z=1"), "padding zeros"},
        {"hello", "expected field type"},
    };
    for (const Case& c : cases) {
        const std::string text = Padded(c.text);
        const SubmissionCheck check = ParseSubmissionText(text, kKey);
        EXPECT_FALSE(check.ok) << ::testing::PrintToString(text);
        EXPECT_NE(check.error.find(c.reasonPart), std::string::npos)
            << ::testing::PrintToString(text) << " gave: " << check.error;
        EXPECT_EQ(check.error.find('\n'), std::string::npos);
        // The same through the encoding: the reason survives the way in.
        const SubmissionCheck encoded = ParseEncodedSubmission(EncodeSubmission(text), kKey);
        EXPECT_FALSE(encoded.ok);
        EXPECT_EQ(encoded.error, check.error);
    }

    // Not padded to five characters: the decoder takes it, the text check does not.
    EXPECT_NE(ParseSubmissionText(WithKey("type=0|name=AB|score=5|key=", "|p=|add=_______|z="), kKey)
                  .error.find("padded"),
              std::string::npos);
    // Refused before the text is looked at.
    EXPECT_NE(ParseEncodedSubmission("QT6", kKey).error.find("length"), std::string::npos);
    EXPECT_NE(ParseEncodedSubmission("QT61A3KZ", kKey).error.find("alphabet"), std::string::npos);
}

TEST(ParseSubmission, AnotherKeyLetterIsOnlyTakenWhenAskedFor) {
    const std::string text = Padded("type=0|name=ABC|score=5|key=Q|p=|add=_______|z=");
    EXPECT_TRUE(ParseSubmissionText(text, 'Q').ok);
    if (kKey != 'Q') {
        EXPECT_FALSE(ParseSubmissionText(text, kKey).ok);
    }
}

TEST(Latin1ToUtf8, EveryByteIsOneCodePoint) {
    EXPECT_EQ(Latin1ToUtf8("abc"), "abc");
    EXPECT_EQ(Latin1ToUtf8("\xC4\xE9\xFF"), "\xC3\x84\xC3\xA9\xC3\xBF");
    EXPECT_EQ(Latin1ToUtf8(std::string("\x80\x00", 2)), std::string("\xC2\x80\x00", 3));
}

} // namespace
} // namespace vorlane::scores
