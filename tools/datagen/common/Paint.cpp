#include "datagen/common/Paint.h"

#include "datagen/common/Canvas.h"

#include <algorithm>
#include <cmath>

namespace vorlane::datagen {

Colour Hex(uint32_t rgb, double alpha) {
    return {double((rgb >> 16) & 0xFF) / 255.0, double((rgb >> 8) & 0xFF) / 255.0, double(rgb & 0xFF) / 255.0,
            alpha};
}

Colour Mix(const Colour& from, const Colour& to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Colour Lighter(const Colour& c, double t) {
    return Mix(c, Colour{1, 1, 1, c.a}, t);
}
Colour Darker(const Colour& c, double t) {
    return Mix(c, Colour{0, 0, 0, c.a}, t);
}
Colour WithAlpha(const Colour& c, double alpha) {
    return {c.r, c.g, c.b, alpha};
}

void SetColour(cairo_t* cr, const Colour& c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void SetSourceAndRelease(cairo_t* cr, cairo_pattern_t* pattern) {
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

void AddStop(cairo_pattern_t* gradient, double offset, const Colour& c) {
    cairo_pattern_add_color_stop_rgba(gradient, offset, c.r, c.g, c.b, c.a);
}

void SetLinear(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<Colour> stops) {
    cairo_pattern_t* g = cairo_pattern_create_linear(x0, y0, x1, y1);
    const size_t n = stops.size();
    size_t i = 0;
    for (const Colour& c : stops) {
        AddStop(g, n > 1 ? double(i) / double(n - 1) : 0.0, c);
        ++i;
    }
    SetSourceAndRelease(cr, g);
}

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double r = std::max(0.0, std::min({radius, w / 2, h / 2}));
    cairo_new_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void PlatePath(cairo_t* cr, double x, double y, double w, double h, double cut) {
    const double c = std::max(0.0, std::min({cut, w / 2, h / 2}));
    const double r = std::min(3.0, c);
    cairo_new_path(cr);
    cairo_move_to(cr, x + c, y);
    cairo_line_to(cr, x + w - r, y);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_line_to(cr, x + w, y + h - c);
    cairo_line_to(cr, x + w - c, y + h);
    cairo_line_to(cr, x + r, y + h);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_line_to(cr, x, y + c);
    cairo_close_path(cr);
}

void PaintBlurred(cairo_t* cr, const std::function<void(cairo_t*)>& draw, double dx, double dy, double radius,
                  const Colour& colour, int strength) {
    cairo_surface_t* target = cairo_get_target(cr);
    const int w = cairo_image_surface_get_width(target);
    const int h = cairo_image_surface_get_height(target);
    Canvas mask(w, h);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_set_matrix(mask.cr(), &m);
    cairo_set_source_rgba(mask.cr(), 0, 0, 0, 1);
    draw(mask.cr());
    BlurSurface(mask.surface(), radius);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    SetColour(cr, colour);
    for (int i = 0; i < std::max(1, strength); ++i)
        cairo_mask_surface(cr, mask.surface(), dx, dy);
    cairo_restore(cr);
}

void ShadowOfPath(cairo_t* cr, double dx, double dy, double radius, const Colour& colour) {
    cairo_path_t* path = cairo_copy_path(cr);
    PaintBlurred(
        cr,
        [path](cairo_t* m) {
            cairo_new_path(m);
            cairo_append_path(m, path);
            cairo_fill(m);
        },
        dx, dy, radius, colour);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
}

} // namespace vorlane::datagen
