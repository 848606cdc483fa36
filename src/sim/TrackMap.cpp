#include "sim/TrackMap.h"

#include "sim/Tiles.h"

#include <cmath>
#include <cstring>

namespace vorlane {

TrackMap::TrackMap() : cells_(size_t(Rows) * size_t(Cols), kTileGround) {}

void TrackMap::Fill(uint8_t tile) {
    std::memset(cells_.data(), tile, cells_.size());
}

uint8_t TrackMap::TileAtWorld(int worldX, int worldY) const {
    return At(WorldToCell(worldY), WorldToCell(worldX));
}

namespace {

int CellAt(double screen, int mapFirst, double backgroundPos) {
    // std::nearbyint rounds halves to even under the default rounding mode.
    double world = screen + double(mapFirst) * kTileSize - std::nearbyint(backgroundPos);
    return int(std::floor(world / kTileSize));
}

} // namespace

int MapColumnAt(const TrackView& v, double screenX) {
    return CellAt(screenX, v.MapCol, v.X);
}
int MapRowAt(const TrackView& v, double screenY) {
    return CellAt(screenY, v.MapRow, v.Y);
}

TQuad ObstacleQuad(int tile, double cornerX, double cornerY) {
    const ObstacleBox* box = ObstacleBoxOf(tile);
    assert(box != nullptr);
    if (box == nullptr) return TQuad{};
    const double l = cornerX + box->left, r = cornerX + box->right;
    const double t = cornerY + box->top, b = cornerY + box->bottom;
    return TQuad{{{{l, t}, {r, t}, {r, b}, {l, b}}}};
}

std::vector<ObstacleHit> ObstaclesInView(const TrackMap& map, const TrackView& v) {
    std::vector<ObstacleHit> found;
    for (int i = 1; i <= kViewRows; ++i) {
        for (int j = 1; j <= kViewCols; ++j) {
            const int row = v.MapRow + i, col = v.MapCol + j;
            const uint8_t tile = map.At(row, col);
            if (!IsObstacleTile(tile)) continue;
            found.push_back({row, col, tile, ObstacleQuad(tile, v.X + j * kTileSize, v.Y + i * kTileSize)});
        }
    }
    return found;
}

std::vector<ObstacleHit> ObstacleHits(const TrackMap& map, const TrackView& v, const TQuad& car) {
    std::vector<ObstacleHit> hits = ObstaclesInView(map, v);
    std::erase_if(hits, [&](const ObstacleHit& h) { return !QuadsOverlap(h.box, car); });
    return hits;
}

bool ObstacleAtWorld(const TrackMap& map, int worldX, int worldY) {
    const int row = WorldToCell(worldY), col = WorldToCell(worldX);
    const ObstacleBox* box = ObstacleBoxOf(map.At(row, col));
    if (box == nullptr) return false;
    const int x = worldX - col * kTileSize, y = worldY - row * kTileSize;
    return x >= box->left && x <= box->right && y >= box->top && y <= box->bottom;
}

} // namespace vorlane
