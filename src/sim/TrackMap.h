#pragma once
// The track: 1500 rows by 650 columns of tile numbers (sim/Tiles.h), rows and columns
// counted from 1. Row 1 is the top of the map; the road starts at the bottom and
// winds upward. The view shows a window of 72-pixel tiles whose top-left cell is
// (MapRow, MapCol); everything on the track is placed in map coordinates and turned
// into screen positions with the rules below.
#include "sim/Helpers.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlane {

constexpr int kTileSize = 72;  // TileSize: pixels per tile, both ways
constexpr int kMapRows = 1500; // rows 1..1500
constexpr int kMapCols = 650;  // columns 1..650
constexpr int kViewCols = 13;  // the background's chip grid
constexpr int kViewRows = 10;
constexpr int kMaxMapCol = kMapCols - kViewCols; // 637: MapCol stays in 0..637
constexpr int kMaxMapRow = kMapRows - kViewRows; // 1490: MapRow stays in 0..1490
constexpr int kStartMapCol = 318;                // the view at the start of a level
constexpr int kStartMapRow = 1488;
constexpr uint8_t kEmptyCell = 255; // a cell the generator has not filled yet

class TrackMap {
  public:
    static constexpr int Rows = kMapRows;
    static constexpr int Cols = kMapCols;

    // A map of plain ground (tile 0).
    TrackMap();

    static constexpr bool Inside(int row, int col) {
        return row >= 1 && row <= Rows && col >= 1 && col <= Cols;
    }
    static constexpr int IndexOf(int row, int col) { return (row - 1) * Cols + (col - 1); }

    // Checked read: a cell outside the map reads as plain ground (the view may show
    // row 0 or column 0, which lie just outside the map).
    uint8_t At(int row, int col) const { return Inside(row, col) ? cells_[size_t(IndexOf(row, col))] : 0; }
    // Checked write: a cell outside the map is left alone, answered false and counted
    // (see RejectedWrites).
    bool Set(int row, int col, uint8_t tile) {
        if (!Inside(row, col)) {
            ++rejectedWrites_;
            return false;
        }
        cells_[size_t(IndexOf(row, col))] = tile;
        return true;
    }

    // Unchecked fast path for loops whose bounds already keep inside the map.
    uint8_t& Cell(int row, int col) {
        assert(Inside(row, col));
        return cells_[size_t(IndexOf(row, col))];
    }
    uint8_t Cell(int row, int col) const {
        assert(Inside(row, col));
        return cells_[size_t(IndexOf(row, col))];
    }

    // The tile under a world pixel (x grows to the right, y down; cell (r, c) covers
    // x from c * 72 to c * 72 + 71): the cell at row y div 72, column x div 72,
    // plain ground outside the map.
    uint8_t TileAtWorld(int worldX, int worldY) const;

    void Fill(uint8_t tile);
    // Flat storage, cell (row, col) at IndexOf(row, col).
    uint8_t* Data() { return cells_.data(); }
    const uint8_t* Data() const { return cells_.data(); }

    // How many writes through Set fell outside the map since the last ClearRejectedWrites.
    // The generator writes every cell through Set, so a non-zero count after a build
    // means a piece of track was cut off at the map's edge.
    long RejectedWrites() const { return rejectedWrites_; }
    void ClearRejectedWrites() { rejectedWrites_ = 0; }

  private:
    std::vector<uint8_t> cells_;
    long rejectedWrites_ = 0;
};

// Where the view stands: the map cell in its top-left chip and the background
// sprite's position (within (-72, 0] after each scroll step).
struct TrackView {
    int MapCol = 0;
    int MapRow = 0;
    double X = 0;
    double Y = 0;
};

// Screen position of the top-left corner of map cell (row, col).
inline double CellScreenX(const TrackView& v, int col) {
    return v.X + double(col - v.MapCol) * kTileSize;
}
inline double CellScreenY(const TrackView& v, int row) {
    return v.Y + double(row - v.MapRow) * kTileSize;
}

// The map column / row under a screen point: (x + MapCol * 72 - X') div 72 with X'
// the background X rounded to the nearest integer (halves to even). Points left of
// or above the world's origin give column / row 0 or less, which lie outside the map.
int MapColumnAt(const TrackView& v, double screenX);
int MapRowAt(const TrackView& v, double screenY);

// Floor division by the tile size: the map column of world x, the map row of world y.
constexpr int WorldToCell(int world) {
    return world >= 0 ? world / kTileSize : -((-world + kTileSize - 1) / kTileSize);
}

// An obstacle tile of the view with its solid box on the screen.
struct ObstacleHit {
    int row = 0;
    int col = 0;
    uint8_t tile = 0;
    TQuad box; // corners top-left, top-right, bottom-right, bottom-left
};

// The obstacle box of an obstacle tile whose top-left corner is on the screen at
// (cornerX, cornerY); the tile must be an obstacle (IsObstacleTile).
TQuad ObstacleQuad(int tile, double cornerX, double cornerY);

// Every obstacle tile of the obstacle-test window, in scan order: rows MapRow + 1 to
// MapRow + 10, and in each row columns MapCol + 1 to MapCol + 13.
std::vector<ObstacleHit> ObstaclesInView(const TrackMap& map, const TrackView& v);

// The obstacle tiles of that window whose box overlaps the car's quadrilateral
// (QuadsOverlap), in scan order. Each one costs the car a bounce and a hit.
std::vector<ObstacleHit> ObstacleHits(const TrackMap& map, const TrackView& v, const TQuad& car);

// Whether a world pixel lies inside the obstacle box of the tile under it.
bool ObstacleAtWorld(const TrackMap& map, int worldX, int worldY);

} // namespace vorlane
