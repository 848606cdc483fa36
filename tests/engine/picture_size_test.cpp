// A picture's header may lie about its size: the decoder weighs the pixels declared
// against the bytes there before it makes room for them, so a few hundred bytes never
// cost tens of megabytes. The largest allocation made while decoding is watched through
// this program's operator new (allocation_watch.cpp).
#include "engine/ArchiveReader.h"
#include "engine/Crc32.h"
#include "engine/Picture.h"
#include "engine/fixtures/allocation_watch.h"
#include "engine/fixtures/archive_bytes.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <tuple>

namespace vorlane {
namespace {

using testing::Bytes;
using testing::DibPayload;
using testing::InfoHeader;

// One chunk of a PNG file: length, type, data, CRC over type and data.
void Chunk(Bytes& png, const char* type, const std::vector<uint8_t>& data) {
    Bytes typed;
    typed.Raw(type).Raw(data);
    const uint32_t crc = Crc32(typed.b.data(), typed.b.size());
    const auto be32 = [&png](uint32_t v) {
        png.U8(uint8_t(v >> 24)).U8(uint8_t(v >> 16)).U8(uint8_t(v >> 8)).U8(uint8_t(v));
    };
    be32(uint32_t(data.size()));
    png.Raw(typed.b);
    be32(crc);
}

// A PNG whose header declares width x height 8-bit RGBA pixels, followed by `idat`
// bytes of compressed data (not enough for the pixels).
std::vector<uint8_t> LyingPng(uint32_t width, uint32_t height, size_t idat) {
    Bytes png;
    png.Raw("\x89PNG\r\n\x1a\n");
    Bytes header;
    for (uint32_t v : {width, height})
        header.U8(uint8_t(v >> 24)).U8(uint8_t(v >> 16)).U8(uint8_t(v >> 8)).U8(uint8_t(v));
    header.U8(8).U8(6).U8(0).U8(0).U8(0);
    Chunk(png, "IHDR", header.b);
    std::vector<uint8_t> data = {0x78, 0x9C};
    data.resize(idat, 0);
    Chunk(png, "IDAT", data);
    Chunk(png, "IEND", {});
    return png.b;
}

struct Decoded {
    std::string error;  // empty when the picture was decoded
    size_t largest = 0; // largest allocation while decoding, in bytes
    int width = 0, height = 0;
};

Decoded Decode(const std::vector<uint8_t>& payload) {
    Decoded d;
    testing::ResetLargestAllocation();
    try {
        const DecodedPicture picture = DecodePicture(payload);
        d.width = picture.image.width;
        d.height = picture.image.height;
    } catch (const EngineError& e) {
        d.error = e.what();
    }
    d.largest = testing::LargestAllocation();
    return d;
}

TEST(PictureSize, AHeaderDeclaringMorePixelsThanItsBytesHoldIsRefusedBeforeRoomIsMade) {
    // About nine million pixels declared in an entry of about 540 bytes.
    Bytes png;
    png.Short("PNG");
    const std::vector<uint8_t> lying = LyingPng(3000, 3000, 480);
    png.U32(uint32_t(lying.size())).Raw(lying);
    const std::vector<uint8_t> rle =
        DibPayload(InfoHeader(3000, 3000, 8, 1, 1).U32(0).Raw(std::string(480, '\0')).U8(0).U8(1).b);
    struct Case {
        const char* what;
        std::vector<uint8_t> payload;
        const char* error;
    };
    const Case cases[] = {
        {"PNG", png.b, kPngInvalid},
        {"run-length DIB", rle, kDibInvalid},
    };
    for (const Case& c : cases) {
        EXPECT_LT(c.payload.size(), 600u) << c.what;
        const Decoded d = Decode(c.payload);
        EXPECT_EQ(d.error, c.error) << c.what;
        EXPECT_LT(d.largest, size_t(1) << 20) << c.what << ": the decoder made room for the declared pixels";
    }
}

// What compresses well but honestly is still read: a large PNG of one colour, and a
// run-length picture whose runs cover it.
TEST(PictureSize, PicturesThatCompressWellAreStillRead) {
    const int side = 1500;
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = side;
    img.height = side;
    img.format = PNG_FORMAT_GRAY;
    const std::vector<uint8_t> grey(size_t(side) * side, 0x80);
    png_alloc_size_t size = 0;
    ASSERT_TRUE(png_image_write_to_memory(&img, nullptr, &size, 0, grey.data(), 0, nullptr));
    std::vector<uint8_t> file(size);
    ASSERT_TRUE(png_image_write_to_memory(&img, file.data(), &size, 0, grey.data(), 0, nullptr));
    file.resize(size);
    Bytes png;
    png.Short("PNG").U32(uint32_t(file.size())).Raw(file);

    // 1000 x 1000 in runs of 250: four runs and an end of line a row.
    Bytes dib = InfoHeader(1000, 1000, 8, 1, 1);
    dib.U32(0x00FF0000);
    for (int row = 0; row < 1000; ++row)
        dib.U8(250).U8(0).U8(250).U8(0).U8(250).U8(0).U8(250).U8(0).U8(0).U8(0);
    dib.U8(0).U8(1);

    for (const auto& [what, payload, w] :
         {std::tuple{"PNG", png.b, side}, std::tuple{"RLE", DibPayload(dib.b), 1000}}) {
        const Decoded d = Decode(payload);
        EXPECT_EQ(d.error, "") << what;
        EXPECT_EQ(d.width, w) << what;
        EXPECT_EQ(d.height, w) << what;
    }
}

} // namespace
} // namespace vorlane
