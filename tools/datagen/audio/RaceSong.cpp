// The race song: driving and up-tempo, in E minor, 144 beats a minute. Seventy-two bars
// (two minutes), then it starts over: an intro on drums and a pumping bass, the riff,
// two verses (the second time with a harmony and an arpeggio), a chorus, a breakdown
// that builds back into the chorus, a solo, the riff and verse again, the chorus and a
// turnaround with a tom fill that leads back to the intro.
#include "datagen/Families.h"
#include "datagen/audio/Composer.h"
#include "datagen/audio/Instruments.h"

#include <map>
#include <string>

namespace vorlane::datagen {
namespace {

using namespace audio;

constexpr int kBpm = 144;
constexpr int kRows = 64; // four bars of sixteenth notes

enum : int { kKick = 1, kSnare, kHat, kOpenHat, kCrash, kTom, kBass, kStab, kPad, kLead, kPluck };
enum : int { cKick = 0, cSnare, cHat, cCymbal, cBass, cChord, cLead = 8, cSecond, cArp, cTom, kChannels };

struct ChordVoicing {
    int bass;
    std::vector<int> voices;
};

const std::map<std::string, ChordVoicing>& Chords() {
    static const std::map<std::string, ChordVoicing> chords = {
        {"Em", {40, {64, 67, 71}}}, {"C", {36, {64, 67, 72}}}, {"D", {38, {62, 66, 69}}},
        {"G", {43, {62, 67, 71}}},  {"B", {35, {63, 66, 71}}}, {"Bm", {35, {62, 66, 71}}},
        {"Am", {45, {64, 69, 72}}}, {"A", {45, {64, 69, 73}}},
    };
    return chords;
}

using Bars = std::vector<std::string>;

// The pumping eighth-note bass: root, root, octave, root, fifth, root, octave, fifth.
void BassRiff(Composer& c, int p, const Bars& bars, int fromBar = 0) {
    static constexpr int kSteps[] = {0, 0, 12, 0, 7, 0, 12, 7};
    for (int bar = fromBar; bar < 4; ++bar) {
        const int root = Chords().at(bars[size_t(bar)]).bass;
        for (int k = 0; k < 8; ++k)
            c.Note(p, bar * 16 + 2 * k, cBass, root + kSteps[k], kBass, k % 2 == 0 ? 54 : 44);
    }
}

void BassHeld(Composer& c, int p, const Bars& bars) {
    for (int bar = 0; bar < 4; ++bar)
        c.Note(p, bar * 16, cBass, Chords().at(bars[size_t(bar)]).bass, kBass, 50);
}

void Stabs(Composer& c, int p, const Bars& bars, int volume) {
    for (int bar = 0; bar < 4; ++bar) {
        const std::vector<int>& v = Chords().at(bars[size_t(bar)]).voices;
        for (int row : {0, 6, 10})
            c.Chord(p, cChord, kStab, bar * 16 + row, v, row == 0 ? volume : volume - 8);
    }
}

// Strings: struck at the top of the pattern (the chord channels may have played stabs
// before), then gliding from chord to chord.
void Pads(Composer& c, int p, const Bars& bars, int volume) {
    for (int bar = 0; bar < 4; ++bar)
        c.Chord(p, cChord, kPad, bar * 16, Chords().at(bars[size_t(bar)]).voices, volume, bar > 0);
}

// Sixteenth-note broken chords an octave up.
void Arpeggio(Composer& c, int p, const Bars& bars, int volume, int fromBar = 0) {
    for (int bar = fromBar; bar < 4; ++bar) {
        const std::vector<int>& v = Chords().at(bars[size_t(bar)]).voices;
        const int tones[] = {v[0] + 12, v[1] + 12, v[2] + 12, v[1] + 12};
        for (int k = 0; k < 16; ++k)
            c.Note(p, bar * 16 + k, cArp, tones[k % 4], kPluck, k % 4 == 0 ? volume : volume - 8);
    }
}

// A second voice under the lead: for every lead note, the highest tone of the bar's chord
// at least a minor third below it.
void Harmony(Composer& c, int p, const Bars& bars, int volume) {
    for (int row = 0; row < kRows; ++row) {
        const XmCell lead = c.Cell(p, row, cLead);
        if (lead.note == 0) continue;
        if (lead.note == kXmKeyOff) {
            c.KeyOff(p, row, cSecond);
            continue;
        }
        const int note = int(lead.note) + 11;
        const std::vector<int>& v = Chords().at(bars[size_t(row / 16)]).voices;
        int below = note - 3;
        while (below > note - 12) {
            bool tone = false;
            for (int t : v)
                tone = tone || (below - t) % 12 == 0;
            if (tone) break;
            --below;
        }
        c.Note(p, row, cSecond, below, kLead, volume);
    }
}

struct Beat {
    std::string kick, snare, hat;
};

void Drums(Composer& c, int p, const Beat& beat, int fromBar = 0, int bars = 4) {
    for (int bar = fromBar; bar < fromBar + bars; ++bar) {
        c.Grid(p, cKick, kKick, 60, beat.kick, bar * 16, 64, 56, 36);
        c.Grid(p, cSnare, kSnare, 60, beat.snare, bar * 16, 60, 50, 26);
        c.Grid(p, cHat, kHat, 60, beat.hat, bar * 16, 40, 32, 20);
    }
}

void Crash(Composer& c, int p) {
    c.Note(p, 0, cCymbal, 60, kCrash, 48);
}

void OpenHats(Composer& c, int p) {
    for (int bar = 0; bar < 4; ++bar)
        c.Grid(p, cCymbal, kOpenHat, 60, "..x...x...x...x.", bar * 16, 40, 30, 20);
}

// A snare roll that swells over the last two bars (eighths, then sixteenths).
void SnareRoll(Composer& c, int p) {
    for (int k = 0; k < 8; ++k)
        c.Note(p, 32 + 2 * k, cSnare, 60, kSnare, 24 + 2 * k);
    for (int k = 0; k < 16; ++k)
        c.Note(p, 48 + k, cSnare, 60, kSnare, 40 + k);
}

void TomFill(Composer& c, int p) {
    const int notes[] = {67, 67, 64, 64, 60, 60, 55, 55};
    for (int k = 0; k < 8; ++k)
        c.Note(p, 56 + k, cTom, notes[k], kTom, 44 + 2 * k);
}

} // namespace

std::vector<uint8_t> BuildRaceSong() {
    XmModule m;
    m.name = "Vorlane race";
    m.channels = kChannels;
    m.speed = 6;
    m.bpm = kBpm;
    m.instruments = {KickDrum(false),  SnareDrum(false), ClosedHat(),
                     OpenHat(),        CrashCymbal(),    Tom(),
                     PluckBass(kBpm),  Stab(kBpm),       Pad(kBpm, 3200.0, 0.12),
                     BrightLead(kBpm), Pluck(kBpm)};
    m.instruments[kHat - 1].sample.volume = 44;
    m.instruments[kOpenHat - 1].sample.volume = 32;
    m.instruments[kCrash - 1].sample.volume = 40;
    m.instruments[kStab - 1].sample.volume = 36;
    m.instruments[kPad - 1].sample.volume = 34;
    m.instruments[kLead - 1].sample.volume = 44;
    m.instruments[kPluck - 1].sample.volume = 40;
    m.instruments[kBass - 1].sample.volume = 52;
    Composer c(m, kRows);

    const Beat four{"X...x...x...x...", "....x.......x...", "xoxoxoxoxoxoxoxo"};
    const Beat fourEnd{"X...x...x...x.x.", "....x.......x.oo", "xoxoxoxoxoxoxoxo"};
    const Beat half{"x.......x.......", "........x.......", "x...x...x...x..."};
    const Bars riffBars{"Em", "Em", "C", "D"}, verseBars{"Em", "C", "G", "D"},
        verse2Bars{"Em", "C", "D", "B"}, chorusBars{"C", "D", "Bm", "Em"}, chorus2Bars{"C", "D", "B", "B"},
        breakBars{"Am", "C", "Em", "D"}, buildBars{"Am", "C", "B", "B"}, soloBars{"Em", "G", "D", "A"},
        solo2Bars{"C", "G", "D", "B"}, turnBars{"C", "D", "B", "B"};

    const std::string verse =
        "E5:3 D5:1 E5:2 G5:2 B4:4 E5:4 | C5:6 D5:2 E5:4 G5:4 | B4:6 A4:2 G4:4 B4:4 | A4:8 F#4:4 D5:4";
    const std::string verse2 =
        "E5:3 D5:1 E5:2 G5:2 B5:4 A5:2 G5:2 | G5:6 E5:2 C5:8 | D5:4 F#5:4 A5:4 F#5:4 | D#5:8 F#5:4 B4:2 r:2";
    const std::string chorus =
        "G5:6 E5:2 G5:4 A5:4 | F#5:6 D5:2 A5:8 | F#5:4 D5:4 B4:4 D5:4 | E5:10 D5:2 E5:4";
    const std::string chorus2 =
        "G5:6 E5:2 G5:4 C6:4 | A5:6 F#5:2 D5:8 | D#5:6 F#5:2 B5:8 | A5:4 F#5:4 D#5:4 B4:4";

    // Intro: drums and the pumping bass, the arpeggio creeping in.
    const int intro = c.NewPattern();
    c.Effect(intro, 0, cLead, 0x0F, 6);
    c.Effect(intro, 0, cSecond, 0x0F, kBpm);
    Drums(c, intro, four, 0, 3);
    Drums(c, intro, fourEnd, 3, 1);
    BassRiff(c, intro, riffBars);
    Arpeggio(c, intro, riffBars, 26, 2);

    // The riff: stabs and the hook.
    const int riff = c.NewPattern();
    Crash(c, riff);
    Drums(c, riff, four, 0, 3);
    Drums(c, riff, fourEnd, 3, 1);
    BassRiff(c, riff, riffBars);
    Stabs(c, riff, riffBars, 40);
    c.Line(riff, cLead, kLead, 0,
           "B4:2 r:2 B4:2 E5:2 r:2 D5:2 E5:4 | B4:2 r:2 B4:2 G5:2 r:2 F#5:2 E5:4 | "
           "E5:2 r:2 E5:2 G5:2 r:2 A5:2 G5:4 | F#5:4 E5:4 D5:4 A4:4",
           42);
    c.Echo(riff, cLead, cSecond, 3, 16);

    auto verseLike = [&](const Bars& bars, const std::string& tune, bool full) {
        const int p = c.NewPattern();
        if (full) Crash(c, p);
        Drums(c, p, four, 0, 3);
        Drums(c, p, fourEnd, 3, 1);
        BassRiff(c, p, bars);
        Stabs(c, p, bars, full ? 36 : 32);
        c.Line(p, cLead, kLead, 0, tune, 44);
        if (full) {
            Harmony(c, p, bars, 28);
            Arpeggio(c, p, bars, 24);
        } else {
            c.Echo(p, cLead, cSecond, 3, 16);
        }
        return p;
    };
    const int verseA = verseLike(verseBars, verse, false);
    const int verseB = verseLike(verse2Bars, verse2, false);
    const int verseC = verseLike(verseBars, verse, true);
    const int verseD = verseLike(verse2Bars, verse2, true);

    auto chorusLike = [&](const Bars& bars, const std::string& tune) {
        const int p = c.NewPattern();
        Crash(c, p);
        OpenHats(c, p);
        Drums(c, p, four, 0, 3);
        Drums(c, p, fourEnd, 3, 1);
        BassRiff(c, p, bars);
        Pads(c, p, bars, 40);
        c.Line(p, cLead, kLead, 0, tune, 46);
        Harmony(c, p, bars, 30);
        Arpeggio(c, p, bars, 22);
        return p;
    };
    const int chorusA = chorusLike(chorusBars, chorus);
    const int chorusB = chorusLike(chorus2Bars, chorus2);

    // Breakdown: half time, strings and the arpeggio alone.
    const int breakdown = c.NewPattern();
    Drums(c, breakdown, half);
    BassHeld(c, breakdown, breakBars);
    Pads(c, breakdown, breakBars, 46);
    Arpeggio(c, breakdown, breakBars, 34);

    // Build: the beat returns and a snare roll swells into the chorus.
    const int build = c.NewPattern();
    Drums(c, build, Beat{"x...x...x...x...", "", "x.x.x.x.x.x.x.x."});
    SnareRoll(c, build);
    BassHeld(c, build, {"Am", "C", "B", "B"});
    BassRiff(c, build, buildBars, 2);
    Pads(c, build, buildBars, 44);
    Arpeggio(c, build, buildBars, 34);

    auto soloLike = [&](const Bars& bars, const std::string& tune, bool crash) {
        const int p = c.NewPattern();
        if (crash) Crash(c, p);
        Drums(c, p, four, 0, 3);
        Drums(c, p, fourEnd, 3, 1);
        BassRiff(c, p, bars);
        Stabs(c, p, bars, 32);
        Arpeggio(c, p, bars, 22);
        c.Line(p, cLead, kLead, 0, tune, 46);
        c.Echo(p, cLead, cSecond, 3, 18);
        return p;
    };
    const int soloA = soloLike(soloBars,
                               "B4:2 E5:2 G5:2 B5:2 A5:2 G5:2 E5:2 G5:2 | D5:2 G5:2 B5:2 D6:2 B5:4 G5:4 | "
                               "A5:2 F#5:2 D5:2 F#5:2 A5:4 D6:4 | C#6:6 B5:2 A5:4 E5:4",
                               true);
    const int soloB = soloLike(solo2Bars,
                               "E5:2 G5:2 C6:2 G5:2 E6:4 C6:4 | D6:6 B5:2 G5:4 D5:4 | "
                               "F#5:2 A5:2 D6:2 A5:2 F#5:4 E5:4 | D#5:4 F#5:4 B5:4 D#6:4",
                               false);

    // Turnaround: a tom fill and the dominant, back to the intro.
    const int turn = c.NewPattern();
    Crash(c, turn);
    Drums(c, turn, four, 0, 3);
    Drums(c, turn, Beat{"X...x...x.......", "....x...........", "xoxoxoxo........"}, 3, 1);
    TomFill(c, turn);
    BassRiff(c, turn, turnBars);
    Stabs(c, turn, turnBars, 38);
    c.Line(turn, cLead, kLead, 0, "G5:8 A5:8 | F#5:8 D5:8 | D#5:16 | B4:8 r:8", 44);
    c.Echo(turn, cLead, cSecond, 3, 16);

    m.orders = {uint8_t(intro),   uint8_t(riff),    uint8_t(verseA),  uint8_t(verseB),    uint8_t(verseC),
                uint8_t(verseD),  uint8_t(chorusA), uint8_t(chorusB), uint8_t(breakdown), uint8_t(build),
                uint8_t(chorusA), uint8_t(chorusB), uint8_t(soloA),   uint8_t(soloB),     uint8_t(riff),
                uint8_t(verseA),  uint8_t(chorusA), uint8_t(turn)};
    m.restart = 0;
    // The stereo stage: kick, snare and bass in the middle, the hats right and the
    // cymbal left, the chord's three voices spread across, the lead right of the middle
    // with the second voice left of it, the arpeggio far right and the toms left.
    //                   kick snare hat cymbal bass chord         lead second arp tom
    PlaceChannels(m, {128, 120, 172, 92, 128, 72, 128, 184, 152, 100, 180, 108});
    return WriteXm(m);
}

} // namespace vorlane::datagen
