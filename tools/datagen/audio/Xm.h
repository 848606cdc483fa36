#pragma once
// Writing FastTracker II extended modules (.xm): the song header with its order table,
// packed patterns, and instruments of one 16-bit sample each with volume envelope,
// auto-vibrato and loop points.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorlane::datagen::audio {

// Note numbers of a pattern cell: 1 = C-0 .. 96 = B-7, 97 = key off, 0 = none.
inline constexpr uint8_t kXmKeyOff = 97;
// The note number of C-4, the note at which a sample with relative note 0 and finetune 0
// plays at 8363 Hz.
inline constexpr int kXmMiddleC = 49;

struct XmCell {
    uint8_t note = 0;       // 0 none, 1..96, kXmKeyOff
    uint8_t instrument = 0; // 0 none, 1..128
    uint8_t volume = 0;     // volume column: 0 none, 0x10..0x50 set volume 0..64, other commands
    uint8_t effect = 0;     // effect type (0 with param 0: none)
    uint8_t param = 0;
    bool Empty() const { return note == 0 && instrument == 0 && volume == 0 && effect == 0 && param == 0; }
};

struct XmPattern {
    int rows = 64;
    std::vector<XmCell> cells; // rows * channels, row by row
};

struct XmEnvelope {
    std::vector<std::pair<uint16_t, uint16_t>> points; // (tick, value 0..64), at most 12
    bool on = false;
    int sustain = -1;                 // point index, -1 none
    int loopStart = -1, loopEnd = -1; // point indices, -1 none
};

struct XmSample {
    std::string name;
    std::vector<int16_t> data;
    uint32_t loopStart = 0, loopLength = 0; // in sample frames; loopLength 0: no loop
    uint8_t volume = 64;
    int8_t finetune = 0; // 1/128 semitone
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

struct XmInstrument {
    std::string name;
    XmSample sample;
    XmEnvelope volumeEnvelope, panningEnvelope;
    uint16_t fadeout = 0; // volume fall per tick after key off (of 65536)
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct XmModule {
    std::string name;
    int channels = 8;
    int restart = 0; // order index the song returns to after its last order
    int speed = 6;   // ticks per row
    int bpm = 125;
    bool linearFrequencies = true;
    std::vector<uint8_t> orders; // pattern numbers
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// The whole .xm file. Throws std::invalid_argument naming what is out of range (no
// orders, an order naming a missing pattern, a pattern of the wrong size, more than 32
// channels, 256 patterns or 128 instruments, an envelope of more than 12 points, a loop
// past the end of its sample, ...).
std::vector<uint8_t> WriteXm(const XmModule& module);

// Relative note and finetune that make a sample recorded at sampleRate, whose content
// sounds at pitchHz, play at its true pitch (C-4 = 261.63 Hz). For drums and other
// unpitched samples pass pitchHz = 261.6256 so that C-4 plays them at their own rate.
void TuneSample(XmSample& sample, double sampleRate, double pitchHz);

} // namespace vorlane::datagen::audio
