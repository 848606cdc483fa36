#pragma once
// A file's answer to a request's Range header. The server honours one byte range
// on a replay file (a download that was cut off can go on); a list of several
// ranges gets the whole file, so that a short request can never ask for the same
// bytes many times over. Pages and JSON ignore Range altogether.
#include <cstddef>
#include <string_view>

namespace vorlane::scores {

// The name under which a handler finds the request's Range header: the server hands
// it to httplib renamed, so that httplib neither applies ranges nor refuses a unit it
// does not know (GuardedServer).
inline constexpr std::string_view kRangeHeader = "X-Vorlane-Range";

struct ByteRangeAnswer {
    enum class Kind { Whole, Part, Unsatisfiable } kind = Kind::Whole;
    size_t offset = 0; // Part: the first byte
    size_t length = 0; // Part: how many bytes from it
};

// `header` is the Range header's value (empty when there is none); `size` the file's.
// Whole for no header, anything that is not one "bytes=" range, or a range that
// covers the file; Unsatisfiable for one range that starts past the end.
ByteRangeAnswer AnswerRange(std::string_view header, size_t size);

} // namespace vorlane::scores
