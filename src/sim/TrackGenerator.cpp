#include "sim/TrackGenerator.h"

#include "sim/Tiles.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlane {
namespace trackgen {

namespace {

constexpr uint8_t E = kEmptyCell;

// Kinds 1-3 carry each road tile of a row one row up, into the same column or one
// column to the left or right. A lane shift takes two rows per column: the lower
// row (5-8 to the right, 16-13 to the left) stays in its column, the upper row
// (9-12, 20-17) sits one column over.
struct Carry {
    int8_t dc = 0;   // -1, 0, +1
    uint8_t out = 0; // 0: nothing above this tile
};

constexpr std::array<std::array<Carry, 21>, 4> MakeCarries() {
    std::array<std::array<Carry, 21>, 4> k{};
    for (int t = 1; t <= 4; ++t) {
        k[kStraight][t] = {0, uint8_t(t)};
        k[kShiftLeft][t] = {0, uint8_t(17 - t)}; // 16 15 14 13
        k[kShiftRight][t] = {0, uint8_t(t + 4)}; // 5 6 7 8
    }
    for (int t = 5; t <= 8; ++t) {
        k[kStraight][t] = {1, uint8_t(t + 4)}; // right: 9 10 11 12
        k[kShiftRight][t] = {1, uint8_t(t + 4)};
    }
    for (int t = 9; t <= 12; ++t) {
        k[kStraight][t] = {0, uint8_t(t - 8)};   // 1 2 3 4
        k[kShiftRight][t] = {0, uint8_t(t - 4)}; // 5 6 7 8
    }
    for (int t = 13; t <= 16; ++t) {
        k[kStraight][t] = {-1, uint8_t(t + 4)}; // left: 17 18 19 20
        k[kShiftLeft][t] = {-1, uint8_t(t + 4)};
    }
    for (int t = 17; t <= 20; ++t) {
        k[kStraight][t] = {0, uint8_t(21 - t)}; // 4 3 2 1
        k[kShiftLeft][t] = {0, uint8_t(t - 4)}; // 13 14 15 16
    }
    return k;
}

constexpr auto kCarries = MakeCarries();

// Eight cells from (row, col) on as one word, the first cell in the low byte.
uint64_t Load8(const TrackMap& map, int row, int col) {
    uint64_t w;
    std::memcpy(&w, map.Data() + TrackMap::IndexOf(row, col), sizeof w);
    if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
    return w;
}

// One bit per byte of w, set where the byte is kEmptyCell (0xFF), packed into the low
// eight bits in byte order.
unsigned EmptyBits8(uint64_t w) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full, kHigh = 0x8080808080808080ull;
    const uint64_t t = ~w; // a byte is 0 where the cell is empty
    const uint64_t zero = ~(((t & kLow7) + kLow7) | t) & kHigh;
    return unsigned(((zero >> 7) * 0x0102040810204080ull) >> 56);
}

// What a segment does to the road's outer columns: how far its left edge moves left
// and its right edge moves right, at most, before the segment can next be changed.
struct EdgeMove {
    int left = 0, right = 0;
};

constexpr EdgeMove EdgeMoveOf(int kind) {
    switch (kind) {
    case kShiftLeft:
        return {3, 0}; // three upper rows, one column each
    case kShiftRight:
        return {0, 3};
    case kSplit:
        return {2, 2};
    case kOpenMedian:
        return {1, 1};
    case kWidenRight:
        return {0, 1};
    case kWidenLeft:
        return {1, 0};
    default:
        return {0, 0};
    }
}

} // namespace

void RoadBuilder::SetSegment(int kind) {
    kind_ = kind;
    remaining_ = kind <= kShiftRight ? 6 : 20;
}

void RoadBuilder::Put(int row, int col, std::initializer_list<uint8_t> tiles) {
    for (uint8_t t : tiles)
        map_.Set(row, col++, t);
}

bool RoadBuilder::RoomFor(int kind, int row) const {
    const EdgeMove move = EdgeMoveOf(kind);
    if (move.left == 0 && move.right == 0) return true;
    int left = 0, right = 0;
    for (int c = 1; c <= kMapCols; ++c) {
        if (!IsRoadTile(map_.Cell(row, c))) continue;
        if (left == 0) left = c;
        right = c;
    }
    if (left == 0) return true; // no road in this row: nothing to move
    if (move.left > 0 && left - move.left < kRoadEdgeMargin) return false;
    if (move.right > 0 && right + move.right > kMapCols + 1 - kRoadEdgeMargin) return false;
    return true;
}

void RoadBuilder::ChooseNext(int row) {
    if (remaining_ != 0) return;
    int next = kind_;
    switch (kind_) {
    case kStraight: {
        static constexpr int kAfterStraight[7] = {kStraight,   kShiftLeft,  kShiftRight, kSplit,
                                                  kOpenMedian, kWidenRight, kWidenLeft};
        next = kAfterStraight[rng_.Random(7)];
        break;
    }
    case kShiftLeft:
    case kShiftRight:
        next = rng_.Random(2) == 0 ? kind_ : kStraight;
        break;
    case kSplit:
    case kOpenMedian:
    case kWidenRight:
    case kWidenLeft:
        next = rng_.Random(2) == 0 ? kind_ : kind_ + 1;
        break;
    default:
        return; // merge, close median and the narrowings end themselves
    }
    // The map has 650 columns and the road starts in the middle; lane shifts are a
    // random walk, so in principle a road could wander off the map. Rather than
    // clip the road at the edge (which would leave a broken road), a segment that
    // would take the road within kRoadEdgeMargin of an edge is replaced by a
    // straight: the road then runs along parallel to the edge until a segment away
    // from it comes up. Continuing a split, median or widening never moves the road,
    // so those are always allowed.
    const bool moves = next == kShiftLeft || next == kShiftRight || next != kind_;
    if (moves && !RoomFor(next, row)) next = kStraight;
    SetSegment(next);
}

void RoadBuilder::WindDown() {
    switch (kind_) {
    case kStraight:
    case kShiftLeft:
    case kShiftRight:
        SetSegment(kStraight);
        break;
    case kSplit:
        SetSegment(kMerge);
        break;
    case kOpenMedian:
        SetSegment(kCloseMedian);
        break;
    case kWidenRight:
        SetSegment(kNarrowRight);
        break;
    case kWidenLeft:
        SetSegment(kNarrowLeft);
        break;
    default:
        break;
    }
}

int RoadBuilder::GrowRow(int row) {
    for (int c = 1; c <= kMapCols; ++c) {
        if (c + 7 <= kMapCols && Load8(map_, row, c) == ~uint64_t(0)) { // eight empty cells
            c += 7;
            continue;
        }
        const uint8_t t = map_.Cell(row, c);
        if (t == E) continue;
        if (kind_ <= kShiftRight) {
            if (t > 20) continue;
            const Carry carry = kCarries[size_t(kind_)][t];
            if (carry.out != 0) map_.Set(row - 1, c + carry.dc, carry.out);
        } else if (t == 1) {
            row = ApplyTemplate(row, c);
        }
    }
    return row;
}

// Kinds 4-11 act on lane 1 of a road at (row, col). Each kind has two cases, tested
// in order; a template that lays several rows moves the scan up, and the second case
// is then tested on the new row, again only where that row has lane 1 at col.
int RoadBuilder::ApplyTemplate(int row, int col) {
    const int c = col;
    int R = row;
    switch (kind_) {
    case kSplit:
        if (Peek(R, c + 4) != 1 && Peek(R, c - 4) != 1) { // a single road splits in two
            Put(R - 1, c, {16, 15, 7, 8});
            Put(R - 2, c - 1, {20, 19, 18, 10, 11, 12});
            Put(R - 3, c - 1, {16, 15, 14, 6, 7, 8});
            Put(R - 4, c - 2, {20, 19, 18, 17, 9, 10, 11, 12});
            Put(R - 5, c - 2, {1, 2, 3, 4, 1, 2, 3, 4});
            R -= 4;
        }
        if (Peek(R, c) == 1 && Peek(R, c + 4) == 1) Put(R - 1, c, {1, 2, 3, 4, 1, 2, 3, 4});
        break;
    case kMerge:
        if (Peek(R, c + 4) == 1) { // two roads become one
            Put(R - 1, c, {5, 6, 7, 8, 16, 15, 14, 13});
            Put(R - 2, c + 1, {9, 10, 11, 19, 18, 17});
            Put(R - 3, c + 1, {5, 6, 7, 15, 14, 13});
            Put(R - 4, c + 2, {9, 10, 18, 17});
            Put(R - 5, c + 2, {1, 2, 3, 4});
            R -= 4;
        }
        if (Peek(R, c) == 1 && Peek(R, c + 4) != 1 && Peek(R, c - 4) != 1) {
            Put(R - 1, c, {1, 2, 3, 4});
            SetSegment(kStraight);
        }
        break;
    case kOpenMedian:
        if (Peek(R, c + 2) == 21) {
            Put(R - 1, c, {1, 2, 21, 22, 3, 4});
        } else {
            Put(R - 1, c, {16, 15, 7, 8});
            Put(R - 2, c - 1, {20, 19, 18, 10, 11, 12});
            Put(R - 3, c - 1, {1, 2, 21, 22, 3, 4});
            R -= 2;
        }
        break;
    case kCloseMedian:
        if (Peek(R, c + 2) != 21) {
            Put(R - 1, c, {1, 2, 3, 4});
            SetSegment(kStraight);
        } else {
            Put(R - 1, c, {5, 6, 7, 15, 14, 13});
            Put(R - 2, c + 1, {9, 10, 18, 17});
            Put(R - 3, c + 1, {1, 2, 3, 4});
            R -= 2;
        }
        break;
    case kWidenRight:
        if (Peek(R, c + 2) == 22) {
            Put(R - 1, c, {1, 34, 22, 3, 4});
        } else if (Peek(R, c + 2) == 3) {
            Put(R - 1, c, {1, 33, 7, 8});
            Put(R - 2, c, {1, 33, 10, 11, 12});
            Put(R - 3, c, {1, 34, 22, 3, 4});
            R -= 2;
        }
        break;
    case kNarrowRight:
        if (Peek(R, c + 2) == 3) {
            Put(R - 1, c, {1, 2, 3, 4});
            SetSegment(kStraight);
        } else if (Peek(R, c + 2) == 22) {
            Put(R - 1, c, {1, 33, 15, 14, 13});
            Put(R - 2, c, {1, 33, 18, 17});
            Put(R - 3, c, {1, 2, 3, 4});
            R -= 2;
        }
        break;
    case kWidenLeft:
        if (Peek(R, c + 2) == 21) {
            Put(R - 1, c, {1, 2, 21, 35, 4});
        } else if (Peek(R, c + 2) == 3) {
            Put(R - 1, c, {16, 15, 33, 4});
            Put(R - 2, c - 1, {20, 19, 18, 33, 4});
            Put(R - 3, c - 1, {1, 2, 21, 35, 4});
            R -= 2;
        }
        break;
    case kNarrowLeft:
        if (Peek(R, c + 2) == 3) {
            Put(R - 1, c, {1, 2, 3, 4});
            SetSegment(kStraight);
        } else if (Peek(R, c + 2) == 21) {
            Put(R - 1, c, {5, 6, 7, 33, 4});
            Put(R - 2, c + 1, {9, 10, 33, 4});
            Put(R - 3, c + 1, {1, 2, 3, 4});
            R -= 2;
        }
        break;
    default:
        break;
    }
    return R;
}

void RoadPass(TrackMap& map, TRandom& rng, int trackLength, int firstColumn) {
    if (firstColumn < 1 || firstColumn + 3 > kMapCols)
        throw std::invalid_argument("road start column " + std::to_string(firstColumn) + " is off the map");
    for (int row = 1480; row <= 1499; ++row)
        for (int lane = 1; lane <= 4; ++lane)
            map.Set(row, firstColumn + lane - 1, uint8_t(lane));

    RoadBuilder road(map, rng);
    road.SetSegment(kStraight);
    const int top = 1501 - trackLength;
    for (int row = 1480; row >= top; --row) {
        road.ChooseNext(row);
        // The last 99 rows wind every segment down to one straight four-lane road.
        if (row < 1600 - trackLength) road.WindDown();
        row = road.GrowRow(row);
        road.EndRow();
    }
}

namespace {

// Side-road band in row `row` from column `from` to `to`, kept inside the row.
void Band(TrackMap& map, int row, int from, int to) {
    from = std::max(from, 1);
    to = std::min(to, kMapCols);
    for (int c = from; c <= to; ++c)
        map.Set(row, c, kTileSideRoad);
}

bool IsBandOrJunction(uint8_t t) {
    return t == kTileSideRoad || t == kTileJunction;
}

bool VergeColumn(const TrackMap& map, int firstRow, int col) {
    for (int r = firstRow; r < firstRow + 4; ++r)
        if (map.Cell(r, col) != kTileVerge) return false;
    return true;
}

bool AreaEmpty(const TrackMap& map, int top, int left, int rows, int cols) {
    for (int r = top; r < top + rows; ++r)
        for (int c = left; c < left + cols; ++c)
            if (map.Cell(r, c) != E) return false;
    return true;
}

void PutRow(TrackMap& map, int row, int col, std::initializer_list<uint8_t> tiles) {
    for (uint8_t t : tiles)
        map.Set(row, col++, t);
}

// Verges, side-road bands and their junctions and corners, beside the road tile at
// (i, j) or (i, j - 2), when the cell between is still empty.
void DecorateEdges(TrackMap& map, int i, int j) {
    if (map.Cell(i, j - 1) != E) return;
    const int s = j < 26 ? 1 : j - 10; // a band to the left runs ten columns out
    const int e = j < 625 ? j + 10 : kMapCols;
    switch (map.Cell(i, j)) {
    case 1:
    case 20:
        map.Set(i, j - 1, kTileVerge);
        break;
    case 9:
        map.Set(i, j - 1, 28);
        map.Set(i, j - 2, 26);
        break;
    case 5:
        map.Set(i, j - 1, kTileJunction);
        Band(map, i, s, j - 2);
        break;
    case 16:
        map.Set(i, j - 1, 27);
        map.Set(i, j - 2, kTileJunction);
        Band(map, i, s, j - 3);
        break;
    default:
        break;
    }
    switch (map.Cell(i, j - 2)) {
    case 4:
        map.Set(i, j - 1, kTileVerge);
        break;
    case 12:
        map.Set(i, j - 1, kTileJunction);
        Band(map, i, j, e);
        break;
    case 8:
        map.Set(i, j - 1, 26);
        map.Set(i, j, 28);
        break;
    case 17:
        map.Set(i, j - 1, 29);
        map.Set(i, j, 27);
        break;
    case 13:
        map.Set(i, j - 1, kTileJunction);
        Band(map, i, j, e);
        break;
    default:
        break;
    }
}

// Fillers between two bands, and the end caps where a band stops.
void DecorateBands(TrackMap& map, TRandom& rng, int i, int j) {
    const uint8_t below = map.Cell(i + 1, j);
    if (IsBandOrJunction(below)) {
        if (map.Cell(i + 2, j) == E && IsBandOrJunction(map.Cell(i + 3, j)))
            map.Set(i + 2, j, uint8_t(30 + rng.Random(3)));
        return; // the cases below need (i + 1, j) empty
    }
    if (below != E) return;
    if (map.Cell(i + 2, j) != E || map.Cell(i + 2, j + 1) != E) return;
    if (map.Cell(i + 1, j + 1) == kTileSideRoad) { // a band starts to the right
        map.Set(i + 1, j, 36);
        map.Set(i + 2, j, 37);
        map.Set(i + 2, j + 1, 38);
    } else if (map.Cell(i + 1, j - 1) == kTileSideRoad) { // a band ends to the left
        map.Set(i, j, 36);
        map.Set(i + 1, j, 37);
        map.Set(i + 1, j + 1, 38);
    }
}

// A building, a park or a pole pair along a verge.
void DecorateVerges(TrackMap& map, TRandom& rng, int i, int j) {
    const int choice = rng.Random(3);
    // Buildings and parks stand four columns from a verge on their right, pole pairs
    // right next to it; anything stands right next to a verge on its left.
    const int rightVergeCol = choice == 2 ? j + 1 : j + 4;
    // Cheap look at the first row first: almost every cell has no verge near it.
    const bool maybeRight = map.Cell(i + 1, rightVergeCol) == kTileVerge;
    const bool maybeLeft = map.Cell(i + 1, j - 1) == kTileVerge;
    if (!maybeRight && !maybeLeft) return;
    const bool vergeRight = maybeRight && VergeColumn(map, i + 1, rightVergeCol);
    const bool vergeLeft = maybeLeft && VergeColumn(map, i + 1, j - 1);
    if (!vergeRight && !vergeLeft) return;

    if (choice == 2) { // pole pair
        if (!AreaEmpty(map, i + 1, j, 5, 1)) return;
        static constexpr uint8_t kRightPoles[5] = {0, kTilePoleRight, 32, kTilePoleRight, 0};
        static constexpr uint8_t kLeftPoles[5] = {0, kTilePoleLeft, 32, kTilePoleLeft, 0};
        if (vergeRight)
            for (int n = 0; n < 5; ++n)
                map.Set(i + 1 + n, j, kRightPoles[n]);
        if (vergeLeft) // a column between two verges gets the left-hand poles
            for (int n = 0; n < 5; ++n)
                map.Set(i + 1 + n, j, kLeftPoles[n]);
        return;
    }
    if (!AreaEmpty(map, i + 1, j, 4, 4)) return;
    if (choice == 0) { // building
        PutRow(map, i + 1, j, {0, 40, 40, 40});
        PutRow(map, i + 2, j, {41, 45, 46, 44});
        PutRow(map, i + 3, j, {41, 47, 48, 44});
        PutRow(map, i + 4, j, {41, 42, 42, 43});
        return;
    }
    // park, with now and then a side road along its top leading away from the verge
    PutRow(map, i + 2, j + 1, {49, 50, 51});
    PutRow(map, i + 3, j + 1, {52, 53, 54});
    PutRow(map, i + 4, j + 1, {55, 56, 57});
    if (vergeRight && rng.Random(2) == 0) {
        map.Set(i + 1, j + 4, 58);
        Band(map, i + 1, j - 17, j + 3);
    }
    if (vergeLeft && rng.Random(2) == 0) {
        map.Set(i + 1, j - 1, 60);
        Band(map, i + 1, j, j + 20);
    }
}

// A cell none of the decoration rules can act on: every rule needs a road tile at
// (i, j) or (i, j - 2), or a verge or side road in row i + 1 at j - 1, j, j + 1 or
// j + 4, so a cell whose row holds nothing in j - 2..j and whose next row holds
// nothing in j - 1..j + 4 is left as it is (only its random draw is made).
bool Inert(const TrackMap& map, int i, int j) {
    constexpr uint64_t kThree = 0xFFFFFFull, kSix = 0xFFFFFFFFFFFFull;
    return (Load8(map, i, j - 2) & kThree) == kThree && (Load8(map, i + 1, j - 1) & kSix) == kSix;
}

} // namespace

void DecorateCell(TrackMap& map, TRandom& rng, int i, int j) {
    DecorateEdges(map, i, j);
    if (i < 1497) DecorateBands(map, rng, i, j);
    if (i < 1495) DecorateVerges(map, rng, i, j);
}

void DecorationPass(TrackMap& map, TRandom& rng, int trackLength) {
    for (int i = 1498; i >= 1500 - trackLength; --i) {
        const bool draws = i < 1495; // only the verge rule draws for every cell
        for (int j = 3; j <= 645; ++j) {
            if (!Inert(map, i, j)) {
                DecorateCell(map, rng, i, j);
                continue;
            }
            int run = 1; // most of a row is open ground: skip it in one go
            while (j + run <= 645 && Inert(map, i, j + run))
                ++run;
            if (draws) rng.Skip(uint32_t(run));
            j += run - 1;
        }
    }
}

// Blocks and scenery go only where the area test found empty cells, which lie
// inside the map, so they write through plain row pointers.
//
// Both draw from a local copy of the generator: the compiler cannot tell that byte
// writes into the map leave the generator's state alone, and would otherwise reload
// and store it around every write.
int PlaceBlock(TrackMap& map, TRandom& rng, int r, int k) {
    assert(TrackMap::Inside(r + 1, k) && TrackMap::Inside(r + 5, k + 4));
    TRandom local = rng;
    const bool placed = local.Random(4) == 0;
    if (placed) {
        uint8_t* row = &map.Cell(r + 1, k);
        static constexpr uint8_t kTop[5] = {26, 24, 24, 24, 27}, kBottom[5] = {29, 24, 24, 24, 28};
        std::memcpy(row, kTop, 5);
        for (int n = 0; n < 3; ++n) {
            row += kMapCols;
            row[0] = kTileVerge;
            for (int c = 1; c <= 3; ++c)
                row[c] = uint8_t(30 + local.Random(3));
            row[4] = kTileVerge;
        }
        std::memcpy(row + kMapCols, kBottom, 5);
    }
    rng = local;
    return placed ? 5 : 0;
}

int PlaceScenery(TrackMap& map, TRandom& rng, int r, int k) {
    assert(TrackMap::Inside(r + 1, k) && TrackMap::Inside(r + 2, k + 1));
    TRandom local = rng;
    uint8_t* row = &map.Cell(r + 1, k);
    uint8_t* below = row + kMapCols;
    if (local.Random(2) == 0) {
        row[0] = 45, row[1] = 46;
        below[0] = 47, below[1] = 48;
    } else {
        row[0] = 36;
        row[1] = uint8_t(31 + local.Random(2));
        below[0] = 37, below[1] = 38;
    }
    rng = local;
    return 2;
}

namespace {

// Which cells of a row are empty, bit c - 1 for column c.
constexpr int kMaskWords = (kMapCols + 63) / 64;
using RowMask = std::array<uint64_t, kMaskWords>;

RowMask EmptyMaskOf(const TrackMap& map, int row) {
    RowMask m{};
    int c = 1;
    for (; c + 7 <= kMapCols; c += 8)
        m[size_t((c - 1) / 64)] |= uint64_t(EmptyBits8(Load8(map, row, c))) << ((c - 1) % 64);
    for (; c <= kMapCols; ++c)
        if (map.Cell(row, c) == E) m[size_t((c - 1) / 64)] |= uint64_t(1) << ((c - 1) % 64);
    return m;
}

RowMask ShiftDown(const RowMask& m, int s) { // bit b + s moves to bit b
    RowMask out{};
    for (size_t w = 0; w < m.size(); ++w) {
        out[w] = m[w] >> s;
        if (s > 0 && w + 1 < m.size()) out[w] |= m[w + 1] << (64 - s);
    }
    return out;
}

void ClearBits(RowMask& m, int firstBit, int count) {
    const int end = std::min(firstBit + count, kMaskWords * 64);
    while (firstBit < end) {
        const int b = firstBit % 64, n = std::min(end - firstBit, 64 - b);
        const uint64_t bits = n == 64 ? ~uint64_t(0) : ((uint64_t(1) << n) - 1) << b;
        m[size_t(firstBit / 64)] &= ~bits;
        firstBit += n;
    }
}

// Runs `place` on every position (r, k), r from 1499 - trackLength to 1495 and k from
// 1 to 645 in that order, whose `height` x `width` area of rows r + 1.., columns k..
// is all empty at that moment. `place` answers how many columns from k it filled
// (0: none), always `rows` rows from r + 1 down. Rather than test each area cell by
// cell, it keeps one bit per cell for the rows below the scan and finds the empty
// areas of a row with a few word operations.
template <class Place>
void ForEachEmptyArea(TrackMap& map, int trackLength, int height, int width, int rows, Place place) {
    constexpr int kLastK = 645;
    const int first = 1499 - trackLength;
    std::vector<RowMask> empty(size_t(kMapRows + 1));
    for (int row = first + 1; row <= kMapRows; ++row)
        empty[size_t(row)] = EmptyMaskOf(map, row);

    for (int r = first; r <= 1495; ++r) {
        RowMask clear = empty[size_t(r + 1)];
        for (int n = 2; n <= height; ++n)
            for (size_t w = 0; w < clear.size(); ++w)
                clear[w] &= empty[size_t(r + n)][w];
        RowMask fits = clear; // bit k - 1: columns k..k + width - 1 are all clear
        for (int n = 1; n < width; ++n) {
            const RowMask shifted = ShiftDown(clear, n);
            for (size_t w = 0; w < fits.size(); ++w)
                fits[w] &= shifted[w];
        }
        ClearBits(fits, kLastK, kMapCols - kLastK);
        for (size_t w = 0; w < fits.size(); ++w) {
            while (fits[w] != 0) {
                const int bit = int(w) * 64 + std::countr_zero(fits[w]);
                fits[w] &= fits[w] - 1;
                const int filled = place(r, bit + 1);
                if (filled == 0) continue;
                for (int n = 1; n <= rows; ++n)
                    ClearBits(empty[size_t(r + n)], bit, filled);
                ClearBits(fits, bit + 1, filled - 1); // areas overlapping the new piece
            }
        }
    }
}

} // namespace

void BlockPass(TrackMap& map, TRandom& rng, int trackLength) {
    ForEachEmptyArea(map, trackLength, 5, 5, 5, [&](int r, int k) { return PlaceBlock(map, rng, r, k); });
}

void SceneryPass(TrackMap& map, TRandom& rng, int trackLength) {
    ForEachEmptyArea(map, trackLength, 4, 4, 2, [&](int r, int k) { return PlaceScenery(map, rng, r, k); });
}

void FillGround(TrackMap& map) {
    uint8_t* cell = map.Data();
    for (size_t n = 0; n < size_t(kMapRows) * kMapCols; ++n)
        cell[n] = cell[n] == E ? kTileGround : cell[n];
}

} // namespace trackgen

void BuildTrack(TrackMap& map, TRandom& rng, int trackLength) {
    if (trackLength < kMinTrackLength || trackLength > kMaxTrackLength)
        throw std::invalid_argument("track length " + std::to_string(trackLength) + " is outside " +
                                    std::to_string(kMinTrackLength) + ".." + std::to_string(kMaxTrackLength));
    map.Fill(kEmptyCell);
    trackgen::RoadPass(map, rng, trackLength);
    trackgen::DecorationPass(map, rng, trackLength);
    trackgen::BlockPass(map, rng, trackLength);
    trackgen::SceneryPass(map, rng, trackLength);
    trackgen::FillGround(map);
}

} // namespace vorlane
