#pragma once
// The track generator. Each level gets a new track: a four-lane road grown upward from
// the bottom of the map row by row as a chain of segments (straight, lane shifts,
// a split into two roads and the merge back, a median, widenings), lined with verges,
// side roads, buildings, parks and pole pairs, with blocks and small scenery filling
// the rest of the road's height and plain ground everywhere else.
//
// Every random choice is drawn from the TRandom handed in, always in the same order,
// so the same seed and length give the same track.
#include "engine/Random.h"
#include "sim/TrackMap.h"

#include <cstdint>
#include <initializer_list>

namespace vorlane {

// Track lengths the generator accepts (the levels use 300 to 1300 rows).
constexpr int kMinTrackLength = 100;
constexpr int kMaxTrackLength = 1400;

// Lane 1 of the road's first rows (rows 1480 to 1499 hold lanes 1-4 in 321-324).
constexpr int kRoadStartColumn = 321;

// The road never starts a segment that would bring a lane closer than this to the
// map's left or right edge: its outermost lanes stay in columns 16..635.
constexpr int kRoadEdgeMargin = 16;

// Fills the map with a new track of trackLength rows of road (kMinTrackLength..
// kMaxTrackLength, otherwise std::invalid_argument): the road runs from row 1499 up
// to row 1500 - trackLength and ends in a straight four-lane stretch; every cell ends
// up holding a tile of the tile table. The view to start the level from is
// (kStartMapCol, kStartMapRow).
void BuildTrack(TrackMap& map, TRandom& rng, int trackLength);

// The generator's passes, in the order BuildTrack runs them (after filling the map
// with kEmptyCell). Exposed for the tests and for tools that show a track's build.
namespace trackgen {

enum SegmentKind : int {
    kStraight = 1,
    kShiftLeft = 2,
    kShiftRight = 3,
    kSplit = 4,
    kMerge = 5,
    kOpenMedian = 6,
    kCloseMedian = 7,
    kWidenRight = 8,
    kNarrowRight = 9,
    kWidenLeft = 10,
    kNarrowLeft = 11,
};

// Grows the road one row at a time. The map must hold kEmptyCell wherever the road
// has not been laid yet.
class RoadBuilder {
  public:
    RoadBuilder(TrackMap& map, TRandom& rng) : map_(map), rng_(rng) {}

    // Starts a segment: 6 rows for a straight or a shift, 20 for the others.
    void SetSegment(int kind);
    int Kind() const { return kind_; }
    int Remaining() const { return remaining_; }

    // When the segment has run out, picks the next one for the road in `row`
    // (a segment that would bring the road too close to a map edge becomes a
    // straight; the random number is drawn all the same).
    void ChooseNext(int row);
    // Near the top of the road: turn the segment into the one that winds it down.
    void WindDown();
    // Reads `row` and writes the road above it for the current segment. A template
    // of several rows moves the scan up; the answer is the row the scan ended on.
    int GrowRow(int row);
    // The row is done: one row less of the segment.
    void EndRow() { --remaining_; }

  private:
    uint8_t Peek(int row, int col) const {
        return TrackMap::Inside(row, col) ? map_.Cell(row, col) : kEmptyCell;
    }
    void Put(int row, int col, std::initializer_list<uint8_t> tiles);
    int ApplyTemplate(int row, int col);
    bool RoomFor(int kind, int row) const;

    TrackMap& map_;
    TRandom& rng_;
    int kind_ = kStraight;
    int remaining_ = 0;
};

// The whole road: rows 1480..1499 get lanes 1-4 from firstColumn, then the road grows
// up to row 1500 - trackLength.
void RoadPass(TrackMap& map, TRandom& rng, int trackLength, int firstColumn = kRoadStartColumn);
// Verges, side roads, junctions and corners beside the road; fillers and band ends;
// buildings, parks and pole pairs along the verges.
void DecorationPass(TrackMap& map, TRandom& rng, int trackLength);
// The decoration rules for the one cell (i, j), i < 1499, 3 <= j <= 645; the pass
// runs them on every cell of the road's rows from the bottom up, left to right.
void DecorateCell(TrackMap& map, TRandom& rng, int i, int j);
// 5 x 5 blocks in empty ground beside the road's rows: every position (r, k), r from
// 1499 - trackLength down to 1495 and k from 1 to 645, whose 5 x 5 area of rows
// r + 1.., columns k.. is empty gets PlaceBlock.
void BlockPass(TrackMap& map, TRandom& rng, int trackLength);
// 2 x 2 scenery in what is still empty there: the same for every empty 4 x 4 area,
// with PlaceScenery.
void SceneryPass(TrackMap& map, TRandom& rng, int trackLength);
// One chance in four of a block in rows r + 1..r + 5, columns k..k + 4; answers the
// columns filled (5 or 0).
int PlaceBlock(TrackMap& map, TRandom& rng, int r, int k);
// A 2 x 2 piece of scenery in rows r + 1, r + 2, columns k, k + 1; answers 2.
int PlaceScenery(TrackMap& map, TRandom& rng, int r, int k);
// Every cell still empty becomes plain ground.
void FillGround(TrackMap& map);

} // namespace trackgen
} // namespace vorlane
