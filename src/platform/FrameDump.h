#pragma once
// A debugging aid: the game's frame written to a file whenever it changes, so that a
// test outside the game can compare what the window shows with what the game drew.
// The file is a binary PPM (P6, 8-bit RGB) replaced in one step, never half written;
// its folder must exist.
#include "engine/Types.h"

#include <string>

namespace vorlane {

// The frame as a binary PPM file's bytes.
std::string PpmBytes(const RgbaImage& frame);

class FrameDumpFile {
  public:
    explicit FrameDumpFile(std::string path) : path_(std::move(path)) {}
    // Writes the frame unless it equals the last one written. False when writing failed.
    bool Offer(const RgbaImage& frame);

  private:
    std::string path_;
    RgbaImage last_;
};

} // namespace vorlane
