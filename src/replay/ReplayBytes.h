#pragma once
// The replay file's building blocks: little-endian fixed-width numbers and varints
// (seven bits a byte, low bits first, the high bit set on every byte but the last),
// with zigzag for signed values. Reading never goes past the end: it throws a
// ReplayError naming what was being read instead.
#include "replay/ReplayData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane {

class ReplayByteWriter {
  public:
    explicit ReplayByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Byte(uint8_t b) { out_.push_back(b); }
    void Fixed(uint64_t value, int bytes);
    void Varint(uint64_t value);
    void Signed(int64_t value) { Varint((uint64_t(value) << 1) ^ uint64_t(value >> 63)); }
    void Text(const std::string& s);
    void Real(double value); // the IEEE bits, exactly

  private:
    std::vector<uint8_t>& out_;
};

class ReplayByteReader {
  public:
    ReplayByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    // what: the field being read, for the message when the bytes run out.
    uint8_t Byte(const char* what);
    uint64_t Fixed(int bytes, const char* what);
    uint64_t Varint(const char* what);
    int64_t Signed(const char* what);
    // A varint that must lie in lo..hi.
    int64_t Ranged(const char* what, int64_t lo, int64_t hi);
    int64_t SignedRanged(const char* what, int64_t lo, int64_t hi);
    std::string Text(const char* what, size_t maxLength);
    double Real(const char* what);

    size_t Position() const { return pos_; }
    size_t Left() const { return size_ - pos_; }

    [[noreturn]] static void Fail(const std::string& message);

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace vorlane
