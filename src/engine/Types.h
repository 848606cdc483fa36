#pragma once
// Plain value types shared by the engine, the platform layer and the tools.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlane {

// An integer rectangle, left/top inclusive, right/bottom exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
};

// A decoded picture: rows top-down, one 0xAARRGGBB value per pixel (straight, not
// premultiplied alpha). Opaque picture kinds give alpha 255 everywhere.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    RgbaImage() = default;
    RgbaImage(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    bool Empty() const { return width <= 0 || height <= 0; }
    uint32_t& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Every failure of the engine layer is reported with one of these, carrying the
// message the player (or the maintainer reading a crash box) sees.
class EngineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace vorlane
