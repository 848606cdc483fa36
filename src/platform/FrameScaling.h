#pragma once
// How the game's fixed-size frame sits in a window of any size: the size the window
// opens at, where the frame lies in the window's pixels (as large as the window allows
// at the frame's shape, centred between black bars), how it is scaled there so that its
// pixels stay crisp, and which frame pixel a point of the window shows.
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

struct PixelSize {
    int w = 0, h = 0;
    bool operator==(const PixelSize&) const = default;
};

enum class FrameScaling {
    // Every frame pixel a sharp-edged block: whole-number steps are repeated pixels; any
    // other size is first enlarged by repeating pixels and then filtered down to fit, so
    // that only the seams between frame pixels are blended.
    Crisp,
    Smooth, // filtered from the frame itself: soft edges at every size
};

// The window's size at start: the largest multiple of half the frame (1, 1.5, 2, 2.5
// times...) that fits in nine tenths of the usable desktop in both directions; the frame
// itself when not even that fits.
PixelSize StartWindowSize(int desktopWidth, int desktopHeight, int frameWidth, int frameHeight);

// A whole-number scale the player asked for, lowered until its window fits in the
// usable desktop (never below 1). The same scale when it fits.
int FittingScale(int requested, int desktopWidth, int desktopHeight, int frameWidth, int frameHeight);

// Where the frame is drawn in an output of the given size (pixels): as large as fits at
// the frame's shape, centred; an odd pixel left over goes to the right or below.
PixelRect FrameRectInOutput(int outputWidth, int outputHeight, int frameWidth, int frameHeight);

// Crisp scaling into rect: the whole-number scale the frame is first enlarged by,
// repeating pixels, before the filtered fit to rect's size. It is the smallest at which
// the enlarged frame is at least rect's size in both directions, so the filter only ever
// shrinks, and a frame pixel's colour stays unmixed except along its edges. 1 for an
// empty rect or one no larger than the frame.
int CrispPrescale(const PixelRect& rect, int frameWidth, int frameHeight);

// Whether rect shows the frame at a whole-number scale, every frame pixel an exact block
// of output pixels (no filtering needed).
bool IsWholeScale(const PixelRect& rect, int frameWidth, int frameHeight);

// The frame pixel under a window point. Window points and output pixels differ on
// high-density displays: pixelsPerPoint is output width / window width. Nothing for
// points on the bars or outside the window.
std::optional<FramePoint> WindowPointToFrame(int windowX, int windowY, double pixelsPerPoint,
                                             const PixelRect& frameRect, int frameWidth, int frameHeight);

} // namespace vorlane
