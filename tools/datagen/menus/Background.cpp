// The one background of every menu screen: deep blue-black, a faint road running to the
// horizon, and racing stripes sweeping across two corners.
#include "datagen/menus/MenuPictures.h"

#include "datagen/common/Canvas.h"
#include "datagen/common/Paint.h"

#include <algorithm>
#include <cmath>

namespace vorlane::datagen {
namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr double kVanishX = 400, kVanishY = 205; // where the road meets the horizon

void Sky(cairo_t* cr) {
    SetLinear(cr, 0, 0, 0, kHeight, {Hex(0x0B1530), Hex(0x070D1E), Hex(0x04070F)});
    cairo_paint(cr);
    // A cold haze at the horizon behind the middle of the screen.
    cairo_pattern_t* haze = cairo_pattern_create_radial(kVanishX, kVanishY, 10, kVanishX, kVanishY, 420);
    AddStop(haze, 0.0, Hex(0x2C4C8C, 0.45));
    AddStop(haze, 0.4, Hex(0x17305E, 0.22));
    AddStop(haze, 1.0, Hex(0x0A1428, 0.0));
    SetSourceAndRelease(cr, haze);
    cairo_paint(cr);
    // Horizon line.
    cairo_rectangle(cr, 0, kVanishY - 0.5, kWidth, 1);
    SetLinear(cr, 0, 0, kWidth, 0, {Hex(0x5D8BE0, 0.0), Hex(0x7FA8F0, 0.35), Hex(0x5D8BE0, 0.0)});
    cairo_fill(cr);
}

void Road(cairo_t* cr) {
    // The asphalt band from the bottom edge to the vanishing point.
    const double bottomHalf = 430;
    cairo_new_path(cr);
    cairo_move_to(cr, kVanishX - 6, kVanishY);
    cairo_line_to(cr, kVanishX + 6, kVanishY);
    cairo_line_to(cr, kVanishX + bottomHalf, kHeight);
    cairo_line_to(cr, kVanishX - bottomHalf, kHeight);
    cairo_close_path(cr);
    SetLinear(cr, 0, kVanishY, 0, kHeight, {Hex(0x1A2440, 0.15), Hex(0x121A30, 0.55)});
    cairo_fill(cr);

    // Edge lines and kerbs, fading toward the horizon.
    for (int side : {-1, 1}) {
        for (double offset : {0.0, 22.0}) {
            cairo_new_path(cr);
            cairo_move_to(cr, kVanishX + side * 6, kVanishY);
            cairo_line_to(cr, kVanishX + side * (bottomHalf - offset), kHeight);
            cairo_line_to(cr, kVanishX + side * (bottomHalf - offset - 9), kHeight);
            cairo_line_to(cr, kVanishX + side * 5.5, kVanishY);
            cairo_close_path(cr);
            SetLinear(cr, 0, kVanishY, 0, kHeight,
                      {Hex(0x9EC0FF, 0.0), Hex(0xA9C6FF, offset == 0 ? 0.16 : 0.08)});
            cairo_fill(cr);
        }
    }
    // Dashed lane marks in perspective: dash k covers depth z in [k, k + 0.5), projected by 1/z.
    for (int lane : {-1, 1}) {
        const double laneX = lane * bottomHalf / 3; // at the bottom edge
        for (int k = 0; k < 40; ++k) {
            const double z0 = 1.0 + k * 1.0, z1 = z0 + 0.55;
            const double y0 = kVanishY + (kHeight - kVanishY) / z0, y1 = kVanishY + (kHeight - kVanishY) / z1;
            if (y0 - y1 < 0.6) break;
            const double w0 = 7 / z0, w1 = 7 / z1;
            const double x0 = kVanishX + laneX / z0, x1 = kVanishX + laneX / z1;
            cairo_new_path(cr);
            cairo_move_to(cr, x0 - w0, y0);
            cairo_line_to(cr, x0 + w0, y0);
            cairo_line_to(cr, x1 + w1, y1);
            cairo_line_to(cr, x1 - w1, y1);
            cairo_close_path(cr);
            SetColour(cr, Hex(0xC8D8FF, 0.16 * std::min(1.0, 3.0 / z0 + 0.25)));
            cairo_fill(cr);
        }
    }
    // Cross lines of a faint grid over the ground, closer together toward the horizon.
    for (int k = 1; k < 30; ++k) {
        const double y = kVanishY + (kHeight - kVanishY) / (k * 0.5 + 0.5);
        if (y - kVanishY < 3) break;
        cairo_rectangle(cr, 0, y, kWidth, 1);
        SetLinear(cr, 0, 0, kWidth, 0, {Hex(0x3E64B0, 0.0), Hex(0x3E64B0, 0.10), Hex(0x3E64B0, 0.0)});
        cairo_fill(cr);
    }
}

// A bundle of parallel bands along a line, each fading out toward both ends.
void StripeBundle(cairo_t* cr, double x0, double y0, double x1, double y1, double alpha) {
    const double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
    const double nx = -dy / len, ny = dx / len; // normal
    struct Band {
        double offset, width;
        uint32_t colour;
        double strength;
    };
    const Band bands[] = {{0, 26, 0xE0301A, 1.0}, {34, 10, 0xFF8A1E, 0.9}, {52, 4, 0xE8EEF8, 0.6}};
    for (const Band& band : bands) {
        const double ox = nx * band.offset, oy = ny * band.offset;
        cairo_new_path(cr);
        cairo_move_to(cr, x0 + ox, y0 + oy);
        cairo_line_to(cr, x1 + ox, y1 + oy);
        cairo_line_to(cr, x1 + ox + nx * band.width, y1 + oy + ny * band.width);
        cairo_line_to(cr, x0 + ox + nx * band.width, y0 + oy + ny * band.width);
        cairo_close_path(cr);
        cairo_pattern_t* g = cairo_pattern_create_linear(x0, y0, x1, y1);
        const Colour c = Hex(band.colour);
        AddStop(g, 0.0, WithAlpha(c, 0));
        AddStop(g, 0.25, WithAlpha(c, alpha * band.strength));
        AddStop(g, 0.6, WithAlpha(c, alpha * band.strength * 0.7));
        AddStop(g, 1.0, WithAlpha(c, 0));
        SetSourceAndRelease(cr, g);
        cairo_fill(cr);
    }
}

void Vignette(cairo_t* cr) {
    cairo_pattern_t* v = cairo_pattern_create_radial(400, 300, 250, 400, 300, 560);
    AddStop(v, 0.0, Hex(0x000000, 0.0));
    AddStop(v, 1.0, Hex(0x000000, 0.55));
    SetSourceAndRelease(cr, v);
    cairo_paint(cr);
}

// Fine grain so that the gradients do not band on a 16-bit display.
void Grain(RgbaImage& image) {
    Lcg random(0x5EEDu);
    for (uint32_t& p : image.pixels) {
        const int n = int(random.Next() % 7) - 3;
        auto ch = [n](uint32_t c) { return uint32_t(std::clamp(int(c) + n, 0, 255)); };
        p = 0xFF000000u | (ch((p >> 16) & 0xFF) << 16) | (ch((p >> 8) & 0xFF) << 8) | ch(p & 0xFF);
    }
}

} // namespace

RgbaImage DrawMenuBackground() {
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.cr();
    Sky(cr);
    Road(cr);
    StripeBundle(cr, -60, 330, 330, -40, 0.32); // top-left corner
    StripeBundle(cr, 470, 640, 860, 270, 0.30); // bottom-right corner
    Vignette(cr);
    RgbaImage image = canvas.ToImage();
    Grain(image);
    return image;
}

} // namespace vorlane::datagen
