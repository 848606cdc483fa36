// The car selection: the showroom frame, the six cars large with their names, the arrows
// and the start and back buttons.
#include "datagen/menus/MenuPictures.h"

#include "datagen/common/CarPainter.h"
#include "datagen/common/CarStyles.h"
#include "datagen/common/Plates.h"
#include "datagen/common/Text.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vorlane::datagen {
namespace {

constexpr int kFrameW = 404, kFrameH = 240;
constexpr int kCarW = 338, kCarH = 170;
constexpr double kCarInFrameX = 33, kCarInFrameY = 41; // the car picture's place in the frame
constexpr double kCarCentreY = 72;                     // the car's centre line in its picture

void DrawShowroomFrame(cairo_t* cr) {
    DrawFramePanel(cr, 2, 2, kFrameW - 4, kFrameH - 6, 16, 7);
    // A lit floor under the car: an ellipse of light with a turntable ring.
    const double fx = kCarInFrameX + kCarW / 2.0, fy = kCarInFrameY + kCarCentreY + 8;
    cairo_save(cr);
    PlatePath(cr, 9, 9, kFrameW - 18, kFrameH - 20, 11);
    cairo_clip(cr);
    cairo_save(cr);
    cairo_translate(cr, fx, fy);
    cairo_scale(cr, 1.0, 0.42);
    cairo_pattern_t* light = cairo_pattern_create_radial(0, 0, 10, 0, 0, 190);
    AddStop(light, 0.0, Hex(0x9FBDEE, 0.75));
    AddStop(light, 0.78, Hex(0x4A6CA8, 0.50));
    AddStop(light, 1.0, Hex(0x0E1A33, 0.0));
    SetSourceAndRelease(cr, light);
    cairo_arc(cr, 0, 0, 190, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
    for (double r : {150.0, 160.0}) {
        cairo_save(cr);
        cairo_translate(cr, fx, fy);
        cairo_scale(cr, 1.0, 0.42);
        cairo_new_path(cr);
        cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_set_line_width(cr, 1.2);
        SetColour(cr, Hex(0x9CC0FF, r < 155 ? 0.22 : 0.12));
        cairo_stroke(cr);
    }
    // Spotlight cone from the top.
    cairo_new_path(cr);
    cairo_move_to(cr, fx - 40, 9);
    cairo_line_to(cr, fx + 40, 9);
    cairo_line_to(cr, fx + 190, fy);
    cairo_line_to(cr, fx - 190, fy);
    cairo_close_path(cr);
    SetLinear(cr, 0, 9, 0, fy, {Hex(0xBFD6FF, 0.10), Hex(0xBFD6FF, 0.0)});
    cairo_fill(cr);
    cairo_restore(cr);
    // Header.
    CaptionStyle header;
    header.top = Hex(0xDCE6F4);
    header.bottom = Hex(0x8FA2BC);
    header.trackingEm = 0.18;
    header.rimWidth = 1;
    header.shadowOffset = 1.5;
    DrawCaption(cr, "CHOOSE YOUR CAR", kFrameW / 2.0, 24, 19, header);
    // Thin orange rules either side of the header.
    for (int side : {-1, 1}) {
        const double x0 = kFrameW / 2.0 + side * 92, x1 = kFrameW / 2.0 + side * 165;
        cairo_rectangle(cr, std::min(x0, x1), 23.5, std::abs(x1 - x0), 2);
        SetLinear(cr, x0, 0, x1, 0, {Hex(0xFF7A1E, 0.9), Hex(0xFF7A1E, 0.0)});
        cairo_fill(cr);
    }
}

void DrawShowroomCar(cairo_t* cr, int car) {
    const CarStyle& style = PlayerCarStyles()[size_t(car - 1)];
    // The car lies across the picture, nose to the right, as large as fits above its name.
    const double maxLength = 268, maxWidth = 112;
    const double scale = std::min(maxLength / style.imageHeight, maxWidth / style.imageWidth);
    cairo_save(cr);
    cairo_translate(cr, kCarW / 2.0, kCarCentreY);
    cairo_rotate(cr, M_PI / 2);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -style.imageWidth / 2.0, -style.imageHeight / 2.0);
    // A quarter turn clockwise points the nose to the right and lights the car from above.
    PaintTopDownCar(cr, style, true);
    cairo_restore(cr);

    // The name on a dark band with an orange edge.
    UseDisplayFont(cr, 26);
    const TextInk ink = MeasureInk(cr, style.name, 26 * 0.12);
    const double bandW = ink.width + 56, bandH = 30, bandY = kCarH - bandH - 4;
    PlatePath(cr, kCarW / 2.0 - bandW / 2, bandY, bandW, bandH, 9);
    SetLinear(cr, 0, bandY, 0, bandY + bandH, {Hex(0x1B2536, 0.92), Hex(0x070B14, 0.92)});
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    SetColour(cr, Hex(0xFF7A1E, 0.85));
    cairo_stroke(cr);
    CaptionStyle name;
    name.trackingEm = 0.12;
    name.rimWidth = 1;
    name.shadowOffset = 1;
    name.shadowBlur = 2;
    DrawCaption(cr, style.name, kCarW / 2.0, bandY + bandH / 2, 22, name);
    // The car's number, small, at the band's left end.
    CaptionStyle number = name;
    number.top = Hex(0xFFB060);
    number.bottom = Hex(0xFF7A1E);
    number.trackingEm = 0;
    DrawCaption(cr, std::to_string(car), kCarW / 2.0 - bandW / 2 + 16, bandY + bandH / 2, 16, number);
}

// An arrow plate pointing left (-1) or right (+1).
void DrawArrow(cairo_t* cr, double w, double h, int direction, Look look) {
    const LookColours c = ColoursOf(look);
    cairo_save(cr);
    if (direction < 0) {
        cairo_translate(cr, w, 0);
        cairo_scale(cr, -1, 1);
    }
    auto arrow = [&](cairo_t* p) {
        cairo_new_path(p);
        cairo_move_to(p, 5, 6);
        cairo_line_to(p, w - 5, h / 2);
        cairo_line_to(p, 5, h - 6);
        cairo_line_to(p, 11, h / 2);
        cairo_close_path(p);
    };
    if (c.glow.a > 0) {
        PaintBlurred(
            cr,
            [&](cairo_t* m) {
                arrow(m);
                cairo_fill(m);
            },
            0, 0, 4, c.glow, 2);
    } else {
        arrow(cr);
        ShadowOfPath(cr, 1, 2, 3, Hex(0x000000, 0.8));
    }
    arrow(cr);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 6, 0, h - 6);
    AddStop(face, 0.0, c.faceTop);
    AddStop(face, 0.5, c.faceMid);
    AddStop(face, 1.0, c.faceBottom);
    SetSourceAndRelease(cr, face);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColour(cr, c.edge);
    cairo_stroke(cr);
    // Lit upper edge.
    cairo_move_to(cr, 7, 9);
    cairo_line_to(cr, w - 8, h / 2 - 0.5);
    cairo_set_line_width(cr, 1.2);
    SetColour(cr, c.bevelLight);
    cairo_stroke(cr);
    cairo_restore(cr);
}

} // namespace

void DrawCarSelectPictures(std::vector<GeneratedPicture>& out) {
    out.push_back(DrawPicture("SG_Bk", kFrameW, kFrameH, DrawShowroomFrame));
    for (int car = 1; car <= 6; ++car)
        out.push_back(DrawPicture("SG_Car" + std::to_string(car), kCarW, kCarH,
                                  [car](cairo_t* cr) { DrawShowroomCar(cr, car); }));
    // Two patterns each: 0 highlighted, 1 normal.
    auto lookOf = [](int pattern) { return pattern == 0 ? Look::Highlight : Look::Normal; };
    out.push_back(DrawPatterns("SG_Left", 34, 64, 2,
                               [&](cairo_t* cr, int p) { DrawArrow(cr, 34, 64, -1, lookOf(p)); }));
    out.push_back(DrawPatterns("SG_Right", 34, 64, 2,
                               [&](cairo_t* cr, int p) { DrawArrow(cr, 34, 64, 1, lookOf(p)); }));
    out.push_back(DrawPatterns("SG_Start", 170, 60, 2, [&](cairo_t* cr, int p) {
        DrawLabelledPlate(cr, 8, 8, 154, 44, lookOf(p), {"START"}, 30, 11);
    }));
    out.push_back(DrawPatterns("SG_Back", 170, 60, 2, [&](cairo_t* cr, int p) {
        DrawLabelledPlate(cr, 8, 8, 154, 44, lookOf(p), {"BACK"}, 30, 11);
    }));
}

} // namespace vorlane::datagen
