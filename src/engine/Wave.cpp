#include "engine/Wave.h"

#include "engine/Types.h"

#include <algorithm>
#include <cstring>

namespace vorlane {

namespace {

uint32_t U32At(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

bool IdAt(std::span<const uint8_t> b, size_t at, const char* id) {
    return std::memcmp(b.data() + at, id, 4) == 0;
}

} // namespace

TWave TWave::FromRiff(std::span<const uint8_t> bytes) {
    if (bytes.size() < 12 || !IdAt(bytes, 0, "RIFF") || !IdAt(bytes, 8, "WAVE")) {
        throw EngineError("Wave is invalid");
    }
    TWave wave;
    size_t pos = 12;
    // A chunk needs its whole 8-byte header; a shorter tail ends the scan.
    while (bytes.size() - pos >= 8) {
        if (IdAt(bytes, pos, "\0\0\0\0")) break;
        const bool isFormat = IdAt(bytes, pos, "fmt ");
        const bool isData = IdAt(bytes, pos, "data");
        const uint64_t size = U32At(bytes, pos + 4);
        pos += 8;
        const size_t available = bytes.size() - pos;
        const size_t taken = size_t(std::min<uint64_t>(size, available));
        const auto contents = bytes.subspan(pos, taken);
        if (isFormat) wave.Format.assign(contents.begin(), contents.end());
        if (isData) wave.Data.assign(contents.begin(), contents.end());
        if (taken < size) break; // the chunk was cut off: nothing can follow it
        pos += taken;
    }
    return wave;
}

} // namespace vorlane
