#include "datagen/common/Picture.h"

#include "datagen/common/Canvas.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace vorlane::datagen {

GeneratedPicture DrawPatterns(const std::string& name, int width, int height, int patterns,
                              const std::function<void(cairo_t*, int pattern)>& draw) {
    GeneratedPicture picture;
    picture.name = name;
    picture.image = RgbaImage(width, height * patterns);
    if (patterns > 1) {
        picture.patternWidth = width;
        picture.patternHeight = height;
    }
    for (int p = 0; p < patterns; ++p) {
        Canvas canvas(width, height);
        draw(canvas.cr(), p);
        if (cairo_status(canvas.cr()) != CAIRO_STATUS_SUCCESS)
            throw std::runtime_error("drawing " + name +
                                     " failed: " + cairo_status_to_string(cairo_status(canvas.cr())));
        const RgbaImage one = canvas.ToImage();
        std::copy(one.pixels.begin(), one.pixels.end(),
                  picture.image.pixels.begin() + ptrdiff_t(p) * width * height);
    }
    return picture;
}

GeneratedPicture DrawPicture(const std::string& name, int width, int height,
                             const std::function<void(cairo_t*)>& draw) {
    return DrawPatterns(name, width, height, 1, [&](cairo_t* cr, int) { draw(cr); });
}

ImageRecord ToImageRecord(const GeneratedPicture& picture) {
    ImageRecord record;
    record.name = picture.name;
    record.patternWidth = picture.patternWidth;
    record.patternHeight = picture.patternHeight;
    record.transparent = picture.transparent;
    record.transparentColor = 0;
    record.picture = picture.kind == GeneratedPicture::Kind::Dib ? EncodeDibPicture(picture.image, 24)
                                                                 : EncodePngPicture(picture.image);
    return record;
}

void SavePng(const RgbaImage& image, const std::string& path) {
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
    cairo_surface_t* surface = ImageToSurface(image);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path + ": " + cairo_status_to_string(status));
}

} // namespace vorlane::datagen
