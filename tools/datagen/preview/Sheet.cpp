#include "datagen/preview/Sheet.h"

#include "datagen/common/Canvas.h"
#include "datagen/common/Paint.h"
#include "datagen/common/Picture.h"
#include "datagen/common/Text.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vorlane::datagen {
namespace {

constexpr int kSheetWidth = 1800;
constexpr int kMaxCellW = 700, kMaxCellH = 560; // items larger than this are shown reduced
constexpr int kGap = 14, kLabelH = 34, kTitleH = 44;
constexpr int kPatternGap = 4; // between the patterns of one item

// One item on the sheet. Items of several patterns show each pattern on its own, in a
// grid of `cols` columns numbered row by row like the game numbers them.
struct Cell {
    TImageItem* item;
    int patterns, cols, rows;
    int pw, ph;   // pattern size in the picture
    double scale; // how the patterns are shown
    int x, y, w, h;
};

Cell Measure(TImageItem& item) {
    Cell c{&item, 0, 1, 1, 0, 0, 1.0, 0, 0, 0, 0};
    c.patterns = item.HasPicture ? std::max(1, item.PatternTotal()) : 1;
    c.pw = std::max(1, item.HasPicture ? item.FrameWidth() : 1);
    c.ph = std::max(1, item.HasPicture ? item.FrameHeight() : 1);
    const int gap = c.patterns > 1 ? kPatternGap : 0;
    c.cols = std::clamp((kMaxCellW + gap) / (c.pw + gap), 1, c.patterns);
    c.rows = (c.patterns + c.cols - 1) / c.cols;
    const double fullW = c.cols * c.pw + (c.cols - 1) * gap, fullH = c.rows * c.ph + (c.rows - 1) * gap;
    c.scale = std::min({1.0, kMaxCellW / fullW, kMaxCellH / fullH});
    c.w = std::max(1, int(std::lround(c.cols * c.pw * c.scale)) + (c.cols - 1) * gap);
    c.h = std::max(1, int(std::lround(c.rows * c.ph * c.scale)) + (c.rows - 1) * gap);
    return c;
}

void Checkerboard(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    SetColour(cr, Hex(0x6A6A6A));
    cairo_paint(cr);
    SetColour(cr, Hex(0x9A9A9A));
    for (int yy = 0; yy < h; yy += 8)
        for (int xx = (yy / 8) % 2 * 8; xx < w; xx += 16)
            cairo_rectangle(cr, x + xx, y + yy, 8, 8);
    cairo_fill(cr);
    cairo_restore(cr);
}

void DrawCell(cairo_t* cr, const Cell& c) {
    TImageItem& item = *c.item;
    cairo_surface_t* surface = item.HasPicture ? ImageToSurface(item.KeyedPicture()) : nullptr;
    const int gap = c.patterns > 1 ? kPatternGap : 0;
    const double sw = c.pw * c.scale, sh = c.ph * c.scale;
    for (int n = 0; n < c.patterns; ++n) {
        const double px = c.x + (n % c.cols) * (sw + gap), py = c.y + (n / c.cols) * (sh + gap);
        Checkerboard(cr, px, py, sw, sh);
        if (surface) {
            const Rect r = item.PatternRect(n);
            cairo_save(cr);
            cairo_rectangle(cr, px, py, sw, sh);
            cairo_clip(cr);
            cairo_translate(cr, px, py);
            cairo_scale(cr, c.scale, c.scale);
            cairo_set_source_surface(cr, surface, -r.left, -r.top);
            cairo_pattern_set_filter(cairo_get_source(cr),
                                     c.scale < 1 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        cairo_rectangle(cr, px - 0.5, py - 0.5, sw + 1, sh + 1);
        SetColour(cr, c.patterns > 1 ? Hex(0x00E5FF, 0.9) : Hex(0x000000));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        if (c.patterns > 1) {
            // The pattern's number in the corner.
            const std::string number = std::to_string(n);
            UseCondensedFont(cr, 11, true);
            cairo_text_extents_t e;
            cairo_text_extents(cr, number.c_str(), &e);
            cairo_rectangle(cr, px, py, e.x_advance + 4, 13);
            SetColour(cr, Hex(0x000000, 0.65));
            cairo_fill(cr);
            SetColour(cr, Hex(0xFFFFFF));
            cairo_move_to(cr, px + 2, py + 10.5);
            cairo_show_text(cr, number.c_str());
        }
    }
    if (surface) cairo_surface_destroy(surface);

    // Label: name, then patterns x pattern size, the colour key and any reduction.
    UseCondensedFont(cr, 15, true);
    SetColour(cr, Hex(0xFFFFFF));
    cairo_move_to(cr, c.x, c.y + c.h + 15);
    cairo_show_text(cr, item.Name.c_str());
    std::string info = std::to_string(item.HasPicture ? item.PatternTotal() : 0) + " x " +
                       std::to_string(item.FrameWidth()) + "x" + std::to_string(item.FrameHeight());
    if (item.Transparent) info += "  colour key";
    if (c.scale < 1) info += "  (shown at " + std::to_string(int(std::lround(c.scale * 100))) + "%)";
    UseCondensedFont(cr, 13, false);
    SetColour(cr, Hex(0xB8C4D4));
    cairo_move_to(cr, c.x, c.y + c.h + 30);
    cairo_show_text(cr, info.c_str());
}

} // namespace

RgbaImage DrawContactSheet(TImageCollection& images, const std::string& title) {
    // Lay the cells out in rows.
    std::vector<Cell> cells;
    int x = kGap, y = kTitleH, rowH = 0;
    for (size_t i = 0; i < images.Count(); ++i) {
        Cell c = Measure(images.Item(i));
        const int cellW = std::max(c.w, 150);
        if (x + cellW > kSheetWidth - kGap && x > kGap) {
            x = kGap;
            y += rowH + kLabelH + kGap;
            rowH = 0;
        }
        c.x = x;
        c.y = y;
        cells.push_back(c);
        x += cellW + kGap;
        rowH = std::max(rowH, c.h);
    }
    const int height = y + rowH + kLabelH + kGap;

    Canvas canvas(kSheetWidth, height);
    cairo_t* cr = canvas.cr();
    SetColour(cr, Hex(0x23262B));
    cairo_paint(cr);
    UseDisplayFont(cr, 24);
    SetColour(cr, Hex(0xFFFFFF));
    cairo_move_to(cr, kGap, 30);
    cairo_show_text(cr, (title + "  (" + std::to_string(images.Count()) + " images)").c_str());
    for (const Cell& c : cells)
        DrawCell(cr, c);
    return canvas.ToImage();
}

void WriteContactSheet(const std::string& archivePath, const std::string& pngPath) {
    TImageCollection images;
    images.LoadArchive(archivePath);
    SavePng(DrawContactSheet(images, archivePath), pngPath);
}

} // namespace vorlane::datagen
