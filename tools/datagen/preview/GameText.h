#pragma once
// The game's own text, as the screens draw it over the pictures: the numbered text styles
// and their metrics, so that previews and fit checks see what the player will see.
// The game asks for "Beast Impacted", a heavy condensed face; where it is missing (as on a
// stock system) the substitute is Roboto Condensed Bold, at points * 96 / 72 pixels.
#include <cairo.h>

#include <cstdint>
#include <string>

namespace vorlane::datagen {

struct GameTextStyle {
    int number;
    int points;
    bool bold;
    uint32_t rgb;
};

// Styles 2, 4, 5, 9, 10, 11, 13, 15, 17, 19, 20 and 21 (the race's LCD style 18 is not
// drawn on menu screens). Throws std::out_of_range for another number.
const GameTextStyle& TextStyle(int number);

double StylePixelSize(const GameTextStyle& style);

// Width and height of the text in the style, as the game's text drawing reports them.
struct GameTextSize {
    int width = 0;
    int height = 0;
};
GameTextSize MeasureGameText(cairo_t* cr, int style, const std::string& text);

// Draws like the game's DrawText: top-left at (x, y), or centred on x and/or y with the
// half sizes truncated.
void DrawGameText(cairo_t* cr, int style, const std::string& text, int x, int y, bool centreX, bool centreY);

} // namespace vorlane::datagen
