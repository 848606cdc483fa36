#include "datagen/race/TilePaint.h"

#include "datagen/common/Canvas.h"
#include "datagen/common/Paint.h"
#include "datagen/race/RaceGeometry.h"

#include <cmath>
#include <stdexcept>
#include <vector>

namespace vorlane::datagen::race {

RgbaImage RenderTile(const std::function<void(cairo_t*)>& draw) {
    return RenderTileWindow(draw, 0, 0, kTile, kTile);
}

RgbaImage RenderTileWindow(const std::function<void(cairo_t*)>& draw, int x0, int y0, int w, int h) {
    const int size = kTile + 2 * kTileMargin;
    if (x0 < -kTileMargin / 2 || y0 < -kTileMargin / 2 || x0 + w > kTile + kTileMargin / 2 ||
        y0 + h > kTile + kTileMargin / 2)
        throw std::out_of_range("tile window reaches too far beyond the tile");
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    cairo_translate(cr, kTileMargin, kTileMargin);
    draw(cr);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("drawing a tile failed: ") +
                                 cairo_status_to_string(cairo_status(cr)));
    const RgbaImage whole = canvas.ToImage();
    RgbaImage tile(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            tile.At(x, y) = whole.At(x + x0 + kTileMargin, y + y0 + kTileMargin) | 0xFF000000u;
    return tile;
}

void PaintGrass(cairo_t* cr, const Textures& tx) {
    cairo_rectangle(cr, -kTileMargin, -kTileMargin, kTile + 2 * kTileMargin, kTile + 2 * kTileMargin);
    tx.Use(cr, Material::Grass);
    cairo_fill(cr);
}

void FillMaterial(cairo_t* cr, const Textures& tx, Material m) {
    tx.Use(cr, m);
    cairo_fill_preserve(cr);
}

void GroundShadow(cairo_t* cr, double offset, double blur, double alpha) {
    ShadowOfPath(cr, offset, offset * 1.2, blur, Hex(0x0A1408, alpha));
}

void PavePath(cairo_t* cr, const Textures& tx) {
    // A faint dark lip where the paving meets the grass; the path stays for the fill.
    ShadowOfPath(cr, 0.4, 0.6, 1.6, Hex(0x1F2A14, 0.55));
    FillMaterial(cr, tx, Material::Paving);
}

namespace {

using Piece = std::function<void(cairo_t*)>;

// The concave corner at (cx, cy) of two paths meeting, rounded by radius r toward
// (sx, sy): the part of the corner square outside the circle of the rounding.
Piece Fillet(double cx, double cy, double sx, double sy, double r) {
    return [=](cairo_t* cr) {
        const double ox = cx + sx * r, oy = cy + sy * r;
        const int steps = 10;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, ox, cy);
        for (int i = 0; i <= steps; ++i) {
            // From (ox, cy) round to (cx, oy), bulging toward the corner.
            const double a = M_PI / 2 * double(i) / steps;
            cairo_line_to(cr, ox - sx * r * std::sin(a), oy - sy * r * std::cos(a));
        }
        cairo_close_path(cr);
        cairo_fill(cr);
    };
}

Piece Rect(double x0, double y0, double x1, double y1) {
    return [=](cairo_t* cr) {
        cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
        cairo_fill(cr);
    };
}

// Fills the union of the pieces with paving, with the soft lip around its outline.
void PaveUnion(cairo_t* cr, const Textures& tx, const std::vector<Piece>& pieces) {
    auto drawAll = [&](cairo_t* m) {
        for (const Piece& p : pieces) {
            cairo_new_path(m);
            p(m);
        }
    };
    PaintBlurred(cr, drawAll, 0.4, 0.6, 1.6, Hex(0x1F2A14, 0.55));
    cairo_surface_t* target = cairo_get_target(cr);
    const int w = cairo_image_surface_get_width(target), h = cairo_image_surface_get_height(target);
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_t* m = cairo_create(mask);
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    cairo_set_matrix(m, &matrix);
    cairo_set_source_rgba(m, 0, 0, 0, 1);
    drawAll(m);
    cairo_destroy(m);
    cairo_save(cr);
    tx.Use(cr, Material::Paving);
    cairo_identity_matrix(cr);
    cairo_mask_surface(cr, mask, 0, 0);
    cairo_restore(cr);
    cairo_surface_destroy(mask);
}

} // namespace

void PaintFootpaths(cairo_t* cr, const Textures& tx, PathEdges e) {
    using namespace path;
    const double M = kTileMargin, far = kTile + kTileMargin;
    const int count = int(e.top) + int(e.bottom) + int(e.left) + int(e.right);
    std::vector<Piece> pieces;
    const bool elbow = count == 2 && (e.top != e.bottom);
    if (count == 1 && (e.left || e.right)) {
        // A side road that runs on into the road tile it reaches.
        pieces.push_back(Rect(-M, kBandY0, far, kBandY1));
    } else if (elbow) {
        // A corner: the path turns, its outer side rounded.
        const double R = 12;
        const double vy0 = e.top ? -M : kBandY0 + R, vy1 = e.top ? kBandY1 - R : far;
        const double bx0 = e.left ? -M : kVergeX0 + R, bx1 = e.left ? kVergeX1 - R : far;
        pieces.push_back(Rect(kVergeX0, vy0, kVergeX1, vy1));
        pieces.push_back(Rect(bx0, kBandY0, bx1, kBandY1));
        // The rounding of the outer side: a disc in the corner of the two strips.
        const double ocx = e.left ? kVergeX1 - R : kVergeX0 + R;
        const double ocy = e.top ? kBandY1 - R : kBandY0 + R;
        pieces.push_back([=](cairo_t* m) {
            cairo_new_path(m);
            cairo_arc(m, ocx, ocy, R, 0, 2 * M_PI);
            cairo_fill(m);
        });
    } else {
        if (e.top) pieces.push_back(Rect(kVergeX0, -M, kVergeX1, kBandY1));
        if (e.bottom) pieces.push_back(Rect(kVergeX0, kBandY0, kVergeX1, far));
        if (e.left) pieces.push_back(Rect(-M, kBandY0, kVergeX1, kBandY1));
        if (e.right) pieces.push_back(Rect(kVergeX0, kBandY0, far, kBandY1));
    }
    const double r = 6;
    if (e.top && e.right) pieces.push_back(Fillet(kVergeX1, kBandY0, 1, -1, r));
    if (e.right && e.bottom) pieces.push_back(Fillet(kVergeX1, kBandY1, 1, 1, r));
    if (e.bottom && e.left) pieces.push_back(Fillet(kVergeX0, kBandY1, -1, 1, r));
    if (e.left && e.top) pieces.push_back(Fillet(kVergeX0, kBandY0, -1, -1, r));
    PaveUnion(cr, tx, pieces);
}

} // namespace vorlane::datagen::race
