// Pedestrians seen from above: a man and a woman walking in five steps each way, and
// each lying where a car knocked them down.
#include "datagen/common/Paint.h"
#include "datagen/race/RaceGeometry.h"
#include "datagen/race/RacePictures.h"

#include <cmath>
#include <functional>

namespace vorlane::datagen::race {
namespace {

struct Look {
    uint32_t hair, top, legs, shoes, skin;
    bool woman;
};

const Look kMan{0x3A2618, 0x2F6FB8, 0x33363C, 0x1C1C1C, 0xE0B08A, false};
const Look kWoman{0xC8852E, 0xD23A5A, 0xEDC3A0, 0x7A1E30, 0xEDC3A0, true};

void Ellipse(cairo_t* cr, double x, double y, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void Limb(cairo_t* cr, double x0, double y0, double x1, double y1, double width, const Colour& c) {
    cairo_new_path(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    SetColour(cr, c);
    cairo_stroke(cr);
}

// The figure walking up, centred on the origin; `swing` (-1..1) is how far the left
// leg is forward.
void Walker(cairo_t* cr, const Look& look, double swing) {
    const Colour skin = Hex(look.skin), top = Hex(look.top), legs = Hex(look.legs);
    const double stride = 5.5;
    // Legs and feet: one forward, one back; the feet show beyond the body.
    for (int side : {-1, 1}) {
        const double s = -swing * side; // the left leg (side -1) is forward for positive swing
        const double foot = 1.5 - s * stride;
        Limb(cr, side * 3.0, 1.5, side * 3.2, foot, look.woman ? 3.2 : 4.4, legs);
        Ellipse(cr, side * 3.2, foot + (s > 0 ? -1.6 : 1.6), 2.1, 3.0);
        SetColour(cr, Hex(look.shoes));
        cairo_fill(cr);
    }
    if (look.woman) {
        // A flared skirt over the hips.
        Ellipse(cr, 0, 2.5, 6.8, 5.2);
        SetColour(cr, Darker(top, 0.15));
        cairo_fill(cr);
    }
    // Arms swing against the legs.
    for (int side : {-1, 1}) {
        const double s = swing * side;
        Limb(cr, side * 7.8, -1.5, side * 8.6, -1.5 - s * 6, 3.4, Darker(top, 0.1));
        cairo_arc(cr, side * 8.6, -1.5 - s * 6 - (s > 0 ? 1.5 : -1.5), 1.8, 0, 2 * M_PI);
        SetColour(cr, skin);
        cairo_fill(cr);
    }
    // Shoulders and back.
    Ellipse(cr, 0, -1.2, 8.6, 4.6);
    cairo_pattern_t* g = cairo_pattern_create_linear(-8.6, -5, 8.6, 3);
    AddStop(g, 0, Lighter(top, 0.3));
    AddStop(g, 0.5, top);
    AddStop(g, 1, Darker(top, 0.35));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    // Head and hair.
    Ellipse(cr, 0, -2.2, 4.4, 4.8);
    SetColour(cr, skin);
    cairo_fill(cr);
    if (look.woman) {
        Ellipse(cr, 0, -1.2, 5.0, 5.2);
        g = cairo_pattern_create_radial(-1.5, -3, 0.5, 0, -1.2, 5.2);
        AddStop(g, 0, Lighter(Hex(look.hair), 0.35));
        AddStop(g, 1, Hex(look.hair));
        SetSourceAndRelease(cr, g);
        cairo_fill(cr);
        // Ponytail swinging behind.
        Ellipse(cr, swing * 1.2, 5.2, 2.0, 3.4);
        SetColour(cr, Darker(Hex(look.hair), 0.1));
        cairo_fill(cr);
    } else {
        Ellipse(cr, 0, -1.6, 4.5, 4.6);
        g = cairo_pattern_create_radial(-1.5, -3, 0.5, 0, -1.6, 4.6);
        AddStop(g, 0, Lighter(Hex(look.hair), 0.3));
        AddStop(g, 1, Hex(look.hair));
        SetSourceAndRelease(cr, g);
        cairo_fill(cr);
    }
    // The face's edge peeking out in front of the hair.
    Ellipse(cr, 0, -5.4, 2.6, 1.3);
    SetColour(cr, skin);
    cairo_fill(cr);
}

// A figure drawn twice: once as its own soft shadow on the ground, then itself.
void WithShadow(cairo_t* cr, const std::function<void(cairo_t*)>& figure) {
    PaintBlurred(cr, figure, 2.5, 3.5, 1.6, Hex(0x000000, 0.4));
    figure(cr);
}

GeneratedPicture WalkCycle(const std::string& name, const Look& look, double degrees) {
    return DrawPatterns(name, 54, 54, 5, [&](cairo_t* cr, int p) {
        const double swing = std::sin(2 * M_PI * p / 5.0);
        cairo_translate(cr, 27, 27);
        cairo_rotate(cr, degrees * M_PI / 180);
        cairo_scale(cr, 1.3, 1.3);
        WithShadow(cr, [&](cairo_t* c) { Walker(c, look, swing); });
    });
}

// Knocked down: flat on the back, arms and legs flung out, a dark stain beside.
void Lying(cairo_t* cr, const Look& look) {
    cairo_translate(cr, 27, 27);
    Ellipse(cr, 4, 6, 11, 6);
    SetColour(cr, Hex(0x6A0808, 0.55));
    cairo_fill(cr);
    cairo_rotate(cr, 0.5);
    cairo_scale(cr, 1.15, 1.15);
    WithShadow(cr, [&](cairo_t* c) {
        const Colour top = Hex(look.top), legs = Hex(look.legs), skin = Hex(look.skin);
        Limb(c, -3, 6, -8, 17, 4.2, legs);
        Limb(c, 3, 6, 9, 15, 4.2, legs);
        for (int side : {-1, 1}) {
            Ellipse(c, side > 0 ? 9.5 : -8.5, side > 0 ? 16.5 : 18.5, 2.2, 3);
            SetColour(c, Hex(look.shoes));
            cairo_fill(c);
        }
        Limb(c, -7, -4, -16, -1, 3.4, Darker(top, 0.1));
        Limb(c, 7, -4, 15, -10, 3.4, Darker(top, 0.1));
        for (Pt p : {Pt{-17, -0.5}, Pt{16, -11}}) {
            cairo_arc(c, p.x, p.y, 1.9, 0, 2 * M_PI);
            SetColour(c, skin);
            cairo_fill(c);
        }
        if (look.woman) {
            Ellipse(c, 0, 3.5, 7.5, 6);
            SetColour(c, Darker(top, 0.15));
            cairo_fill(c);
        }
        Ellipse(c, 0, -2, 7.8, 7);
        SetColour(c, top);
        cairo_fill(c);
        Ellipse(c, 0, -11, 4.3, 4.6);
        SetColour(c, skin);
        cairo_fill(c);
        Ellipse(c, 0, -12.5, 4.6, look.woman ? 5.2 : 3.6);
        SetColour(c, Hex(look.hair));
        cairo_fill(c);
    });
}

} // namespace

void DrawPeoplePictures(std::vector<GeneratedPicture>& out) {
    const struct {
        const char* dir;
        double degrees;
    } dirs[] = {{"Up", 0}, {"Down", 180}, {"Left", -90}, {"Right", 90}};
    for (const auto& d : dirs)
        out.push_back(WalkCycle(std::string("Man_") + d.dir, kMan, d.degrees));
    for (const auto& d : dirs)
        out.push_back(WalkCycle(std::string("Girl_") + d.dir, kWoman, d.degrees));
    out.push_back(DrawPicture("Man_Laying", 54, 54, [](cairo_t* cr) { Lying(cr, kMan); }));
    out.push_back(DrawPicture("Girl_Laying", 54, 54, [](cairo_t* cr) { Lying(cr, kWoman); }));
}

} // namespace vorlane::datagen::race
