#pragma once
// Writing music into XM patterns the way a musician thinks of it: notes by name, drum
// grids, melodic lines with lengths, chords on several channels, and an echo of a
// channel on another. Notes are MIDI numbers here (60 = C4).
#include "datagen/audio/Xm.h"

#include <string>
#include <vector>

namespace vorlane::datagen::audio {

// "C4" -> 60, "F#3" -> 54, "Bb2" -> 46. Throws std::invalid_argument on anything else.
int NoteNumber(const std::string& name);

class Composer {
  public:
    Composer(XmModule& module, int rowsPerPattern);

    // A new empty pattern; returns its number.
    int NewPattern();

    XmCell& Cell(int pattern, int row, int channel);

    // A note (MIDI number) with its instrument; volume 0..64, or -1 for the sample's own.
    void Note(int pattern, int row, int channel, int note, int instrument, int volume = -1);
    // Slides the sounding note to a new pitch without striking it again (tone portamento
    // at full speed, no instrument): pads change chords without a gap.
    void Glide(int pattern, int row, int channel, int note, int volume = -1);
    void KeyOff(int pattern, int row, int channel);
    void Effect(int pattern, int row, int channel, uint8_t effect, uint8_t param);

    // A drum grid, one character per row from startRow on: 'X' loud, 'x' normal, 'o' soft,
    // anything else nothing. Every hit plays `note` on the instrument.
    void Grid(int pattern, int channel, int instrument, int note, const std::string& grid, int startRow = 0,
              int loud = 64, int normal = 48, int soft = 26);

    // A melodic line from startRow on: tokens separated by spaces, "C5:4" a note held for
    // four rows, "r:2" a rest (the sounding note is keyed off), "-:2" rows during which the
    // previous note holds, "|" a bar line (ignored, for reading). A bare note or rest
    // lasts `step` rows. Returns the row after the line.
    int Line(int pattern, int channel, int instrument, int startRow, const std::string& line, int volume = -1,
             int step = 2, int transpose = 0);

    // One chord spread over consecutive channels, one note each; glide: move the sounding
    // chord to this one instead of striking it (see Glide).
    void Chord(int pattern, int firstChannel, int instrument, int row, const std::vector<int>& notes,
               int volume = -1, bool glide = false);

    // Copies what `from` plays in a pattern onto channel `to`, `delay` rows later and
    // quieter (an echo); notes that would fall past the pattern's end are dropped.
    void Echo(int pattern, int from, int to, int delay, int volume);

  private:
    XmModule& module_;
    int rows_;
};

// Panning of a channel: 0 far left, 128 the middle, 255 far right.
using ChannelPlaces = std::vector<uint8_t>;

// Gives every channel its place in the stereo field (one entry per channel of the
// module). A note struck with an instrument takes the sample's own panning, so every
// such note gets its channel's place again: as a set-panning effect (8xx), or in the
// volume column (in steps of 16) when the effect column is taken. Call it once the
// patterns are written. Throws std::invalid_argument when the places do not match the
// channels or a note has neither column free.
void PlaceChannels(XmModule& module, const ChannelPlaces& places);

} // namespace vorlane::datagen::audio
