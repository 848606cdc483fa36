#include "web/ChunkedFraming.h"

#include <algorithm>

namespace vorlane::scores {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

bool ChunkedFraming::Take(const char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (state_ == State::Data) {
            // Data bytes are not looked at, only counted.
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left_, count - i));
            left_ -= n;
            i += n - 1;
            if (left_ == 0) state_ = State::DataReturn;
            continue;
        }
        if (!Step(bytes[i])) {
            state_ = State::Broken;
            return false;
        }
    }
    return true;
}

bool ChunkedFraming::Step(char c) {
    switch (state_) {
    case State::Size:
        if (const int value = HexValue(c); value >= 0) {
            // Sixteen hex digits are more than any body the server takes.
            if (++digits_ > 15) return false;
            left_ = left_ * 16 + static_cast<uint64_t>(value);
            return true;
        }
        if (digits_ == 0) return false;
        if (c == ';' || c == ' ' || c == '\t') {
            state_ = State::Extension;
            return true;
        }
        if (c != '\r') return false;
        state_ = State::SizeLineFeed;
        return true;
    case State::Extension:
        if (c == '\n') return false;
        if (c == '\r') state_ = State::SizeLineFeed;
        return true;
    case State::SizeLineFeed:
        if (c != '\n') return false;
        digits_ = 0;
        state_ = left_ == 0 ? State::TrailerStart : State::Data;
        return true;
    case State::DataReturn:
        if (c != '\r') return false;
        state_ = State::DataLineFeed;
        return true;
    case State::DataLineFeed:
        if (c != '\n') return false;
        state_ = State::Size;
        return true;
    case State::TrailerStart:
        state_ = c == '\r' ? State::EndLineFeed : State::Trailer;
        return c != '\n';
    case State::Trailer:
        if (c == '\n') return false;
        if (c == '\r') state_ = State::TrailerLineFeed;
        return true;
    case State::TrailerLineFeed:
        if (c != '\n') return false;
        state_ = State::TrailerStart;
        return true;
    case State::EndLineFeed:
        if (c != '\n') return false;
        state_ = State::Done;
        return true;
    case State::Done:
        // Bytes after the body belong to the next request; the reader stops asking.
        return true;
    case State::Data:
    case State::Broken:
        break;
    }
    return false;
}

} // namespace vorlane::scores
