// The cars: the six player cars (Car1..Car6, the showroom's cars seen from above) and
// the five opponent kinds (Car7..Car11) in their six directions. Each opponent is laid
// onto the hit quadrilateral the race tests for that kind and direction, so the body
// the player sees is the body that hits him.
#include "datagen/common/CarPainter.h"
#include "datagen/common/CarStyles.h"
#include "datagen/common/Paint.h"
#include "datagen/race/RaceGeometry.h"
#include "datagen/race/RacePictures.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vorlane::datagen::race {
namespace {

// Where a vehicle lies in its picture: centre, heading (radians clockwise from up),
// length and the half widths at the front and at the rear.
struct Fit {
    double cx, cy, angle, length, frontHalf, rearHalf;
};

Fit FitQuad(const Quad& q, double headingDegrees) {
    const double h = headingDegrees * M_PI / 180;
    const Pt v{std::sin(h), -std::cos(h)};
    std::array<Pt, 4> p = q;
    std::sort(p.begin(), p.end(), [&](Pt a, Pt b) { return a.x * v.x + a.y * v.y > b.x * v.x + b.y * v.y; });
    const Pt f{(p[0].x + p[1].x) / 2, (p[0].y + p[1].y) / 2}, r{(p[2].x + p[3].x) / 2, (p[2].y + p[3].y) / 2};
    Fit fit;
    fit.cx = (f.x + r.x) / 2;
    fit.cy = (f.y + r.y) / 2;
    fit.angle = std::atan2(f.x - r.x, -(f.y - r.y));
    fit.length = std::hypot(f.x - r.x, f.y - r.y);
    fit.frontHalf = std::hypot(p[0].x - p[1].x, p[0].y - p[1].y) / 2;
    fit.rearHalf = std::hypot(p[2].x - p[3].x, p[2].y - p[3].y) / 2;
    return fit;
}

// A body drawn in its own frame: pointing up, centred on the origin, front at -L/2.
using BodyPainter = std::function<void(cairo_t*, double L, double frontHalf, double rearHalf)>;

void SoftShadow(cairo_t* cr, double dx, double dy, double blur, double alpha) {
    ShadowOfPath(cr, dx, dy, blur, Hex(0x000000, alpha));
}

void Wheel(cairo_t* cr, double x, double y, double w, double h) {
    RoundedRectPath(cr, x - w / 2, y - h / 2, w, h, std::min(w, h) * 0.35);
    SetLinear(cr, x - w / 2, 0, x + w / 2, 0, {Hex(0x0B0B0C), Hex(0x3C3D40), Hex(0x0B0B0C)});
    cairo_fill(cr);
}

// A car of the player's kind, from a style fitted to the body box.
BodyPainter StyledCar(CarStyle style) {
    return [style](cairo_t* cr, double L, double fh, double rh) mutable {
        const double hw = (fh + rh) / 2;
        const double mx = style.bodyMarginX, my = style.bodyMarginY;
        const double boxW = 2 * hw / (1 - 2 * mx), boxL = L / (1 - 2 * my);
        style.imageWidth = 100;
        style.imageHeight = int(std::lround(100 * boxL / boxW));
        cairo_save(cr);
        cairo_translate(cr, -boxW / 2, -boxL / 2);
        cairo_scale(cr, boxW / style.imageWidth, boxL / style.imageHeight);
        PaintTopDownCar(cr, style, true);
        cairo_restore(cr);
    };
}

CarStyle SedanStyle() {
    // A silver-blue family saloon.
    return {"",       "",   0,     0,    0,    0x9FB3C8, 0x4A5A6C, 0xFFFFFF, 0x18222C,
            0x2A2D31, 0.06, 0.005, 0.90, 0.94, 0.26,     0.28,     0.42,     0.72,
            0.84,     0.84, 0.19,  0.81, 0.13, 0.03,     0,        false,    false};
}

CarStyle SportsStyle() {
    // A low orange sports car with black twin stripes and a wing.
    return {"",       "",   0,     0,    0,    0xF2861C, 0x8A3C06, 0x17171A, 0x141C24,
            0x1C1D20, 0.06, 0.005, 0.80, 0.95, 0.28,     0.34,     0.48,     0.68,
            0.78,     0.74, 0.18,  0.82, 0.13, 0.04,     2,        true,     false};
}

// Kind 3: a narrow two-seat city car, one seat behind the other under a bubble roof.
void PaintMicrocar(cairo_t* cr, double L, double fh, double rh) {
    const double hw = (fh + rh) / 2, top = -L / 2, bottom = L / 2;
    RoundedRectPath(cr, -hw, top, 2 * hw, L, hw * 0.9);
    SoftShadow(cr, 1.2, 1.8, 1.2, 0.4);
    cairo_new_path(cr);
    for (double wy : {top + L * 0.17, bottom - L * 0.15})
        for (double side : {-1.0, 1.0})
            Wheel(cr, side * (hw - 0.6), wy, 3.2, L * 0.14);
    RoundedRectPath(cr, -hw, top, 2 * hw, L, hw * 0.9);
    cairo_pattern_t* g = cairo_pattern_create_linear(-hw, 0, hw, 0);
    AddStop(g, 0, Hex(0x3E6A12));
    AddStop(g, 0.35, Hex(0xB6E45A));
    AddStop(g, 0.6, Hex(0x93CC38));
    AddStop(g, 1, Hex(0x355C10));
    SetSourceAndRelease(cr, g);
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x000000, 0.7));
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    // White nose and tail caps.
    for (double y : {top, bottom - L * 0.12}) {
        cairo_save(cr);
        RoundedRectPath(cr, -hw, top, 2 * hw, L, hw * 0.9);
        cairo_clip(cr);
        cairo_rectangle(cr, -hw, y, 2 * hw, L * 0.12);
        SetColour(cr, Hex(0xEDEFEA));
        cairo_fill(cr);
        cairo_restore(cr);
    }
    // Bubble roof over both seats.
    RoundedRectPath(cr, -hw * 0.72, top + L * 0.22, hw * 1.44, L * 0.56, hw * 0.7);
    SetLinear(cr, 0, top + L * 0.22, 0, top + L * 0.78, {Hex(0x8FB4DA), Hex(0x1E2C3A), Hex(0x2C3E50)});
    cairo_fill(cr);
    // The two riders' helmets seen through the roof.
    for (double y : {top + L * 0.40, top + L * 0.62}) {
        cairo_arc(cr, 0, y, hw * 0.45, 0, 2 * M_PI);
        SetColour(cr, Hex(0xD8D8D0, 0.85));
        cairo_fill(cr);
    }
    RoundedRectPath(cr, -hw * 0.5, top + L * 0.25, hw * 0.35, L * 0.2, hw * 0.15);
    SetColour(cr, Hex(0xFFFFFF, 0.4));
    cairo_fill(cr);
    for (double side : {-1.0, 1.0}) {
        cairo_arc(cr, side * hw * 0.55, top + L * 0.035, hw * 0.22, 0, 2 * M_PI);
        SetColour(cr, Hex(0xFFF6D0));
        cairo_fill(cr);
        cairo_rectangle(cr, side > 0 ? hw * 0.3 : -hw * 0.8, bottom - L * 0.045, hw * 0.5, L * 0.03);
        SetColour(cr, Hex(0xD81010));
        cairo_fill(cr);
    }
}

// Kind 4: a white delivery van with a blue band.
void PaintVan(cairo_t* cr, double L, double fh, double rh) {
    const double hw = (fh + rh) / 2, top = -L / 2;
    RoundedRectPath(cr, -hw, top, 2 * hw, L, 6);
    SoftShadow(cr, 2.5, 3.5, 2.5, 0.45);
    cairo_new_path(cr);
    for (double wy : {top + L * 0.17, top + L * 0.80})
        for (double side : {-1.0, 1.0})
            Wheel(cr, side * (hw - 2.5), wy, 7, L * 0.12);
    RoundedRectPath(cr, -hw, top, 2 * hw, L, 6);
    cairo_pattern_t* g = cairo_pattern_create_linear(-hw, 0, hw, 0);
    AddStop(g, 0, Hex(0x9EA3A8));
    AddStop(g, 0.12, Hex(0xE4E6E6));
    AddStop(g, 0.4, Hex(0xFBFBF8));
    AddStop(g, 0.88, Hex(0xD9DBDB));
    AddStop(g, 1, Hex(0x8D9297));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    // Bonnet and windscreen.
    RoundedRectPath(cr, -hw + 2, top + 2, 2 * hw - 4, L * 0.11, 4);
    SetColour(cr, Hex(0x000000, 0.07));
    cairo_fill(cr);
    cairo_move_to(cr, -hw * 0.86, top + L * 0.13);
    cairo_line_to(cr, hw * 0.86, top + L * 0.13);
    cairo_line_to(cr, hw * 0.92, top + L * 0.24);
    cairo_line_to(cr, -hw * 0.92, top + L * 0.24);
    cairo_close_path(cr);
    SetLinear(cr, 0, top + L * 0.13, 0, top + L * 0.24, {Hex(0x9AB8D8), Hex(0x22303E)});
    cairo_fill(cr);
    // Cargo roof with ribs and a blue band along the side.
    const double roofTop = top + L * 0.26;
    RoundedRectPath(cr, -hw + 2.5, roofTop, 2 * hw - 5, L * 0.72, 3);
    SetColour(cr, Hex(0xF4F4F0));
    cairo_fill(cr);
    SetColour(cr, Hex(0x8A9096, 0.55));
    cairo_set_line_width(cr, 1);
    for (double y = roofTop + 8; y < top + L * 0.96; y += 9) {
        cairo_move_to(cr, -hw + 4, y);
        cairo_line_to(cr, hw - 4, y);
    }
    cairo_stroke(cr);
    for (double side : {-1.0, 1.0}) {
        cairo_rectangle(cr, side > 0 ? hw - 5 : -hw + 1.5, roofTop + 6, 3.5, L * 0.6);
        SetColour(cr, Hex(0x1F5FC0));
        cairo_fill(cr);
    }
    // Mirrors, lights and outline.
    for (double side : {-1.0, 1.0}) {
        cairo_rectangle(cr, side > 0 ? hw - 0.5 : -hw - 3.5, top + L * 0.2, 4, 3);
        SetColour(cr, Hex(0x2A2D31));
        cairo_fill(cr);
        cairo_arc(cr, side * hw * 0.68, top + 2.8, 2.4, 0, 2 * M_PI);
        SetColour(cr, Hex(0xFFF6D8));
        cairo_fill(cr);
        cairo_rectangle(cr, side > 0 ? hw * 0.45 : -hw * 0.9, top + L - 3.2, hw * 0.45, 2.4);
        SetColour(cr, Hex(0xD81010));
        cairo_fill(cr);
    }
    RoundedRectPath(cr, -hw, top, 2 * hw, L, 6);
    SetColour(cr, Hex(0x000000, 0.6));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// Kind 5: a lorry, a red cab in front of a wider box body.
void PaintTruck(cairo_t* cr, double L, double fh, double rh) {
    const double top = -L / 2, bottom = L / 2;
    const double cabLen = L * 0.22, boxTop = top + cabLen + 5;
    const double cabHalf = fh, boxHalf = rh;
    // Shadow of the whole vehicle.
    cairo_new_path(cr);
    RoundedRectPath(cr, -cabHalf, top, 2 * cabHalf, cabLen + 8, 8);
    SoftShadow(cr, 4, 5, 3, 0.45);
    RoundedRectPath(cr, -boxHalf, boxTop, 2 * boxHalf, bottom - boxTop, 3);
    SoftShadow(cr, 4, 5, 3, 0.45);
    cairo_new_path(cr);
    // Wheels: steered front pair, twin rear axles.
    for (double side : {-1.0, 1.0}) {
        Wheel(cr, side * (cabHalf - 3), top + cabLen * 0.55, 10, 22);
        for (double wy : {bottom - 52, bottom - 26})
            Wheel(cr, side * (boxHalf - 4), wy, 12, 22);
    }
    // Coupling between cab and box.
    cairo_rectangle(cr, -cabHalf * 0.6, top + cabLen - 2, cabHalf * 1.2, 10);
    SetColour(cr, Hex(0x232427));
    cairo_fill(cr);
    // Cab.
    RoundedRectPath(cr, -cabHalf, top, 2 * cabHalf, cabLen, 9);
    cairo_pattern_t* g = cairo_pattern_create_linear(-cabHalf, 0, cabHalf, 0);
    AddStop(g, 0, Hex(0x6E0F10));
    AddStop(g, 0.3, Hex(0xE0403A));
    AddStop(g, 0.55, Hex(0xC72A26));
    AddStop(g, 1, Hex(0x5E0C0D));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    cairo_move_to(cr, -cabHalf * 0.86, top + 5);
    cairo_line_to(cr, cabHalf * 0.86, top + 5);
    cairo_line_to(cr, cabHalf * 0.92, top + 15);
    cairo_line_to(cr, -cabHalf * 0.92, top + 15);
    cairo_close_path(cr);
    SetLinear(cr, 0, top + 5, 0, top + 15, {Hex(0xA3C2E0), Hex(0x1C2734)});
    cairo_fill(cr);
    // Cab roof with an air deflector and a roof light bar.
    RoundedRectPath(cr, -cabHalf * 0.8, top + 19, cabHalf * 1.6, cabLen - 24, 5);
    SetLinear(cr, 0, top + 19, 0, top + cabLen - 5, {Hex(0xF05A50), Hex(0xA31E1C)});
    cairo_fill(cr);
    for (int k = 0; k < 4; ++k) {
        cairo_arc(cr, -cabHalf * 0.45 + k * cabHalf * 0.3, top + 21.5, 1.6, 0, 2 * M_PI);
    }
    SetColour(cr, Hex(0xFFD060));
    cairo_fill(cr);
    for (double side : {-1.0, 1.0}) {
        cairo_rectangle(cr, side > 0 ? cabHalf - 1 : -cabHalf - 5, top + 14, 6, 4);
        SetColour(cr, Hex(0x1E1F22));
        cairo_fill(cr);
        cairo_arc(cr, side * cabHalf * 0.72, top + 2.5, 3, 0, 2 * M_PI);
        SetColour(cr, Hex(0xFFF6D8));
        cairo_fill(cr);
    }
    // The box body: corrugated roof with a coloured band and the haulier's mark.
    RoundedRectPath(cr, -boxHalf, boxTop, 2 * boxHalf, bottom - boxTop, 3);
    g = cairo_pattern_create_linear(-boxHalf, 0, boxHalf, 0);
    AddStop(g, 0, Hex(0x8E969E));
    AddStop(g, 0.15, Hex(0xE2E6EA));
    AddStop(g, 0.45, Hex(0xF6F8FA));
    AddStop(g, 0.85, Hex(0xD2D7DC));
    AddStop(g, 1, Hex(0x7D858D));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    SetColour(cr, Hex(0x6E767E, 0.45));
    cairo_set_line_width(cr, 1.2);
    for (double y = boxTop + 7; y < bottom - 3; y += 7) {
        cairo_move_to(cr, -boxHalf + 3, y);
        cairo_line_to(cr, boxHalf - 3, y);
    }
    cairo_stroke(cr);
    cairo_rectangle(cr, -boxHalf * 0.22, boxTop + 4, boxHalf * 0.44, bottom - boxTop - 8);
    SetColour(cr, Hex(0x1F5FC0, 0.9));
    cairo_fill(cr);
    cairo_arc(cr, 0, boxTop + (bottom - boxTop) * 0.45, boxHalf * 0.34, 0, 2 * M_PI);
    SetColour(cr, Hex(0xF4B400));
    cairo_fill(cr);
    cairo_arc(cr, 0, boxTop + (bottom - boxTop) * 0.45, boxHalf * 0.22, 0, 2 * M_PI);
    SetColour(cr, Hex(0x1F5FC0));
    cairo_fill(cr);
    for (double side : {-1.0, 1.0}) {
        cairo_rectangle(cr, side > 0 ? boxHalf * 0.55 : -boxHalf * 0.85, bottom - 3, boxHalf * 0.3, 2.4);
        SetColour(cr, Hex(0xD81010));
        cairo_fill(cr);
    }
    RoundedRectPath(cr, -boxHalf, boxTop, 2 * boxHalf, bottom - boxTop, 3);
    SetColour(cr, Hex(0x000000, 0.6));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

GeneratedPicture DrawOpponent(int kind, const BodyPainter& paint) {
    const int w = 2 * kCarHalfWidth[size_t(kind + 5)], h = 2 * kCarHalfHeight[size_t(kind + 5)];
    GeneratedPicture picture =
        DrawPatterns("Car" + std::to_string(kind + 6), w, h, 6, [&](cairo_t* cr, int pattern) {
            const Fit fit = FitQuad(OpponentQuads()[size_t(kind - 1)][size_t(pattern)],
                                    kDirectionDegrees[size_t(pattern)]);
            cairo_translate(cr, fit.cx, fit.cy);
            cairo_rotate(cr, fit.angle);
            paint(cr, fit.length, fit.frontHalf, fit.rearHalf);
        });
    return picture;
}

} // namespace

void DrawCarPictures(std::vector<GeneratedPicture>& out) {
    for (const CarStyle& style : PlayerCarStyles())
        out.push_back(DrawPicture(style.imageName, style.imageWidth, style.imageHeight,
                                  [&](cairo_t* cr) { PaintTopDownCar(cr, style, true); }));
    out.push_back(DrawOpponent(1, StyledCar(SedanStyle())));
    out.push_back(DrawOpponent(2, StyledCar(SportsStyle())));
    out.push_back(DrawOpponent(3, PaintMicrocar));
    out.push_back(DrawOpponent(4, PaintVan));
    out.push_back(DrawOpponent(5, PaintTruck));
}

} // namespace vorlane::datagen::race
