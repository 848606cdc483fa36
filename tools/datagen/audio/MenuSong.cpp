// The menu song: moody, mid-tempo, in D minor. Twenty-four bars at 96 beats a minute
// (one minute), then it starts over: an intro of pad, bass and electric piano, the lead
// coming in over a half-time beat, the full groove with the main tune, a quieter bridge,
// and a turnaround that leads back to the top.
#include "datagen/Families.h"
#include "datagen/audio/Composer.h"
#include "datagen/audio/Instruments.h"

#include <map>
#include <string>

namespace vorlane::datagen {
namespace {

using namespace audio;

constexpr int kBpm = 96;
constexpr int kRows = 64; // four bars of sixteenth notes

// Instruments, numbered as the module stores them.
enum : int { kKick = 1, kSnare, kHat, kOpenHat, kBass, kPad, kPiano, kLead };
// Channels.
enum : int { cKick = 0, cSnare, cHat, cBass, cPad, cPiano = 7, cLead, cEcho, kChannels };

struct ChordVoicing {
    int bass;             // the root in the bass register
    std::vector<int> pad; // three voices around middle C
};

const std::map<std::string, ChordVoicing>& Chords() {
    static const std::map<std::string, ChordVoicing> chords = {
        {"Dm", {38, {62, 65, 69}}}, {"Bb", {34, {62, 65, 70}}}, {"F", {41, {60, 65, 69}}},
        {"C", {36, {60, 64, 67}}},  {"Gm", {43, {62, 67, 70}}}, {"A", {45, {61, 64, 69}}},
        {"Am", {45, {60, 64, 69}}},
    };
    return chords;
}

enum class Bass { Held, Moving };

// Pad chords, bass and the electric piano's broken chords under four bars.
// The pad is struck once at the top of the song and then glides from chord to chord.
void Harmony(Composer& c, int p, const std::vector<std::string>& bars, Bass bass, int padVolume,
             int pianoVolume, bool strikePad = false) {
    for (int bar = 0; bar < 4; ++bar) {
        const ChordVoicing& v = Chords().at(bars[size_t(bar)]);
        const int row = bar * 16;
        c.Chord(p, cPad, kPad, row, v.pad, padVolume, !(strikePad && bar == 0));
        if (bass == Bass::Held) {
            c.Note(p, row, cBass, v.bass, kBass, 50);
        } else {
            c.Note(p, row, cBass, v.bass, kBass, 52);
            c.Note(p, row + 6, cBass, v.bass, kBass, 40);
            c.Note(p, row + 8, cBass, v.bass + 7, kBass, 46);
            c.Note(p, row + 12, cBass, v.bass + 12, kBass, 42);
        }
        if (pianoVolume > 0) {
            const int tones[] = {v.pad[0] + 12, v.pad[2], v.pad[1] + 12, v.pad[2]};
            for (int k = 0; k < 8; ++k)
                c.Note(p, row + 2 * k, cPiano, tones[k % 4], kPiano,
                       k % 4 == 0 ? pianoVolume : pianoVolume - 6);
        }
    }
}

void Drums(Composer& c, int p, const std::string& kick, const std::string& snare, const std::string& hat,
           int fromBar = 0, int bars = 4) {
    for (int bar = fromBar; bar < fromBar + bars; ++bar) {
        c.Grid(p, cKick, kKick, 60, kick, bar * 16, 60, 50, 34);
        c.Grid(p, cSnare, kSnare, 60, snare, bar * 16, 54, 42, 24);
        c.Grid(p, cHat, kHat, 60, hat, bar * 16, 34, 26, 16);
    }
}

void Lead(Composer& c, int p, const std::string& line) {
    c.Line(p, cLead, kLead, 0, line, 44);
    c.Echo(p, cLead, cEcho, 3, 15);
}

} // namespace

std::vector<uint8_t> BuildMenuSong() {
    XmModule m;
    m.name = "Vorlane menu";
    m.channels = kChannels;
    m.speed = 6;
    m.bpm = kBpm;
    m.instruments = {KickDrum(true), SnareDrum(true),        ClosedHat(),         OpenHat(),
                     WarmBass(kBpm), Pad(kBpm, 1700.0, 0.6), ElectricPiano(kBpm), SoftLead(kBpm)};
    // The sample volumes balance the parts before any note volume does.
    m.instruments[kKick - 1].sample.volume = 56;
    m.instruments[kHat - 1].sample.volume = 40;
    m.instruments[kOpenHat - 1].sample.volume = 30;
    m.instruments[kPad - 1].sample.volume = 40;
    m.instruments[kPiano - 1].sample.volume = 44;
    m.instruments[kLead - 1].sample.volume = 48;
    m.instruments[kBass - 1].sample.volume = 60;
    Composer c(m, kRows);

    const std::string halfKick = "x.........o.....", groove = "x.....x...x.....",
                      groove2 = "x.....x...x...o.";
    const std::string halfSnare = "........x.......", backbeat = "....x.......x...";
    const std::string offHats = "..o...o...o...o.", eighths = "o.x.o.x.o.x.o.x.",
                      sixteenths = "o.x.o.xoo.x.o.xo";

    // Intro: pad, held bass, electric piano and a light pulse.
    const int intro = c.NewPattern();
    c.Effect(intro, 0, cLead, 0x0F, 6);
    c.Effect(intro, 0, cEcho, 0x0F, kBpm);
    Harmony(c, intro, {"Dm", "Bb", "F", "C"}, Bass::Held, 36, 30, true);
    Drums(c, intro, halfKick, "", offHats);

    // The lead comes in over a half-time beat.
    const int enter = c.NewPattern();
    Harmony(c, enter, {"Dm", "Bb", "Gm", "A"}, Bass::Held, 34, 26);
    Drums(c, enter, halfKick, halfSnare, eighths);
    Lead(c, enter, "A4:6 G4:2 F4:4 E4:2 D4:2 | F4:8 D4:4 F4:4 | G4:6 A4:2 Bb4:6 A4:2 | A4:12 r:2 E4:2");

    // The full groove and the main tune.
    const int tune = c.NewPattern();
    Harmony(c, tune, {"Dm", "Bb", "F", "C"}, Bass::Moving, 32, 20);
    Drums(c, tune, groove, backbeat, sixteenths, 0, 3);
    Drums(c, tune, groove2, backbeat, sixteenths, 3, 1);
    Lead(c, tune, "D5:6 C5:2 A4:4 F4:4 | G4:6 F4:2 D4:8 | C5:4 A4:4 C5:4 F5:4 | E5:8 D5:4 C5:4");

    const int answer = c.NewPattern();
    Harmony(c, answer, {"Gm", "Bb", "A", "A"}, Bass::Moving, 32, 20);
    Drums(c, answer, groove, backbeat, sixteenths, 0, 3);
    Drums(c, answer, groove2, backbeat, eighths, 3, 1);
    Lead(c, answer, "D5:6 Bb4:2 G4:6 A4:2 | Bb4:4 C5:4 D5:8 | C#5:8 E5:4 A4:4 | A4:12 r:4");

    // Bridge: the beat thins out, the tune rises.
    const int bridge = c.NewPattern();
    Harmony(c, bridge, {"Bb", "C", "Am", "Dm"}, Bass::Held, 40, 30);
    c.Grid(bridge, cKick, kKick, 60, "x...............................x...............", 0, 60, 50, 34);
    Drums(c, bridge, "", "", offHats);
    c.Grid(bridge, cHat, kOpenHat, 60, "..............x...............................x.", 0, 40, 30, 20);
    Lead(c, bridge, "F5:8 D5:8 | E5:8 G5:8 | E5:6 C5:2 A4:8 | D5:12 r:4");

    // Turnaround: the groove again, a fill, and the dominant that leads back to the top.
    const int turn = c.NewPattern();
    Harmony(c, turn, {"Gm", "Bb", "C", "A"}, Bass::Moving, 32, 20);
    Drums(c, turn, groove, backbeat, sixteenths, 0, 3);
    c.Grid(turn, cKick, kKick, 60, "x.....x.x.......", 48);
    c.Grid(turn, cSnare, kSnare, 60, "....x...o.o.xxXX", 48, 58, 44, 28);
    c.Grid(turn, cHat, kOpenHat, 60, "x", 0, 44);
    Lead(c, turn, "Bb4:4 A4:4 G4:4 D5:4 | D5:6 F5:2 D5:4 Bb4:4 | C5:6 E5:2 G5:8 | E5:8 C#5:4 A4:2 r:2");

    m.orders = {uint8_t(intro),  uint8_t(enter),  uint8_t(tune),
                uint8_t(answer), uint8_t(bridge), uint8_t(turn)};
    m.restart = 0;
    // The stereo stage: kick, snare and bass in the middle, the hats to the right, the
    // pad's three voices spread across, the piano left and the lead right with its echo
    // answering from the left.
    //                   kick snare hat bass  pad           piano lead echo
    PlaceChannels(m, {128, 120, 176, 128, 72, 128, 184, 92, 164, 84});
    return WriteXm(m);
}

} // namespace vorlane::datagen
