#pragma once
// Internal to the platform layer: the back buffer of an SDL renderer as the engine's
// IDrawSurface. Textures remember the renderer they were made on and become inert
// (never drawn, never freed twice) once that renderer has gone.
#include "engine/Surface.h"
#include "platform/detail/SdlHandles.h"

#include <memory>

namespace vorlane::detail {

class SdlTexture final : public ITexture {
  public:
    SdlTexture(SDL_Texture* texture, int width, int height, std::weak_ptr<SDL_Renderer*> owner)
        : texture_(texture), width_(width), height_(height), owner_(std::move(owner)) {}
    ~SdlTexture() override;
    SdlTexture(const SdlTexture&) = delete;
    SdlTexture& operator=(const SdlTexture&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The SDL texture when its renderer is still alive and is `renderer`, else nullptr.
    SDL_Texture* Get(SDL_Renderer* renderer) const;

  private:
    SDL_Texture* texture_;
    int width_, height_;
    std::weak_ptr<SDL_Renderer*> owner_;
};

class SdlDrawSurface final : public IDrawSurface {
  public:
    SdlDrawSurface(int width, int height) : width_(width), height_(height) {}

    // Binds to a renderer (nullptr unbinds). Textures of a previous renderer go inert.
    void Bind(SDL_Renderer* renderer);
    SDL_Renderer* Renderer() const { return renderer_; }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    std::unique_ptr<ITexture> CreateTexture(const RgbaImage& picture) override;
    std::unique_ptr<ITexture> CreateKeyedTexture(const RgbaImage& picture, uint32_t keyRgb) override;
    void Draw(ITexture& texture, const Rect& src, int x, int y) override;
    void DrawAlpha(ITexture& texture, const Rect& src, const Rect& dst, int alpha) override;
    void DrawRotated(ITexture& texture, const Rect& src, double x, double y, int width, int height,
                     double pivotX, double pivotY, double degrees) override;

  private:
    SDL_Texture* Resolve(ITexture& texture) const;
    // An SDL texture of the picture's size, or throws; filled by the caller.
    SDL_Texture* NewTexture(const RgbaImage& picture);

    int width_, height_;
    SDL_Renderer* renderer_ = nullptr;
    std::shared_ptr<SDL_Renderer*> token_;
};

} // namespace vorlane::detail
