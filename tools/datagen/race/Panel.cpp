// The head-up display on the right of the race screen: the panel with its windows for
// the texts the race prints, the progress track, the item bays and the speedometer
// dial; the needle, the progress marker and the energy gauge that move over it.
#include "datagen/common/Paint.h"
#include "datagen/common/Text.h"
#include "datagen/race/RaceGeometry.h"
#include "datagen/race/RacePictures.h"

#include <cmath>
#include <string>

namespace vorlane::datagen::race {
namespace {

using namespace hud;

// Panel coordinates of a screen point.
constexpr double PX(int screenX) {
    return screenX - kPanelX;
}

// The dial's centre: where the needle's pivot lands (anchor plus the needle's size).
constexpr double kDialX = PX(kNeedleX) + 58, kDialY = kNeedleY + 6;
constexpr double kDialRadius = 72;

// Direction of the needle at a speed, as the race turns it: 256ths of a turn from
// pointing left, clockwise.
void NeedleDirection(double speed, double& dx, double& dy) {
    const double a = (speed * 1.15 - 28) * 2 * M_PI / 256;
    dx = -std::cos(a);
    dy = -std::sin(a);
}

// A recessed bay: dark inside, lit lower-right rim, shaded upper-left rim.
void Recess(cairo_t* cr, double x, double y, double w, double h, double r, const Colour& inside) {
    RoundedRectPath(cr, x - 1.5, y - 1.5, w + 3, h + 3, r + 1);
    SetLinear(cr, x, y, x + w, y + h, {Hex(0x05070A), Hex(0x3A424C), Hex(0x8A96A2)});
    cairo_fill(cr);
    RoundedRectPath(cr, x, y, w, h, r);
    SetColour(cr, inside);
    cairo_fill(cr);
    // Inner shadow along the top and left.
    cairo_save(cr);
    RoundedRectPath(cr, x, y, w, h, r);
    cairo_clip(cr);
    cairo_rectangle(cr, x, y, w, 3);
    cairo_rectangle(cr, x, y, 2, h);
    SetColour(cr, Hex(0x000000, 0.5));
    cairo_fill(cr);
    cairo_restore(cr);
}

// An LCD window for the race's green digits.
void Lcd(cairo_t* cr, double x, double y, double w, double h) {
    Recess(cr, x, y, w, h, 4, Hex(0x07140A));
    cairo_save(cr);
    RoundedRectPath(cr, x, y, w, h, 4);
    cairo_clip(cr);
    SetColour(cr, Hex(0x2AFF00, 0.035));
    for (double yy = y + 1; yy < y + h; yy += 2)
        cairo_rectangle(cr, x, yy, w, 1);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(g, 0, Hex(0xFFFFFF, 0.10));
    AddStop(g, 0.45, Hex(0xFFFFFF, 0.02));
    AddStop(g, 0.5, Hex(0xFFFFFF, 0));
    SetSourceAndRelease(cr, g);
    cairo_paint(cr);
    cairo_restore(cr);
}

void Caption(cairo_t* cr, const std::string& text, double cx, double cy, double size = 11) {
    UseCondensedFont(cr, size, true);
    cairo_new_path(cr);
    CentredGlyphPath(cr, text, cx + 0.6, cy + 0.8, size * 0.12);
    SetColour(cr, Hex(0x000000, 0.7));
    cairo_fill(cr);
    cairo_new_path(cr);
    CentredGlyphPath(cr, text, cx, cy, size * 0.12);
    SetColour(cr, Hex(0xAFC4D6));
    cairo_fill(cr);
}

void Screw(cairo_t* cr, double x, double y) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, 3.2, 0, 2 * M_PI);
    SetLinear(cr, x - 3, y - 3, x + 3, y + 3, {Hex(0xD0D6DC), Hex(0x4A5058)});
    cairo_fill(cr);
    cairo_move_to(cr, x - 2.2, y + 1.2);
    cairo_line_to(cr, x + 2.2, y - 1.2);
    SetColour(cr, Hex(0x22262A));
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
}

void ProgressTrack(cairo_t* cr) {
    const double cx = PX(kProgressX) + 7, top = kProgressTop - 5, bottom = kProgressBottom + 5;
    Recess(cr, cx - 9, top, 18, bottom - top, 6, Hex(0x0C1014));
    cairo_rectangle(cr, cx - 5, top + 8, 10, bottom - top - 16);
    SetColour(cr, Hex(0x3A3E44));
    cairo_fill(cr);
    SetColour(cr, Hex(0xE8E8E0, 0.8));
    for (double y = top + 14; y < bottom - 14; y += 10)
        cairo_rectangle(cr, cx - 0.6, y, 1.2, 5);
    cairo_fill(cr);
    // Chequered finish at the top, start line at the bottom.
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col) {
            cairo_rectangle(cr, cx - 5 + col * 2.5, top + 4 + row * 2.5, 2.5, 2.5);
            SetColour(cr, (row + col) % 2 ? Hex(0x111111) : Hex(0xF4F4F4));
            cairo_fill(cr);
        }
    cairo_rectangle(cr, cx - 5, bottom - 7, 10, 2);
    SetColour(cr, Hex(0xF4F4F4));
    cairo_fill(cr);
}

void Dial(cairo_t* cr) {
    const double cx = kDialX, cy = kDialY, R = kDialRadius;
    // Bezel and face.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, R, 0, 2 * M_PI);
    ShadowOfPath(cr, 2, 3, 3, Hex(0x000000, 0.6));
    SetLinear(cr, cx - R, cy - R, cx + R, cy + R, {Hex(0xDDE3E8), Hex(0x7A848E), Hex(0x2A3038)});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, R - 5, 0, 2 * M_PI);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - 10, cy - 18, 4, cx, cy, R - 5);
    AddStop(g, 0, Hex(0x26303A));
    AddStop(g, 1, Hex(0x080B0E));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    // Red zone from 140 on.
    double dx, dy;
    cairo_new_path(cr);
    const double a0 = (140 * 1.15 - 28) * 2 * M_PI / 256 + M_PI,
                 a1 = (165 * 1.15 - 28) * 2 * M_PI / 256 + M_PI;
    cairo_arc(cr, cx, cy, R - 11, a0, a1);
    SetColour(cr, Hex(0xE02020, 0.85));
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    // Ticks every 10, numbers every 20, 0 to 160.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int v = 0; v <= 160; v += 5) {
        NeedleDirection(v, dx, dy);
        const double outer = R - 8, inner = v % 20 == 0 ? R - 17 : (v % 10 == 0 ? R - 14 : R - 11);
        cairo_move_to(cr, cx + dx * outer, cy + dy * outer);
        cairo_line_to(cr, cx + dx * inner, cy + dy * inner);
        SetColour(cr, v >= 140 ? Hex(0xFF6A5A) : Hex(0xE8EEF2));
        cairo_set_line_width(cr, v % 20 == 0 ? 2.2 : 1.1);
        cairo_stroke(cr);
        if (v % 20 == 0) {
            UseCondensedFont(cr, 11, true);
            cairo_new_path(cr);
            CentredGlyphPath(cr, std::to_string(v), cx + dx * (R - 27), cy + dy * (R - 27));
            SetColour(cr, Hex(0xF2F6F8));
            cairo_fill(cr);
        }
    }
    Caption(cr, "KM/H", cx, cy + 17, 9);
    // Hub under the needle's pivot.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 7, 0, 2 * M_PI);
    SetLinear(cr, cx - 7, cy - 7, cx + 7, cy + 7, {Hex(0xF0F2F4), Hex(0x6A727A), Hex(0x22282E)});
    cairo_fill(cr);
    // Glass reflection across the upper half.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, R - 6, M_PI * 1.08, M_PI * 1.92);
    cairo_close_path(cr);
    g = cairo_pattern_create_linear(0, cy - R, 0, cy);
    AddStop(g, 0, Hex(0xFFFFFF, 0.14));
    AddStop(g, 1, Hex(0xFFFFFF, 0.0));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
}

void PaintPanel(cairo_t* cr) {
    const double W = 190, H = 600;
    // Brushed gunmetal, lit from the left where it meets the road.
    cairo_rectangle(cr, 0, 0, W, H);
    SetLinear(cr, 0, 0, W, 0, {Hex(0x4A5460), Hex(0x2E353E), Hex(0x222830), Hex(0x1A1F25)});
    cairo_fill(cr);
    Lcg rng(606);
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < 160; ++i) {
        const double x = rng.Range(0, W);
        cairo_move_to(cr, x, rng.Range(0, H));
        cairo_line_to(cr, x, rng.Range(0, H));
        SetColour(cr, rng.Unit() < 0.5 ? Hex(0xFFFFFF, 0.025) : Hex(0x000000, 0.05));
        cairo_stroke(cr);
    }
    // Bevelled left edge and a racing stripe.
    cairo_rectangle(cr, 0, 0, 4, H);
    SetLinear(cr, 0, 0, 4, 0, {Hex(0x0A0C0F), Hex(0x7C8894)});
    cairo_fill(cr);
    cairo_rectangle(cr, 5, 0, 2, H);
    SetColour(cr, Hex(0xE8501A, 0.85));
    cairo_fill(cr);
    for (Pt p : {Pt{14, 590}, Pt{180, 590}})
        Screw(cr, p.x, p.y);

    // Texts the race prints: level, time and score windows.
    Lcd(cr, 9, 11, 150, 34);
    Caption(cr, "TIME", PX(kTimeTextX), 82);
    Lcd(cr, 27, 99, 132, 36);
    Caption(cr, "SCORE", PX(kScoreTextX), 167);
    Lcd(cr, 14, 185, 136, 34);
    ProgressTrack(cr);

    // Weapon bay with its ammunition window.
    Caption(cr, "WEAPON", 32, 239, 9);
    Recess(cr, PX(kWeaponIconX) - 5, kWeaponIconY - 5, 40, 40, 6, Hex(0x0C1014));
    Caption(cr, "AMMO", PX(kAmmoTextX), 250);
    Lcd(cr, 120, 259, 66, 27);
    // Lives.
    Caption(cr, "LIVES", 104, 327);
    Lcd(cr, 142, 314, 44, 27);
    // Nitro bay.
    Caption(cr, "NITRO", 33, 351, 9);
    Recess(cr, PX(kNitroIconX) - 5, kNitroIconY - 5, 40, 40, 6, Hex(0x0C1014));
    Caption(cr, "N2O", PX(kNitroTextX), 362);
    Lcd(cr, 120, 371, 62, 27);

    Dial(cr);
    // The energy gauge's bay at the foot of the dial, with its caption.
    Recess(cr, PX(kEnergyX) - 3, kEnergyY - 3, 66, 30, 5, Hex(0x0C1014));
    Caption(cr, "ENERGY", PX(kEnergyX) + 30, kEnergyY - 10, 8);
}

void PaintNeedle(cairo_t* cr) {
    // Pointing left; the race turns it about a point just beyond its right end.
    cairo_new_path(cr);
    cairo_move_to(cr, 0.5, 3);
    cairo_line_to(cr, 50, 0.6);
    cairo_line_to(cr, 57.5, 1.2);
    cairo_line_to(cr, 57.5, 4.8);
    cairo_line_to(cr, 50, 5.4);
    cairo_close_path(cr);
    SetLinear(cr, 0, 0, 0, 6, {Hex(0xFF9070), Hex(0xF02A10), Hex(0x901000)});
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x300400, 0.7));
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    cairo_rectangle(cr, 50, 1.8, 7.5, 2.4);
    SetColour(cr, Hex(0x2A2E32));
    cairo_fill(cr);
}

void PaintMarker(cairo_t* cr) {
    // The player's car in miniature on the progress track.
    RoundedRectPath(cr, 2, 1, 10, 20, 4);
    SetLinear(cr, 2, 0, 12, 0, {Hex(0x901808), Hex(0xFF5A28), Hex(0xB02010)});
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x000000, 0.8));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    for (double y : {4.0, 15.0})
        for (double x : {0.6, 11.6}) {
            cairo_rectangle(cr, x, y, 1.8, 4);
            SetColour(cr, Hex(0x101010));
            cairo_fill(cr);
        }
    RoundedRectPath(cr, 4, 6, 6, 4, 1);
    SetColour(cr, Hex(0x9CC4EC));
    cairo_fill(cr);
    RoundedRectPath(cr, 4, 11, 6, 6, 1);
    SetColour(cr, Hex(0xFFE0D0));
    cairo_fill(cr);
}

void PaintEnergy(cairo_t* cr, int pattern) {
    const int lit = 3 - pattern;
    RoundedRectPath(cr, 0.5, 0.5, 59, 23, 5);
    SetLinear(cr, 0, 0, 0, 24, {Hex(0x2A323C), Hex(0x0C1014)});
    cairo_fill(cr);
    // Bolt.
    cairo_new_path(cr);
    cairo_move_to(cr, 9, 3);
    cairo_line_to(cr, 4.5, 13);
    cairo_line_to(cr, 8, 13);
    cairo_line_to(cr, 6, 21);
    cairo_line_to(cr, 12, 10);
    cairo_line_to(cr, 8.5, 10);
    cairo_close_path(cr);
    SetColour(cr, lit > 0 ? Hex(0xFFD84A) : Hex(0x4A4A40));
    cairo_fill(cr);
    const uint32_t colour = lit == 3 ? 0x3CFF3C : lit == 2 ? 0xFFC020 : 0xFF3020;
    for (int k = 0; k < 3; ++k) {
        const double x = 16 + k * 14.5;
        RoundedRectPath(cr, x, 4, 12, 16, 2.5);
        if (k < lit) {
            cairo_pattern_t* g = cairo_pattern_create_linear(0, 4, 0, 20);
            AddStop(g, 0, Lighter(Hex(colour), 0.5));
            AddStop(g, 0.5, Hex(colour));
            AddStop(g, 1, Darker(Hex(colour), 0.35));
            SetSourceAndRelease(cr, g);
        } else {
            SetColour(cr, Hex(0x1A2026));
        }
        cairo_fill_preserve(cr);
        SetColour(cr, Hex(0x000000, 0.6));
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
}

} // namespace

void DrawPanelPictures(std::vector<GeneratedPicture>& out) {
    GeneratedPicture panel = DrawPicture("Panel", 190, 600, PaintPanel);
    panel.kind = GeneratedPicture::Kind::Dib;
    out.push_back(std::move(panel));
    out.push_back(DrawPicture("Pointer", 58, 6, PaintNeedle));
    out.push_back(DrawPicture("SmallCar", 14, 22, PaintMarker));
    out.push_back(DrawPatterns("Energy", 60, 24, 4, PaintEnergy));
}

} // namespace vorlane::datagen::race
