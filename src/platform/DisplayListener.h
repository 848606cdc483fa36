#pragma once
// Notifications from the display to everything that keeps textures on it (the image
// lists, the sprite engine, the text renderer).
#include "engine/Surface.h"

#include <functional>
#include <utility>

namespace vorlane {

class IDisplayListener {
  public:
    virtual ~IDisplayListener() = default;
    // The display can draw now: make textures on `surface`.
    virtual void Initialised(IDrawSurface& surface) = 0;
    // The display is going away or lost its device: drop every texture made on it.
    virtual void Finalised() = 0;
    // The display's surfaces were restored: make the textures again on `surface`.
    virtual void Restored(IDrawSurface& surface) = 0;
};

// A listener made of three functions, for owners that would rather not derive.
class FunctionDisplayListener final : public IDisplayListener {
  public:
    using SurfaceFn = std::function<void(IDrawSurface&)>;
    FunctionDisplayListener(SurfaceFn initialised, std::function<void()> finalised, SurfaceFn restored)
        : initialised_(std::move(initialised)), finalised_(std::move(finalised)),
          restored_(std::move(restored)) {}
    void Initialised(IDrawSurface& surface) override {
        if (initialised_) initialised_(surface);
    }
    void Finalised() override {
        if (finalised_) finalised_();
    }
    void Restored(IDrawSurface& surface) override {
        if (restored_) restored_(surface);
    }

  private:
    SurfaceFn initialised_;
    std::function<void()> finalised_;
    SurfaceFn restored_;
};

} // namespace vorlane
