#pragma once
// Internal to the platform layer: the gain staging of the mix. The effects and the
// music are mixed at an eighth of their level (kMixHeadroom), so that even many loud
// sounds at once add up without reaching the limit of the 16-bit sum; the limiter then
// brings the whole mix up by kMixMakeup and, where that would pass kMixCeiling, turns
// the level down at once, holds it while the loud part goes on and lets it come back
// over about 150 ms after. The sound is attenuated, never clipped: no sample leaves it
// at full scale.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace vorlane::detail {

// Each effect's channel volume (of SDL_mixer's 128) and the music's share: an eighth.
inline constexpr int kMixHeadroomVolume = 16;
inline constexpr double kMixHeadroom = kMixHeadroomVolume / 128.0;
// The mix brought back up: with the headroom, everything plays at 0.7 of its level
// (about -3 dB) until the limiter has to turn it down.
inline constexpr double kMixMakeup = 5.6;
// The loudest sample the limiter lets out: about -1 dB of full scale.
inline constexpr double kMixCeiling = 29000.0;

class OutputLimiter {
  public:
    // rate: frames per second; channels: samples per frame.
    OutputLimiter(int rate, int channels)
        : channels_(std::max(channels, 1)), hold_(int(kHoldSeconds * std::max(rate, 1))),
          release_(1.0 - std::exp(-1.0 / (kReleaseSeconds * double(std::max(rate, 1))))) {}

    // Brings the next frames of the stream (count samples, whole frames) up by the
    // makeup gain, limited to the ceiling.
    void Apply(int16_t* samples, size_t count) {
        const size_t frames = count / size_t(channels_);
        for (size_t f = 0; f < frames; ++f) {
            int16_t* frame = samples + f * size_t(channels_);
            double loudest = 0;
            for (int c = 0; c < channels_; ++c)
                loudest = std::max(loudest, std::fabs(double(frame[c])) * kMixMakeup);
            const double needed = loudest > kMixCeiling ? kMixCeiling / loudest : 1.0;
            // Down at once, held while the peaks go on (a steady loud sound keeps one
            // level instead of wavering with every cycle), then up slowly.
            if (needed <= gain_) {
                gain_ = needed;
                holding_ = hold_;
            } else if (holding_ > 0) {
                --holding_;
            } else {
                gain_ += (needed - gain_) * release_;
            }
            const double g = kMixMakeup * gain_;
            for (int c = 0; c < channels_; ++c)
                frame[c] = int16_t(
                    std::clamp(std::lround(double(frame[c]) * g), -long(kMixCeiling), long(kMixCeiling)));
        }
    }
    // 1 while the mix is below the ceiling, less while the limiter holds it down.
    double Gain() const { return gain_; }

  private:
    static constexpr double kHoldSeconds = 0.05; // a cycle of the lowest tones
    static constexpr double kReleaseSeconds = 0.15;
    int channels_;
    int hold_;
    double release_;
    double gain_ = 1.0;
    int holding_ = 0; // frames the level is still held
};

// The music's samples at the mix's headroom.
inline void ScaleToHeadroom(int16_t* samples, size_t count) {
    for (size_t i = 0; i < count; ++i)
        samples[i] = int16_t(int32_t(samples[i]) * kMixHeadroomVolume / 128);
}

} // namespace vorlane::detail
