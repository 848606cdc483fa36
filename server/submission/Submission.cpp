#include "submission/Submission.h"

#include <array>
#include <charconv>

#include "wire/SubmissionText.h"

namespace vorlane::scores {
namespace {

constexpr std::array<std::string_view, 7> kFieldOrder{"type", "name", "score", "key", "p", "add", "z"};

SubmissionCheck Refuse(std::string error) {
    SubmissionCheck check;
    check.error = std::move(error);
    return check;
}

bool AllBytes(std::string_view s, bool (*allowed)(unsigned char)) {
    for (char c : s)
        if (!allowed(static_cast<unsigned char>(c))) return false;
    return true;
}

bool IsCountryByte(unsigned char c) {
    return IsNameByte(c) || c == '_';
}

} // namespace

bool IsNameByte(unsigned char c) {
    const bool asciiLetter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool digit = c >= '0' && c <= '9';
    // Latin-1 letters: C0..FF without the multiplication and division signs.
    const bool latinLetter = c >= 0xC0 && c != 0xD7 && c != 0xF7;
    return asciiLetter || digit || latinLetter || c == ' ';
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            utf8 += ch;
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

SubmissionCheck ParseSubmissionText(std::string_view text, char expectedKey) {
    if (text.empty()) return Refuse("submission is empty");
    if (text.size() % 5 != 0) return Refuse("submission text is not padded to a multiple of 5 characters");

    // No allowed value holds a '|', so the fields are the pieces between them.
    std::array<std::string_view, kFieldOrder.size()> values{};
    std::string_view rest = text;
    for (size_t i = 0; i < kFieldOrder.size(); ++i) {
        const size_t bar = rest.find('|');
        const bool last = i + 1 == kFieldOrder.size();
        const std::string_view field = last ? rest : rest.substr(0, bar);
        const size_t equals = field.find('=');
        if (equals == std::string_view::npos || field.substr(0, equals) != kFieldOrder[i])
            return Refuse("expected field " + std::string(kFieldOrder[i]) + " in place " +
                          std::to_string(i + 1));
        if (last && bar != std::string_view::npos) return Refuse("text after the z field");
        if (!last && bar == std::string_view::npos)
            return Refuse("field " + std::string(kFieldOrder[i + 1]) + " is missing");
        values[i] = field.substr(equals + 1);
        if (!last) rest.remove_prefix(bar + 1);
    }
    const auto [type, name, scoreText, key, p, country, padding] = values;

    if (type != "0") return Refuse("type must be 0");
    if (name.size() > kMaxNameLength)
        return Refuse("name is longer than " + std::to_string(kMaxNameLength) + " characters");
    if (!AllBytes(name, IsNameByte)) return Refuse("name may hold only letters, digits and spaces");

    int64_t score = -1;
    const char* end = scoreText.data() + scoreText.size();
    const bool canonical = !scoreText.empty() && (scoreText.size() == 1 || scoreText[0] != '0');
    if (!canonical || std::from_chars(scoreText.data(), end, score).ptr != end || score < 0)
        return Refuse("score is not a whole number from 0 up");
    if (score > kMaxScore) return Refuse("score is above " + std::to_string(kMaxScore));
    if (score % kScoreStep != 0) return Refuse("score is not a multiple of " + std::to_string(kScoreStep));

    if (key.size() != 1 || key[0] != expectedKey) return Refuse("wrong key");
    if (!p.empty()) return Refuse("field p must be empty");
    if (country.size() > kMaxCountryLength)
        return Refuse("country is longer than " + std::to_string(kMaxCountryLength) + " characters");
    if (!AllBytes(country, IsCountryByte))
        return Refuse("country may hold only letters, digits, spaces and underscores");
    if (padding.find_first_not_of('0') != std::string_view::npos || padding.size() >= 5)
        return Refuse("z field must be the padding zeros only");

    SubmissionCheck check;
    check.ok = true;
    check.submission.name = Latin1ToUtf8(name);
    check.submission.country = Latin1ToUtf8(country);
    check.submission.score = score;
    return check;
}

SubmissionCheck ParseEncodedSubmission(std::string_view encoded, char expectedKey) {
    const SubmissionDecoding decoded = DecodeSubmission(encoded);
    if (!decoded.ok) return Refuse(decoded.error);
    return ParseSubmissionText(decoded.text, expectedKey);
}

} // namespace vorlane::scores
