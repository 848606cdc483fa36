#pragma once
// The SDL window and renderer behind IDisplay. Runs headless too: with the dummy video
// driver and the software renderer everything draws into memory and can be read back.
#include "platform/Display.h"
#include "platform/FrameScaling.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vorlane {

struct DisplayOptions {
    std::string title = "Vorlane";
    int width = 800; // the drawing area in logical pixels
    int height = 600;
    bool hidden = false;   // never show the window (tests, headless runs)
    bool software = false; // use the software renderer even when a faster one exists
    bool vsync = true;     // ask for presentation synchronised with the vertical blank
    // The window's whole-number scale at start (window pixels per frame pixel), lowered
    // with a line on stderr when its window would not fit the usable desktop; 0 takes
    // the largest step of half the frame that fits in nine tenths of it.
    int scale = 0;
    // How the frame fills the window (as large as fits, at its shape): Crisp keeps
    // sharp pixel edges at any size, Smooth filters the frame itself.
    FrameScaling scaling = FrameScaling::Crisp;
    // When not empty, every changed frame is written to this file as a PPM after it is
    // shown (for tests that compare the window with the frame).
    std::string frameDumpFile;
};

class SdlDisplay final : public IDisplay {
  public:
    // Opens the window (centred, resizable, at the start scale) and its renderer:
    // accelerated with vsync when the system has one, else software. The game draws
    // into a frame of width x height pixels, which Flip() shows scaled into the window.
    // Throws EngineError when no window or renderer can be made at all.
    explicit SdlDisplay(const DisplayOptions& options = {});
    ~SdlDisplay() override; // tells the listeners Finalised() first
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    IDrawSurface& Surface() override;
    bool CanDraw() const override;
    void AddListener(IDisplayListener& listener) override;
    void RemoveListener(IDisplayListener& listener) override;
    void EnterFullScreen() override;
    void EnterWindow() override;
    bool IsFullScreen() const override;
    int RefreshRate() const override;
    bool VsyncActive() const override;
    void Clear() override;
    void Flip() override;
    void ShowPointer() override;
    void HidePointer() override;
    int PointerCount() const override;
    bool PointerVisible() const override;
    RgbaImage ReadPixels() override;

    // For the rest of the platform layer.
    uint32_t WindowId() const;
    bool HasKeyboardFocus() const;
    std::string RendererName() const;
    // The renderer's render targets were reset: listeners get Restored().
    void HandleTargetsReset();
    // The renderer's device was reset and its textures are lost: listeners get
    // Finalised() and then Initialised() to make them again.
    void HandleDeviceReset();
    // Where the window sits on the desktop (window mode), for tests and diagnostics.
    void WindowPosition(int& x, int& y) const;
    void MoveWindow(int x, int y);
    void WindowSize(int& width, int& height) const;
    // The frame pixel under a point of the window (window coordinates as mouse events
    // give them); nothing on the bars around the frame or outside the window.
    std::optional<FramePoint> WindowToFrame(int x, int y) const;
    // Where the frame is shown in the window's output, in output pixels.
    PixelRect FrameRect() const;
    // Shows the last finished frame again (the window was uncovered or resized while
    // the game stands still).
    void ShowFrameAgain();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vorlane
