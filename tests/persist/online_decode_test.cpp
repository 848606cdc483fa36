#include <gtest/gtest.h>

#include <string>

#include "persist/OnlineConfig.h"
#include "persist/OnlineScore.h"

namespace vorlane {
namespace {

TEST(DecodeSubmission, RoundTripsEveryLengthAndEveryByte) {
    // Every byte value in every position of texts of 0 to 12 characters, so that
    // each count of leading zero bits (0, 2, 4, 1, 3) is met.
    for (size_t length = 0; length <= 12; ++length) {
        for (int byte = 0; byte < 256; byte += 17) {
            std::string text;
            for (size_t i = 0; i < length; ++i)
                text += static_cast<char>((byte + 31 * i) & 0xFF);
            const std::string encoded = EncodeSubmission(text);
            const SubmissionDecoding decoded = DecodeSubmission(encoded);
            ASSERT_TRUE(decoded.ok) << "length " << length << ": " << decoded.error;
            EXPECT_EQ(decoded.text, text) << "length " << length << " byte " << byte;
        }
    }

    // The game's own example: 50 characters become 80 and come back unchanged.
    const std::string text = BuildSubmissionText("ABC", 1234, "_______");
    const std::string encoded = EncodeSubmission(text);
    ASSERT_EQ(encoded.size(), 80u);
    EXPECT_EQ(DecodeSubmission(encoded).text, text);
}

TEST(DecodeSubmission, RefusesWhatNoTextEncodesTo) {
    struct Case {
        const char* encoded;
        const char* reasonPart;
    };
    const Case cases[] = {
        {"Q", "length"},                             // 5 bits: not one whole character
        {"QT6", "length"},                           // 15 bits: one character and 7 bits over
        {"QT61A3", "length"},                        // 30 bits: three characters and 6 over
        {"QT61A3KZ", "alphabet"},                    // Z is left out of the alphabet
        {"QT61A3K0", "alphabet"},                    // so is 0
        {"qt61a3k7", "alphabet"},                    // lower case is not the same letter
        {"QT61 3K7", "alphabet"}, {"9B", "padding"}, // "A" with its two zero bits in front set to one
        {"QSLC", "padding"},                         // "AB" with its four zero bits in front not zero
    };
    for (const Case& c : cases) {
        const SubmissionDecoding decoded = DecodeSubmission(c.encoded);
        EXPECT_FALSE(decoded.ok) << c.encoded;
        EXPECT_NE(decoded.error.find(c.reasonPart), std::string::npos) << c.encoded << ": " << decoded.error;
        EXPECT_EQ(decoded.error.find('\n'), std::string::npos);
    }
}

} // namespace
} // namespace vorlane
