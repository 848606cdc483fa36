// The frame's place and scale in the window.
#include "platform/FrameScaling.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

PixelSize StartWindowSize(int desktopWidth, int desktopHeight, int frameWidth, int frameHeight) {
    if (frameWidth <= 0 || frameHeight <= 0) return {frameWidth, frameHeight};
    // k halves of the frame within 0.9 * desktop, in whole numbers: 5 * k * frame <= 9 * desktop.
    const long long byWidth = 9LL * std::max(desktopWidth, 0) / (5LL * frameWidth);
    const long long byHeight = 9LL * std::max(desktopHeight, 0) / (5LL * frameHeight);
    const long long halves = std::max(2LL, std::min(byWidth, byHeight));
    return {int(halves * frameWidth / 2), int(halves * frameHeight / 2)};
}

int FittingScale(int requested, int desktopWidth, int desktopHeight, int frameWidth, int frameHeight) {
    if (desktopWidth <= 0 || desktopHeight <= 0) return requested; // a desktop of unknown size
    int scale = requested;
    while (scale > 1 && (static_cast<long long>(scale) * frameWidth > desktopWidth ||
                         static_cast<long long>(scale) * frameHeight > desktopHeight))
        --scale;
    return scale;
}

PixelRect FrameRectInOutput(int outputWidth, int outputHeight, int frameWidth, int frameHeight) {
    if (outputWidth <= 0 || outputHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return {};
    int w = 0, h = 0;
    if (static_cast<long long>(outputWidth) * frameHeight <=
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

int CrispPrescale(const PixelRect& rect, int frameWidth, int frameHeight) {
    if (rect.w <= 0 || rect.h <= 0 || frameWidth <= 0 || frameHeight <= 0) return 1;
    const int byWidth = (rect.w + frameWidth - 1) / frameWidth;
    const int byHeight = (rect.h + frameHeight - 1) / frameHeight;
    return std::max({1, byWidth, byHeight});
}

bool IsWholeScale(const PixelRect& rect, int frameWidth, int frameHeight) {
    if (rect.w <= 0 || rect.h <= 0 || frameWidth <= 0 || frameHeight <= 0) return false;
    return rect.w % frameWidth == 0 && rect.h % frameHeight == 0 &&
           rect.w / frameWidth == rect.h / frameHeight;
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
