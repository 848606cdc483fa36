#include "datagen/audio/Instruments.h"

#include "datagen/audio/Dsp.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vorlane::datagen::audio {
namespace {

constexpr double kHi = 44100.0; // drums and sustained sounds
constexpr double kLo = 22050.0; // long decays (cymbal, piano)
constexpr double kDrumPitch = 261.6255653;

std::vector<int16_t> Pcm(Signal s, double peak) {
    NormalizePeak(s, peak);
    return ToPcm16(s);
}

// An envelope that holds full volume until key off and then fades (fadeout per tick).
XmEnvelope HoldEnvelope() {
    XmEnvelope e;
    e.points = {{0, 64}, {4, 64}};
    e.on = true;
    e.sustain = 0;
    return e;
}

XmInstrument OneShot(const char* name, Signal s, double rate, double pitchHz, double peak = 0.9) {
    XmInstrument ins;
    ins.name = name;
    ins.sample.name = name;
    RemoveDc(s, rate, 15.0);
    FadeOut(s, Samples(0.004, rate));
    ins.sample.data = Pcm(std::move(s), peak);
    TuneSample(ins.sample, rate, pitchHz);
    ins.volumeEnvelope = HoldEnvelope();
    ins.fadeout = 2048;
    return ins;
}

// A sustained tone: oscillators given in whole cycles over the loop, rendered through a
// low pass whose cutoff may move during the attack but is constant inside the loop.
struct ToneOsc {
    enum Wave { Sine, Saw, Pulse, Triangle } wave;
    int cycles; // over the loop
    double level;
    double width; // pulse width
};

struct ToneRecipe {
    size_t loopLength = 44100; // samples at kHi
    double attack = 0.05;      // seconds before the loop starts
    std::vector<ToneOsc> oscs;
    std::function<double(double)> cutoff; // Hz over time; constant from attack - 0.02 s on
    double resonance = 0.7;
    double drive = 0.0;
    int pitchCycles = 0; // the cycles that set the sample's pitch
};

XmInstrument Sustained(const char* name, const ToneRecipe& recipe, uint32_t seed) {
    const size_t attack = Samples(recipe.attack, kHi);
    const size_t n = attack + recipe.loopLength;
    Signal s(n, 0.0f);
    Noise noise(seed);
    std::vector<Osc> oscs(recipe.oscs.size());
    for (Osc& o : oscs)
        o.SetPhase(noise.Uniform(0.0, 1.0));
    Svf filter;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kHi;
        double v = 0.0;
        for (size_t k = 0; k < oscs.size(); ++k) {
            const ToneOsc& spec_k = recipe.oscs[k];
            oscs[k].Step(double(spec_k.cycles) * kHi / double(recipe.loopLength), kHi);
            switch (spec_k.wave) {
            case ToneOsc::Sine:
                v += spec_k.level * oscs[k].Sine();
                break;
            case ToneOsc::Saw:
                v += spec_k.level * oscs[k].Saw();
                break;
            case ToneOsc::Pulse:
                v += spec_k.level * oscs[k].Pulse(spec_k.width);
                break;
            case ToneOsc::Triangle:
                v += spec_k.level * oscs[k].Triangle();
                break;
            }
        }
        filter.Set(kHi, recipe.cutoff(t), recipe.resonance);
        double y = filter.Process(float(v)).low;
        if (recipe.drive > 0.0) y = std::tanh(recipe.drive * y) / recipe.drive;
        s[i] = float(y);
    }
    // Pulse waves are not centred on zero: take the loop's mean off the whole sample (a
    // constant shift keeps the loop seamless).
    double mean = 0.0;
    for (size_t i = attack; i < n; ++i)
        mean += double(s[i]);
    mean /= double(recipe.loopLength);
    for (float& v : s)
        v = float(double(v) - mean);
    XmInstrument ins;
    ins.name = name;
    ins.sample.name = name;
    ins.sample.data = Pcm(std::move(s), 0.9);
    ins.sample.loopStart = uint32_t(attack);
    ins.sample.loopLength = uint32_t(recipe.loopLength);
    TuneSample(ins.sample, kHi, double(recipe.pitchCycles) * kHi / double(recipe.loopLength));
    return ins;
}

std::function<double(double)> Fixed(double hz) {
    return [hz](double) { return hz; };
}

// A cutoff that falls from `from` to `to` over `seconds` and stays there.
std::function<double(double)> Falling(double from, double to, double seconds) {
    return [=](double t) {
        const double u = std::max(0.0, 1.0 - t / seconds);
        return to + (from - to) * u * u * u;
    };
}

XmEnvelope AttackRelease(int bpm, double attackSeconds) {
    XmEnvelope e;
    const uint16_t a = std::max<uint16_t>(1, Ticks(attackSeconds, bpm));
    e.points = {{0, 0}, {a, 64}, {uint16_t(a + 4), 64}};
    e.on = true;
    e.sustain = 1;
    return e;
}

uint16_t FadeoutFor(double seconds, int bpm) {
    const double ticks = std::max(1.0, seconds / (2.5 / bpm));
    return uint16_t(std::clamp(65536.0 / ticks, 1.0, 4095.0));
}

// Metallic noise: square waves at unrelated frequencies, as cymbals are made.
float Metal(std::vector<Osc>& oscs, double scale, double rate) {
    static constexpr double kRatios[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double v = 0.0;
    for (size_t k = 0; k < oscs.size(); ++k) {
        oscs[k].Step(kRatios[k] * scale, rate);
        v += oscs[k].Pulse(0.5);
    }
    return float(v / double(oscs.size()));
}

} // namespace

uint16_t Ticks(double seconds, int bpm) {
    return uint16_t(std::clamp(std::lround(seconds / (2.5 / double(bpm))), 0L, 65535L));
}

XmInstrument KickDrum(bool soft) {
    const size_t n = Samples(0.5, kHi);
    Signal s(n);
    Noise noise(501);
    double phase = 0.0;
    OnePole click(kHi, 3000.0);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kHi;
        phase += (46.0 + (soft ? 70.0 : 110.0) * std::exp(-t / 0.035)) / kHi;
        const double body = std::sin(kTwoPi * phase) * AttackDecay(t, 0.001, soft ? 0.22 : 0.18);
        const double tick = click.High(noise.White()) * Decay(t, 0.002) * (soft ? 0.3 : 0.7);
        s[i] = float(std::tanh(1.4 * (body + tick)));
    }
    return OneShot(soft ? "Kick soft" : "Kick", s, kHi, kDrumPitch);
}

XmInstrument SnareDrum(bool soft) {
    const size_t n = Samples(soft ? 0.6 : 0.35, kHi);
    Signal s(n);
    Noise noise(511);
    Svf snares(kHi, soft ? 3500.0 : 5000.0, 0.6), rattle(kHi, 1800.0, 0.5);
    double p1 = 0.0, p2 = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kHi;
        p1 += (180.0 + 40.0 * std::exp(-t / 0.01)) / kHi;
        p2 += 330.0 / kHi;
        const double drum =
            (std::sin(kTwoPi * p1) + 0.5 * std::sin(kTwoPi * p2)) * AttackDecay(t, 0.0008, 0.05);
        const float w = noise.White();
        const double wires = snares.Process(w).low * AttackDecay(t, 0.0008, soft ? 0.1 : 0.13);
        const double crack = rattle.Process(w).high * Decay(t, 0.01);
        s[i] = float(0.8 * drum + 1.0 * wires + 0.4 * crack);
    }
    if (soft) s = Reverb(s, kHi, 0.8, 0.45, 0.5, 0.0);
    return OneShot(soft ? "Snare soft" : "Snare", s, kHi, kDrumPitch);
}

XmInstrument ClosedHat() {
    const size_t n = Samples(0.09, kHi);
    Signal s(n);
    std::vector<Osc> oscs(6);
    Noise noise(521);
    Svf band(kHi, 10000.0, 1.0), high(kHi, 7000.0, 0.7);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kHi;
        const float metal = float(Metal(oscs, 1.0, kHi) * 0.7 + noise.White() * 0.3);
        s[i] = float(high.Process(band.BandUnity(metal)).high * AttackDecay(t, 0.0005, 0.018));
    }
    return OneShot("Hat closed", s, kHi, kDrumPitch);
}

XmInstrument OpenHat() {
    const size_t n = Samples(0.5, kHi);
    Signal s(n);
    std::vector<Osc> oscs(6);
    Noise noise(531);
    Svf band(kHi, 9500.0, 0.9), high(kHi, 6500.0, 0.7);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kHi;
        const float metal = float(Metal(oscs, 1.0, kHi) * 0.7 + noise.White() * 0.3);
        s[i] = float(high.Process(band.BandUnity(metal)).high * AttackDecay(t, 0.001, 0.14));
    }
    return OneShot("Hat open", s, kHi, kDrumPitch);
}

XmInstrument CrashCymbal() {
    const size_t n = Samples(2.2, kLo);
    Signal s(n);
    std::vector<Osc> oscs(6);
    Noise noise(541);
    Svf high(kLo, 3500.0, 0.7), sheen(kLo, 7000.0, 0.8);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kLo;
        const float metal = float(Metal(oscs, 1.7, kLo) * 0.5 + noise.White() * 0.5);
        const double body = high.Process(metal).high + 0.5 * sheen.BandUnity(metal);
        s[i] = float(body * AttackDecay(t, 0.002, 0.55));
    }
    return OneShot("Crash", s, kLo, kDrumPitch, 0.8);
}

XmInstrument Tom() {
    const size_t n = Samples(0.45, kHi);
    Signal s(n);
    Noise noise(551);
    OnePole skin(kHi, 900.0);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kHi;
        phase += (130.0 + 60.0 * std::exp(-t / 0.05)) / kHi;
        const double body = std::sin(kTwoPi * phase) * AttackDecay(t, 0.001, 0.16);
        s[i] = float(body + 0.3 * skin.Low(noise.White()) * Decay(t, 0.02));
    }
    // Pitched so that C-4 plays it at its own rate; the songs play it at other notes
    // for higher and lower toms.
    return OneShot("Tom", s, kHi, kDrumPitch);
}

XmInstrument WarmBass(int bpm) {
    ToneRecipe recipe;
    recipe.oscs = {{ToneOsc::Triangle, 55, 1.0, 0.5},
                   {ToneOsc::Sine, 55, 0.6, 0.5},
                   {ToneOsc::Saw, 110, 0.18, 0.5},
                   {ToneOsc::Saw, 56, 0.25, 0.5}};
    recipe.cutoff = Falling(1400.0, 520.0, 0.12);
    recipe.attack = 0.16;
    recipe.drive = 1.2;
    recipe.pitchCycles = 55;
    XmInstrument ins = Sustained("Warm bass", recipe, 561);
    ins.volumeEnvelope = AttackRelease(bpm, 0.01);
    ins.fadeout = FadeoutFor(0.25, bpm);
    return ins;
}

XmInstrument PluckBass(int bpm) {
    ToneRecipe recipe;
    recipe.oscs = {
        {ToneOsc::Saw, 110, 0.7, 0.5}, {ToneOsc::Saw, 111, 0.5, 0.5}, {ToneOsc::Pulse, 55, 0.6, 0.5}};
    recipe.cutoff = Falling(4200.0, 900.0, 0.22);
    recipe.attack = 0.26;
    recipe.resonance = 1.1;
    recipe.drive = 1.8;
    recipe.pitchCycles = 110;
    XmInstrument ins = Sustained("Pluck bass", recipe, 571);
    ins.volumeEnvelope = AttackRelease(bpm, 0.005);
    ins.fadeout = FadeoutFor(0.12, bpm);
    return ins;
}

XmInstrument Pad(int bpm, double brightness, double attackSeconds) {
    ToneRecipe recipe;
    recipe.oscs = {{ToneOsc::Saw, 130, 0.5, 0.5},
                   {ToneOsc::Saw, 131, 0.5, 0.5},
                   {ToneOsc::Saw, 132, 0.5, 0.5},
                   {ToneOsc::Triangle, 262, 0.3, 0.5},
                   {ToneOsc::Sine, 65, 0.25, 0.5}};
    recipe.cutoff = Fixed(brightness);
    recipe.pitchCycles = 131;
    XmInstrument ins = Sustained("Pad", recipe, 581);
    ins.volumeEnvelope = AttackRelease(bpm, attackSeconds);
    ins.fadeout = FadeoutFor(1.2, bpm);
    ins.vibratoType = 0;
    ins.vibratoSweep = 0;
    ins.vibratoDepth = 2;
    ins.vibratoRate = 4;
    return ins;
}

XmInstrument ElectricPiano(int bpm) {
    const size_t n = Samples(2.4, kLo);
    Signal s(n);
    const double f = 261.6255653;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kLo;
        const double index = 1.6 * std::exp(-t / 0.3) + 0.25;
        const double tone = std::sin(kTwoPi * f * t + index * std::sin(kTwoPi * f * t)) * Decay(t, 1.1);
        const double tine = std::sin(kTwoPi * f * 7.0 * t) * Decay(t, 0.025) * 0.25;
        s[i] = float((tone + tine) * std::min(1.0, t / 0.002));
    }
    XmInstrument ins = OneShot("Electric piano", s, kLo, f, 0.85);
    ins.fadeout = FadeoutFor(0.6, bpm);
    return ins;
}

XmInstrument SoftLead(int bpm) {
    ToneRecipe recipe;
    recipe.oscs = {
        {ToneOsc::Pulse, 262, 0.6, 0.32}, {ToneOsc::Sine, 262, 0.5, 0.5}, {ToneOsc::Pulse, 263, 0.25, 0.4}};
    recipe.cutoff = Fixed(2600.0);
    recipe.pitchCycles = 262;
    XmInstrument ins = Sustained("Soft lead", recipe, 591);
    ins.volumeEnvelope = AttackRelease(bpm, 0.04);
    ins.fadeout = FadeoutFor(0.35, bpm);
    ins.vibratoType = 0;
    ins.vibratoSweep = 40;
    ins.vibratoDepth = 5;
    ins.vibratoRate = 14;
    return ins;
}

XmInstrument BrightLead(int bpm) {
    ToneRecipe recipe;
    recipe.oscs = {{ToneOsc::Saw, 262, 0.5, 0.5},
                   {ToneOsc::Saw, 263, 0.45, 0.5},
                   {ToneOsc::Saw, 261, 0.45, 0.5},
                   {ToneOsc::Pulse, 131, 0.3, 0.5}};
    recipe.cutoff = Falling(7000.0, 4200.0, 0.1);
    recipe.attack = 0.14;
    recipe.drive = 1.3;
    recipe.pitchCycles = 262;
    XmInstrument ins = Sustained("Bright lead", recipe, 601);
    ins.volumeEnvelope = AttackRelease(bpm, 0.008);
    ins.fadeout = FadeoutFor(0.2, bpm);
    ins.vibratoType = 0;
    ins.vibratoSweep = 30;
    ins.vibratoDepth = 4;
    ins.vibratoRate = 16;
    return ins;
}

XmInstrument Stab(int bpm) {
    const size_t n = Samples(0.6, kHi);
    Signal s(n);
    const double f = 261.6255653;
    std::vector<Osc> saws(4);
    const double detune[] = {-0.012, -0.004, 0.005, 0.013};
    Noise noise(611);
    for (Osc& o : saws)
        o.SetPhase(noise.Uniform(0.0, 1.0));
    Svf filter;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kHi;
        double v = 0.0;
        for (size_t k = 0; k < saws.size(); ++k) {
            saws[k].Step(f * (1.0 + detune[k]), kHi);
            v += saws[k].Saw();
        }
        filter.Set(kHi, 900.0 + 5200.0 * std::exp(-t / 0.07), 1.0);
        s[i] = float(filter.Process(float(v / 4.0)).low * AttackDecay(t, 0.003, 0.22));
    }
    XmInstrument ins = OneShot("Stab", s, kHi, f);
    ins.fadeout = FadeoutFor(0.1, bpm);
    return ins;
}

XmInstrument Pluck(int bpm) {
    const size_t n = Samples(0.7, kHi);
    Signal s(n);
    const double f = 261.6255653;
    Osc a, b;
    b.SetPhase(0.37);
    Svf filter;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kHi;
        a.Step(f, kHi);
        b.Step(f * 2.002, kHi);
        filter.Set(kHi, 700.0 + 6000.0 * std::exp(-t / 0.05), 1.3);
        const double v = a.Saw() * 0.7 + b.Pulse(0.3) * 0.3;
        s[i] = float(filter.Process(float(v)).low * AttackDecay(t, 0.001, 0.16));
    }
    XmInstrument ins = OneShot("Pluck", s, kHi, f);
    ins.fadeout = FadeoutFor(0.1, bpm);
    return ins;
}

} // namespace vorlane::datagen::audio
