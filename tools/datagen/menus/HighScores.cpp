// The high-score screen: its title, the table frame with column heads and ranks, and the
// three buttons. The game writes the names and scores into the table's columns.
#include "datagen/menus/MenuPictures.h"

#include "datagen/menus/Layout.h"

#include "datagen/common/Plates.h"
#include "datagen/common/Text.h"

#include <cmath>
#include <string>

namespace vorlane::datagen {

// The table's geometry in its own picture.
namespace hs {
using namespace layout;
constexpr int kWidth = kTableWidth, kHeight = kTableHeight;
constexpr double kRankX = kRankCentreX - kTableX, kNameX = kNameCentreX - kTableX,
                 kScoreX = kScoreHeadX - kTableX;
constexpr double kNameLeft = kNameColumnLeft - kTableX, kNameRight = kNameColumnRight - kTableX;
constexpr double kFirstRowY = kNameRowY(1) - kTableY, kRowPitch = 36, kRowHalf = 16;
} // namespace hs

namespace {

void DrawTable(cairo_t* cr) {
    using namespace hs;
    DrawFramePanel(cr, 0, 0, kWidth, kHeight, 18, 4);
    // Row bands, every other one lighter, the top three tinted by their medal.
    const uint32_t medals[3] = {0xF2C14E, 0xC9D3DE, 0xD08A4A};
    for (int i = 0; i < 10; ++i) {
        // Between the name's centre and the score's, which stands 4 pixels higher.
        const double cy = kFirstRowY + kRowPitch * i - 2;
        RoundedRectPath(cr, 12, cy - kRowHalf, kWidth - 24, 2 * kRowHalf, 5);
        if (i < 3)
            SetLinear(cr, 12, 0, kWidth - 12, 0,
                      {Hex(medals[i], 0.20), Hex(medals[i], 0.07), Hex(medals[i], 0.02)});
        else
            SetColour(cr, Hex(0xA8C0E8, i % 2 ? 0.07 : 0.035));
        cairo_fill(cr);
    }
    // Column rules.
    for (double x : {kNameLeft, kNameRight}) {
        cairo_rectangle(cr, x, 12, 1, kHeight - 24);
        SetLinear(cr, 0, 12, 0, kHeight - 12, {Hex(0x9CB8E8, 0.0), Hex(0x9CB8E8, 0.25), Hex(0x9CB8E8, 0.0)});
        cairo_fill(cr);
    }
    // Column heads.
    CaptionStyle head;
    head.top = Hex(0xFFC070);
    head.bottom = Hex(0xFF7A1E);
    head.rim = Hex(0x1A0600, 0.9);
    head.rimWidth = 1;
    head.shadowOffset = 1;
    head.trackingEm = 0.2;
    DrawCaption(cr, "RANK", kRankX, 21, 17, head);
    DrawCaption(cr, "NAME", kNameX, 21, 17, head);
    DrawCaption(cr, "SCORE", kScoreX, 21, 17, head);
    cairo_rectangle(cr, 20, 37, kWidth - 40, 1.2);
    SetLinear(cr, 20, 0, kWidth - 20, 0, {Hex(0xFF7A1E, 0.0), Hex(0xFF7A1E, 0.8), Hex(0xFF7A1E, 0.0)});
    cairo_fill(cr);

    // Ranks: medals for the first three, steel numbers below.
    for (int i = 0; i < 10; ++i) {
        const double cy = kFirstRowY + kRowPitch * i - 2;
        const std::string rank = std::to_string(i + 1);
        if (i < 3) {
            const Colour m = Hex(medals[i]);
            cairo_new_path(cr);
            cairo_arc(cr, kRankX, cy, 13, 0, 2 * M_PI);
            ShadowOfPath(cr, 0, 1.5, 2, Hex(0x000000, 0.7));
            SetLinear(cr, 0, cy - 13, 0, cy + 13, {Lighter(m, 0.5), m, Darker(m, 0.35)});
            cairo_fill_preserve(cr);
            cairo_set_line_width(cr, 1.2);
            SetColour(cr, Darker(m, 0.6));
            cairo_stroke(cr);
            CaptionStyle onMedal;
            onMedal.top = Hex(0x2A1A08);
            onMedal.bottom = Hex(0x140C04);
            onMedal.rimWidth = 0;
            onMedal.shadow = Hex(0xFFFFFF, 0.45);
            onMedal.shadowOffset = 1;
            onMedal.shadowBlur = 1;
            onMedal.trackingEm = 0;
            DrawCaption(cr, rank, kRankX, cy, 18, onMedal);
        } else {
            CaptionStyle steel;
            steel.top = Hex(0xE4ECF6);
            steel.bottom = Hex(0x9AAAC0);
            steel.rimWidth = 1;
            steel.trackingEm = 0;
            DrawCaption(cr, rank, kRankX, cy, 18, steel);
        }
    }
}

} // namespace

void DrawHighScorePictures(std::vector<GeneratedPicture>& out) {
    out.push_back(DrawPicture("HSCaption", 400, 80, [](cairo_t* cr) {
        // The title in the same white as the game's own screen titles.
        CaptionStyle title;
        title.top = Hex(0xFFFFFF);
        title.bottom = Hex(0xE2E8F0);
        title.rimWidth = 0;
        title.shadow = Hex(0x000000, 0.8);
        title.shadowOffset = 3;
        title.shadowBlur = 4;
        title.trackingEm = 0.02;
        const double size = FitTextSize(cr, "HIGH SCORES", 384, 60, 80, title.trackingEm);
        DrawCaption(cr, "HIGH SCORES", 200, 38, size, title);
    }));
    out.push_back(DrawPicture("HSTable", hs::kWidth, hs::kHeight, DrawTable));
    const struct {
        const char* name;
        const char* text;
    } buttons[] = {{"HS_Clear", "CLEAR"}, {"HS_View", "VIEW ONLINE"}, {"HS_Back", "BACK"}};
    for (const auto& b : buttons)
        out.push_back(DrawPatterns(b.name, 250, 80, 2, [&](cairo_t* cr, int p) {
            DrawLabelledPlate(cr, 10, 12, 230, 56, p == 0 ? Look::Highlight : Look::Normal, {b.text}, 32, 13);
        }));
}

} // namespace vorlane::datagen
