// The bonuses lying on the road (score coins, extra life, nitro, machine gun, rocket
// launcher) and the small icons of the carried items on the panel.
#include "datagen/common/Paint.h"
#include "datagen/common/Text.h"
#include "datagen/race/RacePictures.h"

#include <cmath>
#include <string>

namespace vorlane::datagen::race {
namespace {

void Circle(cairo_t* cr, double x, double y, double r) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
}

// A coin with a bevelled rim in `metal` and a number on its face.
void Coin(cairo_t* cr, const std::string& value, const Colour& metal, const Colour& face) {
    const double c = 16.5, r = 15;
    Circle(cr, c, c, r);
    ShadowOfPath(cr, 1.5, 2, 1.5, Hex(0x000000, 0.45));
    cairo_pattern_t* g = cairo_pattern_create_linear(c - r, c - r, c + r, c + r);
    AddStop(g, 0, Lighter(metal, 0.55));
    AddStop(g, 0.45, metal);
    AddStop(g, 1, Darker(metal, 0.45));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    Circle(cr, c, c, r - 3);
    g = cairo_pattern_create_linear(c - r, c - r, c + r, c + r);
    AddStop(g, 0, Darker(face, 0.3));
    AddStop(g, 0.5, face);
    AddStop(g, 1, Lighter(face, 0.3));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    // Milled edge.
    SetColour(cr, WithAlpha(Darker(metal, 0.5), 0.5));
    cairo_set_line_width(cr, 0.7);
    for (int k = 0; k < 36; ++k) {
        const double a = k * M_PI / 18;
        cairo_move_to(cr, c + std::cos(a) * (r - 0.8), c + std::sin(a) * (r - 0.8));
        cairo_line_to(cr, c + std::cos(a) * (r - 2.2), c + std::sin(a) * (r - 2.2));
    }
    cairo_stroke(cr);
    const double size = value.size() >= 3 ? 13.5 : 17;
    UseDisplayFont(cr, size);
    cairo_new_path(cr);
    CentredGlyphPath(cr, value, c, c + 0.3, value.size() >= 3 ? -0.6 : 0);
    SetColour(cr, Hex(0x000000, 0.6));
    cairo_set_line_width(cr, 2.4);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    SetLinear(cr, 0, c - 7, 0, c + 7, {Hex(0xFFFFFF), Lighter(metal, 0.6)});
    cairo_fill(cr);
    // Shine across the upper left.
    cairo_new_path(cr);
    cairo_arc(cr, c, c, r - 1.5, M_PI * 1.05, M_PI * 1.45);
    SetColour(cr, Hex(0xFFFFFF, 0.55));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

// A round badge holding an item icon: the base of the item bonuses.
void Badge(cairo_t* cr, const Colour& ring) {
    const double c = 16.5, r = 15.5;
    Circle(cr, c, c, r);
    ShadowOfPath(cr, 1.5, 2, 1.5, Hex(0x000000, 0.45));
    cairo_pattern_t* g = cairo_pattern_create_radial(c - 5, c - 6, 2, c, c, r);
    AddStop(g, 0, Hex(0x46505C));
    AddStop(g, 1, Hex(0x151A20));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    Circle(cr, c, c, r - 1);
    SetColour(cr, ring);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    Circle(cr, c, c, r - 2.6);
    SetColour(cr, WithAlpha(Lighter(ring, 0.5), 0.35));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

void Heart(cairo_t* cr, double cx, double cy, double s) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx, cy + s * 0.85);
    cairo_curve_to(cr, cx - s * 1.3, cy - s * 0.05, cx - s * 0.75, cy - s * 1.05, cx, cy - s * 0.45);
    cairo_curve_to(cr, cx + s * 0.75, cy - s * 1.05, cx + s * 1.3, cy - s * 0.05, cx, cy + s * 0.85);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - s * 0.4, cy - s * 0.4, s * 0.1, cx, cy, s * 1.2);
    AddStop(g, 0, Hex(0xFF8A8A));
    AddStop(g, 0.5, Hex(0xE81E2C));
    AddStop(g, 1, Hex(0x8A0612));
    SetSourceAndRelease(cr, g);
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x3A0206, 0.8));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx - s * 0.45, cy - s * 0.35, s * 0.2, 0, 2 * M_PI);
    SetColour(cr, Hex(0xFFFFFF, 0.6));
    cairo_fill(cr);
}

// Nitrous bottle lying on its side, valve to the right, scaled to width w.
void NitroBottle(cairo_t* cr, double cx, double cy, double w) {
    const double h = w * 0.42, x0 = cx - w / 2;
    RoundedRectPath(cr, x0, cy - h / 2, w * 0.8, h, h / 2);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, cy - h / 2, 0, cy + h / 2);
    AddStop(g, 0, Hex(0x9FD4FF));
    AddStop(g, 0.35, Hex(0x2F7FE0));
    AddStop(g, 1, Hex(0x0C2C6A));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    cairo_rectangle(cr, x0 + w * 0.8, cy - h * 0.18, w * 0.1, h * 0.36);
    SetColour(cr, Hex(0xB8BEC6));
    cairo_fill(cr);
    cairo_rectangle(cr, x0 + w * 0.88, cy - h * 0.32, w * 0.12, h * 0.64);
    SetColour(cr, Hex(0xD23030));
    cairo_fill(cr);
    cairo_rectangle(cr, x0 + w * 0.25, cy - h / 2, w * 0.28, h);
    SetColour(cr, Hex(0xF2F2F2, 0.9));
    cairo_fill(cr);
    UseDisplayFont(cr, h * 0.8);
    cairo_new_path(cr);
    CentredGlyphPath(cr, "N", x0 + w * 0.39, cy);
    SetColour(cr, Hex(0x1F5FC0));
    cairo_fill(cr);
}

// A machine gun from the side, muzzle up and to the right, centred on (cx, cy).
void GunIcon(cairo_t* cr, double cx, double cy, double len) {
    const double s = len / 28;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -0.55);
    cairo_scale(cr, s, s);
    auto metal = [&](double y0, double y1) {
        SetLinear(cr, 0, y0, 0, y1, {Hex(0x9AA2AA), Hex(0x3A4046), Hex(0x15181B)});
    };
    // Stock.
    cairo_move_to(cr, -14, -2);
    cairo_line_to(cr, -7, -2.5);
    cairo_line_to(cr, -7, 2.5);
    cairo_line_to(cr, -14, 4.5);
    cairo_close_path(cr);
    SetLinear(cr, 0, -2.5, 0, 4.5, {Hex(0xB07A48), Hex(0x6A4222)});
    cairo_fill(cr);
    // Receiver, grip and the belt of cartridges.
    RoundedRectPath(cr, -7.5, -3, 9, 5.5, 1);
    metal(-3, 2.5);
    cairo_fill(cr);
    cairo_move_to(cr, -5.5, 2.5);
    cairo_line_to(cr, -3, 2.5);
    cairo_line_to(cr, -4, 7);
    cairo_line_to(cr, -6.5, 7);
    cairo_close_path(cr);
    SetColour(cr, Hex(0x24282C));
    cairo_fill(cr);
    for (int k = 0; k < 4; ++k) {
        cairo_rectangle(cr, -1.5 + k * 1.6, 2.5 + k * 0.9, 1.3, 3.2);
        SetColour(cr, Hex(0xE2B23C));
        cairo_fill(cr);
    }
    // Perforated cooling jacket and the barrel.
    cairo_rectangle(cr, 1, -2.2, 9, 4.4);
    metal(-2.2, 2.2);
    cairo_fill(cr);
    for (int k = 0; k < 3; ++k) {
        cairo_new_path(cr);
        cairo_arc(cr, 3 + k * 2.8, 0, 0.8, 0, 2 * M_PI);
        SetColour(cr, Hex(0x0A0C0E));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 10, -1, 5, 2);
    metal(-1, 1);
    cairo_fill(cr);
    cairo_rectangle(cr, 14, -1.6, 1.6, 3.2);
    SetColour(cr, Hex(0x15181B));
    cairo_fill(cr);
    cairo_restore(cr);
}

// A rocket from the side, nose up and to the right, with its exhaust.
void LauncherIcon(cairo_t* cr, double cx, double cy, double len) {
    const double s = len / 28;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -0.55);
    cairo_scale(cr, s, s);
    // Exhaust.
    cairo_move_to(cr, -9, -2);
    cairo_curve_to(cr, -13, -2.5, -16, -1, -17, 0);
    cairo_curve_to(cr, -16, 1, -13, 2.5, -9, 2);
    cairo_close_path(cr);
    SetLinear(cr, -17, 0, -9, 0, {Hex(0xFF6010, 0.0), Hex(0xFFB040), Hex(0xFFF6C0)});
    cairo_fill(cr);
    // Fins.
    cairo_move_to(cr, -9, -2.2);
    cairo_line_to(cr, -11.5, -5.5);
    cairo_line_to(cr, -5.5, -2.2);
    cairo_close_path(cr);
    cairo_move_to(cr, -9, 2.2);
    cairo_line_to(cr, -11.5, 5.5);
    cairo_line_to(cr, -5.5, 2.2);
    cairo_close_path(cr);
    SetColour(cr, Hex(0x3E4A2E));
    cairo_fill(cr);
    // Body and nose.
    cairo_move_to(cr, -9, -2.4);
    cairo_line_to(cr, 7, -2.4);
    cairo_curve_to(cr, 11, -2.4, 14, -1, 15, 0);
    cairo_curve_to(cr, 14, 1, 11, 2.4, 7, 2.4);
    cairo_line_to(cr, -9, 2.4);
    cairo_close_path(cr);
    SetLinear(cr, 0, -2.4, 0, 2.4, {Hex(0xFFFFFF), Hex(0xC8CDD2), Hex(0x6E767E)});
    cairo_fill(cr);
    cairo_save(cr);
    cairo_rectangle(cr, 7, -3, 9, 6);
    cairo_clip(cr);
    cairo_move_to(cr, 7, -2.4);
    cairo_curve_to(cr, 11, -2.4, 14, -1, 15, 0);
    cairo_curve_to(cr, 14, 1, 11, 2.4, 7, 2.4);
    cairo_close_path(cr);
    SetLinear(cr, 0, -2.4, 0, 2.4, {Hex(0xFF6A5A), Hex(0xD02018), Hex(0x801010)});
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_rectangle(cr, 0, -2.4, 1.6, 4.8);
    SetColour(cr, Hex(0xD02018));
    cairo_fill(cr);
    cairo_restore(cr);
}

// A panel icon: the item on a dark rounded plate.
void IconPlate(cairo_t* cr) {
    RoundedRectPath(cr, 1, 1, 28, 28, 5);
    SetLinear(cr, 0, 1, 0, 29, {Hex(0x2C3440), Hex(0x0E1218)});
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x6FD0FF, 0.55));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

} // namespace

void DrawPickupPictures(std::vector<GeneratedPicture>& out) {
    const struct {
        const char* name;
        const char* value;
        uint32_t metal, face;
    } coins[] = {{"Bonus10", "10", 0x4FB848, 0x2E8A2C},
                 {"Bonus20", "20", 0x4A9BE8, 0x1E5FB0},
                 {"Bonus50", "50", 0xF2B62E, 0xC07A10},
                 {"Bonus100", "100", 0xD85AE8, 0x8A22A8}};
    for (const auto& c : coins)
        out.push_back(
            DrawPicture(c.name, 34, 34, [&](cairo_t* cr) { Coin(cr, c.value, Hex(c.metal), Hex(c.face)); }));
    out.push_back(DrawPicture("BonusL", 34, 34, [](cairo_t* cr) {
        Badge(cr, Hex(0xFF4A5A));
        Heart(cr, 16.5, 17, 9.5);
    }));
    out.push_back(DrawPicture("BonusN", 34, 34, [](cairo_t* cr) {
        Badge(cr, Hex(0x4AB0FF));
        NitroBottle(cr, 16.5, 16.5, 23);
    }));
    out.push_back(DrawPicture("BonusMGnp", 34, 34, [](cairo_t* cr) {
        Badge(cr, Hex(0xF2C230));
        GunIcon(cr, 16.5, 17, 25);
    }));
    out.push_back(DrawPicture("BonusRnp", 34, 34, [](cairo_t* cr) {
        Badge(cr, Hex(0xFF8A2A));
        LauncherIcon(cr, 17, 16.5, 24);
    }));
}

void DrawPanelIconPictures(std::vector<GeneratedPicture>& out) {
    out.push_back(DrawPicture("BonusNitro", 30, 30, [](cairo_t* cr) {
        IconPlate(cr);
        NitroBottle(cr, 15, 15, 24);
    }));
    out.push_back(DrawPicture("BonusM", 30, 30, [](cairo_t* cr) {
        IconPlate(cr);
        GunIcon(cr, 15, 15.5, 25);
    }));
    out.push_back(DrawPicture("BonusR", 30, 30, [](cairo_t* cr) {
        IconPlate(cr);
        LauncherIcon(cr, 15.5, 15, 24);
    }));
}

} // namespace vorlane::datagen::race
