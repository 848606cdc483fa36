#include "datagen/race/Textures.h"

#include "datagen/common/Canvas.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vorlane::datagen::race {
namespace {

constexpr int kSize = 72;

uint32_t Hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double Smooth(double t) {
    return t * t * (3 - 2 * t);
}

uint8_t Channel(double v) {
    return uint8_t(std::clamp(std::lround(v * 255.0), 0L, 255L));
}

// Fills a 72 x 72 surface pixel by pixel, then lets `details` draw on it; everything
// `details` draws is repeated one period to each side so that it wraps.
cairo_surface_t* MakeSurface(const std::function<Colour(int, int)>& pixel,
                             const std::function<void(cairo_t*)>& details) {
    RgbaImage image(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const Colour c = pixel(x, y);
            image.At(x, y) =
                0xFF000000u | uint32_t(Channel(c.r)) << 16 | uint32_t(Channel(c.g)) << 8 | Channel(c.b);
        }
    cairo_surface_t* surface = ImageToSurface(image);
    if (details) {
        cairo_t* cr = cairo_create(surface);
        for (int oy = -1; oy <= 1; ++oy)
            for (int ox = -1; ox <= 1; ++ox) {
                cairo_save(cr);
                cairo_translate(cr, ox * kSize, oy * kSize);
                details(cr);
                cairo_restore(cr);
            }
        cairo_destroy(cr);
    }
    return surface;
}

Colour Grain(const Colour& c, int x, int y, uint32_t seed, double amount) {
    const double g = (double(Hash(x, y, seed) & 0xFFFF) / 65535.0 - 0.5) * amount;
    return {c.r + g, c.g + g, c.b + g, 1};
}

// Small marks scattered over the texture with the same seed on every run.
void Speckles(cairo_t* cr, uint32_t seed, int count, double rMin, double rMax, const Colour& a,
              const Colour& b) {
    Lcg rng(seed);
    for (int i = 0; i < count; ++i) {
        const double x = rng.Range(0, kSize), y = rng.Range(0, kSize), r = rng.Range(rMin, rMax);
        SetColour(cr, Mix(a, b, rng.Unit()));
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

cairo_surface_t* Grass() {
    const Colour dark = Hex(0x4A7A2C), mid = Hex(0x5E9136), light = Hex(0x78A84A);
    return MakeSurface(
        [&](int x, int y) {
            const double n = TileFbm(x, y, kSize, 11, 4, 36);
            const double m = TileFbm(x + 17, y + 5, kSize, 12, 3, 12);
            Colour c = n < 0.5 ? Mix(dark, mid, Smooth(n * 2)) : Mix(mid, light, Smooth(n * 2 - 1));
            c = Mix(c, Hex(0x6E9A3A), 0.25 * m);
            return Grain(c, x, y, 13, 0.05);
        },
        [](cairo_t* cr) {
            // Blades: short strokes leaning every way, darker and lighter than the sward.
            Lcg rng(77);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            for (int i = 0; i < 260; ++i) {
                const double x = rng.Range(0, kSize), y = rng.Range(0, kSize);
                const double a = rng.Range(-2.4, -0.7), len = rng.Range(1.5, 3.5);
                const bool lit = rng.Unit() < 0.55;
                SetColour(cr,
                          lit ? Hex(0x9CC466, rng.Range(0.25, 0.5)) : Hex(0x2F5A1A, rng.Range(0.25, 0.45)));
                cairo_set_line_width(cr, rng.Range(0.6, 1.0));
                cairo_move_to(cr, x, y);
                cairo_line_to(cr, x + std::cos(a) * len, y + std::sin(a) * len);
                cairo_stroke(cr);
            }
            // A few clover and daisy dots.
            Speckles(cr, 79, 10, 0.6, 1.0, Hex(0xF4F1D0, 0.8), Hex(0xE8E070, 0.8));
        });
}

cairo_surface_t* Asphalt() {
    const Colour base = Hex(0x46494D);
    return MakeSurface(
        [&](int x, int y) {
            const double n = TileFbm(x, y, kSize, 21, 4, 36);
            Colour c = Mix(Darker(base, 0.10), Lighter(base, 0.06), n);
            return Grain(c, x, y, 23, 0.10);
        },
        [](cairo_t* cr) {
            Speckles(cr, 29, 140, 0.35, 0.8, Hex(0x8A8C8F, 0.55), Hex(0x2A2B2D, 0.6));
            Speckles(cr, 31, 25, 0.6, 1.1, Hex(0x5C5F63, 0.5), Hex(0x303236, 0.5));
        });
}

cairo_surface_t* Paving() {
    // Square slabs of 12 pixels on the world grid, each a little different in tone.
    const Colour base = Hex(0xCDC6B8);
    return MakeSurface(
        [&](int x, int y) {
            const int sx = x / 12, sy = y / 12;
            const double tint = double(Hash(sx, sy, 41) & 0xFF) / 255.0 - 0.5;
            Colour c = Mix(base, tint > 0 ? Hex(0xDAD4C8) : Hex(0xB9B2A4), std::fabs(tint) * 0.8);
            const int jx = x % 12, jy = y % 12;
            if (jx == 0 || jy == 0)
                c = Darker(c, 0.22);
            else if (jx == 1 || jy == 1)
                c = Lighter(c, 0.10);
            return Grain(c, x, y, 43, 0.05);
        },
        nullptr);
}

cairo_surface_t* Concrete() {
    const Colour base = Hex(0xC4C5C0);
    return MakeSurface(
        [&](int x, int y) {
            const double n = TileFbm(x, y, kSize, 51, 3, 24);
            return Grain(Mix(Darker(base, 0.06), Lighter(base, 0.05), n), x, y, 53, 0.05);
        },
        nullptr);
}

cairo_surface_t* Soil() {
    const Colour base = Hex(0x6E5034);
    return MakeSurface(
        [&](int x, int y) {
            const double n = TileFbm(x, y, kSize, 61, 4, 24);
            return Grain(Mix(Darker(base, 0.2), Lighter(base, 0.1), n), x, y, 63, 0.12);
        },
        [](cairo_t* cr) { Speckles(cr, 67, 60, 0.4, 0.9, Hex(0x9A7A58, 0.6), Hex(0x3E2A18, 0.6)); });
}

cairo_surface_t* Gravel() {
    const Colour base = Hex(0xA9A59C);
    return MakeSurface(
        [&](int x, int y) {
            const double n = TileFbm(x, y, kSize, 71, 3, 24);
            return Grain(Mix(Darker(base, 0.08), Lighter(base, 0.05), n), x, y, 73, 0.16);
        },
        [](cairo_t* cr) { Speckles(cr, 75, 120, 0.4, 0.8, Hex(0xD2CEC4, 0.7), Hex(0x6F6B63, 0.6)); });
}

cairo_surface_t* Water() {
    const Colour deep = Hex(0x2C6A8C), shallow = Hex(0x4C93AE);
    return MakeSurface(
        [&](int x, int y) {
            const double n = TileFbm(x, y, kSize, 81, 3, 36);
            return Grain(Mix(deep, shallow, n), x, y, 83, 0.03);
        },
        [](cairo_t* cr) {
            Lcg rng(85);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            for (int i = 0; i < 18; ++i) {
                const double x = rng.Range(0, kSize), y = rng.Range(0, kSize), len = rng.Range(4, 9);
                SetColour(cr, Hex(0xCFEFFA, rng.Range(0.25, 0.5)));
                cairo_set_line_width(cr, 0.9);
                cairo_move_to(cr, x, y);
                cairo_curve_to(cr, x + len * 0.3, y - 1.2, x + len * 0.7, y - 1.2, x + len, y);
                cairo_stroke(cr);
            }
        });
}

} // namespace

double TileNoise(double x, double y, int period, int cell, uint32_t seed) {
    const int cells = period / cell;
    const double fx = x / cell, fy = y / cell;
    const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    const double tx = Smooth(fx - x0), ty = Smooth(fy - y0);
    auto at = [&](int ix, int iy) {
        ix = ((ix % cells) + cells) % cells;
        iy = ((iy % cells) + cells) % cells;
        return double(Hash(ix, iy, seed + uint32_t(cell)) & 0xFFFF) / 65535.0;
    };
    const double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    const double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return a + (b - a) * ty;
}

double TileFbm(double x, double y, int period, uint32_t seed, int octaves, int firstCell) {
    double sum = 0, weight = 0, amp = 1;
    int cell = firstCell;
    for (int i = 0; i < octaves && cell >= 2; ++i) {
        if (period % cell == 0) {
            sum += amp * TileNoise(x, y, period, cell, seed + uint32_t(i) * 101u);
            weight += amp;
        }
        amp *= 0.55;
        cell /= 2;
    }
    return weight > 0 ? sum / weight : 0.5;
}

Textures::Textures() {
    surfaces_[size_t(Material::Grass)] = Grass();
    surfaces_[size_t(Material::Asphalt)] = Asphalt();
    surfaces_[size_t(Material::Paving)] = Paving();
    surfaces_[size_t(Material::Concrete)] = Concrete();
    surfaces_[size_t(Material::Soil)] = Soil();
    surfaces_[size_t(Material::Gravel)] = Gravel();
    surfaces_[size_t(Material::Water)] = Water();
}

Textures::~Textures() {
    for (cairo_surface_t* s : surfaces_)
        if (s) cairo_surface_destroy(s);
}

void Textures::Use(cairo_t* cr, Material m) const {
    cairo_pattern_t* p = cairo_pattern_create_for_surface(surfaces_[size_t(m)]);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

Colour Textures::Tone(Material m) const {
    switch (m) {
    case Material::Grass:
        return Hex(0x5E9136);
    case Material::Asphalt:
        return Hex(0x46494D);
    case Material::Paving:
        return Hex(0xCDC6B8);
    case Material::Concrete:
        return Hex(0xC4C5C0);
    case Material::Soil:
        return Hex(0x6E5034);
    case Material::Gravel:
        return Hex(0xA9A59C);
    case Material::Water:
        return Hex(0x3C7FA0);
    case Material::Count:
        break;
    }
    return Hex(0x808080);
}

} // namespace vorlane::datagen::race
