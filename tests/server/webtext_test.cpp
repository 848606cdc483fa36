// What leaves the server for a browser or a JSON client, whatever the table holds.
#include <gtest/gtest.h>

#include "web/WebText.h"

namespace vorlane::scores {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(WebText, BrokenOrDangerousTextComesOutCleanAndEscaped) {
    struct Case {
        std::string stored;
        std::string html;
        std::string json;
    };
    const Case cases[] = {
        {"ABC", "ABC", "\"ABC\""},
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;",
         "\"\\u003cscript\\u003ealert(1)\\u003c/script\\u003e\""},
        {"\"><img src=x>", "&quot;&gt;&lt;img src=x&gt;", "\"\\\"\\u003e\\u003cimg src=x\\u003e\""},
        {"a'b&c\\d", "a&#39;b&amp;c\\d", "\"a\\u0027b\\u0026c\\\\d\""},
        {"J\xC3\xB6rg", "J\xC3\xB6rg", "\"J\xC3\xB6rg\""},                     // UTF-8 stays
        {"J\xF6rg", "J" + kReplacement + "rg", "\"J" + kReplacement + "rg\""}, // a lone Latin-1 byte does not
        {"\xC3\x28", kReplacement + "(", "\"" + kReplacement + "(\""},         // a broken sequence
        {"\xC0\xAF", kReplacement + kReplacement,
         "\"" + kReplacement + kReplacement + "\""},                // an overlong '/'
        {"\xED\xA0\x80", kReplacement, "\"" + kReplacement + "\""}, // a surrogate
        {std::string("a\0b\n\x1B\x7F", 6),
         "a" + kReplacement + "b" + kReplacement + kReplacement + kReplacement,
         "\"a" + kReplacement + "b" + kReplacement + kReplacement + kReplacement + "\""},
        {"\xE2\x80\xAE"
         "evil",
         kReplacement + "evil", "\"" + kReplacement + "evil\""},          // right-to-left override
        {"\xF0\x9F\x8F\x81", "\xF0\x9F\x8F\x81", "\"\xF0\x9F\x8F\x81\""}, // a four-byte character
        {"\xF0\x9F\x8F", kReplacement + kReplacement + kReplacement,
         "\"" + kReplacement + kReplacement + kReplacement + "\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HtmlText(c.stored), c.html) << ::testing::PrintToString(c.stored);
        EXPECT_EQ(JsonText(c.stored), c.json) << ::testing::PrintToString(c.stored);
    }
}

TEST(WebText, QueryValuesAndTimes) {
    EXPECT_EQ(UrlQueryValue("New Zealand&x=<1>"), "New%20Zealand%26x%3D%3C1%3E");
    EXPECT_EQ(UrlQueryValue("_______"), "_______");
    EXPECT_EQ(UrlQueryValue("\xC3\x96"), "%C3%96");
    EXPECT_EQ(IsoUtcTime(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(IsoUtcTime(1'797'000'000), "2026-12-11T14:40:00Z");
    EXPECT_EQ(ShownName(""), "-");
    EXPECT_EQ(ShownName("ABC"), "ABC");
    EXPECT_EQ(ShownCountry("_______"), "-");
    EXPECT_EQ(ShownCountry(""), "-");
    EXPECT_EQ(ShownCountry("__"), "__");
}

} // namespace
} // namespace vorlane::scores
