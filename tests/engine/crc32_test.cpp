// CRC-32 as zip and PNG compute it, in one go or in pieces.
#include "engine/Crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

TEST(Crc32, MatchesTheZipCheckValuesAndContinuesAcrossPieces) {
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
    EXPECT_EQ(Crc32("56789", Crc32("1234")), 0xCBF43926u);
    // One changed bit anywhere changes it.
    std::string text = "a replay body of some length";
    const uint32_t whole = Crc32(text);
    for (size_t i = 0; i < text.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string changed = text;
            changed[i] = char(changed[i] ^ (1 << bit));
            EXPECT_NE(Crc32(changed), whole) << i << ":" << bit;
        }
    }
}

} // namespace
} // namespace vorlane
