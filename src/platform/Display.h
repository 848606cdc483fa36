#pragma once
// The game's window and back buffer, as the game and the engine see it.
#include "engine/Surface.h"
#include "engine/Types.h"
#include "platform/DisplayListener.h"

namespace vorlane {

class IDisplay {
  public:
    virtual ~IDisplay() = default;

    // The back buffer (800 x 600 logical pixels). The object stays the same for the
    // display's whole life; textures made on it may have to be made again (listeners).
    virtual IDrawSurface& Surface() = 0;
    // False while the display is not initialised or has lost its device; a frame that
    // finds it false draws nothing and is not flipped.
    virtual bool CanDraw() const = 0;

    // Listeners are not owned and must be removed before they die. Adding a listener
    // calls nothing: ask CanDraw() and make the textures at once if it says true.
    virtual void AddListener(IDisplayListener& listener) = 0;
    virtual void RemoveListener(IDisplayListener& listener) = 0;

    // Desktop full screen with the 800 x 600 picture letterboxed, or the window. Going
    // full screen remembers the window's place; going back to the window restores it
    // once and forgets it. A window that was never placed stays centred.
    virtual void EnterFullScreen() = 0;
    virtual void EnterWindow() = 0;
    virtual bool IsFullScreen() const = 0;

    // The vertical refresh rate in Hz; a device that answers 0 or 1 counts as 60.
    virtual int RefreshRate() const = 0;
    // True when Flip() waits for the vertical blank (the frame loop then needs no pacing).
    virtual bool VsyncActive() const = 0;

    virtual void Clear() = 0; // fill the back buffer with black
    // Show the back buffer. Every drawn frame must end with Flip (or ReadPixels): the
    // renderer queues draw calls until then, and a loop that never flips keeps queueing.
    virtual void Flip() = 0;

    // The system pointer's display count: shown at 0 and above, hidden below. Show
    // raises it to at least 1, Hide lowers it to at most -1, so calls never pile up.
    virtual void ShowPointer() = 0;
    virtual void HidePointer() = 0;
    virtual int PointerCount() const = 0;
    virtual bool PointerVisible() const = 0;

    // The drawing area as last drawn (before Flip), 0xAARRGGBB with alpha 255.
    virtual RgbaImage ReadPixels() = 0;
};

} // namespace vorlane
