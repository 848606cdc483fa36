// PNG pictures, the kind our data generator stores for everything with soft edges.
// Reading goes through libpng's simplified interface (it reports errors by return
// value, so nothing jumps over our frames); writing uses the full interface with a
// fixed compression level and no time stamp, so the same picture always gives the
// same bytes.
#include "engine/ArchiveReader.h"
#include "engine/Picture.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstring>

namespace vorlane {

RgbaImage DecodePng(std::span<const uint8_t> file) {
    if (file.empty()) return {};
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, file.data(), file.size())) throw EngineError(kPngInvalid);
    const int64_t w = png.width, h = png.height;
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels) {
        png_image_free(&png);
        throw EngineError(kPngInvalid);
    }
    // Deflate packs at most 1032 bytes into one, and the filtered rows hold at least
    // one bit a pixel and one byte a row: a file too short to hold the pixels its
    // header declares is refused before room is made for them.
    constexpr int64_t kMostDeflateRatio = 1032;
    const int64_t leastRowBytes = h * (1 + (w + 7) / 8);
    if (leastRowBytes > kMostDeflateRatio * int64_t(file.size())) {
        png_image_free(&png);
        throw EngineError(kPngInvalid);
    }
    RgbaImage image{int(w), int(h)};
    if constexpr (std::endian::native == std::endian::little) {
        // B, G, R, A bytes are the 0xAARRGGBB words themselves: decoded in place.
        png.format = PNG_FORMAT_BGRA;
        if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr))
            throw EngineError(kPngInvalid);
        return image;
    }
    png.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(size_t(w * h) * 4);
    if (!png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) throw EngineError(kPngInvalid);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint8_t* p = &rgba[i * 4];
        image.pixels[i] = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    return image;
}

namespace {

void AppendToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

} // namespace

std::vector<uint8_t> EncodePng(const RgbaImage& image) {
    if (image.Empty()) throw EngineError("Cannot store an empty picture as PNG");
    const size_t w = size_t(image.width), h = size_t(image.height);
    // Everything C++ is made before libpng may jump back here.
    std::vector<uint8_t> rgba(w * h * 4);
    for (size_t i = 0; i < w * h; ++i) {
        uint32_t p = image.pixels[i];
        rgba[i * 4 + 0] = uint8_t(p >> 16);
        rgba[i * 4 + 1] = uint8_t(p >> 8);
        rgba[i * 4 + 2] = uint8_t(p);
        rgba[i * 4 + 3] = uint8_t(p >> 24);
    }
    std::vector<png_bytep> rows(h);
    for (size_t y = 0; y < h; ++y)
        rows[y] = &rgba[y * w * 4];
    std::vector<uint8_t> out;
    out.reserve(w * h + 1024);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) throw EngineError("Cannot make a PNG writer");
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        throw EngineError("Cannot write the PNG picture");
    }
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_compression_level(png, 6); // fixed: same bytes on every run; 9 is six times slower for 3% less
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace vorlane
