#pragma once
// The small signal-processing kit every sound of the game is built from: seeded noise,
// filters, resonators, envelopes, a little reverb and level tools. Signals are mono
// float buffers, nominally within -1..1, at a rate the caller keeps track of.
#include "engine/Random.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vorlane::datagen::audio {

using Signal = std::vector<float>;

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

// Number of samples in a span of seconds (rounded to the nearest sample).
size_t Samples(double seconds, double rate);

// Deterministic noise: the same seed gives the same sound on every run.
class Noise {
  public:
    explicit Noise(uint32_t seed) : rng_(seed * 2654435761u + 0x9E3779B9u) {}
    float White() { return float(rng_.RandomDouble() * 2.0 - 1.0); }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * rng_.RandomDouble(); }
    int Below(int n) { return rng_.Random(n); }

  private:
    TRandom rng_;
};

// Zero-delay-feedback state-variable filter: low, band and high pass from one state,
// stable while its cutoff moves every sample.
class Svf {
  public:
    struct Out {
        float low, band, high;
    };
    Svf() = default;
    Svf(double rate, double cutoff, double q) { Set(rate, cutoff, q); }
    void Set(double rate, double cutoff, double q);
    Out Process(float x);
    // Band pass scaled to unity gain at the centre frequency.
    float BandUnity(float x) { return Process(x).band * float(k_); }
    void Reset() { ic1_ = ic2_ = 0.0; }

  private:
    double k_ = 1.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

// One-pole low pass (smoothing) and the matching high pass.
class OnePole {
  public:
    OnePole() = default;
    OnePole(double rate, double cutoff) { Set(rate, cutoff); }
    void Set(double rate, double cutoff);
    float Low(float x) {
        y_ += a_ * (double(x) - y_);
        return float(y_);
    }
    float High(float x) { return x - Low(x); }
    void Reset() { y_ = 0.0; }

  private:
    double a_ = 1.0, y_ = 0.0;
};

// A single decaying mode: its impulse response is a unit sine at freq whose amplitude
// falls by 1/e every decay seconds. Banks of these make bells, panels and wood.
class Mode {
  public:
    Mode() = default;
    Mode(double rate, double freq, double decay) { Set(rate, freq, decay); }
    void Set(double rate, double freq, double decay);
    float Process(float x) {
        const double y = gain_ * double(x) + c1_ * y1_ - c2_ * y2_;
        y2_ = y1_;
        y1_ = y;
        return float(y);
    }

  private:
    double gain_ = 0.0, c1_ = 0.0, c2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

// Band-limited oscillator waveforms (polyBLEP), driven by a phase in cycles.
class Osc {
  public:
    // Advances by freq / rate and returns the new phase in [0, 1).
    double Step(double freq, double rate);
    double Phase() const { return phase_; }
    void SetPhase(double p) { phase_ = p; }
    float Sine() const;
    float Saw() const;               // needs the increment of the last Step
    float Pulse(double width) const; // width 0..1; 0.5 is a square
    float Triangle() const;

  private:
    double phase_ = 0.0, inc_ = 0.0;
};

// A piecewise curve through (time, value) points; linear between points, or smooth
// (cosine-eased) when asked. Before the first point and after the last it holds.
class Curve {
  public:
    Curve() = default;
    Curve(std::initializer_list<std::pair<double, double>> points, bool smooth = false)
        : points_(points), smooth_(smooth) {}
    double At(double t) const;

  private:
    std::vector<std::pair<double, double>> points_;
    bool smooth_ = false;
};

// Envelope shapes, all of time t in seconds.
double Decay(double t, double tau);                      // e^(-t/tau) for t >= 0, else 0
double AttackDecay(double t, double attack, double tau); // linear rise, then Decay
double Note2Freq(double midiNote);                       // 69 -> 440 Hz

// Small mono reverb (parallel damped combs and series all-passes). Returns the input
// followed by its tail of tailSeconds, wet and dry mixed.
Signal Reverb(const Signal& in, double rate, double room, double damp, double wet, double tailSeconds);

// Level tools.
double Peak(const Signal& s);
double Rms(const Signal& s);
double RmsDb(const Signal& s);
void Scale(Signal& s, double gain);
void NormalizePeak(Signal& s, double peak);
void NormalizeRms(Signal& s, double rmsDb);
// Leaves samples below knee alone and bends larger ones smoothly towards ceiling.
void SoftLimit(Signal& s, double knee, double ceiling);
void FadeIn(Signal& s, size_t count);
void FadeOut(Signal& s, size_t count);
// Adds src into dst starting at sample offset (dst grows when needed).
void MixInto(Signal& dst, const Signal& src, size_t offset, double gain = 1.0);
// One-shots: removes slow drift below cutoff (one-pole high pass, forwards).
void RemoveDc(Signal& s, double rate, double cutoff);
// Loops: subtracts the mean, which keeps the loop's seam intact.
void RemoveMean(Signal& s);

// 16-bit PCM, rounded to nearest and clamped.
std::vector<int16_t> ToPcm16(const Signal& s);

} // namespace vorlane::datagen::audio
