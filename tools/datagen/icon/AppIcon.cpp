#include "datagen/icon/AppIcon.h"

#include "datagen/common/Canvas.h"
#include "datagen/common/CarPainter.h"
#include "datagen/common/CarStyles.h"
#include "datagen/common/Paint.h"

#include <cmath>

namespace vorlane::datagen {
namespace {

// The application id the desktop knows the game by (its .desktop and metainfo files).
constexpr const char* kApplicationId = "org.vorlane.Vorlane";

// The road: dark asphalt with kerb lines and a dashed centre line running diagonally
// under the car. All lengths in units of the icon (0..1).
void PaintRoad(cairo_t* cr, bool fine) {
    SetLinear(cr, 0, 0, 0, 1, {Hex(0x1B2230), Hex(0x0B0E15)});
    cairo_paint(cr);
    cairo_save(cr);
    cairo_translate(cr, 0.5, 0.5);
    cairo_rotate(cr, -0.35);
    SetColour(cr, Hex(0x3A3F48));
    cairo_rectangle(cr, -0.30, -1.0, 0.60, 2.0);
    cairo_fill(cr);
    SetColour(cr, Hex(0xE8E4D8));
    cairo_rectangle(cr, -0.30, -1.0, 0.035, 2.0);
    cairo_rectangle(cr, 0.265, -1.0, 0.035, 2.0);
    cairo_fill(cr);
    if (fine) { // the dashes only where they stay visible
        SetColour(cr, Hex(0xF2C230));
        for (double y = -1.0; y < 1.0; y += 0.22)
            cairo_rectangle(cr, -0.015, y, 0.03, 0.11);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// The first player car, centred, turned along the road.
void PaintCar(cairo_t* cr, bool shadow) {
    const CarStyle& style = PlayerCarStyles()[0];
    const double length = 0.80; // of the icon
    const double scale = length / style.imageHeight;
    cairo_save(cr);
    cairo_translate(cr, 0.5, 0.5);
    cairo_rotate(cr, -0.35);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -style.imageWidth / 2.0, -style.imageHeight / 2.0);
    PaintTopDownCar(cr, style, shadow);
    cairo_restore(cr);
}

// The small sizes are drawn pixel by pixel: at 16 to 32 pixels a drawn car turned along
// the road blurs into a red smudge. Here the road runs straight up and the car sits
// square on the pixel grid, simplified to what still reads: the red body with its dark
// flanks, the windows, the wheels, the headlights.
//   .  clear          a  night surround    r  road          k  kerb line
//   R  paint          D  paint in shadow   H  paint in light S  stripe
//   G  glass          W  wheel             L  headlight, centre line   K  spoiler
constexpr const char* kIcon16[] = {
    ".aakrrrrrrrrkaa.", //
    "aaakrrLRRLrrkaaa", //
    "aaakrDRRRRDrkaaa", //
    "aaakWDRRRRDWkaaa", //
    "aaakWDGGGGDWkaaa", //
    "aaakrDGGGGDrkaaa", //
    "aaakrDRRRRDrkaaa", //
    "aaakrDRHHRDrkaaa", //
    "aaakrDRRRRDrkaaa", //
    "aaakrDGGGGDrkaaa", //
    "aaakWDRRRRDWkaaa", //
    "aaakWDRRRRDWkaaa", //
    "aaakrDRRRRDrkaaa", //
    "aaakrrKKKKrrkaaa", //
    "aaakrrrrrrrrkaaa", //
    ".aakrrrrrrrrkaa.", //
};

constexpr const char* kIcon24[] = {
    "..aaakrrrrrrrrrrrrkaaa..", //
    ".aaaakrrrrrrrrrrrrkaaaa.", //
    "aaaaakrrrLRRRRLrrrkaaaaa", //
    "aaaaakrrDRSRRSRDrrkaaaaa", //
    "aaaaakrWDRSRRSRDWrkaaaaa", //
    "aaaaakrWDRSRRSRDWrkaaaaa", //
    "aaaaakrWDRSRRSRDWrkaaaaa", //
    "aaaaakrrDRRRRRRDrrkaaaaa", //
    "aaaaakrrDGGGGGGDrrkaaaaa", //
    "aaaaakrrDGGGGGGDrrkaaaaa", //
    "aaaaakrrDDGGGGDDrrkaaaaa", //
    "aaaaakrrDRRRRRRDrrkaaaaa", //
    "aaaaakrrDRHHHHRDrrkaaaaa", //
    "aaaaakrrDRRRRRRDrrkaaaaa", //
    "aaaaakrrDGGGGGGDrrkaaaaa", //
    "aaaaakrrDRRRRRRDrrkaaaaa", //
    "aaaaakrWDRSRRSRDWrkaaaaa", //
    "aaaaakrWDRSRRSRDWrkaaaaa", //
    "aaaaakrWDRSRRSRDWrkaaaaa", //
    "aaaaakrrDRSRRSRDrrkaaaaa", //
    "aaaaakrrrKKKKKKrrrkaaaaa", //
    "aaaaakrrrrrrrrrrrrkaaaaa", //
    ".aaaakrrrrrrrrrrrrkaaaa.", //
    "..aaakrrrrrrrrrrrrkaaa..", //
};

constexpr const char* kIcon32[] = {
    "...aaaakrrrrrrrLLrrrrrrrkaaaa...", //
    "..aaaaakrrrrrrrLLrrrrrrrkaaaaa..", //
    ".aaaaaakrrrrrrrrrrrrrrrrkaaaaaa.", //
    "aaaaaaakrrrrLRRRRRRLrrrrkaaaaaaa", //
    "aaaaaaakrrrDRRSRRSRRDrrrkaaaaaaa", //
    "aaaaaaakrrWDRRSRRSRRDWrrkaaaaaaa", //
    "aaaaaaakrrWDRRSRRSRRDWrrkaaaaaaa", //
    "aaaaaaakrrWDRRSRRSRRDWrrkaaaaaaa", //
    "aaaaaaakrrWDRRSRRSRRDWrrkaaaaaaa", //
    "aaaaaaakrrrDRRSRRSRRDrrrkaaaaaaa", //
    "aaaaaaakrrrDRRRRRRRRDrrrkaaaaaaa", //
    "aaaaaaakrrrDDGGGGGGDDrrrkaaaaaaa", //
    "aaaaaaakrrrDGGGGGGGGDrrrkaaaaaaa", //
    "aaaaaaakrrrDGGGGGGGGDrrrkaaaaaaa", //
    "aaaaaaakrrrDDGGGGGGDDrrrkaaaaaaa", //
    "aaaaaaakrrrDRRRRRRRRDrrrkaaaaaaa", //
    "aaaaaaakrrrDRHHHHHHRDrrrkaaaaaaa", //
    "aaaaaaakrrrDRRRRRRRRDrrrkaaaaaaa", //
    "aaaaaaakrrrDRRRRRRRRDrrrkaaaaaaa", //
    "aaaaaaakrrrDDGGGGGGDDrrrkaaaaaaa", //
    "aaaaaaakrrrDGGGGGGGGDrrrkaaaaaaa", //
    "aaaaaaakrrrDRRRRRRRRDrrrkaaaaaaa", //
    "aaaaaaakrrWDRRSRRSRRDWrrkaaaaaaa", //
    "aaaaaaakrrWDRRSRRSRRDWrrkaaaaaaa", //
    "aaaaaaakrrWDRRSRRSRRDWrrkaaaaaaa", //
    "aaaaaaakrrWDRRSRRSRRDWrrkaaaaaaa", //
    "aaaaaaakrrrDRRSRRSRRDrrrkaaaaaaa", //
    "aaaaaaakrrrDRRSRRSRRDrrrkaaaaaaa", //
    "aaaaaaakrrrrKKKKKKKKrrrrkaaaaaaa", //
    ".aaaaaakrrrrrrrrrrrrrrrrkaaaaaa.", //
    "..aaaaakrrrrrrrLLrrrrrrrkaaaaa..", //
    "...aaaakrrrrrrrLLrrrrrrrkaaaa...", //
};

uint32_t PixelColour(char c) {
    const CarStyle& car = PlayerCarStyles()[0];
    switch (c) {
    case 'a':
        return 0x141A26;
    case 'r':
        return 0x3A3F48;
    case 'k':
        return 0xE8E4D8;
    case 'R':
        return car.body;
    case 'D':
        return car.bodyShade;
    case 'H':
        return 0xEE5A50;
    case 'S':
        return car.stripe;
    case 'G':
        return 0x3F5F80;
    case 'W':
        return 0x0C0C0E;
    case 'L':
        return 0xF2C230;
    case 'K':
        return 0x2A2A2E;
    default:
        return 0;
    }
}

RgbaImage PixelIcon(const char* const* rows, int size) {
    RgbaImage image(size, size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (rows[y][x] != '.') image.At(x, y) = 0xFF000000u | PixelColour(rows[y][x]);
    return image;
}

} // namespace

RgbaImage DrawAppIcon(int size) {
    if (size == 16) return PixelIcon(kIcon16, size);
    if (size == 24) return PixelIcon(kIcon24, size);
    if (size == 32) return PixelIcon(kIcon32, size);
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, size, size);
    // A small margin keeps the rounded square clear of the edge, as desktop icons are.
    const double margin = size <= 24 ? 0.0 : 0.04;
    RoundedRectPath(cr, margin, margin, 1 - 2 * margin, 1 - 2 * margin, 0.18);
    cairo_clip(cr);
    PaintRoad(cr, size >= 32);
    PaintCar(cr, size >= 48);
    return canvas.ToImage();
}

std::string AppIconPath(int size) {
    const std::string side = std::to_string(size);
    return "Data/Icons/hicolor/" + side + "x" + side + "/apps/" + kApplicationId + ".png";
}

} // namespace vorlane::datagen
