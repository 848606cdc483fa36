#include "datagen/audio/Composer.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>
#include <string>

namespace vorlane::datagen::audio {

int NoteNumber(const std::string& name) {
    static constexpr int kSemitone[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2) throw std::invalid_argument("not a note: '" + name + "'");
    const char letter = char(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter < 'A' || letter > 'G') throw std::invalid_argument("not a note: '" + name + "'");
    int semitone = kSemitone[letter - 'A'];
    size_t pos = 1;
    if (name[pos] == '#') {
        ++semitone;
        ++pos;
    } else if (name[pos] == 'b') {
        --semitone;
        ++pos;
    }
    if (pos + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[pos])))
        throw std::invalid_argument("not a note: '" + name + "'");
    const int octave = name[pos] - '0';
    return (octave + 1) * 12 + semitone;
}

Composer::Composer(XmModule& module, int rowsPerPattern) : module_(module), rows_(rowsPerPattern) {}

int Composer::NewPattern() {
    XmPattern p;
    p.rows = rows_;
    p.cells.assign(size_t(rows_) * size_t(module_.channels), XmCell{});
    module_.patterns.push_back(std::move(p));
    return int(module_.patterns.size()) - 1;
}

XmCell& Composer::Cell(int pattern, int row, int channel) {
    if (pattern < 0 || size_t(pattern) >= module_.patterns.size()) throw std::out_of_range("no such pattern");
    if (row < 0 || row >= rows_ || channel < 0 || channel >= module_.channels)
        throw std::out_of_range("row " + std::to_string(row) + ", channel " + std::to_string(channel) +
                                " outside the pattern");
    return module_.patterns[size_t(pattern)].cells[size_t(row) * size_t(module_.channels) + size_t(channel)];
}

void Composer::Note(int pattern, int row, int channel, int note, int instrument, int volume) {
    const int xm = note - 11; // MIDI 60 (C4) is the module's C-4, note 49
    if (xm < 1 || xm > 96)
        throw std::out_of_range("note " + std::to_string(note) + " outside the module's range");
    XmCell& c = Cell(pattern, row, channel);
    c.note = uint8_t(xm);
    c.instrument = uint8_t(instrument);
    c.volume = volume < 0 ? 0 : uint8_t(0x10 + std::clamp(volume, 0, 64));
}

void Composer::Glide(int pattern, int row, int channel, int note, int volume) {
    Note(pattern, row, channel, note, 1, volume);
    XmCell& c = Cell(pattern, row, channel);
    c.instrument = 0;
    c.effect = 0x03;
    c.param = 0xFF;
}

void Composer::KeyOff(int pattern, int row, int channel) {
    XmCell& c = Cell(pattern, row, channel);
    c.note = kXmKeyOff;
    c.instrument = 0;
    c.volume = 0;
}

void Composer::Effect(int pattern, int row, int channel, uint8_t effect, uint8_t param) {
    XmCell& c = Cell(pattern, row, channel);
    c.effect = effect;
    c.param = param;
}

void Composer::Grid(int pattern, int channel, int instrument, int note, const std::string& grid, int startRow,
                    int loud, int normal, int soft) {
    for (size_t i = 0; i < grid.size(); ++i) {
        const int row = startRow + int(i);
        if (row >= rows_) break;
        const char ch = grid[i];
        if (ch == 'X') Note(pattern, row, channel, note, instrument, loud);
        if (ch == 'x') Note(pattern, row, channel, note, instrument, normal);
        if (ch == 'o') Note(pattern, row, channel, note, instrument, soft);
    }
}

int Composer::Line(int pattern, int channel, int instrument, int startRow, const std::string& line,
                   int volume, int step, int transpose) {
    std::istringstream in(line);
    std::string token;
    int row = startRow;
    while (in >> token) {
        if (token == "|") continue;
        std::string what = token;
        int length = step;
        const size_t colon = token.find(':');
        if (colon != std::string::npos) {
            what = token.substr(0, colon);
            length = std::stoi(token.substr(colon + 1));
        }
        if (length <= 0) throw std::invalid_argument("note length must be positive in '" + token + "'");
        if (row >= rows_) throw std::out_of_range("line runs past the pattern at '" + token + "'");
        if (what == "r")
            KeyOff(pattern, row, channel);
        else if (what != "-")
            Note(pattern, row, channel, NoteNumber(what) + transpose, instrument, volume);
        row += length;
    }
    if (row > rows_) throw std::out_of_range("line runs past the pattern's end");
    return row;
}

void Composer::Chord(int pattern, int firstChannel, int instrument, int row, const std::vector<int>& notes,
                     int volume, bool glide) {
    for (size_t k = 0; k < notes.size(); ++k) {
        if (glide)
            Glide(pattern, row, firstChannel + int(k), notes[k], volume);
        else
            Note(pattern, row, firstChannel + int(k), notes[k], instrument, volume);
    }
}

void Composer::Echo(int pattern, int from, int to, int delay, int volume) {
    for (int row = rows_ - 1 - delay; row >= 0; --row) {
        const XmCell src = Cell(pattern, row, from);
        if (src.note == 0) continue;
        XmCell& dst = Cell(pattern, row + delay, to);
        dst.note = src.note;
        dst.instrument = src.instrument;
        dst.volume = src.note == kXmKeyOff ? 0 : uint8_t(0x10 + std::clamp(volume, 0, 64));
    }
}

void PlaceChannels(XmModule& module, const ChannelPlaces& places) {
    if (int(places.size()) != module.channels)
        throw std::invalid_argument("stereo places for " + std::to_string(places.size()) +
                                    " channels, the song has " + std::to_string(module.channels));
    constexpr uint8_t kSetPanning = 0x08, kVolumeColumnPanning = 0xC0;
    for (size_t p = 0; p < module.patterns.size(); ++p) {
        XmPattern& pattern = module.patterns[p];
        for (size_t i = 0; i < pattern.cells.size(); ++i) {
            XmCell& cell = pattern.cells[i];
            if (cell.instrument == 0) continue;
            const uint8_t place = places[i % places.size()];
            if (cell.effect == 0 && cell.param == 0) {
                cell.effect = kSetPanning;
                cell.param = place;
            } else if (cell.volume == 0) {
                cell.volume = uint8_t(kVolumeColumnPanning | (place >> 4));
            } else {
                throw std::invalid_argument(
                    "pattern " + std::to_string(p) + ", row " + std::to_string(i / places.size()) +
                    ", channel " + std::to_string(i % places.size()) + ": no column free for the panning");
            }
        }
    }
}

} // namespace vorlane::datagen::audio
