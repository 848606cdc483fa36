#pragma once
// The synthesized instruments of the two songs, each an XM instrument of one 16-bit
// sample. Drums and plucked sounds are one-shots; sustained sounds are a short attack
// followed by a loop in which every oscillator completes whole cycles, so the loop
// repeats without a seam. Envelopes are given in seconds and turned into ticks for the
// song's tempo.
#include "datagen/audio/Xm.h"

namespace vorlane::datagen::audio {

// Seconds to envelope ticks at a BPM (one tick lasts 2.5 / BPM seconds).
uint16_t Ticks(double seconds, int bpm);

// Drums: played at C-4, where they sound at their own rate.
XmInstrument KickDrum(bool soft);
XmInstrument SnareDrum(bool soft);
XmInstrument ClosedHat();
XmInstrument OpenHat();
XmInstrument CrashCymbal();
XmInstrument Tom();

// Pitched instruments; bpm sets the envelope timing.
XmInstrument WarmBass(int bpm);  // round, soft bass for the menu
XmInstrument PluckBass(int bpm); // bright, growling bass with a plucked attack for the race
XmInstrument Pad(int bpm, double brightness, double attackSeconds);
XmInstrument ElectricPiano(int bpm);
XmInstrument SoftLead(int bpm);   // mellow pulse lead with vibrato
XmInstrument BrightLead(int bpm); // detuned saw lead that cuts through
XmInstrument Stab(int bpm);       // short brassy chord stab
XmInstrument Pluck(int bpm);      // short plucked arpeggio note

} // namespace vorlane::datagen::audio
