// Signals and rewards: the menu click, the fanfare of the main menu's intro, the clock
// tick of the last seconds, the chimes of points and bonuses, and the car's horn.
#include "datagen/audio/Effects.h"
#include "datagen/audio/Loops.h"

#include <algorithm>
#include <cmath>

namespace vorlane::datagen::audio {
namespace {

constexpr double kRate = kEffectRate;

double Time(size_t i) {
    return double(i) / kRate;
}

// A menu selection moving: a short, soft, pitched "tok".
Effect Button() {
    const size_t n = Samples(0.09, kRate);
    Signal s(n);
    Noise noise(301);
    Mode knock(kRate, 2600.0, 0.006);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        phase += (1250.0 + 600.0 * Decay(t, 0.006)) / kRate;
        const double tone = (std::sin(kTwoPi * phase) + 0.25 * std::sin(2.0 * kTwoPi * phase)) *
                            AttackDecay(t, 0.0015, 0.018);
        const double click = knock.Process(float(noise.White() * Decay(t, 0.0008)));
        s[i] = float(tone + 0.5 * click);
    }
    Effect fx{"Button", false, s};
    FinishOneShot(fx.samples, kRate, 0.5);
    return fx;
}

// A clock's tick: a tiny hard knock ringing at a few high, unrelated frequencies.
Effect Tick() {
    const size_t n = Samples(0.05, kRate);
    Signal s(n);
    Noise noise(311);
    Mode m1(kRate, 2150.0, 0.011), m2(kRate, 3380.0, 0.008), m3(kRate, 5100.0, 0.005),
        m4(kRate, 930.0, 0.009);
    for (size_t i = 0; i < n; ++i) {
        const float hit = float(noise.White() * Decay(Time(i), 0.0006));
        s[i] = float(m1.Process(hit) + 0.8 * m2.Process(hit) + 0.5 * m3.Process(hit) + 0.5 * m4.Process(hit));
    }
    Effect fx{"Tick", false, s};
    FinishOneShot(fx.samples, kRate, 0.55);
    return fx;
}

// A bright chime note: a few partials, the upper ones dying first, one slightly
// out of tune with the rest for sparkle.
Signal Chime(double freq, double seconds, double decay, bool edged = false) {
    const size_t n = Samples(seconds, kRate);
    Signal s(n);
    Osc pulse;
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        const double p = kTwoPi * freq * t;
        double v = std::sin(p) * Decay(t, decay) + 0.35 * std::sin(2.0 * p) * Decay(t, decay * 0.6) +
                   0.15 * std::sin(3.0 * p) * Decay(t, decay * 0.4) +
                   0.18 * std::sin(2.76 * p) * Decay(t, decay * 0.25);
        if (edged) {
            pulse.Step(freq, kRate);
            v += 0.25 * pulse.Pulse(0.25) * Decay(t, decay * 0.5);
        }
        s[i] = float(v * std::min(1.0, t / 0.002));
    }
    FadeOut(s, Samples(std::min(0.06, seconds * 0.4), kRate));
    return s;
}

// Points picked up: two quick rising chimes.
Effect Score() {
    Signal s;
    MixInto(s, Chime(Note2Freq(88), 0.12, 0.05), 0, 0.8);              // E6
    MixInto(s, Chime(Note2Freq(95), 0.4, 0.12), Samples(0.07, kRate)); // B6
    s = Reverb(s, kRate, 0.72, 0.4, 0.2, 0.3);
    Effect fx{"Score", false, s};
    FinishOneShot(fx.samples, kRate, 0.6);
    return fx;
}

// A bonus (life, nitro, weapon): a quick rising arpeggio of square-edged chimes over a
// sweep, ending on a held sparkle.
Effect Bonus() {
    Signal s;
    const int notes[] = {72, 76, 79, 84, 88, 91}; // C5 E5 G5 C6 E6 G6
    for (int k = 0; k < 6; ++k) {
        const double hold = k == 5 ? 0.5 : 0.14;
        MixInto(s, Chime(Note2Freq(notes[k]), hold, k == 5 ? 0.22 : 0.07, true), Samples(0.05 * k, kRate),
                0.55 + 0.05 * k);
    }
    const size_t n = Samples(0.32, kRate);
    Signal sweep(n);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        phase += (500.0 * std::pow(5.0, t / 0.32)) / kRate;
        sweep[i] = float(std::sin(kTwoPi * phase) * 0.2 * std::sin(kPi * t / 0.32));
    }
    MixInto(s, sweep, 0);
    s = Reverb(s, kRate, 0.78, 0.35, 0.25, 0.4);
    Effect fx{"Bonus", false, s};
    FinishOneShot(fx.samples, kRate, 0.65);
    return fx;
}

// The main menu's intro as its buttons fade in: a rising whoosh that lands on a deep
// hit and a wide D minor chord that rings out.
Effect MenuBegin() {
    const double land = 0.55;
    const size_t n = Samples(2.5, kRate);
    Signal s(n, 0.0f);
    Noise noise(321);
    Svf whoosh, chordFilter, hitFilter(kRate, 500.0, 0.7);
    double riser = 0.0, boom = 0.0;
    const int chord[] = {50, 57, 62, 65, 69, 74}; // D3 A3 D4 F4 A4 D5
    std::vector<Osc> voices(12);
    for (size_t v = 0; v < voices.size(); ++v)
        voices[v].SetPhase(noise.Uniform(0.0, 1.0));
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        const float w = noise.White();
        double out = 0.0;
        if (t < land) {
            const double u = t / land;
            whoosh.Set(kRate, 300.0 * std::pow(20.0, u), 2.0);
            out += whoosh.BandUnity(w) * u * u * 0.8;
            riser += (200.0 * std::pow(4.0, u)) / kRate;
            out += std::sin(kTwoPi * riser) * u * u * 0.25;
        }
        if (t >= land) {
            const double a = t - land;
            boom += (35.0 + 55.0 * std::exp(-a / 0.08)) / kRate;
            out += std::sin(kTwoPi * boom) * AttackDecay(a, 0.002, 0.3) * 0.9;
            out += hitFilter.Process(float(w * Decay(a, 0.05))).low * 1.2;
            double pad = 0.0;
            for (size_t v = 0; v < voices.size(); ++v) {
                const double cents = (v % 2 == 0 ? -7.0 : 7.0);
                voices[v].Step(Note2Freq(chord[v / 2] + cents / 100.0), kRate);
                pad += voices[v].Saw();
            }
            chordFilter.Set(kRate, 700.0 + 3800.0 * std::exp(-a / 0.35), 0.9);
            out += chordFilter.Process(float(pad / 6.0)).low * AttackDecay(a, 0.004, 0.75) * 0.8;
        }
        s[i] = float(out);
    }
    FadeOut(s, Samples(0.8, kRate));
    s = Reverb(s, kRate, 0.84, 0.3, 0.32, 0.8);
    Effect fx{"MenuBegin", false, s};
    FinishOneShot(fx.samples, kRate, 0.9);
    return fx;
}

// The horn: two reedy tones a major third apart (410 and 516 Hz: whole cycles in the
// half-second loop), buzzed and voiced through the horn's bell.
Effect Horn() {
    const size_t n = Samples(0.5, kRate);
    Signal s(n);
    const double tones[] = {410.0, 516.0};
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        double v = 0.0;
        for (double f : tones)
            for (int k = 1; k * f < kRate * 0.45; ++k)
                v += std::sin(kTwoPi * f * k * t) / std::pow(double(k), 0.85);
        s[i] = float(std::tanh(0.35 * v));
    }
    Svf bell(kRate, 2300.0, 1.4), body(kRate, 5000.0, 0.7);
    s = Circular(s, [&](size_t, float x) { return float(body.Process(x).low + 0.8 * bell.BandUnity(x)); });
    RemoveMean(s);
    Effect fx{"Horn", true, s};
    FinishLoop(fx.samples, -15.0, 0);
    return fx;
}

} // namespace

std::vector<Effect> SignalEffects() {
    return {Button(), MenuBegin(), Tick(), Score(), Bonus(), Horn()};
}

} // namespace vorlane::datagen::audio
