// The weapons carried on the player's roof: a machine gun turret and a rocket pod, each
// rising out of a roof hatch in five steps (stage 1 is the closed hatch, stage 6 the
// weapon fully raised), and the gun firing. Seen from above, pointing forward (up).
//
// The race lays these pictures on the car so that picture row 36 or so falls on the
// car's centre; the hatch sits a little behind it, on the roof. "GunShooting" is drawn
// about 18 rows higher up the car than the stages, so its gun is drawn that much lower
// in the picture and the muzzle flash fills the rows above.
#include "datagen/common/Paint.h"
#include "datagen/race/RacePictures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace vorlane::datagen::race {
namespace {

constexpr double kCx = 20, kHatchY = 54;
constexpr double kShootingDrop = 18;

void Hatch(cairo_t* cr, double open) {
    // The roof opening; its two doors slide aside as the weapon rises.
    RoundedRectPath(cr, kCx - 11, kHatchY - 14, 22, 28, 3);
    SetColour(cr, Hex(0x0A0C0E, 0.85 * std::min(1.0, open * 3)));
    cairo_fill(cr);
    for (int side : {-1, 1}) {
        const double w = 11 * (1 - open), x = side < 0 ? kCx - 11 - 6 * open : kCx + 11 + 6 * open - w;
        if (w < 0.5) {
            // Fully open: the doors stand edge-on beside the opening.
            cairo_rectangle(cr, side < 0 ? kCx - 16 : kCx + 13, kHatchY - 14, 3, 28);
        } else {
            cairo_rectangle(cr, x, kHatchY - 14, w, 28);
        }
        SetLinear(cr, kCx - 16, 0, kCx + 16, 0, {Hex(0x8E969E), Hex(0x5A626A)});
        cairo_fill_preserve(cr);
        SetColour(cr, Hex(0x15181B, 0.9));
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
}

// The weapon itself at rise r (0 hidden .. 1 fully up), drawn from `body`, with the
// shadow it throws on the roof growing as it lifts.
void Raised(cairo_t* cr, double r, const std::function<void(cairo_t*, double scale, double reach)>& body) {
    if (r <= 0) return;
    const double scale = 0.62 + 0.38 * r, reach = r;
    PaintBlurred(
        cr, [&](cairo_t* m) { body(m, scale, reach); }, 1 + 3 * r, 1.5 + 4 * r, 1 + r, Hex(0x000000, 0.45));
    body(cr, scale, reach);
}

void GunBody(cairo_t* cr, double s, double reach) {
    // Turret ring, breech with the ammunition box behind, twin barrels forward.
    cairo_save(cr);
    cairo_translate(cr, kCx, kHatchY);
    cairo_scale(cr, s, s);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 11, 0, 2 * M_PI);
    SetLinear(cr, -11, -11, 11, 11, {Hex(0x7A848E), Hex(0x2E343A)});
    cairo_fill(cr);
    RoundedRectPath(cr, -7, 4, 14, 16, 2);
    SetLinear(cr, -7, 0, 7, 0, {Hex(0x3E4A2A), Hex(0x6E7E4A), Hex(0x2E3820)});
    cairo_fill(cr);
    for (int k = 0; k < 5; ++k) {
        cairo_rectangle(cr, 7, 6 + k * 2.6, 3, 1.6);
        SetColour(cr, Hex(0xD9A634));
        cairo_fill(cr);
    }
    RoundedRectPath(cr, -6, -14, 12, 20, 2.5);
    SetLinear(cr, -6, 0, 6, 0, {Hex(0x1A1D20), Hex(0x5E666E), Hex(0x16191C)});
    cairo_fill(cr);
    const double barrel = 12 + 24 * reach;
    for (double x : {-2.6, 2.6}) {
        cairo_rectangle(cr, x - 1.5, -14 - barrel, 3, barrel);
        SetLinear(cr, x - 1.5, 0, x + 1.5, 0, {Hex(0x23272B), Hex(0xA7AFB6), Hex(0x23272B)});
        cairo_fill(cr);
        cairo_rectangle(cr, x - 2, -14 - barrel, 4, 3);
        SetColour(cr, Hex(0x101214));
        cairo_fill(cr);
    }
    // Cooling jacket band.
    cairo_rectangle(cr, -5, -20 - barrel * 0.3, 10, 3);
    SetColour(cr, Hex(0x2A2E32));
    cairo_fill(cr);
    cairo_restore(cr);
}

void PodBody(cairo_t* cr, double s, double reach) {
    // A pod of four rockets on a swivel, noses forward.
    cairo_save(cr);
    cairo_translate(cr, kCx, kHatchY);
    cairo_scale(cr, s, s);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 4, 9, 0, 2 * M_PI);
    SetLinear(cr, -9, -5, 9, 13, {Hex(0x7A848E), Hex(0x2E343A)});
    cairo_fill(cr);
    const double front = -16 - 14 * reach;
    RoundedRectPath(cr, -13, front, 26, 34, 3);
    SetLinear(cr, -13, 0, 13, 0, {Hex(0x2E3A22), Hex(0x7A8E5E), Hex(0x3C4A2C), Hex(0x222C18)});
    cairo_fill(cr);
    for (int k = 0; k < 4; ++k) {
        const double x = -9.6 + k * 6.4;
        cairo_new_path(cr);
        cairo_arc(cr, x, front + 3.5, 2.8, 0, 2 * M_PI);
        SetColour(cr, Hex(0x101410));
        cairo_fill(cr);
        cairo_new_path(cr);
        cairo_arc(cr, x, front + 3.5, 1.9, 0, 2 * M_PI);
        SetColour(cr, Hex(0xE03424));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, -13, front + 12, 26, 2.5);
    SetColour(cr, Hex(0xE8C020));
    cairo_fill(cr);
    for (int k = 0; k < 3; ++k) {
        cairo_rectangle(cr, -12 + k * 9.5, front + 22, 5, 1.2);
        SetColour(cr, Hex(0x141810, 0.6));
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void MuzzleFlash(cairo_t* cr, double tipY) {
    for (double x : {kCx - 2.6, kCx + 2.6}) {
        cairo_save(cr);
        cairo_translate(cr, x, tipY);
        PaintBlurred(
            cr,
            [](cairo_t* m) {
                cairo_new_path(m);
                cairo_arc(m, 0, -5, 6, 0, 2 * M_PI);
                cairo_fill(m);
            },
            0, 0, 3, Hex(0xFFB030, 0.8));
        cairo_new_path(cr);
        const int spikes = 7;
        for (int i = 0; i <= 2 * spikes; ++i) {
            const double a = -M_PI / 2 + (i - spikes) * (M_PI / 2.6) / spikes;
            const double rr = i % 2 == 0 ? (i == spikes ? 16 : 9 + (i % 4) * 1.5) : 3;
            const double px = std::cos(a) * rr, py = std::sin(a) * rr;
            if (i == 0)
                cairo_move_to(cr, px, py);
            else
                cairo_line_to(cr, px, py);
        }
        cairo_close_path(cr);
        cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 0.5, 0, -4, 16);
        AddStop(g, 0, Hex(0xFFFFF0));
        AddStop(g, 0.35, Hex(0xFFE070));
        AddStop(g, 1, Hex(0xFF6010, 0.2));
        SetSourceAndRelease(cr, g);
        cairo_fill(cr);
        cairo_restore(cr);
    }
}

using BodyFn = void (*)(cairo_t*, double, double);

GeneratedPicture Stage(const std::string& name, int stage, BodyFn body) {
    return DrawPicture(name, 40, 114, [&](cairo_t* cr) {
        const double r = (stage - 1) / 5.0;
        Hatch(cr, std::min(1.0, r * 2.5));
        Raised(cr, r, body);
    });
}

} // namespace

void DrawWeaponPictures(std::vector<GeneratedPicture>& out) {
    for (int stage = 1; stage <= 6; ++stage)
        out.push_back(Stage("GunAnim_" + std::to_string(stage), stage, GunBody));
    out.push_back(DrawPicture("GunShooting", 40, 114, [](cairo_t* cr) {
        cairo_save(cr);
        cairo_translate(cr, 0, kShootingDrop);
        Hatch(cr, 1);
        Raised(cr, 1, GunBody);
        cairo_restore(cr);
        // The barrel tips of the raised gun, moved down with it.
        MuzzleFlash(cr, kHatchY - 14 - 36 + kShootingDrop);
    }));
    for (int stage = 1; stage <= 6; ++stage)
        out.push_back(Stage("RocketAnim_" + std::to_string(stage), stage, PodBody));
}

} // namespace vorlane::datagen::race
