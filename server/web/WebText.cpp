#include "web/WebText.h"

#include <ctime>

#include "submission/Submission.h"

namespace vorlane::scores {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void AppendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool Shown(char32_t cp) {
    const bool control = cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    const bool nonCharacter = (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE;
    // Marks that turn the direction of the text around could garble the table.
    const bool bidiControl = (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
    return !control && !surrogate && !nonCharacter && !bidiControl && cp <= 0x10FFFF;
}

// Calls emit(codePoint) for every code point, U+FFFD for what is not shown.
template <class Emit> void ForEachCodePoint(std::string_view text, Emit emit) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            length = 1, cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, cp = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, cp = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, cp = lead & 0x07, minimum = 0x10000;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (valid && cp >= minimum) {
            emit(Shown(cp) ? cp : U'\uFFFD');
            i += length;
        } else {
            emit(U'\uFFFD');
            i += 1;
        }
    }
}

} // namespace

std::string CleanUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp) { AppendCodePoint(out, cp); });
    return out;
}

std::string HtmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    ForEachCodePoint(text, [&](char32_t cp) {
        switch (cp) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            AppendCodePoint(out, cp);
        }
    });
    return out;
}

std::string JsonText(std::string_view text) {
    std::string out = "\"";
    ForEachCodePoint(text, [&](char32_t cp) {
        switch (cp) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '<':
            out += "\\u003c";
            break;
        case '>':
            out += "\\u003e";
            break;
        case '&':
            out += "\\u0026";
            break;
        case '\'':
            out += "\\u0027";
            break;
        default:
            AppendCodePoint(out, cp);
        }
    });
    out += '"';
    return out;
}

std::string UrlQueryValue(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string IsoUtcTime(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string ShownName(std::string_view name) {
    return name.empty() ? "-" : std::string(name);
}

std::string ShownCountry(std::string_view country) {
    return country.empty() || country == kDefaultCountry ? "-" : std::string(country);
}

} // namespace vorlane::scores
