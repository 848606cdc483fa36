// Device-independent bitmaps: info (40-byte) and core (12-byte) headers, 1/4/8-bit
// palette pictures, run-length 8 and 4 bit, 16-bit 5-5-5 and 5-6-5, 24 and 32 bit,
// rows bottom-up or (info header with negative height) top-down.
#include "engine/ArchiveReader.h"
#include "engine/Picture.h"

#include <algorithm>
#include <array>
#include <bit>

namespace vorlane {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

struct DibHeader {
    int64_t width = 0;
    int64_t height = 0; // rows, always positive here
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    bool core = false;
    uint32_t masks[3] = {0, 0, 0}; // red, green, blue
};

// One channel of a bit-field mask, widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    uint32_t operator()(uint32_t pixel) const {
        if (max == 0) return 0;
        return uint32_t((uint64_t((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

uint32_t Expand5(uint32_t v) {
    return (v << 3) | (v >> 2);
}
uint32_t Expand6(uint32_t v) {
    return (v << 2) | (v >> 4);
}

DibHeader ReadHeader(ByteReader& r) {
    DibHeader h;
    uint32_t size = r.ReadU32();
    if (size == 40) {
        int32_t width = r.ReadI32();
        int32_t height = r.ReadI32();
        r.ReadU16(); // planes
        h.bitCount = r.ReadU16();
        h.compression = r.ReadU32();
        r.Skip(12); // image size and resolutions
        h.colorsUsed = r.ReadU32();
        r.ReadU32(); // colours important
        h.width = width;
        h.topDown = height < 0;
        h.height = height < 0 ? -int64_t(height) : int64_t(height);
    } else if (size == 12) {
        h.core = true;
        h.width = r.ReadU16();
        h.height = r.ReadU16();
        r.ReadU16(); // planes
        h.bitCount = r.ReadU16();
    } else {
        throw EngineError(kDibInvalid);
    }

    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        throw EngineError("Bitcount in invalid (" + std::to_string(h.bitCount) + ")");
    }
    bool fits = (h.compression == 0) || (h.compression == 1 && h.bitCount == 8) ||
                (h.compression == 2 && h.bitCount == 4) ||
                (h.compression == 3 && (h.bitCount == 16 || h.bitCount == 32));
    if (!fits || h.width < 0) throw EngineError(kDibInvalid);
    // Run-length pictures are always stored bottom-up.
    if (h.topDown && (h.compression == 1 || h.compression == 2)) throw EngineError(kDibInvalid);

    if (h.compression == 3) {
        for (auto& m : h.masks)
            m = r.ReadU32();
    } else if (h.bitCount == 16) {
        h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
    } else if (h.bitCount == 32) {
        h.masks[0] = 0xFF0000, h.masks[1] = 0x00FF00, h.masks[2] = 0x0000FF;
    }
    if (h.bitCount == 16) {
        bool is555 = h.masks[0] == 0x7C00 && h.masks[1] == 0x03E0 && h.masks[2] == 0x001F;
        bool is565 = h.masks[0] == 0xF800 && h.masks[1] == 0x07E0 && h.masks[2] == 0x001F;
        if (!is555 && !is565) throw EngineError(kPixelFormatInvalid);
    }
    return h;
}

// Palette indices of a run-length picture, bottom row first.
void DecodeRle(ByteReader& r, const DibHeader& h, const std::vector<uint32_t>& palette, RgbaImage& image) {
    const bool four = h.compression == 2;
    const int64_t w = h.width, rows = h.height;
    int64_t x = 0, y = 0; // y counts rows from the bottom
    auto color = [&](uint32_t index) { return index < palette.size() ? palette[index] : kOpaque; };
    auto put = [&](uint32_t index) {
        if (x < w && y < rows) image.At(int(x), int(rows - 1 - y)) = color(index);
        ++x;
    };
    while (y < rows) {
        uint8_t count = r.ReadByte();
        uint8_t value = r.ReadByte();
        if (count > 0) {
            // A run: one index (or two alternating nibbles) count times.
            for (int i = 0; i < count; ++i) {
                if (x >= w) { // the rest of the run falls off the row
                    x += count - i;
                    break;
                }
                put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            }
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of picture
            return;
        case 2: // move right and up
            x += r.ReadByte();
            y += r.ReadByte();
            break;
        default: { // literal indices, padded to 16 bits
            size_t bytes = four ? (size_t(value) + 1) / 2 : value;
            auto data = r.ReadBytes(bytes + (bytes & 1));
            for (int i = 0; i < value; ++i)
                put(four ? ((i & 1) ? data[size_t(i / 2)] & 0x0F : data[size_t(i / 2)] >> 4)
                         : data[size_t(i)]);
            break;
        }
        }
    }
}

void DecodeRows(ByteReader& r, const DibHeader& h, const std::vector<uint32_t>& palette, RgbaImage& image) {
    const int w = int(h.width), rows = int(h.height);
    const uint64_t rowBits = uint64_t(w) * uint64_t(h.bitCount);
    const uint64_t stride = (rowBits + 31) / 32 * 4;
    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
    const bool is565 = h.masks[1] == 0x07E0;
    auto color = [&](uint32_t index) { return index < palette.size() ? palette[index] : kOpaque; };

    for (int row = 0; row < rows; ++row) {
        auto data = r.ReadBytes(std::min<uint64_t>(stride, r.Remaining()));
        uint32_t* out = &image.At(0, h.topDown ? row : rows - 1 - row);
        for (int x = 0; x < w; ++x) {
            uint32_t p;
            switch (h.bitCount) {
            case 1:
                p = color((data[size_t(x) / 8] >> (7 - x % 8)) & 1);
                break;
            case 4:
                p = color((data[size_t(x) / 2] >> ((x & 1) ? 0 : 4)) & 0x0F);
                break;
            case 8:
                p = color(data[size_t(x)]);
                break;
            case 16: {
                uint32_t v = data[size_t(x) * 2] | (data[size_t(x) * 2 + 1] << 8);
                uint32_t g = is565 ? Expand6((v >> 5) & 0x3F) : Expand5((v >> 5) & 0x1F);
                uint32_t rr = Expand5(is565 ? (v >> 11) & 0x1F : (v >> 10) & 0x1F);
                p = kOpaque | (rr << 16) | (g << 8) | Expand5(v & 0x1F);
                break;
            }
            case 24: {
                const uint8_t* b = &data[size_t(x) * 3];
                p = kOpaque | (uint32_t(b[2]) << 16) | (uint32_t(b[1]) << 8) | b[0];
                break;
            }
            default: { // 32
                const uint8_t* b = &data[size_t(x) * 4];
                uint32_t v =
                    uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
                p = kOpaque | (red(v) << 16) | (green(v) << 8) | blue(v);
                break;
            }
            }
            out[x] = p;
        }
    }
}

} // namespace

RgbaImage DecodeDib(std::span<const uint8_t> dib, size_t pixelOffset) {
    if (dib.empty()) return {};
    ByteReader r(dib);
    DibHeader h = ReadHeader(r);

    // The palette: colours used, or all the bit count can address; 256 at most.
    uint64_t entries = h.colorsUsed;
    if (entries == 0 && h.bitCount <= 8) entries = uint64_t(1) << h.bitCount;
    entries = std::min<uint64_t>(entries, 256);
    std::vector<uint32_t> palette;
    auto stored = r.ReadBytes(entries * (h.core ? 3 : 4));
    if (h.bitCount <= 8) {
        for (uint64_t i = 0; i < entries; ++i) {
            const uint8_t* e = &stored[size_t(i * (h.core ? 3 : 4))];
            palette.push_back(kOpaque | (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0]);
        }
    }

    if (h.width == 0 || h.height == 0) return {};
    if (h.width > kMaxPictureSide || h.height > kMaxPictureSide || h.width * h.height > kMaxPicturePixels)
        throw EngineError(kDibInvalid);
    if (pixelOffset != 0 && pixelOffset >= r.Position() && pixelOffset <= dib.size()) r.Seek(pixelOffset);

    if (h.compression == 1 || h.compression == 2) {
        // A run spells at most 255 pixels in two bytes. A picture declaring far more
        // pixels than its bytes could spell is refused before room is made for it
        // (only one that skips most of its area with moves and an early end could be
        // that short; no picture of the game does, and small ones are always taken).
        constexpr int64_t kRlePixelsPerByte = 128;
        constexpr int64_t kRleAlwaysTaken = int64_t(1) << 16;
        if (h.width * h.height > std::max(kRleAlwaysTaken, kRlePixelsPerByte * int64_t(r.Remaining())))
            throw EngineError(kDibInvalid);
        RgbaImage image(int(h.width), int(h.height), palette.empty() ? kOpaque : palette[0]);
        DecodeRle(r, h, palette, image);
        return image;
    }
    // Uncompressed: check the rows are all there before making room for them (the last
    // row need not carry its padding).
    uint64_t rowBits = uint64_t(h.width) * uint64_t(h.bitCount);
    uint64_t stride = (rowBits + 31) / 32 * 4;
    if (r.Remaining() < stride * uint64_t(h.height - 1) + (rowBits + 7) / 8)
        throw EngineError(kStreamReadError);
    RgbaImage image{int(h.width), int(h.height)};
    DecodeRows(r, h, palette, image);
    return image;
}

RgbaImage DecodeBitmapFile(std::span<const uint8_t> file) {
    if (file.empty()) return {};
    ByteReader r(file);
    if (r.ReadU16() != 0x4D42) throw EngineError(kDibInvalid); // "BM"
    r.ReadU32();                                               // file size
    r.ReadU32();                                               // reserved
    uint32_t pixelOffset = r.ReadU32();
    return DecodeDib(file.subspan(14), pixelOffset > 14 ? size_t(pixelOffset) - 14 : 0);
}

} // namespace vorlane
