// PNG files through libpng's simplified interface.
#include "platform/PngFile.h"

#include "platform/Files.h"

#include <png.h>

namespace vorlane {

bool SavePng(const RgbaImage& image, const std::string& path) {
    if (image.Empty() || image.pixels.size() != size_t(image.width) * size_t(image.height)) return false;
    std::vector<uint8_t> rgba(image.pixels.size() * 4);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t p = image.pixels[i];
        rgba[i * 4 + 0] = uint8_t(p >> 16);
        rgba[i * 4 + 1] = uint8_t(p >> 8);
        rgba[i * 4 + 2] = uint8_t(p);
        rgba[i * 4 + 3] = uint8_t(p >> 24);
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, rgba.data(), 0, nullptr)) return false;
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, rgba.data(), 0, nullptr)) return false;
    bytes.resize(size);
    return WriteFileAtomically(path, bytes);
}

std::optional<RgbaImage> LoadPng(const std::string& path) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes->data(), bytes->size())) return std::nullopt;
    png.format = PNG_FORMAT_BGRA; // byte order B, G, R, A
    std::vector<uint8_t> bgra(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, bgra.data(), 0, nullptr)) {
        png_image_free(&png);
        return std::nullopt;
    }
    RgbaImage image(int(png.width), int(png.height));
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = uint32_t(bgra[i * 4 + 3]) << 24 | uint32_t(bgra[i * 4 + 2]) << 16 |
                          uint32_t(bgra[i * 4 + 1]) << 8 | uint32_t(bgra[i * 4 + 0]);
    return image;
}

} // namespace vorlane
