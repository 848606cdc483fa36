#include "datagen/race/TileSet.h"

#include "datagen/common/Canvas.h"
#include "datagen/race/RaceGeometry.h"
#include "datagen/race/TilePaint.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace vorlane::datagen::race {
namespace {

// Which edges the footpath crosses on the verge, side-road, junction and corner tiles.
bool FootpathEdges(int tile, PathEdges& e) {
    switch (tile) {
    case 23:
        e = {true, true, false, false};
        return true; // verge
    case 24:
        e = {false, false, true, true};
        return true; // side-road band
    case 25:
        e = {true, true, true, true};
        return true; // junction
    case 26:
        e = {false, true, false, true};
        return true; // corner: down and right
    case 27:
        e = {false, true, true, false};
        return true; // down and left
    case 28:
        e = {true, false, true, false};
        return true; // up and left
    case 29:
        e = {true, false, false, true};
        return true; // up and right
    case 58:
        e = {true, true, true, false};
        return true; // verge left of the road, band to the left
    case 60:
        e = {true, true, false, true};
        return true; // verge right of the road, band to the right
    default:
        return false;
    }
}

} // namespace

RgbaImage DrawTile(const Textures& tx, int tile) {
    return DrawTileWindow(tx, tile, 0, 0, kTile, kTile);
}

RgbaImage DrawTileWindow(const Textures& tx, int tile, int x, int y, int w, int h) {
    if (tile < 0 || tile >= kTileCount) throw std::out_of_range("no tile " + std::to_string(tile));
    return RenderTileWindow(
        [&](cairo_t* cr) {
            PathEdges edges;
            if (tile >= 1 && tile <= 20) {
                PaintRoadTile(cr, tx, tile);
            } else if (tile == 21 || tile == 22 || (tile >= 33 && tile <= 35)) {
                PaintMedianTile(cr, tx, tile);
            } else if (FootpathEdges(tile, edges)) {
                PaintGrass(cr, tx);
                PaintFootpaths(cr, tx, edges);
            } else if (tile == 0) {
                PaintGrass(cr, tx);
            } else {
                PaintSceneryTile(cr, tx, tile);
            }
        },
        x, y, w, h);
}

GeneratedPicture DrawTilesPicture() {
    const Textures tx;
    GeneratedPicture picture;
    picture.name = "Tiles";
    picture.patternWidth = kTile;
    picture.patternHeight = kTile;
    picture.kind = GeneratedPicture::Kind::Dib;
    picture.transparent = false;
    picture.image = RgbaImage(kTile, kTile * kTileCount);
    for (int t = 0; t < kTileCount; ++t) {
        const RgbaImage one = DrawTile(tx, t);
        std::copy(one.pixels.begin(), one.pixels.end(),
                  picture.image.pixels.begin() + ptrdiff_t(t) * kTile * kTile);
    }
    return picture;
}

RgbaImage DrawObstacleSolids(int tile) {
    Canvas canvas(kTile, kTile);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    ObstacleSolidPath(cr, tile);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    return canvas.ToImage();
}

} // namespace vorlane::datagen::race
