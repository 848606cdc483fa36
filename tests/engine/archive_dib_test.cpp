// Stored pictures: every bitmap variant made by hand and checked pixel by pixel, the
// bitmap-file and PNG kinds, and the pictures the reader refuses.
#include "engine/ArchiveReader.h"
#include "engine/Picture.h"
#include "engine/fixtures/archive_bytes.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

namespace vorlane {
namespace {

using testing::Bytes;
using testing::CoreHeader;
using testing::DibPayload;
using testing::InfoHeader;

constexpr uint32_t Blue = 0xFF0000FF, Red = 0xFFFF0000, Green = 0xFF00FF00, White = 0xFFFFFFFF,
                   Black = 0xFF000000, Grey = 0xFF808080;

// Palette entries as stored: blue, green, red, 0 (or without the 0 for core headers).
Bytes& Entry(Bytes& b, uint32_t argb, bool core = false) {
    b.U8(uint8_t(argb)).U8(uint8_t(argb >> 8)).U8(uint8_t(argb >> 16));
    if (!core) b.U8(0);
    return b;
}

struct Case {
    const char* what;
    std::vector<uint8_t> dib;
    int width, height;
    std::vector<uint32_t> pixels; // top row first
};

std::vector<Case> Variants() {
    std::vector<Case> cases;
    auto add = [&](const char* what, Bytes dib, int w, int h, std::vector<uint32_t> px) {
        cases.push_back({what, std::move(dib.b), w, h, std::move(px)});
    };
    {
        // 1 bit, bottom-up: the first stored row is the bottom one.
        Bytes d = InfoHeader(3, 2, 1);
        Entry(d, Blue);
        Entry(d, Red);
        d.U8(0xA0).U8(0).U16(0); // bottom: 1 0 1
        d.U8(0x60).U8(0).U16(0); // top:    0 1 1
        add("1 bit", d, 3, 2, {Blue, Red, Red, Red, Blue, Red});
    }
    {
        // 4 bit with three palette colours; an index past the palette is black.
        Bytes d = InfoHeader(4, 1, 4, 0, 3);
        Entry(d, Blue);
        Entry(d, Red);
        Entry(d, Green);
        d.U8(0x20).U8(0x15).U16(0);
        add("4 bit", d, 4, 1, {Green, Blue, Red, Black});
    }
    {
        // 8 bit, top-down (negative height), two palette entries used.
        Bytes d = InfoHeader(2, -2, 8, 0, 2);
        Entry(d, White);
        Entry(d, Grey);
        d.U8(1).U8(0).U16(0); // top
        d.U8(0).U8(1).U16(0); // bottom
        add("8 bit top-down", d, 2, 2, {Grey, White, White, Grey});
    }
    {
        // Run-length 8 bit: a run, a move right, a run, end of line; literals; end.
        Bytes d = InfoHeader(4, 2, 8, 1, 3);
        Entry(d, White);
        Entry(d, Red);
        Entry(d, Blue);
        d.U8(2).U8(1);                         // two of red
        d.U8(0).U8(2).U8(1).U8(0);             // move one right
        d.U8(1).U8(2);                         // one blue
        d.U8(0).U8(0);                         // end of line
        d.U8(0).U8(3).U8(2).U8(1).U8(2).U8(0); // three literals, padded
        d.U8(0).U8(1);                         // end of picture
        add("RLE8", d, 4, 2, {Blue, Red, Blue, White, Red, Red, White, Blue});
    }
    {
        // Run-length 4 bit: a run of alternating nibbles; literals of nibbles.
        Bytes d = InfoHeader(5, 2, 4, 2, 4);
        Entry(d, White);
        Entry(d, Red);
        Entry(d, Blue);
        Entry(d, Green);
        d.U8(5).U8(0x12);                // 1 2 1 2 1
        d.U8(0).U8(0);                   // end of line
        d.U8(0).U8(3).U8(0x12).U8(0x30); // 1 2 3
        d.U8(0).U8(1);
        add("RLE4", d, 5, 2, {Red, Blue, Green, White, White, Red, Blue, Red, Blue, Red});
    }
    {
        // 16 bit without masks: 5-5-5.
        Bytes d = InfoHeader(3, 1, 16);
        d.U16(0x7C00).U16(0x03E0).U16(0x0421).U16(0);
        add("16 bit 555", d, 3, 1, {Red, Green, 0xFF080808});
    }
    {
        // 16 bit with 5-6-5 bit fields.
        Bytes d = InfoHeader(3, 1, 16, 3);
        d.U32(0xF800).U32(0x07E0).U32(0x001F);
        d.U16(0xF800).U16(0x07E0).U16(0x0821).U16(0);
        add("16 bit 565", d, 3, 1, {Red, Green, 0xFF080408});
    }
    {
        // 16 bit with the 5-5-5 masks given as bit fields.
        Bytes d = InfoHeader(1, 1, 16, 3);
        d.U32(0x7C00).U32(0x03E0).U32(0x001F);
        d.U16(0x001F).U16(0);
        add("16 bit 555 fields", d, 1, 1, {Blue});
    }
    {
        // 24 bit: rows padded to 4 bytes.
        Bytes d = InfoHeader(1, 2, 24);
        d.U8(0x30).U8(0x20).U8(0x10).U8(0); // bottom
        d.U8(0x03).U8(0x02).U8(0x01).U8(0); // top
        add("24 bit", d, 1, 2, {0xFF010203, 0xFF102030});
    }
    {
        // 32 bit: blue, green, red, unused.
        Bytes d = InfoHeader(2, 1, 32);
        d.U8(1).U8(2).U8(3).U8(0x77).U8(0xFF).U8(0).U8(0).U8(0);
        add("32 bit", d, 2, 1, {0xFF030201, Blue});
    }
    {
        // 32 bit with bit fields in the other order.
        Bytes d = InfoHeader(1, 1, 32, 3);
        d.U32(0x0000FF).U32(0x00FF00).U32(0xFF0000);
        d.U8(0x11).U8(0x22).U8(0x33).U8(0);
        add("32 bit fields", d, 1, 1, {0xFF112233});
    }
    {
        // A palette of 16 entries beside 24-bit pixels is skipped.
        Bytes d = InfoHeader(1, 1, 24, 0, 16);
        for (int i = 0; i < 16; ++i)
            Entry(d, White);
        d.U8(0xFF).U8(0).U8(0).U8(0);
        add("24 bit with palette", d, 1, 1, {Blue});
    }
    {
        // Core header: 16-bit sizes, palette entries of 3 bytes, 2 ^ bit count of them.
        Bytes d = CoreHeader(2, 1, 4);
        Entry(d, Green, true);
        Entry(d, Red, true);
        for (int i = 2; i < 16; ++i)
            Entry(d, White, true);
        d.U8(0x10).U8(0).U16(0);
        add("core 4 bit", d, 2, 1, {Red, Green});
    }
    {
        // The last row without its padding still reads.
        Bytes d = InfoHeader(1, 1, 24);
        d.U8(0).U8(0).U8(0xFF);
        add("short last row", d, 1, 1, {Red});
    }
    return cases;
}

TEST(DibPicture, EveryVariantDecodesToTheRightPixels) {
    for (const Case& c : Variants()) {
        DecodedPicture pic = DecodePicture(DibPayload(c.dib));
        SCOPED_TRACE(c.what);
        EXPECT_EQ(pic.kind, "DIB");
        ASSERT_TRUE(pic.hasPicture);
        EXPECT_EQ(pic.image.width, c.width);
        EXPECT_EQ(pic.image.height, c.height);
        EXPECT_EQ(pic.image.pixels, c.pixels);
    }
}

TEST(DibPicture, BitmapFileKindHonoursThePixelOffset) {
    // Same 24-bit picture inside a whole bitmap file, with 6 bytes between the header
    // and the pixels.
    Bytes dib = InfoHeader(1, 2, 24);
    Bytes file;
    file.Raw("BM").U32(0).U32(0).U32(14 + 40 + 6).Raw(dib.b).Raw(std::string(6, '\x55'));
    file.U8(0x30).U8(0x20).U8(0x10).U8(0).U8(0x03).U8(0x02).U8(0x01).U8(0);
    Bytes payload;
    payload.Short("TBitmap").U32(uint32_t(file.b.size())).Raw(file.b);
    DecodedPicture pic = DecodePicture(payload.b);
    ASSERT_TRUE(pic.hasPicture);
    EXPECT_EQ(pic.image.pixels, (std::vector<uint32_t>{0xFF010203, 0xFF102030}));
}

TEST(DibPicture, EmptyAndUnknownPicturesAreNoPicture) {
    struct Case {
        const char* what;
        std::vector<uint8_t> payload;
        std::string kind;
    } cases[] = {
        {"empty Picture.Data", {}, ""},
        {"empty DIB", DibPayload({}), "DIB"},
        {"DIB of width 0", DibPayload(InfoHeader(0, 5, 24).b), "DIB"},
        {"empty bitmap file", Bytes().Short("TBitmap").U32(0).b, "TBitmap"},
        {"another kind", Bytes().Short("TIcon").U32(4).U32(0).b, "TIcon"},
    };
    for (const auto& c : cases) {
        DecodedPicture pic = DecodePicture(c.payload);
        EXPECT_FALSE(pic.hasPicture) << c.what;
        EXPECT_EQ(pic.kind, c.kind) << c.what;
    }
}

std::string ErrorOf(const std::vector<uint8_t>& payload) {
    try {
        DecodePicture(payload);
    } catch (const EngineError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(DibPicture, RefusedPicturesGiveTheReadersMessages) {
    auto withMasks = [](uint32_t r, uint32_t g, uint32_t b) {
        Bytes d = InfoHeader(1, 1, 16, 3);
        d.U32(r).U32(g).U32(b).U32(0);
        return DibPayload(d.b);
    };
    Bytes badHeader;
    badHeader.U32(20).Raw(std::string(40, '\0'));
    struct Case {
        const char* what;
        std::vector<uint8_t> payload;
        std::string message;
    } cases[] = {
        {"header size 20", DibPayload(badHeader.b), "DIB is invalid"},
        {"header size 108", DibPayload(Bytes().U32(108).Raw(std::string(120, '\0')).b), "DIB is invalid"},
        {"bit count 7", DibPayload(InfoHeader(1, 1, 7).b), "Bitcount in invalid (7)"},
        {"bit count 0", DibPayload(InfoHeader(1, 1, 0).b), "Bitcount in invalid (0)"},
        {"core bit count 2", DibPayload(CoreHeader(1, 1, 2).b), "Bitcount in invalid (2)"},
        {"compression 4", DibPayload(InfoHeader(1, 1, 24, 4).b), "DIB is invalid"},
        {"RLE8 with 4 bits", DibPayload(InfoHeader(1, 1, 4, 1).b), "DIB is invalid"},
        {"RLE4 with 8 bits", DibPayload(InfoHeader(1, 1, 8, 2).b), "DIB is invalid"},
        {"bit fields with 24 bits", DibPayload(InfoHeader(1, 1, 24, 3).b), "DIB is invalid"},
        {"top-down RLE", DibPayload(InfoHeader(1, -1, 8, 1).b), "DIB is invalid"},
        {"negative width", DibPayload(InfoHeader(-1, 1, 24).b), "DIB is invalid"},
        {"16 bit 4-4-4", withMasks(0x0F00, 0x00F0, 0x000F), "PixelFormat in invalid"},
        {"16 bit 6-5-5", withMasks(0xFC00, 0x03E0, 0x001F), "PixelFormat in invalid"},
        {"too wide", DibPayload(InfoHeader(40000, 1, 24).b), "DIB is invalid"},
        {"too many pixels", DibPayload(InfoHeader(5000, -5000, 24).b), "DIB is invalid"},
        {"header cut short", DibPayload(Bytes().U32(40).U32(1).b), "Stream read error"},
        {"palette cut short", DibPayload(InfoHeader(1, 1, 8).U32(0).b), "Stream read error"},
        {"rows cut short", DibPayload(InfoHeader(2, 2, 24).U32(0).b), "Stream read error"},
        {"lying height", DibPayload(InfoHeader(4096, 4096, 24).b), "Stream read error"},
        {"RLE without its end", DibPayload(InfoHeader(2, 2, 8, 1, 1).U32(0).U8(2).U8(0).b),
         "Stream read error"},
        {"RLE literal cut short", DibPayload(InfoHeader(9, 1, 8, 1, 1).U32(0).U8(0).U8(9).U8(1).b),
         "Stream read error"},
        {"bitmap file without BM", Bytes().Short("TBitmap").U32(14).Raw("BX").Raw(std::string(12, '\0')).b,
         "DIB is invalid"},
        {"bitmap file longer than the payload", Bytes().Short("TBitmap").U32(100).Raw("BM").b,
         "Stream read error"},
        {"bitmap file of 5 bytes", Bytes().Short("TBitmap").U32(5).Raw("BM").U16(0).U8(0).b,
         "Stream read error"},
        {"PNG that is not one", Bytes().Short("PNG").U32(8).Raw("NOTAPNG!").b, "PNG is invalid"},
        {"PNG longer than the payload", Bytes().Short("PNG").U32(9).Raw("\x89PNG").b, "Stream read error"},
        {"kind name cut short", Bytes().U8(5).Raw("DI").b, "Stream read error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf(c.payload), c.message) << c.what;
}

TEST(DibPicture, PictureErrorsReachTheArchiveReader) {
    try {
        ReadImageArchive(testing::OneItemArchive(DibPayload(InfoHeader(1, 1, 12).b)));
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "Bitcount in invalid (12)");
    }
}

// A PNG made with libpng's own writer in another colour type than ours.
std::vector<uint8_t> ForeignPng(uint32_t format, int w, int h, const std::vector<uint8_t>& pixels) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = png_uint_32(w);
    img.height = png_uint_32(h);
    img.format = format;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&img, nullptr, &size, 0, pixels.data(), 0, nullptr));
    std::vector<uint8_t> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&img, out.data(), &size, 0, pixels.data(), 0, nullptr));
    out.resize(size);
    return out;
}

TEST(PngPicture, OtherColourTypesBecomeRgba) {
    EXPECT_EQ(DecodePng(ForeignPng(PNG_FORMAT_GRAY, 2, 1, {0x00, 0x80})).pixels,
              (std::vector<uint32_t>{0xFF000000, 0xFF808080}));
    EXPECT_EQ(DecodePng(ForeignPng(PNG_FORMAT_GA, 1, 1, {0x40, 0x20})).pixels,
              (std::vector<uint32_t>{0x20404040}));
    EXPECT_EQ(DecodePng(ForeignPng(PNG_FORMAT_RGB, 1, 2, {1, 2, 3, 4, 5, 6})).pixels,
              (std::vector<uint32_t>{0xFF010203, 0xFF040506}));
}

TEST(PngPicture, RgbaKeepsItsAlphaExactly) {
    RgbaImage img(256, 2);
    for (int x = 0; x < 256; ++x) {
        img.At(x, 0) = (uint32_t(x) << 24) | 0x00C08040;
        img.At(x, 1) = (uint32_t(255 - x) << 24) | (uint32_t(x) << 8);
    }
    RgbaImage back = DecodePng(EncodePng(img));
    EXPECT_EQ(back.width, 256);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.pixels, img.pixels);
}

} // namespace
} // namespace vorlane
