// The dialog windows: the question window with its captions and answer buttons, and the
// name-entry window with its send check box and cursor.
#include "datagen/menus/MenuPictures.h"

#include "datagen/common/Plates.h"
#include "datagen/common/Text.h"

#include <cmath>
#include <string>

namespace vorlane::datagen {
namespace {

CaptionStyle WarmCaption() {
    CaptionStyle s;
    s.top = Hex(0xFFF2D0);
    s.bottom = Hex(0xFF9A3A);
    s.rim = Hex(0x2A0800, 0.95);
    s.rimWidth = 1.2;
    s.shadowOffset = 1.5;
    s.shadowBlur = 2;
    s.trackingEm = 0.03;
    return s;
}

CaptionStyle SteelCaption() {
    CaptionStyle s;
    s.top = Hex(0xF2F6FB);
    s.bottom = Hex(0xA9B8CC);
    s.rimWidth = 1;
    s.shadowOffset = 1.5;
    s.trackingEm = 0.08;
    return s;
}

// Caption lines filling a transparent picture, one size for all lines.
void DrawQuestion(cairo_t* cr, double w, double h, const std::vector<std::string>& lines) {
    const CaptionStyle style = WarmCaption();
    const double n = double(lines.size());
    double size = 40;
    for (const std::string& line : lines)
        size = std::min(size, FitTextSize(cr, line, w - 12, (h - 10) / (n * 1.2), 40, style.trackingEm));
    UseDisplayFont(cr, size);
    const double cap = MeasureInk(cr, "H").height;
    const double pitch = cap * 1.4;
    const double firstCentre = h / 2 - pitch * (n - 1) / 2;
    for (size_t i = 0; i < lines.size(); ++i) {
        UseDisplayFont(cr, size);
        const TextInk ink = MeasureInk(cr, lines[i], style.trackingEm * size);
        const double baseline = firstCentre + pitch * double(i) + cap / 2;
        DrawCaption(cr, lines[i], w / 2, baseline + ink.y + ink.height / 2, size, style);
    }
}

void DrawQuestionWindow(cairo_t* cr) {
    DrawFramePanel(cr, 0, 0, 320, 130, 16, 5);
    // A warm rule under the caption area.
    cairo_rectangle(cr, 30, 55, 260, 1.2);
    SetLinear(cr, 30, 0, 290, 0, {Hex(0xFF7A1E, 0.0), Hex(0xFF7A1E, 0.7), Hex(0xFF7A1E, 0.0)});
    cairo_fill(cr);
}

void DrawNameEntryWindow(cairo_t* cr) {
    constexpr double W = 442, H = 305;
    DrawFramePanel(cr, 0, 0, W, H, 20, 6);
    CaptionStyle title = WarmCaption();
    title.trackingEm = 0.1;
    DrawCaption(cr, "NEW HIGH SCORE", W / 2, 31, 30, title);
    cairo_rectangle(cr, 40, 52, W - 80, 1.2);
    SetLinear(cr, 40, 0, W - 40, 0, {Hex(0xFF7A1E, 0.0), Hex(0xFF7A1E, 0.8), Hex(0xFF7A1E, 0.0)});
    cairo_fill(cr);

    // Sunken boxes: the score (centred on 348, 217 on the screen) and the name (348, 345).
    auto sunken = [cr](double x, double y, double w, double h) {
        RoundedRectPath(cr, x, y, w, h, 6);
        SetLinear(cr, 0, y, 0, y + h, {Hex(0x03060C, 0.95), Hex(0x0C1628, 0.95)});
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 1.2);
        SetLinear(cr, 0, y, 0, y + h, {Hex(0x000000, 0.9), Hex(0x8FA6C8, 0.6)});
        cairo_stroke(cr);
    };
    sunken(121, 61, 200, 42);
    DrawCaption(cr, "ENTER YOUR NAME", W / 2, 150, 20, SteelCaption());
    sunken(51, 183, 340, 48);

    // The send box stands at (161, 369) on the screen; its label to the right of it.
    CaptionStyle label = SteelCaption();
    label.trackingEm = 0.05;
    UseDisplayFont(cr, 20);
    const TextInk ink = MeasureInk(cr, "SEND RESULTS ONLINE", 20 * label.trackingEm);
    DrawCaption(cr, "SEND RESULTS ONLINE", 96 + ink.width / 2, 257, 20, label);
}

void DrawCheckBox(cairo_t* cr, bool ticked) {
    const double x = 10, y = 5, s = 34;
    RoundedRectPath(cr, x, y, s, s, 5);
    ShadowOfPath(cr, 0, 2, 3, Hex(0x000000, 0.7));
    SetLinear(cr, 0, y, 0, y + s, {Hex(0x9AA9BE), Hex(0x3A4556)});
    cairo_fill(cr);
    RoundedRectPath(cr, x + 3, y + 3, s - 6, s - 6, 3);
    SetLinear(cr, 0, y, 0, y + s, {Hex(0x03060C), Hex(0x142038)});
    cairo_fill(cr);
    if (!ticked) return;
    auto tick = [&](cairo_t* p) {
        cairo_new_path(p);
        cairo_move_to(p, x + 7, y + 17);
        cairo_line_to(p, x + 14, y + 25);
        cairo_line_to(p, x + 29, y + 6);
    };
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    PaintBlurred(
        cr,
        [&](cairo_t* m) {
            tick(m);
            cairo_set_line_cap(m, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_width(m, 7);
            cairo_stroke(m);
        },
        0, 0, 4, Hex(0xFF6A1A, 0.9), 2);
    tick(cr);
    cairo_set_line_width(cr, 6.5);
    SetColour(cr, Hex(0x3A0A04));
    cairo_stroke(cr);
    tick(cr);
    cairo_set_line_width(cr, 4);
    SetLinear(cr, 0, y + 6, 0, y + 25, {Hex(0xFFF0C0), Hex(0xFF8A2A)});
    cairo_stroke(cr);
}

} // namespace

void DrawDialogPictures(std::vector<GeneratedPicture>& out) {
    out.push_back(DrawPicture("Window", 320, 130, DrawQuestionWindow));
    // The captions sit at the window's top, centred on its centre line.
    out.push_back(
        DrawPicture("Win_EG", 106, 42, [](cairo_t* cr) { DrawQuestion(cr, 106, 42, {"EXIT GAME?"}); }));
    out.push_back(DrawPicture("Win_ExitToMenu", 144, 42,
                              [](cairo_t* cr) { DrawQuestion(cr, 144, 42, {"EXIT TO MENU?"}); }));
    out.push_back(DrawPicture("Win_ClearHS", 160, 56, [](cairo_t* cr) {
        DrawQuestion(cr, 160, 56, {"CLEAR", "HIGH SCORES?"});
    }));
    auto lookOf = [](int pattern) { return pattern == 0 ? Look::Highlight : Look::Normal; };
    out.push_back(DrawPatterns("Yes", 85, 45, 2, [&](cairo_t* cr, int p) {
        DrawLabelledPlate(cr, 7, 7, 71, 31, lookOf(p), {"YES"}, 24, 8);
    }));
    out.push_back(DrawPatterns("No", 85, 45, 2, [&](cairo_t* cr, int p) {
        DrawLabelledPlate(cr, 7, 7, 71, 31, lookOf(p), {"NO"}, 24, 8);
    }));
    out.push_back(DrawPicture("SendTable", 442, 305, DrawNameEntryWindow));
    // Pattern 0: empty, pattern 1: ticked.
    out.push_back(DrawPatterns("SendOk", 54, 45, 2, [](cairo_t* cr, int p) { DrawCheckBox(cr, p == 1); }));
    out.push_back(DrawPicture("Cursor2", 16, 4, [](cairo_t* cr) {
        cairo_rectangle(cr, 0, 0, 16, 4);
        SetLinear(cr, 0, 0, 0, 4, {Hex(0xFFF2D0), Hex(0xFF8A2A)});
        cairo_fill(cr);
    }));
}

} // namespace vorlane::datagen
