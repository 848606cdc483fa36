// The help screen: page arrows and the game's emblem for the about page.
#include "datagen/menus/MenuPictures.h"

#include "datagen/common/Plates.h"
#include "datagen/common/Text.h"

#include <cmath>

namespace vorlane::datagen {
namespace {

// A small plate with a double chevron pointing left (-1) or right (+1).
void DrawPageArrow(cairo_t* cr, double w, double h, int direction, Look look) {
    DrawPlate(cr, 8, 8, w - 16, h - 16, look, 9);
    const LookColours c = ColoursOf(look);
    const double cx = w / 2, cy = h / 2;
    auto chevrons = [&](cairo_t* p) {
        cairo_new_path(p);
        for (int k = 0; k < 2; ++k) {
            const double x = cx + direction * (k * 10 - 7);
            cairo_move_to(p, x - direction * 5, cy - 11);
            cairo_line_to(p, x + direction * 6, cy);
            cairo_line_to(p, x - direction * 5, cy + 11);
        }
    };
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    PaintBlurred(
        cr,
        [&](cairo_t* m) {
            chevrons(m);
            cairo_set_line_width(m, 6);
            cairo_stroke(m);
        },
        1.5, 1.5, 2, Hex(0x000000, 0.8));
    chevrons(cr);
    cairo_set_line_width(cr, 5.5);
    SetColour(cr, c.textRim);
    cairo_stroke(cr);
    chevrons(cr);
    cairo_set_line_width(cr, 3.2);
    SetLinear(cr, 0, cy - 11, 0, cy + 11, {c.textTop, c.textBottom});
    cairo_stroke(cr);
    cairo_restore(cr);
}

// The game's emblem: a steel ring around a dark disc with a road running to the horizon,
// crossed by a bold V, a chequered band below.
void DrawEmblem(cairo_t* cr) {
    const double cx = 50, cy = 49, R = 44;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, R, 0, 2 * M_PI);
    ShadowOfPath(cr, 0, 2, 3, Hex(0x000000, 0.8));
    SetLinear(cr, 0, cy - R, 0, cy + R, {Hex(0xC8D4E4), Hex(0x58667A), Hex(0x2A3340), Hex(0x7A889C)});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, R - 5, 0, 2 * M_PI);
    SetLinear(cr, 0, cy - R, 0, cy + R, {Hex(0x1C3262), Hex(0x0A1226), Hex(0x05080F)});
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    // Road to the horizon.
    cairo_move_to(cr, cx - 2, cy - 10);
    cairo_line_to(cr, cx + 2, cy - 10);
    cairo_line_to(cr, cx + 30, cy + R);
    cairo_line_to(cr, cx - 30, cy + R);
    cairo_close_path(cr);
    SetLinear(cr, 0, cy - 10, 0, cy + R, {Hex(0x3A4A6A, 0.3), Hex(0x2A3550, 0.9)});
    cairo_fill(cr);
    cairo_rectangle(cr, cx - R, cy - 10.5, 2 * R, 1);
    SetColour(cr, Hex(0x7FA8F0, 0.5));
    cairo_fill(cr);
    // Chequered band across the lower part.
    for (int col = 0; col < 12; ++col)
        for (int row = 0; row < 2; ++row) {
            if ((col + row) % 2) continue;
            cairo_rectangle(cr, cx - R + col * 8, cy + 24 + row * 6, 8, 6);
        }
    SetColour(cr, Hex(0xE8EEF6, 0.75));
    cairo_fill(cr);
    cairo_restore(cr);

    // The V, in warm orange with a dark rim.
    auto vee = [&](cairo_t* p) {
        cairo_new_path(p);
        cairo_move_to(p, cx - 30, cy - 28);
        cairo_line_to(p, cx - 14, cy - 28);
        cairo_line_to(p, cx, cy + 8);
        cairo_line_to(p, cx + 14, cy - 28);
        cairo_line_to(p, cx + 30, cy - 28);
        cairo_line_to(p, cx + 8, cy + 26);
        cairo_line_to(p, cx - 8, cy + 26);
        cairo_close_path(p);
    };
    PaintBlurred(
        cr,
        [&](cairo_t* m) {
            vee(m);
            cairo_fill(m);
        },
        0, 0, 6, Hex(0xFF5A14, 0.8), 1);
    vee(cr);
    SetLinear(cr, 0, cy - 28, 0, cy + 26, {Hex(0xFFD27A), Hex(0xFF7A1E), Hex(0xC8300F)});
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    SetColour(cr, Hex(0x2A0800));
    cairo_stroke(cr);
    // Ring highlight.
    cairo_arc(cr, cx, cy, R - 1, M_PI * 1.1, M_PI * 1.6);
    cairo_set_line_width(cr, 1.5);
    SetColour(cr, Hex(0xFFFFFF, 0.6));
    cairo_stroke(cr);
}

} // namespace

void DrawHelpPictures(std::vector<GeneratedPicture>& out) {
    auto lookOf = [](int pattern) { return pattern == 0 ? Look::Highlight : Look::Normal; };
    out.push_back(DrawPatterns("Help_Prev", 80, 60, 2,
                               [&](cairo_t* cr, int p) { DrawPageArrow(cr, 80, 60, -1, lookOf(p)); }));
    out.push_back(DrawPatterns("Help_Next", 80, 60, 2,
                               [&](cairo_t* cr, int p) { DrawPageArrow(cr, 80, 60, 1, lookOf(p)); }));
    out.push_back(DrawPicture("HelpLogo", 100, 100, DrawEmblem));
}

} // namespace vorlane::datagen
