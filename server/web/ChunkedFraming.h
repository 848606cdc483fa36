#pragma once
// Follows the framing of a body sent with Transfer-Encoding: chunked, byte by byte
// as the server reads it, and says when it breaks: a size line that is not hex, a
// chunk with more (or fewer) bytes than its size line declares, a line end missing.
// httplib itself takes a chunk followed by anything but its line end as the end of
// the body and would read the bytes after it as the next request; this is how the
// server sees such a body for what it is.
#include <cstddef>
#include <cstdint>

namespace vorlane::scores {

class ChunkedFraming {
  public:
    // Takes the next bytes of the body; false from the first byte that breaks the
    // framing on (the rest is not looked at).
    bool Take(const char* bytes, size_t count);
    bool Broken() const { return state_ == State::Broken; }
    // The last chunk and the trailer's empty line have been seen.
    bool Complete() const { return state_ == State::Done; }

  private:
    enum class State {
        Size,         // hex digits of a chunk's size
        Extension,    // ";name=value" after the size, up to the line end
        SizeLineFeed, // the LF after the size line's CR
        Data,         // `left_` bytes of data
        DataReturn,   // the CR after the data
        DataLineFeed, // the LF after it
        TrailerStart, // after the last chunk: a trailer line or the empty line
        Trailer,      // a trailer line, up to its CR
        TrailerLineFeed,
        EndLineFeed, // the LF of the empty line that ends the body
        Done,
        Broken,
    };
    bool Step(char c);

    State state_ = State::Size;
    uint64_t left_ = 0;
    int digits_ = 0;
};

} // namespace vorlane::scores
