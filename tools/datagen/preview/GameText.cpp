#include "datagen/preview/GameText.h"

#include "datagen/common/Paint.h"
#include "datagen/common/Text.h"

#include <cmath>
#include <stdexcept>
#include <vector>

namespace vorlane::datagen {

const GameTextStyle& TextStyle(int number) {
    static const std::vector<GameTextStyle> styles = {
        {2, 16, false, 0xE6DADA},  {4, 28, true, 0x000000},   {5, 36, false, 0xF40909},
        {9, 28, false, 0xFFFFFF},  {10, 28, false, 0xFFFFFF}, {11, 26, false, 0xFFFFFF},
        {13, 27, false, 0xFFFFFF}, {15, 78, false, 0xFFFFFF}, {17, 22, false, 0xE6DADA},
        {19, 28, false, 0xFFFFFF}, {20, 13, false, 0xFFFFFF}, {21, 15, false, 0xFFFFFF},
    };
    for (const GameTextStyle& s : styles)
        if (s.number == number) return s;
    throw std::out_of_range("no text style " + std::to_string(number));
}

double StylePixelSize(const GameTextStyle& style) {
    return style.points * 96.0 / 72.0;
}

namespace {

// Every style of the menus names the heavy display face; its substitute is Roboto
// Condensed Bold whatever the style's bold flag (Bold is already the heaviest weight).
void UseStyle(cairo_t* cr, const GameTextStyle& style) {
    UseCondensedFont(cr, StylePixelSize(style), true);
}

} // namespace

GameTextSize MeasureGameText(cairo_t* cr, int number, const std::string& text) {
    const GameTextStyle& style = TextStyle(number);
    UseStyle(cr, style);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, text.c_str(), &te);
    return {int(std::ceil(te.x_advance)), int(std::ceil(fe.ascent) + std::ceil(fe.descent))};
}

void DrawGameText(cairo_t* cr, int number, const std::string& text, int x, int y, bool centreX,
                  bool centreY) {
    const GameTextStyle& style = TextStyle(number);
    const GameTextSize size = MeasureGameText(cr, number, text);
    if (centreX) x = int(std::trunc(x - size.width / 2.0));
    if (centreY) y = int(std::trunc(y - size.height / 2.0));
    UseStyle(cr, style);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    SetColour(cr, Hex(style.rgb));
    cairo_move_to(cr, x, y + std::ceil(fe.ascent));
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
}

} // namespace vorlane::datagen
