#pragma once
// The sound effects brought to the sound device's format once, when they are loaded:
// 16-bit samples at the device's rate with the device's number of channels.
//
// Our effects are mono at half the usual device rate (22,050 Hz against 44,100 Hz), a
// whole-number step that this does cheaply: every second output sample is the source
// sample itself, and the ones between are interpolated by a short windowed-sinc filter
// (ten source samples, a Kaiser window for about 80 dB of image rejection: the shape
// of SDL's own band-limited resampler, which this replaces for these steps). Beyond
// the ends the recording is taken as silence, as SDL takes it. Any other conversion is
// left to SDL (CanUpsampleEffect answers false).
#include <cstdint>
#include <span>
#include <vector>

namespace vorlane {

// Whether UpsampleEffect serves this conversion: 16-bit PCM source samples, a device
// rate of one or two times the source's, mono to any number of device channels or
// the same number of channels on both sides.
bool CanUpsampleEffect(int sourceRate, int sourceChannels, int sourceBits, int deviceRate,
                       int deviceChannels);

// Interleaved 16-bit samples (little-endian bytes as a RIFF file holds them; a last
// odd byte or a partial frame is dropped) converted to interleaved native 16-bit
// samples at factor times the rate with deviceChannels channels. factor is 1 or 2.
std::vector<int16_t> UpsampleEffect(std::span<const uint8_t> samplesLittleEndian, int sourceChannels,
                                    int factor, int deviceChannels);

} // namespace vorlane
