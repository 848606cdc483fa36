#pragma once
// Text baked into pictures: the game's condensed display face (Roboto Condensed Bold),
// measured and laid out by glyphs so that letter spacing can be opened up for captions.
#include "datagen/common/Paint.h"

#include <cairo.h>

#include <string>

namespace vorlane::datagen {

// The display face, found through fontconfig; throws when the family is not installed
// (the machine's setup installs it). The face lives for the whole run.
cairo_font_face_t* DisplayFace();
// Roboto Condensed Bold or Regular (the game's own text uses both, by text style).
cairo_font_face_t* CondensedFace(bool bold);

// Selects the display face at a pixel size (em size) with unhinted, antialiased outlines.
void UseDisplayFont(cairo_t* cr, double pixelSize);
void UseCondensedFont(cairo_t* cr, double pixelSize, bool bold);

// Ink box of a text in the current font, with `tracking` pixels added after each glyph
// but the last. x and y are relative to the text origin (on the baseline).
struct TextInk {
    double x = 0, y = 0, width = 0, height = 0;
    double advance = 0; // pen advance of the whole text
};
TextInk MeasureInk(cairo_t* cr, const std::string& text, double tracking = 0);

// Largest pixel size up to maxSize at which the text's ink fits maxWidth x maxHeight.
double FitTextSize(cairo_t* cr, const std::string& text, double maxWidth, double maxHeight, double maxSize,
                   double trackingEm = 0);

// Appends the glyph outlines of the text to the current path, origin on the baseline.
void GlyphPath(cairo_t* cr, const std::string& text, double x, double y, double tracking = 0);

// Appends the outlines with the ink's centre on (cx, cy).
void CentredGlyphPath(cairo_t* cr, const std::string& text, double cx, double cy, double tracking = 0);

// A caption in the menus' look: outlines filled with a top-to-bottom gradient, a dark rim
// and a soft drop shadow; `glow` adds a blurred halo of that colour behind (alpha 0: none).
struct CaptionStyle {
    Colour top = Hex(0xFFFFFF);
    Colour bottom = Hex(0xC9D3DF);
    Colour rim = Hex(0x0A0E14, 0.9);
    double rimWidth = 1.5;
    Colour shadow = Hex(0x000000, 0.75);
    double shadowOffset = 2;
    double shadowBlur = 3;
    Colour glow = Hex(0x000000, 0);
    double glowBlur = 8;
    int glowStrength = 1;
    double trackingEm = 0.04; // extra letter spacing, fraction of the size
};
void DrawCaption(cairo_t* cr, const std::string& text, double cx, double cy, double pixelSize,
                 const CaptionStyle& style);

} // namespace vorlane::datagen
