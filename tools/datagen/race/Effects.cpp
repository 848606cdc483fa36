// Explosions, the rocket and its flame, the nitro flame, and the marks left on the road.
#include "datagen/common/Paint.h"
#include "datagen/race/RacePictures.h"

#include <algorithm>
#include <cmath>

namespace vorlane::datagen::race {
namespace {

double Ease(double t) {
    return 1 - (1 - t) * (1 - t);
}

void RadialBlob(cairo_t* cr, double x, double y, double r, const Colour& inner, const Colour& outer) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.25, y - r * 0.3, r * 0.05, x, y, r);
    AddStop(g, 0, inner);
    AddStop(g, 0.55, Mix(inner, outer, 0.6));
    AddStop(g, 1, WithAlpha(outer, 0));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
}

// One frame of a fireball that blooms, burns out and drifts off as smoke. t runs from
// 0 (the flash) to 1 (the last wisp); `size` is the largest radius of the fire.
void Fireball(cairo_t* cr, double cx, double cy, double t, double size, uint32_t seed) {
    Lcg rng(seed);
    struct Puff {
        double angle, dist, radius, phase;
    };
    std::vector<Puff> puffs;
    for (int i = 0; i < 11; ++i)
        puffs.push_back(
            {rng.Range(0, 2 * M_PI), rng.Range(0.15, 0.6), rng.Range(0.35, 0.6), rng.Range(0, 1)});
    const double grow = Ease(std::min(1.0, t * 2.5));
    const double fire = std::clamp(1.0 - (t - 0.3) / 0.45, 0.0, 1.0); // how much of it still burns
    const double smokeAlpha = (1.0 - 0.6 * std::clamp((t - 0.55) / 0.45, 0.0, 1.0)) * std::min(1.0, t * 3);
    // Smoke: grey-brown puffs that swell and rise a little as the fire dies.
    for (const Puff& p : puffs) {
        const double d = size * p.dist * (0.6 + grow * 0.8 + t * 0.3);
        const double x = cx + std::cos(p.angle) * d, y = cy + std::sin(p.angle) * d - t * size * 0.25;
        const double r = size * p.radius * (0.5 + grow * 0.6 + t * 0.35);
        const double shade = 0.2 + 0.25 * p.phase;
        RadialBlob(cr, x, y, r, Colour{shade + 0.12, shade + 0.1, shade + 0.08, 0.9 * smokeAlpha},
                   Colour{shade, shade, shade, 0});
    }
    if (fire <= 0) return;
    // The blast's ring of dust and heat racing outward in the first moments.
    if (t < 0.3) {
        const double ring = size * (0.5 + t * 3.2), a = 1 - t / 0.3;
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, ring, 0, 2 * M_PI);
        cairo_set_line_width(cr, 2 + 4 * a);
        SetColour(cr, Hex(0xFFE2A0, 0.55 * a));
        cairo_stroke(cr);
    }
    // Glow around the fire.
    RadialBlob(cr, cx, cy, size * (0.7 + grow * 0.6), Hex(0xFFB040, 0.55 * fire), Hex(0xFF5010, 0));
    // Flames: hot lobes from white at the core through yellow and orange to red.
    const Colour core = Mix(Hex(0xFFFFF0), Hex(0xFFC040), std::min(1.0, t * 2));
    const Colour rim = Mix(Hex(0xFF7A10), Hex(0x8A1A08), std::min(1.0, t * 1.5));
    for (const Puff& p : puffs) {
        const double d = size * p.dist * grow;
        const double x = cx + std::cos(p.angle) * d, y = cy + std::sin(p.angle) * d;
        const double r = size * p.radius * (0.6 + grow * 0.7) * (0.6 + 0.4 * fire);
        RadialBlob(cr, x, y, r, WithAlpha(core, fire), WithAlpha(rim, fire));
    }
    RadialBlob(cr, cx, cy, size * (0.55 + 0.35 * (1 - t)) * (0.5 + grow * 0.5) * fire, Hex(0xFFFFF4, fire),
               Hex(0xFFD060, 0));
    // Sparks flung out early on.
    if (t < 0.5) {
        for (int i = 0; i < 14; ++i) {
            const double a = rng.Range(0, 2 * M_PI), d = size * (0.4 + 1.1 * t * 2) * rng.Range(0.7, 1.1);
            cairo_new_path(cr);
            cairo_arc(cr, cx + std::cos(a) * d, cy + std::sin(a) * d, rng.Range(0.6, 1.3), 0, 2 * M_PI);
            SetColour(cr, Hex(0xFFE9A0, 1 - t * 2));
            cairo_fill(cr);
        }
    }
}

// The rocket, pointing up, from its nose at the top to its nozzle at row 21: the race
// hangs the flame from about row 20 of a turned rocket, so the rows below stay empty.
void RocketBody(cairo_t* cr) {
    const double cx = 6;
    cairo_new_path(cr);
    cairo_move_to(cr, cx, 0.5);
    cairo_curve_to(cr, cx + 2.6, 2.5, cx + 2.8, 5, cx + 2.8, 7);
    cairo_line_to(cr, cx + 2.8, 19);
    cairo_line_to(cr, cx + 2, 21);
    cairo_line_to(cr, cx - 2, 21);
    cairo_line_to(cr, cx - 2.8, 19);
    cairo_line_to(cr, cx - 2.8, 7);
    cairo_curve_to(cr, cx - 2.8, 5, cx - 2.6, 2.5, cx, 0.5);
    cairo_close_path(cr);
}

void PaintRocket(cairo_t* cr) {
    const double cx = 6;
    // Fins at the tail.
    cairo_new_path(cr);
    cairo_move_to(cr, cx - 2.8, 13);
    cairo_line_to(cr, cx - 5.6, 19);
    cairo_line_to(cr, cx - 5.6, 21);
    cairo_line_to(cr, cx + 5.6, 21);
    cairo_line_to(cr, cx + 5.6, 19);
    cairo_line_to(cr, cx + 2.8, 13);
    cairo_close_path(cr);
    SetColour(cr, Hex(0x5A6068));
    cairo_fill(cr);
    RocketBody(cr);
    SetLinear(cr, cx - 2.8, 0, cx + 2.8, 0, {Hex(0x9AA0A8), Hex(0xFFFFFF), Hex(0xC8CDD2), Hex(0x7A8088)});
    cairo_fill(cr);
    cairo_save(cr);
    RocketBody(cr);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, 0, 12, 6);
    SetLinear(cr, cx - 2.8, 0, cx + 2.8, 0, {Hex(0x8A1010), Hex(0xF04030), Hex(0xA01818)});
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 11, 12, 1.6);
    SetColour(cr, Hex(0xD02020));
    cairo_fill(cr);
    cairo_restore(cr);
    RocketBody(cr);
    SetColour(cr, Hex(0x202428, 0.7));
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
}

// A flame that starts wide and hot at the top and tapers away downward; `len` and
// `wide` are fractions of the picture, `hot` and `outer` the core and rim colours.
void Flame(cairo_t* cr, double w, double h, double len, double wide, double wobble, const Colour& hot,
           const Colour& mid, const Colour& outer) {
    const double cx = w / 2, top = 1, tip = top + (h - 2) * len;
    auto shape = [&](double scale) {
        const double half = w / 2 * wide * scale;
        cairo_new_path(cr);
        cairo_move_to(cr, cx - half, top);
        cairo_curve_to(cr, cx - half * 1.1, top + (tip - top) * 0.35, cx - half * 0.5 + wobble,
                       top + (tip - top) * 0.75, cx + wobble * 1.5, top + (tip - top) * scale);
        cairo_curve_to(cr, cx + half * 0.5 + wobble, top + (tip - top) * 0.75, cx + half * 1.1,
                       top + (tip - top) * 0.35, cx + half, top);
        cairo_close_path(cr);
    };
    shape(1.0);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, tip);
    AddStop(g, 0, outer);
    AddStop(g, 1, WithAlpha(outer, 0));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    shape(0.72);
    g = cairo_pattern_create_linear(0, top, 0, tip);
    AddStop(g, 0, mid);
    AddStop(g, 0.8, WithAlpha(mid, 0));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    shape(0.4);
    g = cairo_pattern_create_linear(0, top, 0, tip);
    AddStop(g, 0, hot);
    AddStop(g, 0.7, WithAlpha(hot, 0));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
}

void Mark(cairo_t* cr, const Colour& c, uint32_t seed, bool splash) {
    Lcg rng(seed);
    if (!splash) {
        // A smear of rubber: darker in the middle, streaked along the skid.
        RoundedRectPath(cr, 1, 0.5, 8, 13, 3);
        cairo_pattern_t* g = cairo_pattern_create_linear(1, 0, 9, 0);
        AddStop(g, 0, WithAlpha(c, 0.15));
        AddStop(g, 0.3, WithAlpha(c, 0.6));
        AddStop(g, 0.7, WithAlpha(c, 0.6));
        AddStop(g, 1, WithAlpha(c, 0.15));
        SetSourceAndRelease(cr, g);
        cairo_fill(cr);
        cairo_set_line_width(cr, 0.6);
        for (int k = 0; k < 4; ++k) {
            const double x = 2.5 + k * 1.7;
            cairo_move_to(cr, x, 1);
            cairo_line_to(cr, x + rng.Range(-0.3, 0.3), 13);
        }
        SetColour(cr, WithAlpha(Darker(c, 0.4), 0.4));
        cairo_stroke(cr);
        return;
    }
    // Drops of blood around a smeared patch.
    cairo_save(cr);
    cairo_translate(cr, 5, 7);
    cairo_scale(cr, 3.2, 4.6);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(4.5, 6.5, 0.5, 5, 7, 5);
    AddStop(g, 0, WithAlpha(Lighter(c, 0.15), 0.95));
    AddStop(g, 1, WithAlpha(c, 0.75));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    for (int k = 0; k < 5; ++k) {
        cairo_arc(cr, rng.Range(1.5, 8.5), rng.Range(1, 13), rng.Range(0.5, 1.2), 0, 2 * M_PI);
        SetColour(cr, WithAlpha(c, 0.85));
        cairo_fill(cr);
    }
}

} // namespace

void DrawEffectPictures(std::vector<GeneratedPicture>& out) {
    out.push_back(DrawPatterns("ExplosionBig", 64, 64, 16,
                               [](cairo_t* cr, int p) { Fireball(cr, 32, 33, p / 15.0, 23, 4001); }));
    out.push_back(DrawPatterns("Explosion", 64, 64, 10,
                               [](cairo_t* cr, int p) { Fireball(cr, 32, 32, p / 9.0, 19, 5003); }));
    out.push_back(DrawPicture("Rocket", 12, 32, PaintRocket));
    out.push_back(DrawPatterns("EngineFire", 12, 20, 4, [](cairo_t* cr, int p) {
        const double len[4] = {0.95, 0.8, 1.0, 0.86}, wob[4] = {0, 0.6, -0.4, 0.3};
        Flame(cr, 12, 20, len[p], 0.75, wob[p], Hex(0xFFFFFF), Hex(0xFFD24A, 0.95), Hex(0xFF6A10, 0.8));
    }));
    out.push_back(DrawPatterns("NitroAnim", 16, 51, 4, [](cairo_t* cr, int p) {
        const double len[4] = {0.92, 1.0, 0.82, 0.96}, wob[4] = {0, -0.8, 0.5, 0.9};
        Flame(cr, 16, 51, len[p], 0.85, wob[p], Hex(0xF4FBFF), Hex(0x7FC8FF, 0.95), Hex(0x5A3CFF, 0.75));
    }));
    out.push_back(DrawPicture("Handbrake", 10, 14, [](cairo_t* cr) { Mark(cr, Hex(0x16171A), 7, false); }));
    out.push_back(DrawPicture("Blood", 10, 14, [](cairo_t* cr) { Mark(cr, Hex(0x8A0A0A), 9, true); }));
}

} // namespace vorlane::datagen::race
