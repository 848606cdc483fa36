#pragma once
// How the game's fixed-size frame sits in a window of any size: the whole-number
// scale the window opens at, where the frame lies in the window's pixels (centred,
// with black bars), and which frame pixel a point of the window shows.
#include <optional>

namespace vorlane {

struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const PixelRect&) const = default;
};

struct FramePoint {
    int x = 0, y = 0;
    bool operator==(const FramePoint&) const = default;
};

enum class FrameScaling {
    Crisp,  // whole-number scale, every frame pixel a square block of window pixels
    Smooth, // as large as the window allows at the frame's shape, filtered
};

// The largest whole-number scale n whose n-times frame fits in nine tenths of the
// usable desktop in both directions; 1 when not even that fits.
int StartScale(int desktopWidth, int desktopHeight, int frameWidth, int frameHeight);

// Where the frame is drawn in an output of the given size (pixels). Crisp scaling
// takes the largest whole-number scale that fits and centres it; an output smaller
// than the frame itself shrinks it to fit at the frame's shape, as smooth does.
PixelRect FrameRectInOutput(int outputWidth, int outputHeight, int frameWidth, int frameHeight,
                            FrameScaling scaling);

// The frame pixel under a window point. Window points and output pixels differ on
// high-density displays: pixelsPerPoint is output width / window width. Nothing for
// points on the bars or outside the window.
std::optional<FramePoint> WindowPointToFrame(int windowX, int windowY, double pixelsPerPoint,
                                             const PixelRect& frameRect, int frameWidth, int frameHeight);

} // namespace vorlane
