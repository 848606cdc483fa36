#include "web/RequestScreen.h"

#include <algorithm>
#include <cctype>

namespace vorlane::scores {
namespace {

bool SameName(const std::string& a, const char* b) {
    const std::string_view other(b);
    return a.size() == other.size() && std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "007" and "7" are the same length.
std::string_view WithoutLeadingZeros(const std::string& digits) {
    const size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string_view("0") : std::string_view(digits).substr(first);
}

} // namespace

std::string MalformedHead(const httplib::Request& request) {
    const std::string* length = nullptr;
    const std::string* transferEncoding = nullptr;
    for (const auto& [name, value] : request.headers) {
        if (name.find('\0') != std::string::npos || value.find('\0') != std::string::npos)
            return "a NUL byte in a header";
        if (SameName(name, "Transfer-Encoding")) {
            if (transferEncoding || !SameName(value, "chunked"))
                return "a Transfer-Encoding other than one \"chunked\"";
            transferEncoding = &value;
        }
        if (!SameName(name, "Content-Length")) continue;
        if (!AllDigits(value)) return "Content-Length is not a whole number";
        if (length && WithoutLeadingZeros(*length) != WithoutLeadingZeros(value))
            return "two different Content-Length headers";
        length = &value;
    }
    if (length && transferEncoding) return "both Content-Length and Transfer-Encoding";
    return {};
}

bool HasChunkedBody(const httplib::Request& request) {
    return SameName(request.get_header_value("Transfer-Encoding"), "chunked");
}

} // namespace vorlane::scores
