#pragma once
// Making sounds that repeat without a click. A looped effect is played from its first
// sample to its last and straight back to the first, so its last sample must lead into
// its first exactly as any sample leads into the next. Two ways get there:
//  - periodic rendering: every ingredient repeats over the loop (whole cycles of every
//    tone, noise drawn once per loop, events wrapped around the end) and the filters run
//    over the loop twice so that their state at the end is the state at the start;
//  - a crossfaded seam for sounds that change over the loop (a rising engine): render a
//    little before the start and fade the end of the loop into that lead-in.
#include "datagen/audio/Dsp.h"

#include <cstddef>

namespace vorlane::datagen::audio {

// s holds a lead-in of `leadIn` samples and then the loop's loopLength samples; the
// sound is rendered continuously through both. The loop keeps its head untouched and
// ends in an equal-power crossfade into the lead-in, which runs straight on into the
// head: so the loop starts clean and its seam sits at its end. The result has
// loopLength samples.
Signal CrossfadeSeam(const Signal& s, size_t leadIn, size_t loopLength);

// Rotates a loop (a circular shift keeps its seam intact) so that it begins on a rising
// zero crossing: the quietest one among the first `search` samples (all when 0). A loop
// that starts at zero starts without a click.
void StartAtQuietCrossing(Signal& loop, size_t search);

// A slow random wobble of n samples that repeats exactly: sines with whole numbers of
// cycles (minCycles..maxCycles) over the loop and random phases, scaled to peak 1.
Signal PeriodicWander(size_t n, int minCycles, int maxCycles, Noise& noise);

// Phase increments (cycles per sample) for a frequency given per sample, scaled by the
// smallest factor that makes the loop hold a whole number of cycles, a multiple of
// `multiple` (at least `multiple`).
std::vector<double> ClosedIncrements(const Signal& freq, double rate, int multiple = 1);

// White noise of n samples; as a loop it repeats by construction.
Signal WhiteNoise(size_t n, Noise& noise);

// Runs a per-sample process (index, input) -> output over a periodic signal twice and
// keeps the second pass: the state the filters carry across the seam is then the one
// they carry everywhere else, and the output repeats seamlessly.
template <class F> Signal Circular(const Signal& in, F process) {
    Signal out(in.size());
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < in.size(); ++i)
            out[i] = process(i, in[i]);
    return out;
}

// Adds an event (a short sound) into a loop at offset, wrapping what runs past the end
// around to the start.
void MixWrapped(Signal& loop, const Signal& event, size_t offset, double gain = 1.0);

} // namespace vorlane::datagen::audio
