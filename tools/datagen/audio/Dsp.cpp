#include "datagen/audio/Dsp.h"

#include <algorithm>
#include <cmath>

namespace vorlane::datagen::audio {

size_t Samples(double seconds, double rate) {
    return seconds <= 0.0 ? 0 : size_t(std::lround(seconds * rate));
}

void Svf::Set(double rate, double cutoff, double q) {
    const double fc = std::clamp(cutoff, 5.0, rate * 0.49);
    const double g = std::tan(kPi * fc / rate);
    k_ = 1.0 / std::max(q, 0.05);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

Svf::Out Svf::Process(float x) {
    const double v3 = double(x) - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {float(v2), float(v1), float(double(x) - k_ * v1 - v2)};
}

void OnePole::Set(double rate, double cutoff) {
    a_ = 1.0 - std::exp(-kTwoPi * std::max(cutoff, 0.1) / rate);
}

void Mode::Set(double rate, double freq, double decay) {
    const double w = kTwoPi * std::clamp(freq, 1.0, rate * 0.49) / rate;
    const double r = std::exp(-1.0 / (std::max(decay, 1e-4) * rate));
    c1_ = 2.0 * r * std::cos(w);
    c2_ = r * r;
    gain_ = std::sin(w);
}

double Osc::Step(double freq, double rate) {
    inc_ = std::clamp(freq / rate, 0.0, 0.5);
    phase_ += inc_;
    if (phase_ >= 1.0) phase_ -= std::floor(phase_);
    return phase_;
}

namespace {
// The polyBLEP residual that smooths a unit step at phase 0.
double Blep(double t, double dt) {
    if (dt <= 0.0) return 0.0;
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}
} // namespace

float Osc::Sine() const {
    return float(std::sin(kTwoPi * phase_));
}

float Osc::Saw() const {
    return float(2.0 * phase_ - 1.0 - Blep(phase_, inc_));
}

float Osc::Pulse(double width) const {
    double v = phase_ < width ? 1.0 : -1.0;
    v += Blep(phase_, inc_);
    double shifted = phase_ + 1.0 - width;
    shifted -= std::floor(shifted);
    v -= Blep(shifted, inc_);
    return float(v);
}

float Osc::Triangle() const {
    return float(1.0 - 4.0 * std::fabs(phase_ - 0.5));
}

double Curve::At(double t) const {
    if (points_.empty()) return 0.0;
    if (t <= points_.front().first) return points_.front().second;
    if (t >= points_.back().first) return points_.back().second;
    for (size_t i = 1; i < points_.size(); ++i) {
        const auto& [t1, v1] = points_[i];
        if (t > t1) continue;
        const auto& [t0, v0] = points_[i - 1];
        double u = t1 > t0 ? (t - t0) / (t1 - t0) : 1.0;
        if (smooth_) u = 0.5 - 0.5 * std::cos(kPi * u);
        return v0 + (v1 - v0) * u;
    }
    return points_.back().second;
}

double Decay(double t, double tau) {
    return t < 0.0 ? 0.0 : std::exp(-t / tau);
}

double AttackDecay(double t, double attack, double tau) {
    if (t < 0.0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

double Note2Freq(double midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

Signal Reverb(const Signal& in, double rate, double room, double damp, double wet, double tailSeconds) {
    static constexpr int kCombs[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static constexpr int kAllPasses[] = {556, 441, 341, 225};
    struct Line {
        std::vector<double> buf;
        size_t pos = 0;
        double store = 0.0;
    };
    const double scale = rate / 44100.0;
    std::vector<Line> combs, passes;
    for (int len : kCombs)
        combs.push_back({std::vector<double>(size_t(std::max(1.0, len * scale)), 0.0)});
    for (int len : kAllPasses)
        passes.push_back({std::vector<double>(size_t(std::max(1.0, len * scale)), 0.0)});

    Signal out(in.size() + Samples(tailSeconds, rate), 0.0f);
    for (size_t n = 0; n < out.size(); ++n) {
        const double x = n < in.size() ? double(in[n]) : 0.0;
        const double input = x * 0.015;
        double sum = 0.0;
        for (Line& c : combs) {
            const double y = c.buf[c.pos];
            c.store = y * (1.0 - damp) + c.store * damp;
            c.buf[c.pos] = input + c.store * room;
            c.pos = (c.pos + 1) % c.buf.size();
            sum += y;
        }
        for (Line& a : passes) {
            const double b = a.buf[a.pos];
            a.buf[a.pos] = sum + b * 0.5;
            a.pos = (a.pos + 1) % a.buf.size();
            sum = b - sum;
        }
        out[n] = float(x + wet * sum);
    }
    return out;
}

double Peak(const Signal& s) {
    double p = 0.0;
    for (float v : s)
        p = std::max(p, double(std::fabs(v)));
    return p;
}

double Rms(const Signal& s) {
    if (s.empty()) return 0.0;
    double sum = 0.0;
    for (float v : s)
        sum += double(v) * double(v);
    return std::sqrt(sum / double(s.size()));
}

double RmsDb(const Signal& s) {
    return 20.0 * std::log10(std::max(Rms(s), 1e-12));
}

void Scale(Signal& s, double gain) {
    for (float& v : s)
        v = float(double(v) * gain);
}

void NormalizePeak(Signal& s, double peak) {
    const double p = Peak(s);
    if (p > 0.0) Scale(s, peak / p);
}

void NormalizeRms(Signal& s, double rmsDb) {
    const double r = Rms(s);
    if (r > 0.0) Scale(s, std::pow(10.0, rmsDb / 20.0) / r);
}

void SoftLimit(Signal& s, double knee, double ceiling) {
    const double room = ceiling - knee;
    for (float& v : s) {
        const double a = std::fabs(double(v));
        if (a <= knee) continue;
        const double bent = knee + room * std::tanh((a - knee) / room);
        v = float(v < 0 ? -bent : bent);
    }
}

void FadeIn(Signal& s, size_t count) {
    count = std::min(count, s.size());
    for (size_t i = 0; i < count; ++i)
        s[i] = float(double(s[i]) * double(i) / double(count));
}

void FadeOut(Signal& s, size_t count) {
    count = std::min(count, s.size());
    const size_t start = s.size() - count;
    for (size_t i = 0; i < count; ++i)
        s[start + i] = float(double(s[start + i]) * double(count - 1 - i) / double(count));
}

void MixInto(Signal& dst, const Signal& src, size_t offset, double gain) {
    if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
    for (size_t i = 0; i < src.size(); ++i)
        dst[offset + i] = float(double(dst[offset + i]) + gain * double(src[i]));
}

void RemoveDc(Signal& s, double rate, double cutoff) {
    OnePole lp(rate, cutoff);
    for (float& v : s)
        v = lp.High(v);
}

void RemoveMean(Signal& s) {
    if (s.empty()) return;
    double sum = 0.0;
    for (float v : s)
        sum += double(v);
    const double mean = sum / double(s.size());
    for (float& v : s)
        v = float(double(v) - mean);
}

std::vector<int16_t> ToPcm16(const Signal& s) {
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double v = std::round(double(s[i]) * 32767.0);
        out[i] = int16_t(std::clamp(v, -32768.0, 32767.0));
    }
    return out;
}

} // namespace vorlane::datagen::audio
