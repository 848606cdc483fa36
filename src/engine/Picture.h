#pragma once
// Stored pictures of the image archive ("Picture.Data"): the kind's name as a short
// string, then the kind's data. Kinds read: "DIB" (a device-independent bitmap without
// file header), "TBitmap" (32-bit count + a whole .bmp file) and "PNG" (32-bit count +
// a PNG file). Pixels come out as 0xAARRGGBB, rows top-down; bitmaps are opaque.
#include "engine/Types.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlane {

// Largest picture accepted, so that a lying header cannot ask for gigabytes.
inline constexpr int kMaxPictureSide = 32768;
inline constexpr int64_t kMaxPicturePixels = int64_t(1) << 24;

struct DecodedPicture {
    std::string kind; // as stored; empty for an empty payload
    RgbaImage image;
    bool hasPicture = false; // a known kind with at least one pixel
};

// The whole "Picture.Data" payload. Unknown kinds give no picture.
DecodedPicture DecodePicture(std::span<const uint8_t> payload);

// A DIB: header (40 or 12 bytes), bit-field masks, palette, pixels. An empty span is
// an empty picture. pixelOffset, when not zero, is where the pixels start (counted
// from the DIB's first byte) as a bitmap file's header says.
RgbaImage DecodeDib(std::span<const uint8_t> dib, size_t pixelOffset = 0);
// A whole bitmap file, "BM" header first.
RgbaImage DecodeBitmapFile(std::span<const uint8_t> file);
// A PNG file of any colour type, converted to 8-bit RGBA. Errors: "PNG is invalid".
RgbaImage DecodePng(std::span<const uint8_t> file);
// An 8-bit RGBA PNG file; the same image always gives the same bytes.
std::vector<uint8_t> EncodePng(const RgbaImage& image);

} // namespace vorlane
