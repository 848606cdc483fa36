// Drawing image patterns on the SDL back buffer: plain copies, blended and scaled
// copies, and rotated copies.
#include "platform/detail/SdlDrawSurface.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vorlane::detail {

SdlTexture::~SdlTexture() {
    // A texture of a renderer that has gone was freed with it.
    if (!owner_.expired()) SDL_DestroyTexture(texture_);
}

SDL_Texture* SdlTexture::Get(SDL_Renderer* renderer) const {
    auto owner = owner_.lock();
    if (!owner || *owner != renderer) return nullptr;
    return texture_;
}

void SdlDrawSurface::Bind(SDL_Renderer* renderer) {
    renderer_ = renderer;
    token_ = renderer ? std::make_shared<SDL_Renderer*>(renderer) : nullptr;
}

SDL_Texture* SdlDrawSurface::NewTexture(const RgbaImage& picture) {
    if (!renderer_) throw EngineError("Cannot make a texture: the display is not initialised");
    if (picture.Empty() || picture.pixels.size() != size_t(picture.width) * size_t(picture.height))
        throw EngineError("Cannot make a texture of an empty or malformed picture");
    SDL_Texture* texture = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                             picture.width, picture.height);
    if (!texture)
        throw EngineError(SdlFailure("Cannot make a texture of " + std::to_string(picture.width) + "x" +
                                     std::to_string(picture.height) + " pixels"));
    // Straight alpha blending: pixels with alpha 0 leave the back buffer untouched.
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    return texture;
}

namespace {

[[noreturn]] void FillFailed(SDL_Texture* texture) {
    std::string message = SdlFailure("Cannot fill a texture");
    SDL_DestroyTexture(texture);
    throw EngineError(message);
}

} // namespace

std::unique_ptr<ITexture> SdlDrawSurface::CreateTexture(const RgbaImage& picture) {
    SDL_Texture* texture = NewTexture(picture);
    // RgbaImage holds native 0xAARRGGBB words, which is what ARGB8888 means.
    if (SDL_UpdateTexture(texture, nullptr, picture.pixels.data(), picture.width * 4) != 0)
        FillFailed(texture);
    return std::make_unique<SdlTexture>(texture, picture.width, picture.height, token_);
}

std::unique_ptr<ITexture> SdlDrawSurface::CreateKeyedTexture(const RgbaImage& picture, uint32_t keyRgb) {
    SDL_Texture* texture = NewTexture(picture);
    // Filled a band of rows at a time through a small keyed buffer.
    constexpr size_t kBandPixels = 16384;
    const size_t width = size_t(picture.width);
    const int bandRows = int(std::max<size_t>(1, kBandPixels / width));
    std::vector<uint32_t> band(width * size_t(bandRows));
    for (int top = 0; top < picture.height; top += bandRows) {
        const int rows = std::min(bandRows, picture.height - top);
        const size_t count = width * size_t(rows);
        std::copy_n(picture.pixels.begin() + ptrdiff_t(width * size_t(top)), count, band.begin());
        KeyPixels(band.data(), count, keyRgb);
        const SDL_Rect at{0, top, picture.width, rows};
        if (SDL_UpdateTexture(texture, &at, band.data(), picture.width * 4) != 0) FillFailed(texture);
    }
    return std::make_unique<SdlTexture>(texture, picture.width, picture.height, token_);
}

SDL_Texture* SdlDrawSurface::Resolve(ITexture& texture) const {
    auto* own = dynamic_cast<SdlTexture*>(&texture);
    return own ? own->Get(renderer_) : nullptr;
}

namespace {

// src cut to the texture; false when nothing of it lies on the texture.
bool ClipToTexture(const Rect& src, const ITexture& texture, Rect& clipped) {
    clipped.left = std::max(src.left, 0);
    clipped.top = std::max(src.top, 0);
    clipped.right = std::min(src.right, texture.Width());
    clipped.bottom = std::min(src.bottom, texture.Height());
    return !clipped.Empty();
}

SDL_Rect ToSdl(const Rect& r) {
    return SDL_Rect{r.left, r.top, r.Width(), r.Height()};
}

} // namespace

void SdlDrawSurface::Draw(ITexture& texture, const Rect& src, int x, int y) {
    SDL_Texture* sdl = Resolve(texture);
    Rect clipped;
    if (!sdl || !ClipToTexture(src, texture, clipped)) return;
    // Parts of src cut away on the left or top move the destination along with them.
    SDL_Rect from = ToSdl(clipped);
    SDL_Rect to{x + clipped.left - src.left, y + clipped.top - src.top, from.w, from.h};
    SDL_RenderCopy(renderer_, sdl, &from, &to);
}

void SdlDrawSurface::DrawAlpha(ITexture& texture, const Rect& src, const Rect& dst, int alpha) {
    SDL_Texture* sdl = Resolve(texture);
    Rect clipped;
    if (!sdl || alpha <= 0 || dst.Empty() || src.Empty() || !ClipToTexture(src, texture, clipped)) return;
    // Cutting src shrinks dst in proportion, so the visible part keeps its scale.
    double sx = double(dst.Width()) / src.Width(), sy = double(dst.Height()) / src.Height();
    SDL_FRect to{float(dst.left + (clipped.left - src.left) * sx),
                 float(dst.top + (clipped.top - src.top) * sy), float(clipped.Width() * sx),
                 float(clipped.Height() * sy)};
    SDL_Rect from = ToSdl(clipped);
    SDL_SetTextureAlphaMod(sdl, Uint8(std::min(alpha, 255)));
    SDL_RenderCopyF(renderer_, sdl, &from, &to);
    SDL_SetTextureAlphaMod(sdl, 255);
}

void SdlDrawSurface::DrawRotated(ITexture& texture, const Rect& src, double x, double y, int width,
                                 int height, double pivotX, double pivotY, double degrees) {
    SDL_Texture* sdl = Resolve(texture);
    Rect clipped;
    if (!sdl || width <= 0 || height <= 0 || !ClipToTexture(src, texture, clipped)) return;
    SDL_Rect from = ToSdl(clipped);
    SDL_FRect to{float(x - pivotX), float(y - pivotY), float(width), float(height)};
    SDL_FPoint centre{float(pivotX), float(pivotY)};
    SDL_RenderCopyExF(renderer_, sdl, &from, &to, degrees, &centre, SDL_FLIP_NONE);
}

} // namespace vorlane::detail
