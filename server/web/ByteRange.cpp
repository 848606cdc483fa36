#include "web/ByteRange.h"

#include <charconv>
#include <cstdint>

namespace vorlane::scores {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Digits only, within 64 bits; an empty text is "none".
bool ParseBound(std::string_view text, bool& present, uint64_t& value) {
    present = !text.empty();
    if (!present) return true;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc{} && ptr == end;
}

} // namespace

ByteRangeAnswer AnswerRange(std::string_view header, size_t size) {
    ByteRangeAnswer whole;
    constexpr std::string_view unit = "bytes=";
    header = Trimmed(header);
    if (!header.starts_with(unit)) return whole;
    const std::string_view rangeText = Trimmed(header.substr(unit.size()));
    if (rangeText.find(',') != std::string_view::npos) return whole; // several ranges: the whole file
    const size_t dash = rangeText.find('-');
    if (dash == std::string_view::npos) return whole;
    bool hasFirst = false;
    bool hasLast = false;
    uint64_t first = 0;
    uint64_t last = 0;
    if (!ParseBound(Trimmed(rangeText.substr(0, dash)), hasFirst, first) ||
        !ParseBound(Trimmed(rangeText.substr(dash + 1)), hasLast, last) || (!hasFirst && !hasLast) ||
        (hasFirst && hasLast && last < first))
        return whole;
    const uint64_t fileSize = size;
    if (!hasFirst) {
        // The last `last` bytes.
        if (last == 0) return {ByteRangeAnswer::Kind::Unsatisfiable, 0, 0};
        if (last >= fileSize) return whole;
        return {ByteRangeAnswer::Kind::Part, static_cast<size_t>(fileSize - last), static_cast<size_t>(last)};
    }
    if (first >= fileSize) return {ByteRangeAnswer::Kind::Unsatisfiable, 0, 0};
    const uint64_t end = hasLast && last < fileSize ? last + 1 : fileSize;
    if (first == 0 && end == fileSize) return whole;
    return {ByteRangeAnswer::Kind::Part, static_cast<size_t>(first), static_cast<size_t>(end - first)};
}

} // namespace vorlane::scores
