#include "datagen/audio/Loops.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vorlane::datagen::audio {

Signal CrossfadeSeam(const Signal& s, size_t leadIn, size_t loopLength) {
    if (loopLength == 0 || leadIn > loopLength || s.size() < leadIn + loopLength)
        throw std::invalid_argument("CrossfadeSeam: the sound is shorter than its lead-in and loop");
    Signal out(s.begin() + std::ptrdiff_t(leadIn), s.begin() + std::ptrdiff_t(leadIn + loopLength));
    const size_t start = loopLength - leadIn;
    for (size_t i = 0; i < leadIn; ++i) {
        const double u = (double(i) + 0.5) / double(leadIn);
        out[start + i] =
            float(double(out[start + i]) * std::cos(0.5 * kPi * u) + double(s[i]) * std::sin(0.5 * kPi * u));
    }
    return out;
}

void StartAtQuietCrossing(Signal& loop, size_t search) {
    const size_t n = loop.size();
    if (n < 4) return;
    if (search == 0 || search > n) search = n;
    const size_t window = std::max<size_t>(8, std::min<size_t>(64, n / 8));
    size_t best = 0;
    double bestScore = -1.0;
    for (size_t i = 0; i < search; ++i) {
        const float prev = loop[(i + n - 1) % n];
        const float cur = loop[i];
        if (!(prev < 0.0f && cur >= 0.0f)) continue;
        double energy = 0.0;
        for (size_t k = 0; k < window; ++k) {
            const float v = loop[(i + n - window / 2 + k) % n];
            energy += double(v) * double(v);
        }
        // Quiet around the crossing, and gentle through it (the step across it is the
        // first thing heard when the loop starts).
        const double score = energy / double(window) + 4.0 * (double(prev) * prev + double(cur) * cur);
        if (bestScore < 0.0 || score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    std::rotate(loop.begin(), loop.begin() + std::ptrdiff_t(best), loop.end());
}

Signal PeriodicWander(size_t n, int minCycles, int maxCycles, Noise& noise) {
    Signal out(n, 0.0f);
    if (n == 0) return out;
    minCycles = std::max(minCycles, 1);
    maxCycles = std::max(maxCycles, minCycles);
    std::vector<double> phases, amps;
    for (int c = minCycles; c <= maxCycles; ++c) {
        phases.push_back(noise.Uniform(0.0, kTwoPi));
        amps.push_back(noise.Uniform(0.5, 1.0) / std::sqrt(double(c)));
    }
    for (size_t i = 0; i < n; ++i) {
        double v = 0.0;
        for (int c = minCycles; c <= maxCycles; ++c) {
            const size_t k = size_t(c - minCycles);
            v += amps[k] * std::sin(kTwoPi * double(c) * double(i) / double(n) + phases[k]);
        }
        out[i] = float(v);
    }
    NormalizePeak(out, 1.0);
    return out;
}

std::vector<double> ClosedIncrements(const Signal& freq, double rate, int multiple) {
    std::vector<double> inc(freq.size());
    double total = 0.0;
    for (size_t i = 0; i < freq.size(); ++i) {
        inc[i] = std::max(0.0, double(freq[i])) / rate;
        total += inc[i];
    }
    if (total <= 0.0) return inc;
    multiple = std::max(multiple, 1);
    const double cycles = std::max(double(multiple), std::round(total / multiple) * multiple);
    const double factor = cycles / total;
    for (double& v : inc)
        v *= factor;
    return inc;
}

Signal WhiteNoise(size_t n, Noise& noise) {
    Signal out(n);
    for (float& v : out)
        v = noise.White();
    return out;
}

void MixWrapped(Signal& loop, const Signal& event, size_t offset, double gain) {
    const size_t n = loop.size();
    if (n == 0) return;
    for (size_t i = 0; i < event.size(); ++i) {
        float& d = loop[(offset + i) % n];
        d = float(double(d) + gain * double(event[i]));
    }
}

} // namespace vorlane::datagen::audio
