// The sound effects' rate step done once at load: the source samples kept as they
// are, the half-way samples interpolated by a ten-tap windowed sinc.
#include "platform/EffectResampler.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace vorlane {

namespace {

// Half the filter's length, in source samples: taps at 0.5, 1.5, ... 4.5 on each side.
constexpr int kTapsEachSide = 5;
// The Kaiser window's beta for about 80 dB of stop-band attenuation.
constexpr double kKaiserBeta = 0.1102 * (80.0 - 8.7);

// The modified Bessel function of the first kind, order 0, by its power series.
double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 64; ++k) {
        const double half = x / (2.0 * k);
        term *= half * half;
        sum += term;
        if (term < sum * 1e-17) break;
    }
    return sum;
}

// The weights of the source samples at distances 0.5, 1.5, ... from a half-way point.
std::array<float, kTapsEachSide> HalfWayTaps() {
    std::array<float, kTapsEachSide> taps{};
    const double norm = BesselI0(kKaiserBeta);
    for (int k = 0; k < kTapsEachSide; ++k) {
        const double d = k + 0.5;
        const double sinc = std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
        const double r = d / kTapsEachSide;
        const double window = BesselI0(kKaiserBeta * std::sqrt(1.0 - r * r)) / norm;
        taps[size_t(k)] = float(sinc * window);
    }
    return taps;
}

int16_t ToSample(float v) {
    const long r = std::lround(v);
    return int16_t(r > 32767 ? 32767 : r < -32768 ? -32768 : r);
}

} // namespace

bool CanUpsampleEffect(int sourceRate, int sourceChannels, int sourceBits, int deviceRate,
                       int deviceChannels) {
    if (sourceRate <= 0 || sourceBits != 16 || sourceChannels < 1 || deviceChannels < 1) return false;
    if (deviceRate != sourceRate && deviceRate != 2 * sourceRate) return false;
    return sourceChannels == 1 || sourceChannels == deviceChannels;
}

std::vector<int16_t> UpsampleEffect(std::span<const uint8_t> bytes, int sourceChannels, int factor,
                                    int deviceChannels) {
    const size_t inChannels = size_t(sourceChannels), outChannels = size_t(deviceChannels);
    const size_t frames = bytes.size() / 2 / inChannels;
    const size_t step = factor == 2 ? 2 : 1;
    std::vector<int16_t> out(frames * step * outChannels);
    if (frames == 0) return out;

    // One source channel at a time, as floats padded with silence on both sides.
    static const std::array<float, kTapsEachSide> taps = HalfWayTaps();
    std::vector<float> source(frames + 2 * kTapsEachSide, 0.0f);
    for (size_t c = 0; c < inChannels; ++c) {
        for (size_t i = 0; i < frames; ++i) {
            const size_t at = (i * inChannels + c) * 2;
            source[i + kTapsEachSide] = float(int16_t(uint16_t(bytes[at]) | uint16_t(bytes[at + 1]) << 8));
        }
        // Mono goes to every device channel; otherwise channel to channel.
        const size_t first = inChannels == 1 ? 0 : c;
        const size_t last = inChannels == 1 ? outChannels : c + 1;
        auto put = [&](size_t frame, int16_t v) {
            for (size_t o = first; o < last; ++o)
                out[frame * outChannels + o] = v;
        };
        const float* x = source.data() + kTapsEachSide;
        for (size_t i = 0; i < frames; ++i) {
            put(i * step, int16_t(x[i]));
            if (step == 2) {
                // Half-way between source samples i and i + 1.
                const float* here = x + i;
                float sum = 0.0f;
                for (ptrdiff_t k = 0; k < kTapsEachSide; ++k)
                    sum += taps[size_t(k)] * (here[-k] + here[1 + k]);
                put(i * 2 + 1, ToSample(sum));
            }
        }
    }
    return out;
}

} // namespace vorlane
