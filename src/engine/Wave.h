#pragma once
// A recording as the sound archive stores it: the "fmt " block of a RIFF WAVE file and
// its sample data, kept as they stand for the sound device to interpret.
#include <cstdint>
#include <span>
#include <vector>

namespace vorlane {

class TWave {
  public:
    std::vector<uint8_t> Format; // contents of the "fmt " chunk, any length
    std::vector<uint8_t> Data;   // contents of the "data" chunk

    // Only a recording with sample data can be played.
    bool Playable() const { return !Data.empty(); }

    // Reads a whole RIFF WAVE file. A head that is not "RIFF", size, "WAVE" throws
    // EngineError "Wave is invalid". Chunks follow until the end of the bytes or a
    // chunk id of four zero bytes; a later "fmt " or "data" chunk replaces an earlier
    // one, other chunks are skipped, and no pad byte is skipped after an odd size. A
    // chunk whose size runs past the end keeps the bytes that are there and ends the
    // scan (a cut-off file still plays what it holds).
    static TWave FromRiff(std::span<const uint8_t> bytes);
};

} // namespace vorlane
