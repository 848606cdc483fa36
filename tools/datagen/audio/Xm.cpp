#include "datagen/audio/Xm.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vorlane::datagen::audio {
namespace {

class Out {
  public:
    void U8(unsigned v) { bytes.push_back(uint8_t(v)); }
    void U16(unsigned v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // A fixed-size text field, cut or padded with zero bytes.
    void Text(const std::string& s, size_t size) {
        for (size_t i = 0; i < size; ++i)
            U8(i < s.size() ? uint8_t(s[i]) : 0);
    }
    void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    std::vector<uint8_t> bytes;
};

void Fail(const std::string& what) {
    throw std::invalid_argument("XM module: " + what);
}

void Check(const XmModule& m) {
    if (m.channels < 1 || m.channels > 32)
        Fail("channel count " + std::to_string(m.channels) + " outside 1..32");
    if (m.orders.empty() || m.orders.size() > 256) Fail("order table needs 1..256 entries");
    if (m.patterns.empty() || m.patterns.size() > 256) Fail("needs 1..256 patterns");
    if (m.instruments.size() > 128) Fail("more than 128 instruments");
    if (m.restart < 0 || size_t(m.restart) >= m.orders.size())
        Fail("restart position outside the order table");
    if (m.speed < 1 || m.speed > 31) Fail("speed outside 1..31");
    if (m.bpm < 32 || m.bpm > 255) Fail("BPM outside 32..255");
    for (uint8_t o : m.orders)
        if (o >= m.patterns.size()) Fail("order names missing pattern " + std::to_string(o));
    for (size_t p = 0; p < m.patterns.size(); ++p) {
        const XmPattern& pat = m.patterns[p];
        if (pat.rows < 1 || pat.rows > 256) Fail("pattern " + std::to_string(p) + " rows outside 1..256");
        if (pat.cells.size() != size_t(pat.rows) * size_t(m.channels))
            Fail("pattern " + std::to_string(p) + " has " + std::to_string(pat.cells.size()) +
                 " cells, not rows x channels");
        for (const XmCell& c : pat.cells) {
            if (c.note > kXmKeyOff)
                Fail("pattern " + std::to_string(p) + " holds note " + std::to_string(c.note));
            if (c.instrument > m.instruments.size())
                Fail("pattern " + std::to_string(p) + " names missing instrument " +
                     std::to_string(c.instrument));
        }
    }
    for (size_t i = 0; i < m.instruments.size(); ++i) {
        const XmInstrument& ins = m.instruments[i];
        const std::string which = "instrument " + std::to_string(i + 1) + " (" + ins.name + ")";
        for (const XmEnvelope* e : {&ins.volumeEnvelope, &ins.panningEnvelope}) {
            if (e->points.size() > 12) Fail(which + ": envelope of more than 12 points");
            if (e->on && e->points.empty()) Fail(which + ": envelope switched on without points");
            const int n = int(e->points.size());
            if (e->sustain >= n || e->loopStart >= n || e->loopEnd >= n || e->loopStart > e->loopEnd)
                Fail(which + ": envelope point index out of range");
            for (size_t k = 1; k < e->points.size(); ++k)
                if (e->points[k].first <= e->points[k - 1].first) Fail(which + ": envelope ticks must rise");
        }
        const XmSample& s = ins.sample;
        if (s.data.size() > 0x7FFFFFFF / 2) Fail(which + ": sample too long");
        if (s.loopLength > 0 && uint64_t(s.loopStart) + s.loopLength > s.data.size())
            Fail(which + ": loop runs past the end of the sample");
        if (s.volume > 64) Fail(which + ": sample volume above 64");
    }
}

void WriteEnvelopePoints(Out& out, const XmEnvelope& e) {
    for (size_t k = 0; k < 12; ++k) {
        out.U16(k < e.points.size() ? e.points[k].first : 0);
        out.U16(k < e.points.size() ? e.points[k].second : 0);
    }
}

uint8_t EnvelopeType(const XmEnvelope& e) {
    uint8_t t = 0;
    if (e.on) t |= 1;
    if (e.on && e.sustain >= 0) t |= 2;
    if (e.on && e.loopStart >= 0 && e.loopEnd >= 0) t |= 4;
    return t;
}

void WritePattern(Out& out, const XmPattern& pat) {
    Out data;
    for (const XmCell& c : pat.cells) {
        uint8_t mask = 0;
        if (c.note) mask |= 1;
        if (c.instrument) mask |= 2;
        if (c.volume) mask |= 4;
        if (c.effect) mask |= 8;
        if (c.param) mask |= 16;
        if (mask == 31) {
            data.U8(c.note);
            data.U8(c.instrument);
            data.U8(c.volume);
            data.U8(c.effect);
            data.U8(c.param);
            continue;
        }
        data.U8(0x80 | mask);
        if (c.note) data.U8(c.note);
        if (c.instrument) data.U8(c.instrument);
        if (c.volume) data.U8(c.volume);
        if (c.effect) data.U8(c.effect);
        if (c.param) data.U8(c.param);
    }
    if (data.bytes.size() > 0xFFFF) Fail("a pattern packs to more than 65535 bytes");
    out.U32(9);
    out.U8(0);
    out.U16(unsigned(pat.rows));
    out.U16(unsigned(data.bytes.size()));
    out.bytes.insert(out.bytes.end(), data.bytes.begin(), data.bytes.end());
}

void WriteInstrument(Out& out, const XmInstrument& ins) {
    out.U32(263);
    out.Text(ins.name, 22);
    out.U8(0);
    out.U16(1); // one sample
    out.U32(40);
    out.Zeros(96); // every note plays sample 0
    WriteEnvelopePoints(out, ins.volumeEnvelope);
    WriteEnvelopePoints(out, ins.panningEnvelope);
    out.U8(unsigned(ins.volumeEnvelope.points.size()));
    out.U8(unsigned(ins.panningEnvelope.points.size()));
    for (const XmEnvelope* e : {&ins.volumeEnvelope, &ins.panningEnvelope}) {
        out.U8(unsigned(std::max(e->sustain, 0)));
        out.U8(unsigned(std::max(e->loopStart, 0)));
        out.U8(unsigned(std::max(e->loopEnd, 0)));
    }
    out.U8(EnvelopeType(ins.volumeEnvelope));
    out.U8(EnvelopeType(ins.panningEnvelope));
    out.U8(ins.vibratoType);
    out.U8(ins.vibratoSweep);
    out.U8(ins.vibratoDepth);
    out.U8(ins.vibratoRate);
    out.U16(ins.fadeout);
    out.Zeros(22);

    const XmSample& s = ins.sample;
    const bool looped = s.loopLength > 0;
    out.U32(uint32_t(s.data.size() * 2));
    out.U32(looped ? s.loopStart * 2 : 0);
    out.U32(looped ? s.loopLength * 2 : 0);
    out.U8(s.volume);
    out.U8(uint8_t(s.finetune));
    out.U8((looped ? 1 : 0) | 0x10); // forward loop, 16-bit
    out.U8(s.panning);
    out.U8(uint8_t(s.relativeNote));
    out.U8(0);
    out.Text(s.name, 22);
    int16_t previous = 0;
    for (int16_t v : s.data) {
        out.U16(uint16_t(int16_t(uint16_t(v) - uint16_t(previous))));
        previous = v;
    }
}

} // namespace

std::vector<uint8_t> WriteXm(const XmModule& m) {
    Check(m);
    Out out;
    out.Text("Extended Module: ", 17);
    out.Text(m.name, 20);
    out.U8(0x1A);
    out.Text("Vorlane datagen", 20);
    out.U16(0x0104);
    out.U32(276);
    out.U16(unsigned(m.orders.size()));
    out.U16(unsigned(m.restart));
    out.U16(unsigned(m.channels));
    out.U16(unsigned(m.patterns.size()));
    out.U16(unsigned(m.instruments.size()));
    out.U16(m.linearFrequencies ? 1 : 0);
    out.U16(unsigned(m.speed));
    out.U16(unsigned(m.bpm));
    for (size_t i = 0; i < 256; ++i)
        out.U8(i < m.orders.size() ? m.orders[i] : 0);
    for (const XmPattern& p : m.patterns)
        WritePattern(out, p);
    for (const XmInstrument& ins : m.instruments)
        WriteInstrument(out, ins);
    return out.bytes;
}

void TuneSample(XmSample& sample, double sampleRate, double pitchHz) {
    const double semitones = 12.0 * std::log2(sampleRate * 261.6255653 / (pitchHz * 8363.0));
    const double whole = std::floor(semitones + 0.5);
    int fine = int(std::lround((semitones - whole) * 128.0));
    fine = std::clamp(fine, -128, 127);
    if (whole < -96 || whole > 95)
        throw std::invalid_argument("XM sample: pitch out of reach of the relative note");
    sample.relativeNote = int8_t(whole);
    sample.finetune = int8_t(fine);
}

} // namespace vorlane::datagen::audio
