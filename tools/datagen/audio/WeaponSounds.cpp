// Weapons and impacts: the machine gun's burst (a loop of shots at the gun's rate of
// fire), the rocket leaving its launcher, explosions, the weapon rising out of the roof,
// and the crunch of a collision.
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

// One gunshot: the muzzle crack, the low report, the receiver's resonance and the bolt
// clacking back a moment later.
Signal Gunshot(Noise& noise, double variation) {
    Signal s(Samples(0.19, kRate), 0.0f);
    Svf crackFilter(kRate, 900.0, 0.7), tailFilter(kRate, 1500.0, 0.6), reportFilter(kRate, 420.0, 0.7);
    Mode receiver(kRate, 185.0 * variation, 0.035), bolt1(kRate, 2300.0 * variation, 0.008),
        bolt2(kRate, 3700.0 / variation, 0.006);
    const double boltAt = 0.045;
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Time(i);
        const float w = noise.White();
        const double crack = crackFilter.Process(float(w * AttackDecay(t, 0.0004, 0.011))).high;
        const double report = reportFilter.Process(float(w * Decay(t, 0.035))).low;
        phase += (55.0 + 60.0 * Decay(t, 0.02)) / kRate;
        const double thump = std::sin(kTwoPi * phase) * AttackDecay(t, 0.001, 0.045);
        const double body = receiver.Process(float(w * Decay(t, 0.004)));
        const double tail = tailFilter.Process(float(w * Decay(t, 0.07))).low;
        const double click = t >= boltAt ? double(w) * Decay(t - boltAt, 0.0015) : 0.0;
        const double boltSound = bolt1.Process(float(click)) + 0.7 * bolt2.Process(float(click));
        s[i] = float(0.9 * crack + 1.1 * report + 0.8 * thump + 0.6 * body + 0.25 * tail + 0.25 * boltSound);
    }
    return s;
}

// Five shots a second, as fast as the gun fires: four shots make the loop.
Effect MachineGun() {
    const size_t n = Samples(0.8, kRate);
    Signal loop(n, 0.0f);
    Noise noise(101);
    const size_t lead = Samples(0.004, kRate);
    for (int shot = 0; shot < 4; ++shot) {
        const double variation = 1.0 + 0.05 * noise.White();
        const Signal s = Gunshot(noise, variation);
        MixWrapped(loop, s, lead + size_t(shot) * n / 4, 1.0 + 0.08 * noise.White());
    }
    RemoveMean(loop);
    Effect fx{"MachineGun", true, loop};
    FinishLoop(fx.samples, -14.0, Samples(0.003, kRate));
    return fx;
}

// The rocket: an ignition pop, then a hissing, crackling motor that flies away (its
// pitch falls as it goes).
Effect Rocket() {
    const size_t n = Samples(1.5, kRate);
    Signal s(n, 0.0f);
    Noise noise(111);
    Svf motor, rumble(kRate, 260.0, 0.7), pop(kRate, 160.0, 1.5);
    Mode crackle(kRate, 1900.0, 0.004);
    double whistle = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        const float w = noise.White();
        const double away = std::exp(-t / 0.45);
        motor.Set(kRate, 900.0 + 1800.0 * away, 1.1);
        const double env = AttackDecay(t, 0.05, 0.38);
        const double hiss = motor.BandUnity(w) * env;
        const double low = rumble.Process(w).low * env;
        const double ignition = pop.BandUnity(float(w * Decay(t, 0.012))) * 2.5;
        const float spark = noise.Uniform(0.0, 1.0) < 70.0 / kRate ? float(noise.Uniform(0.5, 1.0)) : 0.0f;
        const double crack = crackle.Process(spark) * env;
        whistle += (780.0 + 700.0 * away) / kRate;
        const double tone = std::sin(kTwoPi * whistle) * 0.12 * env;
        s[i] = float(0.9 * hiss + 0.9 * low + ignition + 0.5 * crack + tone);
    }
    FadeOut(s, Samples(0.5, kRate));
    s = Reverb(s, kRate, 0.75, 0.4, 0.25, 0.4);
    Effect fx{"Rocket", false, s};
    FinishOneShot(fx.samples, kRate, 0.8);
    return fx;
}

// A big explosion: a sharp crack, a blast whose roar darkens as it spreads, a deep boom
// and falling debris.
Effect Explosion() {
    const size_t n = Samples(2.8, kRate);
    Signal s(n, 0.0f);
    Noise noise(121);
    Svf blast, rumble(kRate, 90.0, 0.7);
    double boom = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        const float w = noise.White();
        blast.Set(kRate, 150.0 + 3800.0 * std::exp(-t / 0.25), 0.7);
        const double crack = double(w) * AttackDecay(t, 0.0008, 0.012);
        const double roar = blast.Process(w).low * AttackDecay(t, 0.004, 0.42);
        boom += (28.0 + 45.0 * std::exp(-t / 0.18)) / kRate;
        const double sub = std::sin(kTwoPi * boom) * AttackDecay(t, 0.003, 0.35);
        const double low = rumble.Process(w).low * AttackDecay(t, 0.02, 0.6) * 3.0;
        s[i] = float(0.6 * crack + 1.2 * roar + 0.9 * sub + low);
    }
    // Debris: crackles and the odd clink scattered over the first second, thinning out.
    for (int k = 0; k < 60; ++k) {
        const double at = 0.03 + std::pow(noise.Uniform(0.0, 1.0), 1.8) * 1.1;
        const bool clink = k % 6 == 0;
        Svf grit(kRate, noise.Uniform(800.0, 3500.0), 1.2);
        Mode ping(kRate, noise.Uniform(1500.0, 4000.0), noise.Uniform(0.004, 0.012));
        Signal bit(Samples(clink ? 0.05 : 0.02, kRate));
        for (size_t i = 0; i < bit.size(); ++i) {
            const float hit = float(noise.White() * Decay(Time(i), 0.002));
            bit[i] = clink ? ping.Process(hit) : grit.BandUnity(hit);
        }
        MixInto(s, bit, Samples(at, kRate),
                (clink ? 0.12 : 0.35) * std::exp(-at / 0.5) * noise.Uniform(0.4, 1.0));
    }
    s.resize(n);
    FadeOut(s, Samples(0.9, kRate));
    for (float& v : s)
        v = float(std::tanh(1.6 * double(v)) / 1.6);
    s = Reverb(s, kRate, 0.82, 0.35, 0.3, 0.6);
    Effect fx{"Explosion", false, s};
    FinishOneShot(fx.samples, kRate, 0.95);
    return fx;
}

// The weapon rising out of the roof (or sinking back): a servo motor winding up, a
// little gear rattle and hiss, and the latch clunking home after 0.4 s.
Effect WeaponAppear() {
    const size_t n = Samples(0.58, kRate);
    Signal s(n, 0.0f);
    Noise noise(131);
    Osc motor;
    Svf motorTone(kRate, 900.0, 1.0), motorLow(kRate, 2400.0, 0.7), rattle(kRate, 2500.0, 0.8),
        hiss(kRate, 4200.0, 1.2);
    const double latch = 0.40;
    Mode clunk1(kRate, 120.0, 0.05), clunk2(kRate, 640.0, 0.03), click1(kRate, 3100.0, 0.01),
        click2(kRate, 4700.0, 0.006);
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        const float w = noise.White();
        const double running = std::clamp(t / 0.02, 0.0, 1.0) * (t < latch ? 1.0 : Decay(t - latch, 0.02));
        const double freq = 220.0 + 300.0 * std::min(t / latch, 1.0) + 8.0 * std::sin(kTwoPi * 23.0 * t);
        motor.Step(freq, kRate);
        const double buzz =
            motorLow.Process(float(motorTone.BandUnity(motor.Saw()) * 1.5 + motor.Saw() * 0.3)).low +
            0.35 * std::sin(kTwoPi * 4.0 * motor.Phase()); // the gears' whine
        const double teeth = motor.Phase() < 0.3 ? 1.0 : 0.0;
        const double gears = rattle.BandUnity(float(w * teeth));
        const double air = hiss.BandUnity(w) * std::min(t / latch, 1.0);
        const double impulse = t >= latch ? double(w) * Decay(t - latch, 0.002) : 0.0;
        const double home = 1.6 * clunk1.Process(float(impulse)) + 1.0 * clunk2.Process(float(impulse)) +
                            0.6 * click1.Process(float(impulse)) + 0.4 * click2.Process(float(impulse));
        s[i] = float(running * (1.1 * buzz + 0.2 * gears + 0.08 * air) + home);
    }
    Effect fx{"WeaponAppear", false, s};
    FinishOneShot(fx.samples, kRate, 0.7);
    return fx;
}

// Metal hitting metal: a dull thump, sheet metal ringing at many unrelated, quickly
// damped frequencies, the crackle of panels crumpling and a little glass.
Effect Collision() {
    const size_t n = Samples(0.7, kRate);
    Signal s(n, 0.0f);
    Noise noise(141);
    struct Panel {
        Mode mode;
        double gain;
    };
    std::vector<Panel> panels;
    for (int k = 0; k < 18; ++k) {
        const double freq = 150.0 * std::pow(25.0, noise.Uniform(0.0, 1.0));
        panels.push_back({Mode(kRate, freq, noise.Uniform(0.03, 0.14) * std::sqrt(400.0 / freq)),
                          noise.Uniform(0.3, 1.0)});
    }
    // The crash is a few hits in quick succession, the first the hardest.
    const double hits[][2] = {{0.0, 1.0}, {0.028, 0.55}, {0.061, 0.4}, {0.097, 0.3}, {0.14, 0.2}};
    Svf thumpFilter(kRate, 300.0, 0.7), crumple;
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = Time(i);
        const float w = noise.White();
        double strike = 0.0;
        for (const auto& h : hits)
            strike += h[1] * Decay(t - h[0], 0.003);
        // Crumpling: sparse clicks, dense at first and thinning out.
        const double crackleRate = 900.0 * Decay(t, 0.08);
        const double click = noise.Uniform(0.0, 1.0) < crackleRate / kRate ? noise.Uniform(-1.0, 1.0) : 0.0;
        const float hit = float(double(w) * strike + 0.6 * click);
        double ring = 0.0;
        for (Panel& p : panels)
            ring += p.gain * p.mode.Process(hit);
        crumple.Set(kRate, 1800.0 + 1200.0 * std::sin(t * 37.0), 0.9);
        const double crunch = crumple.BandUnity(float(click)) * 2.0;
        phase += (45.0 + 40.0 * Decay(t, 0.03)) / kRate;
        const double thump = std::sin(kTwoPi * phase) * AttackDecay(t, 0.001, 0.07) +
                             thumpFilter.Process(float(w * Decay(t, 0.03))).low;
        s[i] = float(0.3 * ring + 1.0 * thump + 0.5 * crunch);
    }
    // Glass: a bright burst and a few short tinkles.
    Svf shatter(kRate, 4500.0, 0.7);
    Signal glass(Samples(0.12, kRate));
    for (size_t i = 0; i < glass.size(); ++i)
        glass[i] = shatter.Process(float(noise.White() * AttackDecay(Time(i), 0.002, 0.03))).high;
    MixInto(s, glass, Samples(0.02, kRate), 0.25);
    for (int k = 0; k < 6; ++k) {
        const double at = noise.Uniform(0.05, 0.35);
        Mode ping(kRate, noise.Uniform(3800.0, 7000.0), noise.Uniform(0.008, 0.025));
        Signal bit(Samples(0.08, kRate));
        for (size_t i = 0; i < bit.size(); ++i)
            bit[i] = ping.Process(float(noise.White() * Decay(Time(i), 0.001)));
        MixInto(s, bit, Samples(at, kRate), 0.1 * noise.Uniform(0.4, 1.0));
    }
    s.resize(n);
    FadeOut(s, Samples(0.25, kRate));
    s = Reverb(s, kRate, 0.7, 0.4, 0.18, 0.25);
    Effect fx{"Collision", false, s};
    FinishOneShot(fx.samples, kRate, 0.9);
    return fx;
}

} // namespace

std::vector<Effect> WeaponEffects() {
    return {MachineGun(), Rocket(), Explosion(), WeaponAppear(), Collision()};
}

} // namespace vorlane::datagen::audio
