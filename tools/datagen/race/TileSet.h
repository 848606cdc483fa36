#pragma once
// The "Tiles" picture: patterns 0..60 of 72 x 72, one per tile number of the track.
#include "datagen/common/Picture.h"
#include "datagen/race/Textures.h"

#include <cairo.h>

#include <array>

namespace vorlane::datagen::race {

constexpr int kTileCount = 61;

// One tile, opaque, 72 x 72.
RgbaImage DrawTile(const Textures& tx, int tile);
// The tile's drawing through a window of tile coordinates that may reach a few pixels
// beyond the tile (see RenderTileWindow).
RgbaImage DrawTileWindow(const Textures& tx, int tile, int x, int y, int w, int h);

// All 61 tiles stacked top to bottom (pattern n = tile n), stored as a 24-bit DIB.
GeneratedPicture DrawTilesPicture();

// The parts of a pole or wall tile that a car bounces off, drawn white on black with
// the same shapes the tile is painted with (for checking them against the obstacle
// boxes). Empty for other tiles.
RgbaImage DrawObstacleSolids(int tile);

// Painters of the tile families (tile coordinates, the canvas reaching kTileMargin
// beyond the tile).
void PaintRoadTile(cairo_t* cr, const Textures& tx, int tile);    // 1..20
void PaintMedianTile(cairo_t* cr, const Textures& tx, int tile);  // 21, 22, 33, 34, 35
void PaintSceneryTile(cairo_t* cr, const Textures& tx, int tile); // 30..32, 36..57, 59
// The solid shapes of tiles 39..44 and 59 as a path (the current path is replaced).
void ObstacleSolidPath(cairo_t* cr, int tile);

// Where the four-lane road's cross-section lies under a point of a road tile: the
// cross-section's x = 0 (the outer edge of lane 1's tile on a straight road) is at
// tile x = the answer, on tile row localY. False for tiles that are not lanes of a
// straight road or a shift (1..20).
bool RoadOriginInTile(int tile, double localY, double& originX);

// A broad-leaved tree seen from above, canopy centred on (cx, cy), shadow included.
void PaintTree(cairo_t* cr, double cx, double cy, double radius, uint32_t seed);

} // namespace vorlane::datagen::race
