#include "datagen/common/Text.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace vorlane::datagen {
namespace {

cairo_font_face_t* LoadCondensedFace(const char* style) {
    const std::string name = std::string("Roboto Condensed:style=") + style;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* family = nullptr;
    FcChar8* found = nullptr;
    if (!match || FcPatternGetString(match, FC_FAMILY, 0, &family) != FcResultMatch ||
        std::string(reinterpret_cast<const char*>(family)) != "Roboto Condensed" ||
        FcPatternGetString(match, FC_STYLE, 0, &found) != FcResultMatch ||
        std::string(reinterpret_cast<const char*>(found)) != style) {
        if (match) FcPatternDestroy(match);
        throw std::runtime_error(std::string("font \"Roboto Condensed\" ") + style +
                                 " is not installed (Debian fonts-roboto-unhinted)");
    }
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
    return face;
}

// Glyphs of the text in the current font, with tracking added between them.
std::vector<cairo_glyph_t> Glyphs(cairo_t* cr, const std::string& text, double x, double y, double tracking) {
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(font, x, y, text.c_str(), int(text.size()), &glyphs, &count, nullptr,
                                         nullptr, nullptr) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot lay out the text \"" + text + "\"");
    std::vector<cairo_glyph_t> out(glyphs, glyphs + count);
    cairo_glyph_free(glyphs);
    for (size_t i = 0; i < out.size(); ++i)
        out[i].x += tracking * double(i);
    return out;
}

} // namespace

cairo_font_face_t* CondensedFace(bool bold) {
    static cairo_font_face_t* const boldFace = LoadCondensedFace("Bold");
    static cairo_font_face_t* const regularFace = LoadCondensedFace("Regular");
    return bold ? boldFace : regularFace;
}

cairo_font_face_t* DisplayFace() {
    return CondensedFace(true);
}

void UseDisplayFont(cairo_t* cr, double pixelSize) {
    UseCondensedFont(cr, pixelSize, true);
}

void UseCondensedFont(cairo_t* cr, double pixelSize, bool bold) {
    cairo_set_font_face(cr, CondensedFace(bold));
    cairo_set_font_size(cr, pixelSize);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

TextInk MeasureInk(cairo_t* cr, const std::string& text, double tracking) {
    TextInk ink;
    if (text.empty()) return ink;
    const std::vector<cairo_glyph_t> glyphs = Glyphs(cr, text, 0, 0, tracking);
    cairo_text_extents_t e;
    cairo_glyph_extents(cr, glyphs.data(), int(glyphs.size()), &e);
    ink.x = e.x_bearing;
    ink.y = e.y_bearing;
    ink.width = e.width;
    ink.height = e.height;
    ink.advance = e.x_advance;
    return ink;
}

double FitTextSize(cairo_t* cr, const std::string& text, double maxWidth, double maxHeight, double maxSize,
                   double trackingEm) {
    double size = maxSize;
    while (size > 4) {
        UseDisplayFont(cr, size);
        const TextInk ink = MeasureInk(cr, text, trackingEm * size);
        if (ink.width <= maxWidth && ink.height <= maxHeight) break;
        size -= 0.5;
    }
    UseDisplayFont(cr, size);
    return size;
}

void GlyphPath(cairo_t* cr, const std::string& text, double x, double y, double tracking) {
    if (text.empty()) return;
    const std::vector<cairo_glyph_t> glyphs = Glyphs(cr, text, x, y, tracking);
    cairo_glyph_path(cr, glyphs.data(), int(glyphs.size()));
}

void CentredGlyphPath(cairo_t* cr, const std::string& text, double cx, double cy, double tracking) {
    const TextInk ink = MeasureInk(cr, text, tracking);
    GlyphPath(cr, text, cx - ink.x - ink.width / 2, cy - ink.y - ink.height / 2, tracking);
}

void DrawCaption(cairo_t* cr, const std::string& text, double cx, double cy, double pixelSize,
                 const CaptionStyle& style) {
    UseDisplayFont(cr, pixelSize);
    const double tracking = style.trackingEm * pixelSize;
    const TextInk ink = MeasureInk(cr, text, tracking);
    auto path = [&](cairo_t* c) {
        UseDisplayFont(c, pixelSize);
        cairo_new_path(c);
        CentredGlyphPath(c, text, cx, cy, tracking);
    };
    if (style.glow.a > 0)
        PaintBlurred(
            cr,
            [&](cairo_t* m) {
                path(m);
                cairo_fill(m);
            },
            0, 0, style.glowBlur, style.glow, style.glowStrength);
    if (style.shadow.a > 0)
        PaintBlurred(
            cr,
            [&](cairo_t* m) {
                path(m);
                cairo_fill_preserve(m);
                cairo_set_line_width(m, style.rimWidth * 2);
                cairo_stroke(m);
            },
            style.shadowOffset, style.shadowOffset, style.shadowBlur, style.shadow);
    path(cr);
    if (style.rimWidth > 0) {
        SetColour(cr, style.rim);
        cairo_set_line_width(cr, style.rimWidth * 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    const double top = cy - ink.height / 2, bottom = cy + ink.height / 2;
    SetLinear(cr, 0, top, 0, bottom, {style.top, style.bottom});
    cairo_fill(cr);
}

} // namespace vorlane::datagen
