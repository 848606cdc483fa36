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

} // namespace

RgbaImage DrawAppIcon(int size) {
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
