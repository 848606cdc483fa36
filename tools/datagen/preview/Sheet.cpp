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
constexpr int kMaxCellW = 700, kMaxCellH = 420; // pictures larger than this are shown reduced
constexpr int kGap = 14, kLabelH = 34, kTitleH = 44;

struct Cell {
    TImageItem* item;
    double scale;
    int x, y, w, h; // the picture's box on the sheet
};

void Checkerboard(cairo_t* cr, int x, int y, int w, int h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    SetColour(cr, Hex(0x6A6A6A));
    cairo_paint(cr);
    SetColour(cr, Hex(0x9A9A9A));
    for (int yy = 0; yy < h; yy += 8)
        for (int xx = (yy / 8) % 2 * 8; xx < w; xx += 16) cairo_rectangle(cr, x + xx, y + yy, 8, 8);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace

RgbaImage DrawContactSheet(TImageCollection& images, const std::string& title) {
    // Lay the cells out in rows.
    std::vector<Cell> cells;
    int x = kGap, y = kTitleH, rowH = 0;
    for (size_t i = 0; i < images.Count(); ++i) {
        TImageItem& item = images.Item(i);
        const int pw = std::max(1, item.Picture.width), ph = std::max(1, item.Picture.height);
        const double scale = std::min({1.0, double(kMaxCellW) / pw, double(kMaxCellH) / ph});
        const int w = std::max(1, int(std::lround(pw * scale))), h = std::max(1, int(std::lround(ph * scale)));
        const int cellW = std::max(w, 150);
        if (x + cellW > kSheetWidth - kGap) {
            x = kGap;
            y += rowH + kLabelH + kGap;
            rowH = 0;
        }
        cells.push_back({&item, scale, x, y, w, h});
        x += cellW + kGap;
        rowH = std::max(rowH, h);
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

    for (const Cell& c : cells) {
        TImageItem& item = *c.item;
        Checkerboard(cr, c.x, c.y, c.w, c.h);
        if (item.HasPicture) {
            cairo_surface_t* surface = ImageToSurface(item.KeyedPicture());
            cairo_save(cr);
            cairo_translate(cr, c.x, c.y);
            cairo_scale(cr, c.scale, c.scale);
            cairo_set_source_surface(cr, surface, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_surface_destroy(surface);
        }
        // The pattern grid.
        const int total = item.PatternTotal();
        if (total > 1) {
            cairo_set_line_width(cr, 1);
            SetColour(cr, Hex(0x00E5FF, 0.8));
            for (int n = 0; n < total; ++n) {
                const Rect r = item.PatternRect(n);
                cairo_rectangle(cr, c.x + r.left * c.scale + 0.5, c.y + r.top * c.scale + 0.5,
                                r.Width() * c.scale - 1, r.Height() * c.scale - 1);
            }
            cairo_stroke(cr);
        }
        cairo_rectangle(cr, c.x - 0.5, c.y - 0.5, c.w + 1, c.h + 1);
        SetColour(cr, Hex(0x000000));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        // Label: name, then patterns x pattern size (and the reduction, if any).
        UseCondensedFont(cr, 15, true);
        SetColour(cr, Hex(0xFFFFFF));
        cairo_move_to(cr, c.x, c.y + c.h + 15);
        cairo_show_text(cr, item.Name.c_str());
        std::string info = std::to_string(total) + " x " + std::to_string(item.FrameWidth()) + "x" +
                           std::to_string(item.FrameHeight());
        if (item.Transparent) info += "  colour key";
        if (c.scale < 1) info += "  (shown at " + std::to_string(int(std::lround(c.scale * 100))) + "%)";
        UseCondensedFont(cr, 13, false);
        SetColour(cr, Hex(0xB8C4D4));
        cairo_move_to(cr, c.x, c.y + c.h + 30);
        cairo_show_text(cr, info.c_str());
    }
    return canvas.ToImage();
}

void WriteContactSheet(const std::string& archivePath, const std::string& pngPath) {
    TImageCollection images;
    images.LoadArchive(archivePath);
    SavePng(DrawContactSheet(images, archivePath), pngPath);
}

} // namespace vorlane::datagen
