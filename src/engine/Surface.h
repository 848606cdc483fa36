#pragma once
// What the engine needs from a display: textures made from pictures, and three ways
// of drawing a piece of a texture onto the back buffer. The platform layer serves it
// with SDL; tests may serve it with a recording fake.
#include "engine/Types.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vorlane {

// Colour-key pixels (0xRRGGBB, alpha aside) turned into 0: fully transparent.
inline void KeyPixels(uint32_t* pixels, size_t count, uint32_t keyRgb) {
    for (size_t i = 0; i < count; ++i)
        if ((pixels[i] & 0x00FFFFFFu) == keyRgb) pixels[i] = 0;
}

class ITexture {
  public:
    virtual ~ITexture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

class IDrawSurface {
  public:
    virtual ~IDrawSurface() = default;
    virtual int Width() const = 0;  // 800 in this game
    virtual int Height() const = 0; // 600 in this game

    // A texture of the whole picture. Pixels with alpha 0 are never drawn; the engine
    // has already turned colour-key pixels into alpha 0.
    virtual std::unique_ptr<ITexture> CreateTexture(const RgbaImage& picture) = 0;

    // A texture of the picture with every pixel whose colour (0xRRGGBB, alpha aside)
    // is keyRgb made fully transparent (0), the picture itself left as it is. A
    // surface may key while it fills the texture, without a keyed copy of the whole
    // picture; this one makes the copy.
    virtual std::unique_ptr<ITexture> CreateKeyedTexture(const RgbaImage& picture, uint32_t keyRgb) {
        RgbaImage keyed = picture;
        KeyPixels(keyed.pixels.data(), keyed.pixels.size(), keyRgb);
        return CreateTexture(keyed);
    }

    // Copy src of the texture 1:1 with its top-left at (x, y), clipped to the surface.
    virtual void Draw(ITexture& texture, const Rect& src, int x, int y) = 0;

    // Scale src into dst and blend it with alpha 1..255 (255 = opaque).
    virtual void DrawAlpha(ITexture& texture, const Rect& src, const Rect& dst, int alpha) = 0;

    // Scale src to width x height and turn it clockwise by degrees about the pivot
    // (pivotX, pivotY), given in pixels of the scaled pattern; the pivot lands on (x, y).
    virtual void DrawRotated(ITexture& texture, const Rect& src, double x, double y, int width, int height,
                             double pivotX, double pivotY, double degrees) = 0;
};

} // namespace vorlane
