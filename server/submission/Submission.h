#pragma once
// A result as the game sends it, checked field by field before the score server
// keeps it. The game builds "type=0|name=..|score=..|key=K|p=|add=..|z=" padded
// with "0" to a multiple of five characters and sends it base-32 encoded; see
// wire/SubmissionText.h for both directions of the encoding.
#include <cstdint>
#include <string>
#include <string_view>

namespace vorlane::scores {

inline constexpr size_t kMaxNameLength = 12;
inline constexpr size_t kMaxCountryLength = 16;
inline constexpr int64_t kMaxScore = 100'000'000;
inline constexpr int64_t kScoreStep = 5;
inline constexpr std::string_view kDefaultCountry = "_______";

// A checked result. Name and country are UTF-8 (the game sends Latin-1 bytes).
struct Submission {
    std::string name;
    std::string country;
    int64_t score = 0;
};

struct SubmissionCheck {
    bool ok = false;
    Submission submission; // when ok
    std::string error;     // one line, when not ok
};

// Splits and checks a decoded submission text. `expectedKey` is the letter the
// server was told to accept.
SubmissionCheck ParseSubmissionText(std::string_view text, char expectedKey);

// Decodes the "inf" value of a submission request, then parses it.
SubmissionCheck ParseEncodedSubmission(std::string_view encoded, char expectedKey);

// Letters (ASCII and the Latin-1 letters), digits and space: what a name may hold.
bool IsNameByte(unsigned char c);

// Latin-1 bytes as UTF-8: every byte is one code point.
std::string Latin1ToUtf8(std::string_view bytes);

} // namespace vorlane::scores
