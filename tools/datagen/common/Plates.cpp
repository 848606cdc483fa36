#include "datagen/common/Plates.h"

#include "datagen/common/Text.h"

#include <algorithm>
#include <cmath>

namespace vorlane::datagen {

LookColours ColoursOf(Look look) {
    LookColours c;
    if (look == Look::Highlight) {
        c.faceTop = Hex(0xFFC46A);
        c.faceMid = Hex(0xF2661C);
        c.faceBottom = Hex(0xA3200E);
        c.edge = Hex(0x3A0A04);
        c.bevelLight = Hex(0xFFF0C8, 0.85);
        c.bevelDark = Hex(0x5A0E05, 0.7);
        c.accent = Hex(0xFFE9A8);
        c.textTop = Hex(0xFFFFFF);
        c.textBottom = Hex(0xFFF0D6);
        c.textRim = Hex(0x4A0C04, 0.95);
        c.glow = Hex(0xFF5A14, 0.9);
    } else {
        c.faceTop = Hex(0x7D8DA2);
        c.faceMid = Hex(0x3C4859);
        c.faceBottom = Hex(0x1B222D);
        c.edge = Hex(0x05080D);
        c.bevelLight = Hex(0xD8E4F2, 0.55);
        c.bevelDark = Hex(0x000000, 0.55);
        c.accent = Hex(0x6FB4FF, 0.9);
        c.textTop = Hex(0xFFFFFF);
        c.textBottom = Hex(0xBFCBDA);
        c.textRim = Hex(0x060A10, 0.95);
        c.glow = look == Look::Intro ? Hex(0xFF7A2A, 0.45) : Hex(0x000000, 0);
    }
    return c;
}

namespace {

// Room between the plate and the nearest border of the picture, in device pixels.
double RoomAround(cairo_t* cr, double x, double y, double w, double h) {
    double x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    cairo_surface_t* target = cairo_get_target(cr);
    return std::min({std::min(x0, x1), std::min(y0, y1),
                     cairo_image_surface_get_width(target) - std::max(x0, x1),
                     cairo_image_surface_get_height(target) - std::max(y0, y1)});
}

// A blur spreads about 1.8 times its radius: the halo and the shadow may spread only as
// far as the picture leaves room, or they would end in a hard edge at its border.
double BlurThatFits(double room, double wanted) {
    return std::clamp(room / 1.8, 1.0, wanted);
}

} // namespace

void DrawPlate(cairo_t* cr, double x, double y, double w, double h, Look look, double cut) {
    const LookColours c = ColoursOf(look);
    const double room = RoomAround(cr, x, y, w, h);
    cairo_save(cr);
    // Halo (highlighted and intro looks) or a plain soft shadow beneath.
    PlatePath(cr, x, y, w, h, cut);
    if (c.glow.a > 0) {
        cairo_path_t* path = cairo_copy_path(cr);
        PaintBlurred(
            cr,
            [path](cairo_t* m) {
                cairo_append_path(m, path);
                cairo_set_line_width(m, 4);
                cairo_fill_preserve(m);
                cairo_stroke(m);
            },
            0, 0, BlurThatFits(room - 2.5, look == Look::Highlight ? 9 : 6), c.glow,
            look == Look::Highlight ? 2 : 1);
        cairo_path_destroy(path);
    } else {
        const double drop = std::min(3.0, room / 3);
        ShadowOfPath(cr, 0, drop, BlurThatFits(room - drop - 0.5, 5), Hex(0x000000, 0.7));
    }

    // Face: a vertical gradient with a bright band above the middle, like polished metal.
    PlatePath(cr, x, y, w, h, cut);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(face, 0.0, c.faceTop);
    AddStop(face, 0.45, Mix(c.faceTop, c.faceMid, 0.75));
    AddStop(face, 0.55, c.faceMid);
    AddStop(face, 1.0, c.faceBottom);
    SetSourceAndRelease(cr, face);
    cairo_fill_preserve(cr);

    // A diagonal sheen across the upper half.
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_pattern_t* sheen = cairo_pattern_create_linear(x, y, x + w * 0.6, y + h);
    AddStop(sheen, 0.0, Colour{1, 1, 1, 0.20});
    AddStop(sheen, 0.5, Colour{1, 1, 1, 0.04});
    AddStop(sheen, 1.0, Colour{1, 1, 1, 0.0});
    SetSourceAndRelease(cr, sheen);
    cairo_paint(cr);
    // Racing stripes: two slanted bars at the left end and a thin line along the bottom.
    const double stripeW = std::max(3.0, h * 0.08);
    for (int i = 0; i < 2; ++i) {
        const double sx = x + cut + 4 + i * stripeW * 2.2;
        cairo_new_path(cr);
        cairo_move_to(cr, sx, y + h);
        cairo_line_to(cr, sx + h * 0.45, y);
        cairo_line_to(cr, sx + h * 0.45 + stripeW, y);
        cairo_line_to(cr, sx + stripeW, y + h);
        cairo_close_path(cr);
        SetColour(cr, WithAlpha(c.accent, c.accent.a * (i == 0 ? 0.35 : 0.2)));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, x, y + h - 4.5, w, 1.6);
    SetColour(cr, WithAlpha(c.accent, c.accent.a * 0.75));
    cairo_fill(cr);
    cairo_restore(cr);

    // Bevel: light top-left inner edge, dark bottom-right inner edge, dark outer rim.
    const double inset = 2.0;
    PlatePath(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, std::max(0.0, cut - inset * 0.6));
    cairo_set_line_width(cr, 1.6);
    cairo_pattern_t* bevel = cairo_pattern_create_linear(x, y, x + w * 0.25, y + h * 1.2);
    AddStop(bevel, 0.0, c.bevelLight);
    AddStop(bevel, 0.5, WithAlpha(c.bevelLight, c.bevelLight.a * 0.2));
    AddStop(bevel, 1.0, c.bevelDark);
    SetSourceAndRelease(cr, bevel);
    cairo_stroke(cr);

    PlatePath(cr, x + 0.75, y + 0.75, w - 1.5, h - 1.5, cut);
    cairo_set_line_width(cr, 1.5);
    SetColour(cr, c.edge);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawPlateText(cairo_t* cr, double x, double y, double w, double h, Look look,
                   const std::vector<std::string>& lines, double maxTextSize) {
    if (lines.empty()) return;
    const LookColours c = ColoursOf(look);
    const double n = double(lines.size());
    const double lineGap = 0.12;
    // One size for all lines: the largest at which every line fits its share of the box.
    double size = maxTextSize;
    const double trackingEm = 0.05;
    for (const std::string& line : lines)
        size = std::min(size,
                        FitTextSize(cr, line, w, h / (n + (n - 1) * lineGap) * 1.0, maxTextSize, trackingEm));
    // Cap height of the face as the line's height, so that the lines sit evenly.
    UseDisplayFont(cr, size);
    const double capHeight = MeasureInk(cr, "H").height;
    const double total = capHeight * n + capHeight * 0.45 * (n - 1);
    CaptionStyle style;
    style.top = c.textTop;
    style.bottom = c.textBottom;
    style.rim = c.textRim;
    style.rimWidth = std::max(1.0, size * 0.045);
    style.shadowOffset = std::max(1.5, size * 0.05);
    style.shadowBlur = std::max(2.0, size * 0.08);
    style.trackingEm = trackingEm;
    if (look == Look::Highlight) {
        style.glow = Hex(0xFFF3C0, 0.55);
        style.glowBlur = size * 0.25;
        style.shadow = Hex(0x400800, 0.8);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        // Centre each line on its cap height, not its ink, so lines with a descender or a
        // question mark stand on the same baseline as the others.
        const double capCentre = y + (h - total) / 2 + double(i) * capHeight * 1.45 + capHeight / 2;
        UseDisplayFont(cr, size);
        const TextInk ink = MeasureInk(cr, lines[i], trackingEm * size);
        const double inkCentre = capCentre + (ink.y + ink.height / 2) - (-capHeight / 2);
        DrawCaption(cr, lines[i], x + w / 2, inkCentre, size, style);
    }
}

void DrawLabelledPlate(cairo_t* cr, double x, double y, double w, double h, Look look,
                       const std::vector<std::string>& lines, double maxTextSize, double cut) {
    DrawPlate(cr, x, y, w, h, look, cut);
    const double padX = std::max(cut + 6, w * 0.08), padY = h * 0.2;
    DrawPlateText(cr, x + padX, y + padY, w - 2 * padX, h - 2 * padY, look, lines, maxTextSize);
}

void DrawFramePanel(cairo_t* cr, double x, double y, double w, double h, double cut, double rim) {
    cairo_save(cr);
    PlatePath(cr, x, y, w, h, cut);
    ShadowOfPath(cr, 0, 5, 8, Hex(0x000000, 0.75));
    // Steel rim.
    SetLinear(cr, 0, y, 0, y + h, {Hex(0x8595AA), Hex(0x3A4656), Hex(0x202834), Hex(0x4A5768)});
    cairo_fill(cr);
    // Dark glass inside, slightly blue, lighter toward the top.
    PlatePath(cr, x + rim, y + rim, w - 2 * rim, h - 2 * rim, std::max(0.0, cut - rim * 0.6));
    SetLinear(cr, 0, y + rim, 0, y + h - rim,
              {Hex(0x1A2A44, 0.96), Hex(0x0B1324, 0.97), Hex(0x060A14, 0.98)});
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.5);
    SetColour(cr, Hex(0x000000, 0.8));
    cairo_stroke(cr);
    // Bright inner edge of the rim.
    PlatePath(cr, x + 1.5, y + 1.5, w - 3, h - 3, cut);
    cairo_set_line_width(cr, 1.2);
    SetLinear(cr, x, y, x + w * 0.3, y + h, {Hex(0xE8F0FA, 0.7), Hex(0xE8F0FA, 0.1), Hex(0x000000, 0.4)});
    cairo_stroke(cr);
    PlatePath(cr, x + 0.5, y + 0.5, w - 1, h - 1, cut);
    cairo_set_line_width(cr, 1);
    SetColour(cr, Hex(0x03050A));
    cairo_stroke(cr);
    cairo_restore(cr);
}

} // namespace vorlane::datagen
