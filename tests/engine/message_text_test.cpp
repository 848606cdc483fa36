#include "engine/MessageText.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ExcerptForMessage, ShowsEveryByteAndStaysShort) {
    struct Case {
        const char* what;
        std::string text;
        std::string excerpt;
    };
    const std::string sixty(60, 'A');
    const Case cases[] = {
        {"plain text as it is", "Loop", "Loop"},
        {"empty", "", ""},
        {"a byte above 127",
         "Loop\xE9"
         "d",
         "Loop\\xE9d"},
        {"control bytes", std::string("a\r\n\t\0b", 6), "a\\x0D\\x0A\\x09\\x00b"},
        {"DEL", "\x7F", "\\x7F"},
        {"a backslash doubled", "Data\\Save", "Data\\\\Save"},
        {"exactly the bound: no ellipsis", sixty, sixty},
        {"one past the bound", sixty + "B", sixty + "..."},
        {"a megabyte", std::string(1 << 20, 'x'), std::string(60, 'x') + "..."},
        {"an escape is never cut in half", std::string(58, 'A') + "\xFF", std::string(58, 'A') + "..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExcerptForMessage(c.text), c.excerpt) << c.what;
    EXPECT_EQ(ExcerptForMessage("abcdef", 3), "abc...");
}

} // namespace
} // namespace vorlane
