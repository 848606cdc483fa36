#include "replay/ReplayBytes.h"

#include <bit>

namespace vorlane {

void ReplayByteWriter::Fixed(uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out_.push_back(uint8_t(value >> (8 * i)));
}

void ReplayByteWriter::Varint(uint64_t value) {
    while (value >= 0x80) {
        out_.push_back(uint8_t(value | 0x80));
        value >>= 7;
    }
    out_.push_back(uint8_t(value));
}

void ReplayByteWriter::Text(const std::string& s) {
    Varint(s.size());
    out_.insert(out_.end(), s.begin(), s.end());
}

void ReplayByteWriter::Real(double value) {
    Fixed(std::bit_cast<uint64_t>(value), 8);
}

void ReplayByteReader::Fail(const std::string& message) {
    throw ReplayError("replay: " + message);
}

uint8_t ReplayByteReader::Byte(const char* what) {
    if (pos_ >= size_) Fail(std::string("the body ends inside ") + what);
    return data_[pos_++];
}

uint64_t ReplayByteReader::Fixed(int bytes, const char* what) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= uint64_t(Byte(what)) << (8 * i);
    return value;
}

uint64_t ReplayByteReader::Varint(const char* what) {
    uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const uint8_t b = Byte(what);
        // The tenth byte may only carry the top bit of a 64-bit value.
        if (shift == 63 && b > 1) break;
        value |= uint64_t(b & 0x7F) << shift;
        if ((b & 0x80) == 0) return value;
    }
    Fail(std::string("a number too long in ") + what);
}

int64_t ReplayByteReader::Signed(const char* what) {
    const uint64_t z = Varint(what);
    return int64_t(z >> 1) ^ -int64_t(z & 1);
}

namespace {

[[noreturn]] void OutOfRange(const char* what, const std::string& value, int64_t lo, int64_t hi) {
    ReplayByteReader::Fail(std::string(what) + " " + value + " is outside " + std::to_string(lo) + ".." +
                           std::to_string(hi));
}

} // namespace

int64_t ReplayByteReader::Ranged(const char* what, int64_t lo, int64_t hi) {
    const uint64_t v = Varint(what);
    if (v > uint64_t(INT64_MAX) || int64_t(v) < lo || int64_t(v) > hi)
        OutOfRange(what, std::to_string(v), lo, hi);
    return int64_t(v);
}

int64_t ReplayByteReader::SignedRanged(const char* what, int64_t lo, int64_t hi) {
    const int64_t v = Signed(what);
    if (v < lo || v > hi) OutOfRange(what, std::to_string(v), lo, hi);
    return v;
}

std::string ReplayByteReader::Text(const char* what, size_t maxLength) {
    const uint64_t length = Varint(what);
    if (length > maxLength) Fail(std::string(what) + " of " + std::to_string(length) + " bytes is too long");
    if (length > Left()) Fail(std::string("the body ends inside ") + what);
    std::string s(reinterpret_cast<const char*>(data_ + pos_), size_t(length));
    pos_ += size_t(length);
    return s;
}

double ReplayByteReader::Real(const char* what) {
    return std::bit_cast<double>(Fixed(8, what));
}

} // namespace vorlane
