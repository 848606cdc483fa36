// The track tiles join: wherever the game's track generator lays two tiles side by
// side, the picture of one runs on into the other. The test lays a few tracks, and for
// every pair of neighbours it finds compares what the first tile's drawing shows just
// past its edge with what the second tile shows there (and the other way round).
#include "datagen/race/TileSet.h"
#include "engine/Random.h"
#include "sim/LevelTable.h"
#include "sim/TrackGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace vorlane::datagen {
namespace {

double Difference(uint32_t a, uint32_t b) {
    double d = 0;
    for (int shift : {0, 8, 16})
        d += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
    return d / 3;
}

class TileEdges {
  public:
    TileEdges() {
        for (int t = 0; t < race::kTileCount; ++t) {
            tile_.push_back(race::DrawTile(tx_, t));
            right_.push_back(race::DrawTileWindow(tx_, t, 72, 0, 1, 72));
            left_.push_back(race::DrawTileWindow(tx_, t, -1, 0, 1, 72));
            below_.push_back(race::DrawTileWindow(tx_, t, 0, 72, 72, 1));
            above_.push_back(race::DrawTileWindow(tx_, t, 0, -1, 72, 1));
        }
    }
    // Mean colour difference across the edge between a and b (b right of a, or below).
    double Mismatch(int a, int b, bool horizontal) const {
        double sum = 0;
        for (int i = 0; i < 72; ++i) {
            if (horizontal)
                sum += Difference(right_[a].At(0, i), tile_[b].At(0, i)) +
                       Difference(left_[b].At(0, i), tile_[a].At(71, i));
            else
                sum += Difference(below_[a].At(i, 0), tile_[b].At(i, 0)) +
                       Difference(above_[b].At(i, 0), tile_[a].At(i, 71));
        }
        return sum / 144;
    }

  private:
    race::Textures tx_;
    std::vector<RgbaImage> tile_, right_, left_, below_, above_;
};

bool In(int t, std::initializer_list<int> set) {
    for (int s : set)
        if (s == t) return true;
    return false;
}

// Which tile edges the footpath network crosses: the verge path crosses the top and
// bottom edges, the side-road band the left and right edges. (Tiles 5, 12 and 13 take
// a side road up to the kerb of a lane shift.)
bool PathAtTop(int t) {
    return In(t, {23, 25, 28, 29, 58, 60});
}
bool PathAtBottom(int t) {
    return In(t, {23, 25, 26, 27, 58, 60});
}
bool BandAtLeft(int t) {
    return In(t, {24, 25, 27, 28, 58, 5});
}
bool BandAtRight(int t) {
    return In(t, {24, 25, 26, 29, 60, 12, 13});
}

// Places where the generator lays an edge against an edge that cannot continue it,
// so no picture could join them.
bool Contradictory(int a, int b, bool horizontal) {
    if (a == 33 || b == 33) return true; // the lane that opens or closes: its lines end there
    if (horizontal) {
        // A side road ends at a tile without one (its end caps also stand between fillers).
        if (BandAtRight(a) != BandAtLeft(b)) return true;
        // Two roads meeting along a tile edge in a split, merge or median: each road's
        // lines run up to the edge from its own side.
        const bool aLane = In(a, {6, 7, 10, 11, 14, 15, 18, 19}),
                   bLane = In(b, {6, 7, 10, 11, 14, 15, 18, 19});
        return aLane && bLane && (a <= 12) != (b <= 12);
    }
    // A footpath ends at a tile without one.
    if (PathAtBottom(a) != PathAtTop(b)) return true;
    // The two ends of the road.
    return (In(a, {1, 2, 3, 4}) && b == 0) || (a == 0 && In(b, {1, 2, 3, 4}));
}

TEST(RaceTiles, NeighboursJoinAsTheGeneratorLaysThem) {
    std::map<std::pair<int, int>, int> across, down;
    for (uint32_t seed : {11u, 2024u, 77777u}) {
        TrackMap map;
        TRandom rng(seed);
        const int length = LevelParameters(6).TrackLength;
        BuildTrack(map, rng, length);
        for (int r = 1500 - length - 2; r < kMapRows; ++r)
            for (int c = 1; c < kMapCols; ++c) {
                ++across[{map.At(r, c), map.At(r, c + 1)}];
                ++down[{map.At(r, c), map.At(r + 1, c)}];
            }
    }
    const TileEdges edges;
    int checked = 0;
    for (bool horizontal : {true, false})
        for (const auto& [pair, count] : horizontal ? across : down) {
            const auto [a, b] = pair;
            if (Contradictory(a, b, horizontal)) continue;
            ++checked;
            EXPECT_LT(edges.Mismatch(a, b, horizontal), 5.0)
                << "tile " << a << (horizontal ? " left of " : " above ") << b << " (laid " << count
                << " times)";
        }
    EXPECT_GT(checked, 150);
}

// A lane shift is one straight diagonal, not a staircase: across the two rows of a
// shift the road's left edge moves sideways at a steady half pixel per row.
TEST(RaceTiles, ShiftsAreStraightDiagonals) {
    race::Textures tx;
    struct Shift {
        const char* name;
        int lowerLeft, lowerRight, upperLeft, upperRight; // 2 x 2 tiles around the kerb
        double slope;                                     // kerb x change per row up
    } shifts[] = {{"right", 5, 6, 28, 9, 0.5}, {"left", 27, 16, 20, 19, -0.5}};
    for (const Shift& s : shifts) {
        SCOPED_TRACE(std::string("shift to the ") + s.name);
        RgbaImage area(144, 144);
        const int tiles[2][2] = {{s.upperLeft, s.upperRight}, {s.lowerLeft, s.lowerRight}};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c) {
                const RgbaImage t = race::DrawTile(tx, tiles[r][c]);
                for (int y = 0; y < 72; ++y)
                    for (int x = 0; x < 72; ++x)
                        area.At(c * 72 + x, r * 72 + y) = t.At(x, y);
            }
        // The road's left edge: the first asphalt (dark, grey) from the left on every row
        // (the side road that meets the kerb lies on a few rows: they are skipped).
        std::vector<double> ys, xs;
        for (int y = 0; y < 144; ++y) {
            if (y >= 72 + 18 && y <= 72 + 54 && s.slope > 0) continue;
            for (int x = 0; x < 144; ++x) {
                const uint32_t p = area.At(x, y);
                const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                if (r < 100 && g < 100 && b < 100 && std::abs(r - g) < 12 && std::abs(g - b) < 12) {
                    ys.push_back(y);
                    xs.push_back(x);
                    break;
                }
            }
        }
        ASSERT_GT(ys.size(), 100u);
        // Least-squares line through the edge; every row lies on it.
        double my = 0, mx = 0;
        for (size_t i = 0; i < ys.size(); ++i) {
            my += ys[i] / ys.size();
            mx += xs[i] / ys.size();
        }
        double sxy = 0, syy = 0;
        for (size_t i = 0; i < ys.size(); ++i) {
            sxy += (ys[i] - my) * (xs[i] - mx);
            syy += (ys[i] - my) * (ys[i] - my);
        }
        const double slope = sxy / syy;
        EXPECT_NEAR(-slope, s.slope, 0.03);
        double worst = 0;
        for (size_t i = 0; i < ys.size(); ++i)
            worst = std::max(worst, std::abs(xs[i] - (mx + slope * (ys[i] - my))));
        EXPECT_LT(worst, 1.6) << "the road's edge bends or steps";
    }
}

} // namespace
} // namespace vorlane::datagen
