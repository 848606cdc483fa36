#pragma once
// Writing image and sound archives: the data generator's and the tests' side of the
// archive container that TImageCollection and TSoundCollection read.
#include "engine/Types.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane {

struct ImageRecord {
    std::string name;
    int32_t patternWidth = 0;
    int32_t patternHeight = 0;
    int32_t skipWidth = 0;
    int32_t skipHeight = 0;
    bool transparent = true;
    uint32_t transparentColor = 0; // 0x00BBGGRR
    bool systemMemory = false;
    // The "Picture.Data" payload: the kind as a short string, then the kind's data.
    // Make it with EncodePngPicture / EncodeDibPicture, or by hand for fixtures.
    std::vector<uint8_t> picture;
};

struct SoundRecord {
    std::string name;
    bool looped = false;
    int32_t maxPlayingCount = 0;
    std::vector<uint8_t> wave; // a whole RIFF WAVE file
};

// The archive bytes. componentName is upper-cased into the resource header.
std::vector<uint8_t> WriteImageArchive(const std::string& componentName,
                                       const std::vector<ImageRecord>& items);
std::vector<uint8_t> WriteSoundArchive(const std::string& componentName,
                                       const std::vector<SoundRecord>& items);

// "PNG" picture: short string "PNG", 32-bit byte count, a PNG file (RGBA, 8 bits).
std::vector<uint8_t> EncodePngPicture(const RgbaImage& image);
// "DIB" picture without the file header; bitCount 24 or 32 (alpha dropped).
std::vector<uint8_t> EncodeDibPicture(const RgbaImage& image, int bitCount = 24);

// A RIFF WAVE file of 16-bit PCM samples.
std::vector<uint8_t> EncodeWave16(const std::vector<int16_t>& samples, int channels, int sampleRate);

} // namespace vorlane
