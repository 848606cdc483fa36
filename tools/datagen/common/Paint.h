#pragma once
// Drawing helpers shared by every family of pictures: colours, gradients, rounded and
// chamfered shapes, soft shadows and glows.
#include <cairo.h>

#include <cstdint>
#include <functional>

namespace vorlane::datagen {

struct Colour {
    double r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB with an alpha of 0..1.
Colour Hex(uint32_t rgb, double alpha = 1.0);
Colour Mix(const Colour& from, const Colour& to, double t);
Colour Lighter(const Colour& c, double t); // toward white by t
Colour Darker(const Colour& c, double t);  // toward black by t
Colour WithAlpha(const Colour& c, double alpha);

void SetColour(cairo_t* cr, const Colour& c);
// Sets a pattern made with cairo_pattern_create_* as the source and drops our reference.
void SetSourceAndRelease(cairo_t* cr, cairo_pattern_t* pattern);
void AddStop(cairo_pattern_t* gradient, double offset, const Colour& c);

// A linear gradient from (x0, y0) to (x1, y1) with evenly spread stops, set as the source.
void SetLinear(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<Colour> stops);

// Paths (the current path is replaced).
void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius);
// A rectangle with its top-left and bottom-right corners cut at 45 degrees by `cut` and the
// other two rounded slightly: the plate shape of the menus.
void PlatePath(cairo_t* cr, double x, double y, double w, double h, double cut);

// Draws what `draw` paints (its alpha only), blurred by `radius`, in `colour`, moved by
// (dx, dy) device pixels. `draw` gets a context with the same transformation as cr. With
// strength above 1 the blurred mask is painted again for a denser glow.
void PaintBlurred(cairo_t* cr, const std::function<void(cairo_t*)>& draw, double dx, double dy, double radius,
                  const Colour& colour, int strength = 1);

// Fill the current path with a soft-edged drop shadow, then leave the path in place.
void ShadowOfPath(cairo_t* cr, double dx, double dy, double radius, const Colour& colour);

// A small deterministic generator for the speckle and texture of the pictures, so that the
// generator writes the same bytes on every run.
class Lcg {
  public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    double Unit() { return double(Next() & 0xFFFFFF) / double(0x1000000); } // 0 <= u < 1
    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }

  private:
    uint32_t state_;
};

} // namespace vorlane::datagen
