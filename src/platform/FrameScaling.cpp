// The frame's place and scale in the window.
#include "platform/FrameScaling.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

int StartScale(int desktopWidth, int desktopHeight, int frameWidth, int frameHeight) {
    if (frameWidth <= 0 || frameHeight <= 0) return 1;
    // n * frame <= 0.9 * desktop, in whole numbers: 10 * n * frame <= 9 * desktop.
    const long long byWidth = 9LL * std::max(desktopWidth, 0) / (10LL * frameWidth);
    const long long byHeight = 9LL * std::max(desktopHeight, 0) / (10LL * frameHeight);
    return int(std::max(1LL, std::min(byWidth, byHeight)));
}

PixelRect FrameRectInOutput(int outputWidth, int outputHeight, int frameWidth, int frameHeight,
                            FrameScaling scaling) {
    if (outputWidth <= 0 || outputHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return {};
    int w = 0, h = 0;
    const int whole = std::min(outputWidth / frameWidth, outputHeight / frameHeight);
    if (scaling == FrameScaling::Crisp && whole >= 1) {
        w = whole * frameWidth;
        h = whole * frameHeight;
    } else if (static_cast<long long>(outputWidth) * frameHeight <=
               static_cast<long long>(outputHeight) * frameWidth) {
        // Narrower than the frame's shape: full width, bars above and below.
        w = outputWidth;
        h = std::max(1, int(static_cast<long long>(outputWidth) * frameHeight / frameWidth));
    } else {
        h = outputHeight;
        w = std::max(1, int(static_cast<long long>(outputHeight) * frameWidth / frameHeight));
    }
    return {(outputWidth - w) / 2, (outputHeight - h) / 2, w, h};
}

std::optional<FramePoint> WindowPointToFrame(int windowX, int windowY, double pixelsPerPoint,
                                             const PixelRect& frameRect, int frameWidth, int frameHeight) {
    if (frameRect.w <= 0 || frameRect.h <= 0 || pixelsPerPoint <= 0) return std::nullopt;
    // The centre of the point, in output pixels, then its place within the frame.
    const double px = (windowX + 0.5) * pixelsPerPoint - frameRect.x;
    const double py = (windowY + 0.5) * pixelsPerPoint - frameRect.y;
    const double fx = std::floor(px * frameWidth / frameRect.w);
    const double fy = std::floor(py * frameHeight / frameRect.h);
    if (fx < 0 || fy < 0 || fx >= frameWidth || fy >= frameHeight) return std::nullopt;
    return FramePoint{int(fx), int(fy)};
}

} // namespace vorlane
