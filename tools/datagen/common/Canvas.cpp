#include "datagen/common/Canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace vorlane::datagen {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr_(cairo_create(surface_)) {
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS || cairo_status(cr_) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot make a " + std::to_string(width) + "x" + std::to_string(height) +
                                 " drawing surface");
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

RgbaImage Canvas::ToImage() const {
    return SurfaceToImage(surface_);
}

RgbaImage SurfaceToImage(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    RgbaImage image(w, h);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            if (a == 0) {
                image.At(x, y) = 0;
                continue;
            }
            auto straight = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
            const uint32_t r = straight((p >> 16) & 0xFF), g = straight((p >> 8) & 0xFF),
                           b = straight(p & 0xFF);
            image.At(x, y) = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    return image;
}

cairo_surface_t* ImageToSurface(const RgbaImage& image) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < image.height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.At(x, y);
            const uint32_t a = p >> 24;
            auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (pre((p >> 16) & 0xFF) << 16) | (pre((p >> 8) & 0xFF) << 8) | pre(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

namespace {

// One box pass of the given half-width along a line of n values with the given step.
void BoxLine(uint8_t* base, int n, int step, int half, std::vector<uint32_t>& sums) {
    if (half <= 0 || n <= 1) return;
    const int window = 2 * half + 1;
    for (int channel = 0; channel < 4; ++channel) {
        // Running sum with the edges clamped to transparent.
        sums.assign(size_t(n), 0);
        uint32_t acc = 0;
        for (int i = -half; i <= half; ++i)
            if (i >= 0 && i < n) acc += base[size_t(i) * size_t(step) + size_t(channel)];
        for (int i = 0; i < n; ++i) {
            sums[size_t(i)] = acc;
            const int out = i - half, in = i + half + 1;
            if (out >= 0) acc -= base[size_t(out) * size_t(step) + size_t(channel)];
            if (in < n) acc += base[size_t(in) * size_t(step) + size_t(channel)];
        }
        for (int i = 0; i < n; ++i)
            base[size_t(i) * size_t(step) + size_t(channel)] =
                uint8_t((sums[size_t(i)] + uint32_t(window / 2)) / uint32_t(window));
    }
}

} // namespace

void BlurSurface(cairo_surface_t* surface, double radius) {
    if (radius < 0.5) return;
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    // Three boxes of this half-width give about the standard deviation radius / 2.
    const int half = std::max(1, int(std::lround(radius * 0.58)));
    std::vector<uint32_t> sums;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            BoxLine(data + size_t(y) * size_t(stride), w, 4, half, sums);
        for (int x = 0; x < w; ++x)
            BoxLine(data + size_t(x) * 4, h, stride, half, sums);
    }
    cairo_surface_mark_dirty(surface);
}

} // namespace vorlane::datagen
