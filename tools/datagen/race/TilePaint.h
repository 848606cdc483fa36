#pragma once
// Painting the track tiles. A tile is drawn in its own coordinates (its top-left corner
// at the origin, 72 x 72) on a larger canvas, so that shapes and soft shadows which
// cross an edge are computed exactly as the neighbouring tile computes them; then the
// tile is cut out. Pieces that span several tiles (a lane shift, a park, a building)
// are drawn whole by every tile they cover, moved so the tile's part lies at the origin.
#include "datagen/race/Textures.h"
#include "engine/Types.h"

#include <cairo.h>

#include <functional>

namespace vorlane::datagen::race {

// How far beyond the tile the canvas reaches on every side.
constexpr int kTileMargin = 36;

// Renders a tile: `draw` paints in tile coordinates and may paint outside the tile.
// The result is opaque.
RgbaImage RenderTile(const std::function<void(cairo_t*)>& draw);
// The same drawing seen through another window of tile coordinates (x, y, w, h), which
// may reach up to kTileMargin / 2 beyond the tile: what the tile's picture would show
// there if it went on. Used to check that neighbouring tiles continue each other.
RgbaImage RenderTileWindow(const std::function<void(cairo_t*)>& draw, int x, int y, int w, int h);

// The ground of every tile: grass over the whole canvas.
void PaintGrass(cairo_t* cr, const Textures& tx);

// Fills the current path with a material and keeps the path.
void FillMaterial(cairo_t* cr, const Textures& tx, Material m);

// A soft shadow of the current path, offset toward the lower right (the sun stands
// to the upper left of the whole game), the path kept.
void GroundShadow(cairo_t* cr, double offset, double blur, double alpha);

// Paved footpath: fill the current path with paving and edge it with a thin darker
// rim and a faint lip into the grass.
void PavePath(cairo_t* cr, const Textures& tx);

// The footpath network of the verges and side roads (tiles 23-29, 58, 60 and the side
// roads that reach the road at lane shifts). Which edges of the tile the path crosses.
struct PathEdges {
    bool top = false, bottom = false, left = false, right = false;
};
void PaintFootpaths(cairo_t* cr, const Textures& tx, PathEdges edges);

} // namespace vorlane::datagen::race
