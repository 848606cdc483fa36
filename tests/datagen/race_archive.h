#pragma once
// Image list 2 as the game reads it, generated once for all the race picture tests.
#include "engine/Images.h"
#include "engine/Types.h"

#include <cstdint>
#include <vector>

namespace vorlane::datagen::test {

// The archive bytes of a generator run.
const std::vector<uint8_t>& RaceArchiveBytes();
// Those bytes read back with the game's archive reader.
TImageCollection& RaceImages();
// Pattern n of an item, cut from its decoded picture.
RgbaImage PatternOf(const TImageItem& item, int n);

inline int Alpha(uint32_t p) {
    return int(p >> 24);
}
inline int Red(uint32_t p) {
    return int((p >> 16) & 0xFF);
}
inline int Green(uint32_t p) {
    return int((p >> 8) & 0xFF);
}
inline int Blue(uint32_t p) {
    return int(p & 0xFF);
}

} // namespace vorlane::datagen::test
