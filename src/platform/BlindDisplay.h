#pragma once
// A display that shows nothing: no window, no renderer, no pixels. Textures keep only
// their size and every drawing call is dropped, so the game runs its frames at the speed
// of its own logic. The score server's replay check plays races on it, where nobody looks.
#include "platform/Display.h"

#include <vector>

namespace vorlane {

class BlindDisplay final : public IDisplay {
  public:
    // A frame of width x height pixels, and the refresh rate it reports.
    BlindDisplay(int width, int height, int refreshRate);
    ~BlindDisplay() override; // tells the listeners Finalised()
    BlindDisplay(const BlindDisplay&) = delete;
    BlindDisplay& operator=(const BlindDisplay&) = delete;

    IDrawSurface& Surface() override;
    bool CanDraw() const override { return true; }
    void AddListener(IDisplayListener& listener) override;
    void RemoveListener(IDisplayListener& listener) override;
    // Full screen is only remembered: there is no window to change.
    void EnterFullScreen() override { fullScreen_ = true; }
    void EnterWindow() override { fullScreen_ = false; }
    bool IsFullScreen() const override { return fullScreen_; }
    int RefreshRate() const override { return refreshRate_; }
    bool VsyncActive() const override { return false; }
    void Clear() override {}
    void Flip() override {}
    void ShowPointer() override;
    void HidePointer() override;
    int PointerCount() const override { return pointerCount_; }
    bool PointerVisible() const override { return pointerCount_ >= 0; }
    // A black frame: nothing was ever drawn.
    RgbaImage ReadPixels() override;

  private:
    class Surface_ final : public IDrawSurface {
      public:
        Surface_(int width, int height) : width_(width), height_(height) {}
        int Width() const override { return width_; }
        int Height() const override { return height_; }
        std::unique_ptr<ITexture> CreateTexture(const RgbaImage& picture) override;
        void Draw(ITexture&, const Rect&, int, int) override {}
        void DrawAlpha(ITexture&, const Rect&, const Rect&, int) override {}
        void DrawRotated(ITexture&, const Rect&, double, double, int, int, double, double, double) override {}

      private:
        int width_;
        int height_;
    };

    Surface_ surface_;
    int refreshRate_;
    bool fullScreen_ = false;
    int pointerCount_ = 0;
    std::vector<IDisplayListener*> listeners_;
};

} // namespace vorlane
