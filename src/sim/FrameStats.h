#pragma once
// The frame statistics every moving sprite and millisecond countdown reads.

namespace vorlane {

struct TFrameStats {
    // The frame timer's measured frames per second, copied at the end of each frame.
    int FrameRate = 0;
    // The display's vertical refresh rate in Hz.
    int RefreshRate = 0;
    // Milliseconds one frame stands for; every countdown subtracts it once a frame.
    int FrameMs = 15;
    // 85 divided by the frame rate in use: race speeds are stated for 85 frames a
    // second and multiplied by it.
    double SpeedScale = 1.0;
};

} // namespace vorlane
