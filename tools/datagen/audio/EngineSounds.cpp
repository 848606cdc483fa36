// The car's engine: one four-cylinder engine heard through its exhaust, in the states the
// race switches between (idle, four rising pulls through the gears, the gear change,
// coasting, flat out, the handbrake's tyre squeal and the nitro's roar).
//
// The engine is modelled source and filter: every cylinder firing is a sharp pressure
// pulse (slightly different per cylinder and jittered a little from one firing to the
// next), and the pulse train rings through a few fixed pipe resonances. At idle the
// pulses stand apart (the lumpy putter); at high revs they merge into a buzzing tone whose
// pitch is the firing rate. Throttle ("load") sharpens the pulses, adds combustion and
// intake noise and brightens the upper resonances.
#include "datagen/audio/Effects.h"
#include "datagen/audio/Loops.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vorlane::datagen::audio {
namespace {

constexpr double kRate = kEffectRate;

struct EngineRecipe {
    std::function<double(double)> rpm;  // engine speed over the loop's time (s)
    std::function<double(double)> load; // throttle 0..1 over the loop's time
    double seconds = 2.0;               // loop length
    bool steady = true;                 // periodic rendering; false: crossfaded seam
    uint32_t seed = 1;
    double roughness = 0.08; // firing-to-firing jitter of the pulse strength
    double wander = 0.01;    // slow wobble of the revs, as a fraction
    double pops = 0.0;       // overrun pops per second
};

// Relative strength of the four cylinders: the unevenness gives the engine its growl.
constexpr double kCylinder[4] = {1.0, 0.83, 0.94, 0.77};

// A short pressure pulse: rises in tau, falls away exponentially.
double Pulse(double t, double tau) {
    return t < 0.0 ? 0.0 : (t / tau) * std::exp(1.0 - t / tau);
}

// The bang of unburnt fuel in a hot exhaust while coasting.
Signal OverrunPop(Noise& noise) {
    Signal s(Samples(0.06, kRate));
    Mode low(kRate, noise.Uniform(220.0, 300.0), 0.018), mid(kRate, noise.Uniform(700.0, 1000.0), 0.007);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kRate;
        const double burst = noise.White() * Decay(t, 0.003);
        s[i] = float(low.Process(float(burst)) * 1.4 + mid.Process(float(burst)) * 0.6);
    }
    return s;
}

Signal RenderEngine(const EngineRecipe& e) {
    const size_t loop = Samples(e.seconds, kRate);
    const size_t leadIn = e.steady ? 0 : Samples(0.14, kRate);
    const size_t n = leadIn + loop;
    Noise noise(e.seed);

    const Signal wobble = PeriodicWander(e.steady ? n : loop, 2, 6, noise);
    Signal firingRate(n), load(n);
    for (size_t i = 0; i < n; ++i) {
        const double t = (double(i) - double(leadIn)) / kRate;
        const double rpm = e.rpm(t) * (1.0 + e.wander * double(wobble[i % wobble.size()]));
        firingRate[i] = float(rpm / 30.0); // four cylinders, four strokes: two firings a turn
        load[i] = float(std::clamp(e.load(t), 0.0, 1.0));
    }
    std::vector<double> inc;
    if (e.steady) {
        inc = ClosedIncrements(firingRate, kRate, 4);
    } else {
        inc.resize(n);
        for (size_t i = 0; i < n; ++i)
            inc[i] = double(firingRate[i]) / kRate;
    }

    // The pulse train, and an envelope that is high right after each firing (the
    // combustion noise rides on it).
    Signal excitation(n, 0.0f), afterFiring(n, 0.0f);
    std::vector<size_t> firings;
    double phase = 0.999999;
    long long firing = 0;
    for (size_t i = 0; i < n; ++i) {
        const double before = phase;
        phase += inc[i];
        if (std::floor(phase) == std::floor(before)) continue;
        const double frac = (std::floor(phase) - before) / inc[i]; // where in this step it fired
        const double at = double(i) + frac;
        const double l = double(load[i]);
        const double strength =
            kCylinder[firing % 4] * (1.0 + e.roughness * noise.White()) * (0.45 + 0.55 * l);
        const double tau = (0.55 - 0.3 * l) * 1e-3 * kRate; // in samples
        const double period = 1.0 / inc[i];
        const size_t start = size_t(std::ceil(at));
        const size_t length = size_t(std::max(10.0 * tau, 4.0));
        for (size_t k = 0; k < length; ++k) {
            size_t j = start + k;
            if (j >= n) {
                if (!e.steady) break;
                j %= n;
            }
            const double t = double(start + k) - at;
            excitation[j] = float(double(excitation[j]) + strength * Pulse(t, tau));
        }
        const size_t tail = size_t(period);
        for (size_t k = 0; k < tail; ++k) {
            size_t j = start + k;
            if (j >= n) {
                if (!e.steady) break;
                j %= n;
            }
            afterFiring[j] = std::max(afterFiring[j], float(strength * Decay(double(k), 0.3 * period)));
        }
        firings.push_back(std::min(start, n - 1));
        ++firing;
    }

    const Signal hiss = WhiteNoise(n, noise);
    Svf body(kRate, 210.0, 0.7), pipe1(kRate, 150.0, 2.2), pipe2(kRate, 430.0, 3.0),
        pipe3(kRate, 1100.0, 2.5), pipe4(kRate, 2600.0, 2.0), combustion(kRate, 1600.0, 0.7),
        intake(kRate, 600.0, 0.7), dc(kRate, 28.0, 0.7);
    auto chain = [&](size_t i, float x) {
        const double l = double(load[i]);
        double y = 0.5 * body.Process(x).low + 0.8 * pipe1.BandUnity(x) + 0.7 * pipe2.BandUnity(x) +
                   (0.35 + 0.5 * l) * pipe3.BandUnity(x) + (0.1 + 0.35 * l) * pipe4.BandUnity(x);
        const float h = hiss[i];
        y += (0.04 + 0.22 * l) * combustion.BandUnity(h * afterFiring[i]);
        y += 0.12 * l * double(intake.Process(h).low);
        return float(dc.Process(float(y)).high);
    };
    Signal out;
    if (e.steady) {
        out = Circular(excitation, chain);
    } else {
        out.resize(n);
        for (size_t i = 0; i < n; ++i)
            out[i] = chain(i, excitation[i]);
    }

    if (e.pops > 0.0 && !firings.empty()) {
        const double chance = e.pops * e.seconds / double(firings.size());
        for (size_t f : firings) {
            if (noise.Uniform(0.0, 1.0) >= chance) continue;
            const Signal pop = OverrunPop(noise);
            const double gain = noise.Uniform(0.5, 1.0) * 0.12;
            if (e.steady)
                MixWrapped(out, pop, f, gain);
            else
                MixInto(out, pop, f, gain);
        }
        out.resize(n);
    }

    // The exhaust's rasp: a soft saturation, harder with the throttle open.
    NormalizeRms(out, -14.0);
    for (size_t i = 0; i < n; ++i) {
        const double drive = 1.2 + 1.8 * double(load[i]);
        out[i] = float(std::tanh(drive * double(out[i])) / drive);
    }

    if (!e.steady) out = CrossfadeSeam(out, leadIn, loop);
    RemoveMean(out);
    return out;
}

// Rises quickly and then more slowly, as the revs do when pulling through a gear.
std::function<double(double)> Pull(double from, double to, double seconds) {
    return [=](double t) {
        const double tau = seconds * 0.75;
        const double u =
            (1.0 - std::exp(-std::clamp(t, 0.0, seconds) / tau)) / (1.0 - std::exp(-seconds / tau));
        return from + (to - from) * u;
    };
}

std::function<double(double)> Constant(double v) {
    return [v](double) { return v; };
}

// Loops that hold one state may start anywhere in themselves; the pulls and the gear
// change must start where their revs start.
Effect EngineLoop(const char* name, const EngineRecipe& recipe, double rmsDb, bool anywhere) {
    Effect fx{name, true, RenderEngine(recipe)};
    FinishLoop(fx.samples, rmsDb, anywhere ? 0 : Samples(0.012, kRate));
    return fx;
}

// The handbrake: a wavering rubber squeal over a scrubbing hiss, the engine low under it.
Effect TyreSqueal() {
    const double seconds = 1.6;
    EngineRecipe engine{Constant(1500.0), Constant(0.05), seconds, true, 71, 0.1, 0.02, 0.0};
    Signal s = RenderEngine(engine);
    NormalizeRms(s, -20.0);

    const size_t n = s.size();
    Noise noise(72);
    const Signal slow = PeriodicWander(n, 3, 9, noise);
    const Signal flutter = PeriodicWander(n, 25, 45, noise);
    const Signal grip = PeriodicWander(n, 6, 22, noise);
    Signal freq(n);
    for (size_t i = 0; i < n; ++i)
        freq[i] = float(960.0 * (1.0 + 0.05 * slow[i] + 0.012 * flutter[i]));
    const std::vector<double> inc = ClosedIncrements(freq, kRate, 1);
    const Signal hiss = WhiteNoise(n, noise);
    Svf scrub(kRate, 3200.0, 0.8);
    Signal scrubbed = Circular(hiss, [&](size_t, float x) { return scrub.BandUnity(x); });
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double p = kTwoPi * phase;
        const double tone =
            std::sin(p) + 0.45 * std::sin(2 * p) + 0.28 * std::sin(3 * p) + 0.12 * std::sin(5 * p);
        const double am = 0.72 + 0.28 * double(grip[i]);
        s[i] = float(double(s[i]) + 0.16 * am * tone + 0.09 * am * double(scrubbed[i]));
        phase += inc[i];
        phase -= std::floor(phase);
    }
    Effect fx{"Brake", true, s};
    FinishLoop(fx.samples, -15.5, 0);
    return fx;
}

// Nitro: the engine flat out inside a jet-like roar of burning gas.
Effect NitroRoar() {
    const double seconds = 2.0;
    EngineRecipe engine{Constant(6900.0), Constant(1.0), seconds, true, 81, 0.06, 0.006, 0.0};
    Signal s = RenderEngine(engine);
    NormalizeRms(s, -19.0);

    const size_t n = s.size();
    Noise noise(82);
    const Signal flicker = PeriodicWander(n, 10, 40, noise);
    const Signal drift = PeriodicWander(n, 2, 5, noise);
    const Signal a = WhiteNoise(n, noise);
    Svf roar(kRate, 1300.0, 0.6), throat(kRate, 420.0, 1.2), rumble(kRate, 110.0, 0.8),
        air(kRate, 5200.0, 0.7);
    const Signal gas = Circular(a, [&](size_t, float x) {
        return float(0.5 * roar.Process(x).low + 0.55 * throat.BandUnity(x) + 1.3 * rumble.Process(x).low +
                     0.1 * air.Process(x).high);
    });
    Signal freq(n);
    for (size_t i = 0; i < n; ++i)
        freq[i] = float(2900.0 * (1.0 + 0.01 * drift[i]));
    const std::vector<double> inc = ClosedIncrements(freq, kRate, 1);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double am = 0.85 + 0.15 * double(flicker[i]);
        s[i] = float(double(s[i]) + 0.55 * am * double(gas[i]) + 0.012 * std::sin(kTwoPi * phase));
        phase += inc[i];
        phase -= std::floor(phase);
    }
    Effect fx{"Nitro", true, s};
    FinishLoop(fx.samples, -14.0, 0);
    return fx;
}

} // namespace

std::vector<Effect> EngineEffects() {
    std::vector<Effect> out;
    out.push_back(EngineLoop("Neutral", {Constant(900.0), Constant(0.12), 2.0, true, 11, 0.22, 0.02, 0.0},
                             -17.0, true));
    // The four pulls last about as long as the car spends in each speed band with the
    // throttle held, and each starts a little higher than the one before.
    out.push_back(EngineLoop("Accel1", {Pull(1700, 5000, 3.2), Constant(1.0), 3.2, false, 21, 0.07, 0.0, 0},
                             -15.0, false));
    out.push_back(EngineLoop("Accel2", {Pull(3000, 5300, 3.4), Constant(1.0), 3.4, false, 22, 0.07, 0.0, 0},
                             -15.0, false));
    out.push_back(EngineLoop("Accel3", {Pull(3400, 5500, 3.3), Constant(1.0), 3.3, false, 23, 0.07, 0.0, 0},
                             -15.0, false));
    out.push_back(EngineLoop("Accel4", {Pull(3800, 6100, 4.3), Constant(1.0), 4.3, false, 24, 0.07, 0.0, 0},
                             -15.0, false));
    // The gear change: the throttle lifts, the revs drop, and (should the car linger)
    // come back up, so the loop closes on itself.
    Curve shiftRpm({{0.0, 5300}, {0.09, 3400}, {0.45, 3300}, {0.7, 5300}}, true);
    Curve shiftLoad({{0.0, 0.35}, {0.03, 0.0}, {0.42, 0.0}, {0.56, 0.9}, {0.7, 0.35}}, true);
    out.push_back(EngineLoop("Shift",
                             {[=](double t) { return shiftRpm.At(t); },
                              [=](double t) { return shiftLoad.At(t); }, 0.7, true, 31, 0.08, 0.0, 0},
                             -16.0, false));
    out.push_back(EngineLoop("Slowed", {Constant(3300.0), Constant(0.0), 2.4, true, 41, 0.12, 0.025, 2.5},
                             -17.0, true));
    out.push_back(EngineLoop("Maxed", {Constant(6200.0), Constant(0.75), 2.0, true, 51, 0.05, 0.006, 0.0},
                             -15.0, true));
    out.push_back(TyreSqueal());
    out.push_back(NitroRoar());
    return out;
}

} // namespace vorlane::datagen::audio
