#pragma once
// Internal to the platform layer: a short linear fade to silence over a stream of
// interleaved 16-bit frames, given block by block as the mixer hands them over. A
// looped sound stopped mid-wave would otherwise jump to nothing and click.
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vorlane::detail {

class LinearFadeOut {
  public:
    // frames: the length of the fade (at least one); channels: samples per frame.
    LinearFadeOut(int frames, int channels)
        : frames_(std::max(frames, 1)), channels_(std::max(channels, 1)) {}

    // Scales the next frames of the stream (count samples, whole frames). Frame k of
    // the fade keeps (n - k) / n of its level: the first is the sound as it was, and
    // from the n-th on everything is silent.
    void Apply(int16_t* samples, size_t count) {
        const size_t frames = count / size_t(channels_);
        for (size_t f = 0; f < frames; ++f) {
            const int32_t left = frames_ - position_;
            for (int c = 0; c < channels_; ++c) {
                int16_t& s = samples[f * size_t(channels_) + size_t(c)];
                s = int16_t(int32_t(s) * left / frames_);
            }
            if (position_ < frames_) ++position_;
        }
    }
    bool Done() const { return position_ >= frames_; }

  private:
    int32_t frames_;
    int channels_;
    int32_t position_ = 0; // frames faded so far
};

} // namespace vorlane::detail
