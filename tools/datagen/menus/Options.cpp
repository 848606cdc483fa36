// The options screen: the row highlights, the pictures of each option's state, the light
// field of the country line with its cursor, and the back button.
#include "datagen/menus/MenuPictures.h"

#include "datagen/menus/Layout.h"

#include "datagen/common/Plates.h"
#include "datagen/common/Text.h"

#include <algorithm>
#include <string>

namespace vorlane::datagen {
namespace {

// A translucent warm bar over an option row: it lies above the row's state picture, so
// it tints rather than covers. An optional hole (x, y, w, h) stays clear, ringed with light.
void DrawRowHighlight(cairo_t* cr, double w, double h, const double* hole) {
    const double r = 10;
    cairo_save(cr);
    RoundedRectPath(cr, 1, 3, w - 2, h - 6, r);
    if (hole) {
        cairo_rectangle(cr, hole[0] + hole[2], hole[1], -hole[2], hole[3]); // opposite winding: a hole
    }
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, w, 0);
    AddStop(fill, 0.0, Hex(0xFF6A1A, 0.26));
    AddStop(fill, 0.45, Hex(0xE8461A, 0.16));
    AddStop(fill, 1.0, Hex(0xB02A10, 0.04));
    SetSourceAndRelease(cr, fill);
    cairo_fill(cr);
    // Glowing rules along the top and bottom.
    for (double y : {3.0, h - 4.5}) {
        cairo_rectangle(cr, r, y, w - 2 * r, 1.5);
        SetLinear(cr, 0, 0, w, 0, {Hex(0xFFC070, 0.95), Hex(0xFF7A1E, 0.6), Hex(0xFF5A14, 0.0)});
        cairo_fill(cr);
    }
    if (hole) {
        PaintBlurred(
            cr,
            [&](cairo_t* m) {
                cairo_rectangle(m, hole[0] - 1, hole[1] - 1, hole[2] + 2, hole[3] + 2);
                cairo_set_line_width(m, 3);
                cairo_stroke(m);
            },
            0, 0, 5, Hex(0xFF7A1E, 0.95), 2);
    }
    cairo_restore(cr);
}

// "LABEL: VALUE" left-aligned and vertically centred, the value in warm orange.
void DrawStateText(cairo_t* cr, double w, double h, const std::string& label, const std::string& value) {
    const double tracking = 0.04;
    double size = 34;
    const std::string whole = label + " " + value;
    size = FitTextSize(cr, whole, w - 10, h - 8, size, tracking);
    UseDisplayFont(cr, size);
    const double capHeight = MeasureInk(cr, "H").height;
    const double baseline = h / 2 + capHeight / 2;
    const TextInk labelInk = MeasureInk(cr, label + " ", tracking * size);

    CaptionStyle steel;
    steel.top = Hex(0xFFFFFF);
    steel.bottom = Hex(0xB8C6D8);
    steel.trackingEm = tracking;
    steel.rimWidth = 1.2;
    CaptionStyle warm = steel;
    warm.top = Hex(0xFFD27A);
    warm.bottom = Hex(0xFF6A1A);
    warm.rim = Hex(0x2A0800, 0.95);
    // DrawCaption centres the ink; place each part by its own ink box on the baseline.
    auto place = [&](const std::string& text, double left, const CaptionStyle& style) {
        UseDisplayFont(cr, size);
        const TextInk ink = MeasureInk(cr, text, tracking * size);
        DrawCaption(cr, text, left + ink.x + ink.width / 2, baseline + ink.y + ink.height / 2, size, style);
    };
    place(label, 4, steel);
    place(value, 4 + labelInk.advance + tracking * size, warm);
}

void DrawCountryField(cairo_t* cr, double w, double h) {
    RoundedRectPath(cr, 1, 1, w - 2, h - 3, 6);
    SetLinear(cr, 0, 0, 0, h, {Hex(0x8C9AAE), Hex(0x3A4556)});
    cairo_fill(cr);
    RoundedRectPath(cr, 3.5, 3.5, w - 7, h - 8, 4);
    SetLinear(cr, 0, 3, 0, h - 4, {Hex(0xD3DBE6), Hex(0xF2F5F9), Hex(0xFFFFFF)});
    cairo_fill_preserve(cr);
    // Inner shadow along the top edge: the field is sunk into the steel.
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_set_line_width(cr, 4);
    SetLinear(cr, 0, 3, 0, 12, {Hex(0x1A2230, 0.45), Hex(0x1A2230, 0.0)});
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
}

} // namespace

void DrawOptionsPictures(std::vector<GeneratedPicture>& out) {
    // "Null": the normal look of the option rows: nothing, one colour-key pixel.
    GeneratedPicture null;
    null.name = "Null";
    null.image = RgbaImage(1, 1, 0xFF000000u);
    null.kind = GeneratedPicture::Kind::Dib;
    null.transparent = true;
    out.push_back(std::move(null));

    out.push_back(DrawPicture("Opt_1", 545, 64, [](cairo_t* cr) { DrawRowHighlight(cr, 545, 64, nullptr); }));
    out.push_back(DrawPicture("Opt_2", 282, 62, [](cairo_t* cr) { DrawRowHighlight(cr, 282, 62, nullptr); }));
    out.push_back(DrawPicture("Opt_3", 282, 62, [](cairo_t* cr) { DrawRowHighlight(cr, 282, 62, nullptr); }));
    // The country row's bar keeps the text field clear.
    out.push_back(DrawPicture("Opt_4", 681, 84, [](cairo_t* cr) {
        const double hole[4] = {layout::kCountryFieldX - 118, 442 - 436, layout::kCountryFieldWidth, 52};
        DrawRowHighlight(cr, 681, 84, hole);
    }));

    const struct {
        const char* name;
        int width;
        const char* label;
        const char* value;
    } states[] = {
        {"OptFullScreen", 520, "SCREEN MODE:", "FULL SCREEN"},
        {"OptWindow", 520, "SCREEN MODE:", "WINDOW"},
        {"OptMusicOn", 270, "MUSIC:", "ON"},
        {"OptMusicOff", 270, "MUSIC:", "OFF"},
        {"OptSoundOn", 270, "SOUND:", "ON"},
        {"OptSoundOff", 270, "SOUND:", "OFF"},
    };
    for (const auto& s : states)
        out.push_back(DrawPicture(s.name, s.width, 50,
                                  [&](cairo_t* cr) { DrawStateText(cr, s.width, 50, s.label, s.value); }));

    // Wide enough for the country line's full 345 pixels from x 380.
    out.push_back(DrawPicture("CountryEditBg", layout::kCountryFieldWidth, 52,
                              [](cairo_t* cr) { DrawCountryField(cr, layout::kCountryFieldWidth, 52); }));
    // The text cursor under the country line: dark, on the light field.
    out.push_back(DrawPicture("Cursor", 16, 4, [](cairo_t* cr) {
        cairo_rectangle(cr, 0, 0, 16, 4);
        SetLinear(cr, 0, 0, 0, 4, {Hex(0x3A1A08), Hex(0x101010)});
        cairo_fill(cr);
    }));
    out.push_back(DrawPatterns("Opt_Bk", 110, 60, 2, [](cairo_t* cr, int p) {
        DrawLabelledPlate(cr, 8, 8, 94, 44, p == 0 ? Look::Highlight : Look::Normal, {"BACK"}, 28, 10);
    }));
}

} // namespace vorlane::datagen
