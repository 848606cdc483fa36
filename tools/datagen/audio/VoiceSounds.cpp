// The cries of a pedestrian hit by the car: a man's "aaargh!" and a woman's scream,
// each over the dull thud of the hit. The voices are formant synthesis: a glottal pulse
// train with its pitch contour, jitter and breath, shaped by five vocal-tract resonances
// (in parallel, each with its own strength) that glide from one vowel to the next.
#include "datagen/audio/Effects.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vorlane::datagen::audio {
namespace {

constexpr double kRate = kEffectRate;

struct VoiceRecipe {
    double seconds;
    Curve pitch;                      // Hz over time
    std::array<Curve, 5> formants;    // Hz over time
    std::array<double, 5> bandwidths; // Hz
    std::array<double, 5> strengths;  // gain of each resonance
    Curve loudness;                   // 0..1 over time
    Curve creak;                      // 0..1: how strongly every other pulse is weakened
    double vibratoRate, vibratoDepth; // Hz, fraction of the pitch
    double jitter;                    // random pitch wobble, fraction
    double breath;                    // aspiration noise level
    double brightness;                // Hz where the source's spectrum starts to fall faster
    double shimmer;                   // random pulse-to-pulse loudness change, fraction
    uint32_t seed;
};

Signal Voice(const VoiceRecipe& v) {
    const size_t n = Samples(v.seconds, kRate);
    Signal s(n, 0.0f);
    Noise noise(v.seed);
    std::array<Svf, 5> tract;
    OnePole tilt(kRate, v.brightness), wobble(kRate, 12.0), breathTone(kRate, 1200.0);
    Osc glottis;
    long long pulses = 0;
    double lastPhase = 0.0, pulseGain = 1.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const double drift = double(wobble.Low(noise.White())) * 6.0; // slow random pitch wander
        const double f0 =
            v.pitch.At(t) * (1.0 + v.vibratoDepth * std::sin(kTwoPi * v.vibratoRate * t) + v.jitter * drift);
        const double phase = glottis.Step(f0, kRate);
        if (phase < lastPhase) {
            ++pulses;
            pulseGain = 1.0 + v.shimmer * noise.White();
        }
        lastPhase = phase;
        // A falling ramp with a sharp return is close to the glottal flow's derivative
        // once tilted down; the open part of each cycle lets breath through.
        double source = -double(glottis.Saw()) * pulseGain;
        if (pulses % 2 == 1) source *= 1.0 - 0.6 * v.creak.At(t);
        source = tilt.Low(float(source));
        const double open = phase < 0.6 ? 1.0 : 0.3;
        source += v.breath * open * double(breathTone.High(noise.White()));
        // Neighbouring resonances alternate in sign so that the valleys between them
        // stay shallow, as in a real vocal tract.
        double y = 0.0;
        for (size_t k = 0; k < tract.size(); ++k) {
            const double freq = v.formants[k].At(t);
            tract[k].Set(kRate, freq, freq / v.bandwidths[k]);
            y += (k % 2 == 0 ? 1.0 : -1.0) * v.strengths[k] * tract[k].BandUnity(float(source));
        }
        s[i] = float(y * v.loudness.At(t));
    }
    RemoveDc(s, kRate, 90.0);
    return s;
}

// The dull thud of the car hitting a body.
Signal Thud(uint32_t seed) {
    const size_t n = Samples(0.16, kRate);
    Signal s(n);
    Noise noise(seed);
    Mode body(kRate, 85.0, 0.05), flesh(kRate, 210.0, 0.02);
    Svf muffle(kRate, 700.0, 0.7);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const float hit = float(noise.White() * Decay(t, 0.006));
        s[i] = float(3.0 * body.Process(hit) + 1.5 * flesh.Process(hit) + 0.6 * muffle.Process(hit).low);
    }
    return s;
}

Effect Cry(const char* name, const VoiceRecipe& recipe, double thudGain, double peak) {
    Signal voice = Voice(recipe);
    NormalizePeak(voice, 0.8);
    Signal s(Samples(0.02, kRate), 0.0f);
    MixInto(s, voice, s.size());
    Signal thud = Thud(recipe.seed + 7);
    NormalizePeak(thud, 0.8);
    MixInto(s, thud, 0, thudGain);
    s = Reverb(s, kRate, 0.7, 0.5, 0.16, 0.3);
    Effect fx{name, false, s};
    FinishOneShot(fx.samples, kRate, peak);
    return fx;
}

} // namespace

std::vector<Effect> VoiceEffects() {
    // A man: "aaa" pushed out hard, rising and then falling into a growled "rgh" (the
    // third formant drops as the tongue curls for the r).
    VoiceRecipe man{0.8,
                    Curve({{0.0, 135}, {0.06, 205}, {0.25, 192}, {0.55, 150}, {0.8, 100}}, true),
                    {Curve({{0.0, 650}, {0.08, 760}, {0.45, 720}, {0.62, 540}, {0.8, 500}}, true),
                     Curve({{0.0, 1150}, {0.08, 1100}, {0.45, 1120}, {0.62, 1320}, {0.8, 1350}}, true),
                     Curve({{0.0, 2450}, {0.45, 2400}, {0.62, 1750}, {0.8, 1700}}, true),
                     Curve({{0.0, 3400}}), Curve({{0.0, 4200}})},
                    {90, 110, 170, 250, 300},
                    {1.0, 0.9, 0.9, 0.7, 0.5},
                    Curve({{0.0, 0.0}, {0.025, 1.0}, {0.4, 0.9}, {0.62, 0.75}, {0.8, 0.0}}, true),
                    Curve({{0.0, 0.15}, {0.45, 0.2}, {0.6, 0.65}, {0.8, 0.8}}, true),
                    5.0,
                    0.012,
                    0.02,
                    0.14,
                    4500.0,
                    0.15,
                    201};
    // A woman: a high scream, "aaah", rising fast, with the shake of fright in it.
    VoiceRecipe woman{0.9,
                      Curve({{0.0, 430}, {0.08, 660}, {0.32, 620}, {0.62, 575}, {0.9, 380}}, true),
                      {Curve({{0.0, 850}, {0.1, 980}, {0.6, 950}, {0.9, 820}}, true),
                       Curve({{0.0, 1450}, {0.1, 1550}, {0.6, 1500}, {0.9, 1400}}, true),
                       Curve({{0.0, 2900}, {0.9, 2800}}, true), Curve({{0.0, 3900}}), Curve({{0.0, 4800}})},
                      {130, 150, 210, 260, 320},
                      {1.0, 0.95, 0.95, 0.8, 0.6},
                      Curve({{0.0, 0.0}, {0.04, 1.0}, {0.5, 0.9}, {0.72, 0.6}, {0.9, 0.0}}, true),
                      Curve({{0.0, 0.0}}),
                      6.5,
                      0.028,
                      0.015,
                      0.16,
                      6000.0,
                      0.12,
                      211};
    return {Cry("Kill", man, 0.7, 0.85), Cry("KillW", woman, 0.5, 0.8)};
}

} // namespace vorlane::datagen::audio
