// What the writer makes, the readers read back exactly.
#include "engine/ArchiveReader.h"
#include "engine/ArchiveWriter.h"
#include "engine/Picture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vorlane {
namespace {

RgbaImage Gradient(int w, int h, bool withAlpha) {
    RgbaImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t a = withAlpha ? uint32_t((x * 37 + y * 11) & 0xFF) : 0xFF;
            img.At(x, y) = (a << 24) | (uint32_t(x * 13 & 0xFF) << 16) | (uint32_t(y * 29 & 0xFF) << 8) |
                           uint32_t((x + y) * 7 & 0xFF);
        }
    return img;
}

uint32_t LE32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
           (uint32_t(b[at + 3]) << 24);
}

TEST(ArchiveRoundTrip, ImageItemsComeBackExactly) {
    struct Case {
        ImageRecord record;
        RgbaImage picture; // what the reader must decode; empty for no picture
    };
    std::vector<Case> cases;
    auto add = [&](ImageRecord r, RgbaImage expected) {
        cases.push_back({std::move(r), std::move(expected)});
    };

    ImageRecord png;
    png.name = "Car1";
    png.transparent = false;
    RgbaImage soft = Gradient(7, 5, true);
    png.picture = EncodePngPicture(soft);
    add(png, soft);

    ImageRecord dib24;
    dib24.name = "Tiles";
    dib24.patternWidth = 72;
    dib24.patternHeight = 36;
    dib24.skipWidth = -2;
    dib24.skipHeight = 300;
    dib24.transparentColor = 0xFF00FF; // clFuchsia, written as an identifier
    RgbaImage opaque = Gradient(5, 3, false);
    dib24.picture = EncodeDibPicture(opaque, 24);
    add(dib24, opaque);

    ImageRecord dib32 = dib24;
    dib32.name = "Panel";
    dib32.systemMemory = true;
    dib32.transparentColor = 0x00123456;
    dib32.patternWidth = -70000; // 32-bit integer
    dib32.picture = EncodeDibPicture(Gradient(3, 4, true), 32);
    add(dib32, Gradient(3, 4, false)); // alpha is not stored in a DIB

    ImageRecord none;
    none.name = std::string(300, 'L');  // long string
    none.transparentColor = 0xFF00000F; // a system colour, written as an integer
    add(none, {});

    std::vector<ImageRecord> records;
    for (const auto& c : cases)
        records.push_back(c.record);
    std::vector<uint8_t> bytes = WriteImageArchive("MImageList2", records);
    std::vector<ImageItemData> items = ReadImageArchive(bytes);
    ASSERT_EQ(items.size(), cases.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const ImageRecord& r = cases[i].record;
        const ImageItemData& it = items[i];
        SCOPED_TRACE(r.name.substr(0, 10));
        EXPECT_EQ(it.name, r.name);
        EXPECT_EQ(it.patternWidth, r.patternWidth);
        EXPECT_EQ(it.patternHeight, r.patternHeight);
        EXPECT_EQ(it.skipWidth, r.skipWidth);
        EXPECT_EQ(it.skipHeight, r.skipHeight);
        EXPECT_EQ(it.transparent, r.transparent);
        EXPECT_EQ(it.transparentColor, r.transparentColor);
        EXPECT_EQ(it.systemMemory, r.systemMemory);
        EXPECT_EQ(it.hasPicture, !cases[i].picture.Empty());
        EXPECT_EQ(it.picture.width, cases[i].picture.width);
        EXPECT_EQ(it.picture.height, cases[i].picture.height);
        EXPECT_EQ(it.picture.pixels, cases[i].picture.pixels);
    }
    EXPECT_EQ(items[0].pictureKind, "PNG");
    EXPECT_EQ(items[1].pictureKind, "DIB");
    EXPECT_EQ(items[3].pictureKind, "");
}

TEST(ArchiveRoundTrip, ResourceHeaderLayout) {
    std::vector<uint8_t> bytes = WriteImageArchive("MImageList1", {});
    ASSERT_GT(bytes.size(), 20u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 10);
    EXPECT_EQ(bytes[2], 0);
    const std::string name = "MIMAGELIST1";
    EXPECT_EQ(std::memcmp(&bytes[3], name.c_str(), name.size() + 1), 0);
    size_t at = 3 + name.size() + 1;
    EXPECT_EQ(bytes[at] | (bytes[at + 1] << 8), 0x1030);
    EXPECT_EQ(LE32(bytes, at + 2), bytes.size() - (at + 6)) << "length of what follows the header";
    EXPECT_EQ(std::memcmp(&bytes[at + 6], "TPF0", 4), 0);
    EXPECT_EQ(bytes[at + 10], 13);
    EXPECT_EQ(std::memcmp(&bytes[at + 11], "TImageArchive", 13), 0);
    EXPECT_EQ(bytes.back(), 0);

    // Resource names are cut to 63 characters; the archive still reads.
    std::vector<uint8_t> longName = WriteImageArchive(std::string(100, 'q'), {});
    EXPECT_EQ(longName[3 + 63], 0);
    EXPECT_TRUE(ReadImageArchive(longName).empty());
}

TEST(ArchiveRoundTrip, ColourTableIsWrittenWhole) {
    ImageArchiveData data = ReadImageArchiveData(WriteImageArchive("L", {}));
    EXPECT_EQ(data.colorTable[4 * 200], 200);
    EXPECT_EQ(data.colorTable[4 * 200 + 3], 0);
}

TEST(ArchiveRoundTrip, SoundItemsComeBackExactly) {
    std::vector<SoundRecord> sounds(3);
    sounds[0] = {"Accel1", true, 0, EncodeWave16({0, 1000, -1000, 32767, -32768}, 1, 22050)};
    sounds[1] = {"Explosion", false, 3, EncodeWave16({1, 2, 3, 4}, 2, 44100)};
    sounds[2] = {"Silence", false, 100000, {}};
    std::vector<uint8_t> bytes = WriteSoundArchive("MSoundList", sounds);
    std::vector<SoundRecord> back = ReadSoundArchive(bytes);
    ASSERT_EQ(back.size(), sounds.size());
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].name, sounds[i].name);
        EXPECT_EQ(back[i].looped, sounds[i].looped);
        EXPECT_EQ(back[i].maxPlayingCount, sounds[i].maxPlayingCount);
        EXPECT_EQ(back[i].wave, sounds[i].wave);
    }
    // The class name of a sound archive.
    const std::string cls = "TSoundArchive";
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), cls.begin(), cls.end()), bytes.end());
}

TEST(WaveEncoding, CanonicalHeaderAndSamples) {
    std::vector<uint8_t> w = EncodeWave16({0x1234, -2}, 2, 22050);
    ASSERT_EQ(w.size(), 44u + 4u);
    EXPECT_EQ(std::memcmp(&w[0], "RIFF", 4), 0);
    EXPECT_EQ(LE32(w, 4), 40u);
    EXPECT_EQ(std::memcmp(&w[8], "WAVEfmt ", 8), 0);
    EXPECT_EQ(LE32(w, 16), 16u);
    EXPECT_EQ(w[20] | (w[21] << 8), 1);  // PCM
    EXPECT_EQ(w[22] | (w[23] << 8), 2);  // channels
    EXPECT_EQ(LE32(w, 24), 22050u);      // sample rate
    EXPECT_EQ(LE32(w, 28), 22050u * 4);  // bytes per second
    EXPECT_EQ(w[32] | (w[33] << 8), 4);  // block align
    EXPECT_EQ(w[34] | (w[35] << 8), 16); // bits
    EXPECT_EQ(std::memcmp(&w[36], "data", 4), 0);
    EXPECT_EQ(LE32(w, 40), 4u);
    EXPECT_EQ(w[44], 0x34);
    EXPECT_EQ(w[45], 0x12);
    EXPECT_EQ(w[46], 0xFE);
    EXPECT_EQ(w[47], 0xFF);
}

TEST(PngEncoding, DeterministicAndShapedAsTheArchiveStoresIt) {
    RgbaImage img = Gradient(33, 17, true);
    std::vector<uint8_t> a = EncodePngPicture(img);
    EXPECT_EQ(a, EncodePngPicture(img));
    ASSERT_GT(a.size(), 12u);
    EXPECT_EQ(a[0], 3);
    EXPECT_EQ(std::memcmp(&a[1], "PNG", 3), 0);
    EXPECT_EQ(LE32(a, 4), a.size() - 8);
    EXPECT_EQ(std::memcmp(&a[8], "\x89PNG", 4), 0);
    const std::string time = "tIME";
    EXPECT_EQ(std::search(a.begin(), a.end(), time.begin(), time.end()), a.end()) << "no time stamp";

    // An empty picture is stored with a zero count and reads back as no picture.
    DecodedPicture empty = DecodePicture(EncodePngPicture(RgbaImage()));
    EXPECT_EQ(empty.kind, "PNG");
    EXPECT_FALSE(empty.hasPicture);
}

} // namespace
} // namespace vorlane
