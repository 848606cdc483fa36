#include "datagen/common/CarPainter.h"

#include "datagen/common/Paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vorlane::datagen {
namespace {

struct Point {
    double x, y;
};

// The body outline, symmetric about x = 0, as a closed path in picture pixels.
struct BodyShape {
    double cx, top, bottom, halfWidth;
    double noseHalf, tailHalf, noseY, tailY;
};

BodyShape ShapeOf(const CarStyle& s) {
    BodyShape b;
    const double w = s.imageWidth, h = s.imageHeight;
    b.cx = w / 2;
    b.top = h * s.bodyMarginY;
    b.bottom = h * (1 - s.bodyMarginY);
    b.halfWidth = w * (0.5 - s.bodyMarginX);
    b.noseHalf = b.halfWidth * s.noseWidth;
    b.tailHalf = b.halfWidth * s.tailWidth;
    const double corner = s.cornerRadius * 2 * b.halfWidth;
    b.noseY = b.top + corner * 0.9;
    b.tailY = b.bottom - corner * 0.6;
    return b;
}

// Catmull-Rom through the points as cubic Bezier segments (the path already stands on pts[0]).
void SmoothThrough(cairo_t* cr, const std::vector<Point>& pts) {
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        const Point p0 = pts[i == 0 ? 0 : i - 1], p1 = pts[i], p2 = pts[i + 1];
        const Point p3 = pts[std::min(pts.size() - 1, i + 2)];
        cairo_curve_to(cr, p1.x + (p2.x - p0.x) / 6, p1.y + (p2.y - p0.y) / 6, p2.x - (p3.x - p1.x) / 6,
                       p2.y - (p3.y - p1.y) / 6, p2.x, p2.y);
    }
}

void BodyPath(cairo_t* cr, const BodyShape& b) {
    const double L = b.bottom - b.top;
    const double hw = b.halfWidth;
    // Right flank from nose corner to tail corner.
    std::vector<Point> right = {{b.cx + b.noseHalf, b.noseY},  {b.cx + hw * 0.985, b.top + L * 0.17},
                                {b.cx + hw, b.top + L * 0.24}, {b.cx + hw * 0.955, b.top + L * 0.50},
                                {b.cx + hw, b.top + L * 0.76}, {b.cx + hw * 0.99, b.top + L * 0.84},
                                {b.cx + b.tailHalf, b.tailY}};
    std::vector<Point> left;
    for (auto it = right.rbegin(); it != right.rend(); ++it)
        left.push_back({2 * b.cx - it->x, it->y});
    const double noseBulge = (b.noseY - b.top) * 4.0 / 3.0;
    const double tailBulge = (b.bottom - b.tailY) * 4.0 / 3.0;
    cairo_new_path(cr);
    cairo_move_to(cr, b.cx - b.noseHalf, b.noseY);
    cairo_curve_to(cr, b.cx - b.noseHalf, b.noseY - noseBulge, b.cx + b.noseHalf, b.noseY - noseBulge,
                   b.cx + b.noseHalf, b.noseY);
    SmoothThrough(cr, right);
    cairo_curve_to(cr, b.cx + b.tailHalf, b.tailY + tailBulge, b.cx - b.tailHalf, b.tailY + tailBulge,
                   b.cx - b.tailHalf, b.tailY);
    SmoothThrough(cr, left);
    cairo_close_path(cr);
}

// A trapezoid centred on cx from y0 (half width h0) to y1 (half width h1), corners softened.
void TrapezoidPath(cairo_t* cr, double cx, double y0, double h0, double y1, double h1, double bulge0,
                   double bulge1) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx - h0, y0);
    cairo_curve_to(cr, cx - h0 * 0.5, y0 - bulge0, cx + h0 * 0.5, y0 - bulge0, cx + h0, y0);
    cairo_line_to(cr, cx + h1, y1);
    cairo_curve_to(cr, cx + h1 * 0.5, y1 + bulge1, cx - h1 * 0.5, y1 + bulge1, cx - h1, y1);
    cairo_close_path(cr);
}

} // namespace

void PaintTopDownCar(cairo_t* cr, const CarStyle& s, bool shadow) {
    const BodyShape b = ShapeOf(s);
    const double W = s.imageWidth;
    const double L = b.bottom - b.top;
    const double hw = b.halfWidth;
    const Colour body = Hex(s.body), shade = Hex(s.bodyShade), stripe = Hex(s.stripe), glass = Hex(s.glass),
                 trim = Hex(s.trim);
    const double line = std::max(0.6, W / 90.0);
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    if (shadow) {
        cairo_save(cr);
        cairo_translate(cr, W * 0.035, L * 0.018);
        BodyPath(cr, b);
        ShadowOfPath(cr, 0, 0, std::max(2.0, W * 0.05), Hex(0x000000, 0.55));
        cairo_new_path(cr);
        cairo_restore(cr);
    }

    // Wheels: dark tyres peeking out of the body at the four corners.
    const double wheelW = hw * 0.34 + W * s.wheelPeek;
    const double wheelL = s.imageHeight * s.wheelLength;
    for (double wy : {s.wheelFront, s.wheelRear}) {
        const double cy = s.imageHeight * wy;
        for (int side : {-1, 1}) {
            const double outer = b.cx + side * (hw + W * s.wheelPeek);
            const double x0 = side > 0 ? outer - wheelW : outer;
            RoundedRectPath(cr, x0, cy - wheelL / 2, wheelW, wheelL, wheelW * 0.35);
            SetLinear(cr, x0, 0, x0 + wheelW, 0, {Hex(0x0B0B0C), Hex(0x3A3B3E), Hex(0x0B0B0C)});
            cairo_fill(cr);
            // Tread lines.
            SetColour(cr, Hex(0x000000, 0.55));
            cairo_set_line_width(cr, line * 0.7);
            for (int k = 1; k < 6; ++k) {
                const double ty = cy - wheelL / 2 + wheelL * k / 6.0;
                cairo_move_to(cr, x0 + wheelW * 0.15, ty);
                cairo_line_to(cr, x0 + wheelW * 0.85, ty);
            }
            cairo_stroke(cr);
        }
    }

    // Body: a glossy cylinder, dark at the flanks, with a bright band left of the centre.
    BodyPath(cr, b);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(b.cx - hw, 0, b.cx + hw, 0);
    AddStop(gloss, 0.00, Darker(shade, 0.25));
    AddStop(gloss, 0.10, shade);
    AddStop(gloss, 0.30, body);
    AddStop(gloss, 0.40, Lighter(body, 0.35));
    AddStop(gloss, 0.50, Lighter(body, 0.12));
    AddStop(gloss, 0.75, body);
    AddStop(gloss, 0.92, shade);
    AddStop(gloss, 1.00, Darker(shade, 0.3));
    SetSourceAndRelease(cr, gloss);
    cairo_fill_preserve(cr);
    // Nose and tail fall away from the light.
    cairo_pattern_t* ends = cairo_pattern_create_linear(0, b.top, 0, b.bottom);
    AddStop(ends, 0.00, Colour{0, 0, 0, 0.25});
    AddStop(ends, 0.08, Colour{0, 0, 0, 0.0});
    AddStop(ends, 0.90, Colour{0, 0, 0, 0.0});
    AddStop(ends, 1.00, Colour{0, 0, 0, 0.35});
    SetSourceAndRelease(cr, ends);
    cairo_fill(cr);

    // Cabin geometry.
    const double cabinHalf = hw * s.cabinWidth;
    const double wsTop = s.imageHeight * s.windscreenTop, roofTop = s.imageHeight * s.roofTop;
    const double roofBottom = s.imageHeight * s.roofBottom, rwBottom = s.imageHeight * s.rearWindowBottom;

    // Livery, clipped to the body.
    cairo_save(cr);
    BodyPath(cr, b);
    cairo_clip(cr);
    SetColour(cr, stripe);
    if (s.stripes == 1) {
        cairo_rectangle(cr, b.cx - hw * 0.2, 0, hw * 0.4, s.imageHeight);
        cairo_fill(cr);
        SetColour(cr, WithAlpha(Lighter(stripe, 0.4), 0.6));
        cairo_rectangle(cr, b.cx - hw * 0.2, 0, hw * 0.05, s.imageHeight);
        cairo_rectangle(cr, b.cx + hw * 0.15, 0, hw * 0.05, s.imageHeight);
        cairo_fill(cr);
    } else if (s.stripes == 2) {
        cairo_rectangle(cr, b.cx - hw * 0.30, 0, hw * 0.20, s.imageHeight);
        cairo_rectangle(cr, b.cx + hw * 0.10, 0, hw * 0.20, s.imageHeight);
        cairo_fill(cr);
    } else if (s.stripes == 3) {
        // Swooshes along the flanks from behind the front wheel, tapering toward the tail.
        for (int side : {-1, 1}) {
            cairo_new_path(cr);
            cairo_move_to(cr, b.cx + side * hw * 1.05, b.top + L * 0.22);
            cairo_curve_to(cr, b.cx + side * hw * 0.86, b.top + L * 0.26, b.cx + side * hw * 0.80,
                           b.top + L * 0.40, b.cx + side * hw * 0.82, b.top + L * 0.55);
            cairo_curve_to(cr, b.cx + side * hw * 0.84, b.top + L * 0.68, b.cx + side * hw * 0.92,
                           b.top + L * 0.76, b.cx + side * hw * 1.05, b.top + L * 0.80);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
    }
    // Shade the livery like the paint: stripes sit on the same curved body.
    cairo_pattern_t* stripeShade = cairo_pattern_create_linear(b.cx - hw, 0, b.cx + hw, 0);
    AddStop(stripeShade, 0.0, Colour{0, 0, 0, 0.45});
    AddStop(stripeShade, 0.3, Colour{0, 0, 0, 0.0});
    AddStop(stripeShade, 0.75, Colour{0, 0, 0, 0.0});
    AddStop(stripeShade, 1.0, Colour{0, 0, 0, 0.5});
    SetSourceAndRelease(cr, stripeShade);
    cairo_paint(cr);
    cairo_restore(cr);

    // Bonnet scoop.
    if (s.bonnetScoop) {
        const double sy = b.top + L * 0.10, sh = L * 0.09, sw = hw * 0.44;
        RoundedRectPath(cr, b.cx - sw / 2, sy, sw, sh, sw * 0.2);
        SetColour(cr, trim);
        cairo_fill_preserve(cr);
        SetColour(cr, Hex(0xFFFFFF, 0.18));
        cairo_set_line_width(cr, line * 0.7);
        cairo_stroke(cr);
        SetColour(cr, Hex(0x000000, 0.8));
        for (int k = 1; k <= 3; ++k) {
            cairo_rectangle(cr, b.cx - sw * 0.38, sy + sh * (0.12 + 0.25 * (k - 1)), sw * 0.76, sh * 0.12);
        }
        cairo_fill(cr);
    }

    // Shadow the cabin casts on the body, then the cabin: windscreen, roof, rear window.
    TrapezoidPath(cr, b.cx, wsTop, cabinHalf * 0.80, rwBottom, cabinHalf * 0.86, L * 0.015, L * 0.01);
    ShadowOfPath(cr, W * 0.02, L * 0.008, std::max(1.0, W * 0.03), Hex(0x000000, 0.5));
    cairo_new_path(cr);
    // Windscreen: dark tinted glass catching the sky toward its top edge.
    const Colour sky = Mix(Hex(0x7FA6D8), glass, 0.35);
    TrapezoidPath(cr, b.cx, wsTop, cabinHalf * 0.80, roofTop, cabinHalf, L * 0.025, 0);
    SetLinear(cr, 0, wsTop, 0, roofTop, {sky, Mix(sky, glass, 0.6), Darker(glass, 0.3)});
    cairo_fill(cr);
    // Rear window.
    TrapezoidPath(cr, b.cx, roofBottom, cabinHalf, rwBottom, cabinHalf * 0.86, 0, L * 0.012);
    SetLinear(cr, 0, roofBottom, 0, rwBottom, {Darker(glass, 0.3), Mix(sky, glass, 0.55)});
    cairo_fill(cr);
    // Side windows: thin glass strips along the roof.
    for (int side : {-1, 1}) {
        cairo_new_path(cr);
        cairo_move_to(cr, b.cx + side * cabinHalf * 0.98, roofTop - L * 0.005);
        cairo_line_to(cr, b.cx + side * cabinHalf * 1.0, roofBottom);
        cairo_line_to(cr, b.cx + side * cabinHalf * 0.80, roofBottom);
        cairo_line_to(cr, b.cx + side * cabinHalf * 0.80, roofTop);
        cairo_close_path(cr);
        SetColour(cr, Darker(glass, 0.2));
        cairo_fill(cr);
    }
    // Roof panel in the paint, lit from the upper left.
    const double roofHalf = cabinHalf * 0.80;
    RoundedRectPath(cr, b.cx - roofHalf, roofTop + L * 0.005, roofHalf * 2, roofBottom - roofTop - L * 0.01,
                    roofHalf * 0.25);
    cairo_pattern_t* roof = cairo_pattern_create_linear(b.cx - roofHalf, 0, b.cx + roofHalf, 0);
    AddStop(roof, 0.0, shade);
    AddStop(roof, 0.35, Lighter(body, 0.3));
    AddStop(roof, 1.0, Mix(body, shade, 0.5));
    SetSourceAndRelease(cr, roof);
    cairo_fill_preserve(cr);
    // The roof carries the centre livery too.
    cairo_save(cr);
    cairo_clip(cr);
    SetColour(cr, WithAlpha(stripe, 0.95));
    if (s.stripes == 1) {
        cairo_rectangle(cr, b.cx - hw * 0.2, 0, hw * 0.4, s.imageHeight);
        cairo_fill(cr);
    } else if (s.stripes == 2) {
        cairo_rectangle(cr, b.cx - hw * 0.30, 0, hw * 0.20, s.imageHeight);
        cairo_rectangle(cr, b.cx + hw * 0.10, 0, hw * 0.20, s.imageHeight);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    // Glass reflections.
    SetColour(cr, Hex(0xFFFFFF, 0.35));
    cairo_new_path(cr);
    cairo_move_to(cr, b.cx - cabinHalf * 0.55, wsTop + (roofTop - wsTop) * 0.2);
    cairo_line_to(cr, b.cx - cabinHalf * 0.25, wsTop + (roofTop - wsTop) * 0.15);
    cairo_line_to(cr, b.cx - cabinHalf * 0.55, roofTop - (roofTop - wsTop) * 0.15);
    cairo_line_to(cr, b.cx - cabinHalf * 0.75, roofTop - (roofTop - wsTop) * 0.15);
    cairo_close_path(cr);
    cairo_fill(cr);

    // Mirrors: small wings at the foot of the windscreen pillars.
    for (int side : {-1, 1}) {
        const double mx = b.cx + side * cabinHalf * 1.02, my = roofTop - (roofTop - wsTop) * 0.25;
        cairo_new_path(cr);
        cairo_move_to(cr, mx, my - L * 0.018);
        cairo_line_to(cr, mx + side * hw * 0.30, my - L * 0.010);
        cairo_line_to(cr, mx + side * hw * 0.30, my + L * 0.006);
        cairo_line_to(cr, mx, my + L * 0.010);
        cairo_close_path(cr);
        SetColour(cr, Mix(shade, trim, 0.5));
        cairo_fill_preserve(cr);
        SetColour(cr, Hex(0x000000, 0.6));
        cairo_set_line_width(cr, line * 0.5);
        cairo_stroke(cr);
    }

    // Headlights.
    for (int side : {-1, 1}) {
        cairo_save(cr);
        cairo_translate(cr, b.cx + side * b.noseHalf * 0.66, b.noseY - (b.noseY - b.top) * 0.30);
        cairo_rotate(cr, side * 0.30);
        cairo_scale(cr, hw * 0.20, L * 0.016);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        SetColour(cr, Hex(0xFFF6D8));
        cairo_fill_preserve(cr);
        SetColour(cr, Hex(0x6A6A5A, 0.8));
        cairo_set_line_width(cr, line * 0.6);
        cairo_stroke(cr);
    }

    // Rear wing.
    if (s.spoiler) {
        const double sy = b.bottom - L * 0.10, sh = L * 0.035;
        RoundedRectPath(cr, b.cx - hw * 1.0, sy, hw * 2.0, sh, sh * 0.3);
        SetLinear(cr, 0, sy, 0, sy + sh, {Lighter(trim, 0.35), trim});
        cairo_fill_preserve(cr);
        SetColour(cr, Hex(0x000000, 0.8));
        cairo_set_line_width(cr, line * 0.6);
        cairo_stroke(cr);
        for (int side : {-1, 1}) {
            cairo_rectangle(cr, b.cx + side * hw * 0.55 - hw * 0.05, sy - L * 0.02, hw * 0.1, L * 0.02);
        }
        SetColour(cr, trim);
        cairo_fill(cr);
    }

    // Tail lights, in front of the wing so that they show from above.
    for (int side : {-1, 1}) {
        const double ty = b.tailY + (b.bottom - b.tailY) * 0.25;
        RoundedRectPath(cr, side > 0 ? b.cx + b.tailHalf * 0.45 : b.cx - b.tailHalf * 0.92, ty - L * 0.012,
                        b.tailHalf * 0.47, L * 0.026, L * 0.01);
        SetColour(cr, Hex(0xE01010));
        cairo_fill_preserve(cr);
        SetColour(cr, Hex(0x500000, 0.9));
        cairo_set_line_width(cr, line * 0.5);
        cairo_stroke(cr);
    }

    // Outline and a bright specular streak along the bonnet.
    BodyPath(cr, b);
    SetColour(cr, Hex(0x000000, 0.75));
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, b.cx - hw * 0.45, b.top + L * 0.06);
    cairo_curve_to(cr, b.cx - hw * 0.50, b.top + L * 0.15, b.cx - hw * 0.48, b.top + L * 0.22,
                   b.cx - hw * 0.42, wsTop - L * 0.01);
    SetColour(cr, Hex(0xFFFFFF, 0.35));
    cairo_set_line_width(cr, line * 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_restore(cr);
}

} // namespace vorlane::datagen
