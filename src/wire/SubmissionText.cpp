#include "wire/SubmissionText.h"

namespace vorlane {

std::string BuildSubmissionText(std::string_view playerName, int32_t score, std::string_view country) {
    std::string text = "type=0";
    text += "|name=";
    text += playerName;
    text += "|score=";
    text += std::to_string(score);
    text += "|key=";
    text += kSubmissionKey;
    text += "|p=";
    text += "|add=";
    text += country.empty() ? kSubmissionNoCountry : country;
    text += "|z=";
    while (text.size() % 5 != 0)
        text += '0';
    return text;
}

std::string EncodeSubmission(std::string_view text) {
    const size_t dataBits = text.size() * 8;
    const size_t leadingZeros = (5 - dataBits % 5) % 5;
    const size_t totalBits = leadingZeros + dataBits;
    auto bitAt = [&](size_t i) -> unsigned {
        if (i < leadingZeros) return 0;
        i -= leadingZeros;
        return (static_cast<unsigned char>(text[i / 8]) >> (7 - i % 8)) & 1u;
    };

    std::string encoded;
    encoded.reserve(totalBits / 5);
    for (size_t group = 0; group < totalBits; group += 5) {
        unsigned v = 0;
        for (size_t b = 0; b < 5; ++b)
            v = (v << 1) | bitAt(group + b);
        encoded += kSubmissionAlphabet[v];
    }
    return encoded;
}

SubmissionDecoding DecodeSubmission(std::string_view encoded) {
    SubmissionDecoding result;
    const size_t totalBits = encoded.size() * 5;
    const size_t leadingZeros = totalBits % 8;
    if (leadingZeros >= 5) {
        result.error =
            "encoded length " + std::to_string(encoded.size()) + " does not decode to whole characters";
        return result;
    }
    std::string text;
    text.reserve(totalBits / 8);
    unsigned pending = 0; // bits read but not yet part of a character
    size_t pendingCount = 0;
    size_t bitsSeen = 0;
    for (size_t i = 0; i < encoded.size(); ++i) {
        const size_t v = kSubmissionAlphabet.find(encoded[i]);
        if (v == std::string_view::npos) {
            result.error = "character " + std::to_string(i + 1) + " is not in the submission alphabet";
            return result;
        }
        for (int b = 4; b >= 0; --b) {
            const unsigned bit = (v >> b) & 1u;
            if (bitsSeen++ < leadingZeros) {
                if (bit != 0) {
                    result.error = "the padding bits in front are not zero";
                    return result;
                }
                continue;
            }
            pending = (pending << 1) | bit;
            if (++pendingCount == 8) {
                text += static_cast<char>(pending);
                pending = 0;
                pendingCount = 0;
            }
        }
    }
    result.ok = true;
    result.text = std::move(text);
    return result;
}

} // namespace vorlane
