// The road tiles: four straight lanes, the two rows of the lane shifts, the median
// pair of the six-wide road and the inner lanes of the widenings.
//
// Every road tile is a window onto one four-lane road cross-section. A lane shift
// slides the whole cross-section sideways by half a tile per tile row (one tile
// column per two rows), so lanes, lines and kerbs run as one straight diagonal; a
// tile of a shift shows the cross-section slid by the amount of its row. Splits,
// merges and medians put the two halves of the road side by side, and because the
// cross-section is symmetric about its centre line the halves meet exactly at the
// tile edge between them.
#include "datagen/race/RaceGeometry.h"
#include "datagen/race/TilePaint.h"
#include "datagen/race/TileSet.h"

#include <cmath>

namespace vorlane::datagen::race {
namespace {

// Which part of the road a tile shows. The cross-section coordinate of a point of the
// tile at (x, y) is x + 72 * column - direction * slide(y).
struct RoadWindow {
    int column = 0;         // tile column within the cross-section (lane 1 = 0)
    int direction = 0;      // 0 straight, +1 shifting right, -1 shifting left
    double slideBottom = 0; // slide at the tile's bottom edge (0 lower row, 36 upper row)
};

double Slide(const RoadWindow& w, double y) {
    return w.direction == 0 ? 0 : w.slideBottom + (kTile - y) / 2;
}

// Tile x of cross-section position fx on tile row y.
double LocalX(const RoadWindow& w, double fx, double y) {
    return fx - kTile * w.column + w.direction * Slide(w, y);
}

// A band of the cross-section between fx0 and fx1, over tile rows y0..y1.
void Strip(cairo_t* cr, const RoadWindow& w, double fx0, double fx1, double y0, double y1) {
    cairo_move_to(cr, LocalX(w, fx0, y0), y0);
    cairo_line_to(cr, LocalX(w, fx1, y0), y0);
    cairo_line_to(cr, LocalX(w, fx1, y1), y1);
    cairo_line_to(cr, LocalX(w, fx0, y1), y1);
    cairo_close_path(cr);
}

constexpr double kTop = -kTileMargin, kBottom = kTile + kTileMargin;

void StripFull(cairo_t* cr, const RoadWindow& w, double fx0, double fx1) {
    Strip(cr, w, fx0, fx1, kTop, kBottom);
}

const Colour kPaint = Hex(0xF1F0EA, 0.93);

// Dashes of a lane line: world y in [9, 27) of every 36.
void Dashes(cairo_t* cr, const RoadWindow& w, double fx0, double fx1) {
    for (double base = -2 * road::kDashPeriod; base < kBottom; base += road::kDashPeriod)
        Strip(cr, w, fx0, fx1, base + road::kDashStart, base + road::kDashEnd);
}

// Gentle wear of the asphalt: darker wheel tracks along every lane, kept off the tile
// edges of a straight road (cross-section positions).
constexpr double kTracks[8] = {52, 67, 97, 128, 160, 191, 221, 236};

void WearTracks(cairo_t* cr, const RoadWindow& w, double from, double to) {
    for (double t : kTracks) {
        if (t < from || t > to) continue;
        for (int k = 0; k < 3; ++k) {
            StripFull(cr, w, t - 4.5 + k * 1.5, t + 4.5 - k * 1.5);
            cairo_set_source_rgba(cr, 0.05, 0.05, 0.06, 0.04);
            cairo_fill(cr);
        }
    }
}

void Kerb(cairo_t* cr, const Textures& tx, const RoadWindow& w, double fx0, double fx1) {
    StripFull(cr, w, fx0, fx1);
    FillMaterial(cr, tx, Material::Concrete);
    cairo_new_path(cr);
    // Joints between the kerb stones, and the lit top edge.
    for (double y = kTop; y < kBottom; y += 12) {
        Strip(cr, w, fx0, fx1, y, y + 1);
    }
    cairo_set_source_rgba(cr, 0.25, 0.25, 0.24, 0.45);
    cairo_fill(cr);
    StripFull(cr, w, fx0, fx0 + 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_fill(cr);
    StripFull(cr, w, fx1 - 1, fx1);
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.35);
    cairo_fill(cr);
}

// Soft darkening that fades over `width` starting at fx (positive width: to the right).
void Fade(cairo_t* cr, const RoadWindow& w, double fx, double width, double alpha) {
    const int steps = 4;
    for (int k = 0; k < steps; ++k) {
        const double a = fx, b = fx + width * double(steps - k) / steps;
        StripFull(cr, w, std::min(a, b), std::max(a, b));
        cairo_set_source_rgba(cr, 0.02, 0.04, 0.02, alpha / steps);
        cairo_fill(cr);
    }
}

void PaintRoad(cairo_t* cr, const Textures& tx, const RoadWindow& w) {
    using namespace road;
    StripFull(cr, w, kKerbInnerL, kKerbInnerR);
    FillMaterial(cr, tx, Material::Asphalt);
    cairo_new_path(cr);
    WearTracks(cr, w, 0, road::kWidth);
    // The kerbs throw a thin shadow onto the asphalt on their lower-right side.
    Fade(cr, w, kKerbInnerL, 4, 0.35);
    Kerb(cr, tx, w, kKerbOuterL, kKerbInnerL);
    Kerb(cr, tx, w, kKerbInnerR, kKerbOuterR);
    SetColour(cr, kPaint);
    StripFull(cr, w, kEdgeLineL0, kEdgeLineL1);
    StripFull(cr, w, kEdgeLineR0, kEdgeLineR1);
    StripFull(cr, w, kCentreL0, kCentreL1);
    StripFull(cr, w, kCentreR0, kCentreR1);
    Dashes(cr, w, kDashL0, kDashL1);
    Dashes(cr, w, kDashR0, kDashR1);
    cairo_fill(cr);
}

// The planters down the middle of the median: a raised bed on every tile row, centred
// on the edge between tiles 21 and 22. `left` and `right` are the bed's sides in the
// coordinates of the tile that draws it; the shrubs always stand on the median's centre
// line at x = centre, so a tile that shows a narrower bed still matches its neighbour.
void Planter(cairo_t* cr, const Textures& tx, double left, double right, double centre) {
    const double top = 8, bottom = 64, r = 12;
    auto bed = [&](double inset) {
        const double x0 = left + inset, x1 = right - inset, y0 = top + inset, y1 = bottom - inset;
        const double rr = std::max(1.0, r - inset);
        cairo_new_path(cr);
        cairo_arc(cr, x1 - rr, y0 + rr, rr, -M_PI / 2, 0);
        cairo_arc(cr, x1 - rr, y1 - rr, rr, 0, M_PI / 2);
        cairo_arc(cr, x0 + rr, y1 - rr, rr, M_PI / 2, M_PI);
        cairo_arc(cr, x0 + rr, y0 + rr, rr, M_PI, 3 * M_PI / 2);
        cairo_close_path(cr);
    };
    bed(0);
    GroundShadow(cr, 2.5, 2, 0.45);
    FillMaterial(cr, tx, Material::Concrete);
    bed(3);
    FillMaterial(cr, tx, Material::Grass);
    cairo_set_source_rgba(cr, 0.05, 0.1, 0.02, 0.15);
    cairo_fill(cr);
    // Three clipped shrubs on the centre line.
    cairo_save(cr);
    bed(3);
    cairo_clip(cr);
    for (double sy : {20.0, 36.0, 52.0}) {
        const double rad = sy == 36.0 ? 10 : 8;
        cairo_new_path(cr);
        cairo_arc(cr, centre, sy, rad, 0, 2 * M_PI);
        GroundShadow(cr, 2, 2, 0.5);
        cairo_pattern_t* g =
            cairo_pattern_create_radial(centre - rad * 0.35, sy - rad * 0.35, rad * 0.1, centre, sy, rad);
        AddStop(g, 0, Hex(0x7DBA4C));
        AddStop(g, 0.6, Hex(0x3F7E2A));
        AddStop(g, 1, Hex(0x24521A));
        SetSourceAndRelease(cr, g);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void Asphalt(cairo_t* cr, const Textures& tx) {
    cairo_rectangle(cr, kTop, kTop, kBottom - kTop, kBottom - kTop);
    FillMaterial(cr, tx, Material::Asphalt);
    cairo_new_path(cr);
}

void Line(cairo_t* cr, double x0, double x1) {
    SetColour(cr, kPaint);
    cairo_rectangle(cr, x0, kTop, x1 - x0, kBottom - kTop);
    cairo_fill(cr);
}

void DashedLine(cairo_t* cr, double x0, double x1) {
    const RoadWindow straight;
    SetColour(cr, kPaint);
    Dashes(cr, straight, x0, x1);
    cairo_fill(cr);
}

// Painted chevrons on the asphalt between a carriageway and the median beds, kept
// inside the tile row so that rows stack without cutting a chevron.
void Chevrons(cairo_t* cr, double x0, double x1, bool pointLeft) {
    cairo_save(cr);
    cairo_rectangle(cr, x0, 10, x1 - x0, 52);
    cairo_clip(cr);
    SetColour(cr, Hex(0xF1F0EA, 0.55));
    cairo_set_line_width(cr, 3);
    for (double y = 4; y < 80; y += 16) {
        const double tip = pointLeft ? x0 : x1, tail = pointLeft ? x1 : x0;
        cairo_move_to(cr, tail, y + 14);
        cairo_line_to(cr, tip, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

bool WindowOf(int tile, RoadWindow& w) {
    if (tile >= 1 && tile <= 4) {
        w.column = tile - 1;
    } else if (tile >= 5 && tile <= 8) {
        w = {tile - 5, 1, 0};
    } else if (tile >= 9 && tile <= 12) {
        w = {tile - 9 + 1, 1, 36};
    } else if (tile >= 13 && tile <= 16) {
        w = {16 - tile, -1, 0};
    } else if (tile >= 17 && tile <= 20) {
        w = {19 - tile, -1, 36};
    } else {
        return false;
    }
    return true;
}

} // namespace

bool RoadOriginInTile(int tile, double localY, double& originX) {
    RoadWindow w;
    if (!WindowOf(tile, w)) return false;
    originX = LocalX(w, 0, localY);
    return true;
}

void PaintRoadTile(cairo_t* cr, const Textures& tx, int tile) {
    PaintGrass(cr, tx);
    RoadWindow w;
    WindowOf(tile, w);
    // Where a shift meets a side road, the side road's paving runs up to the kerb.
    if (tile == 5) PaintFootpaths(cr, tx, {false, false, true, false});
    if (tile == 12 || tile == 13) PaintFootpaths(cr, tx, {false, false, false, true});
    PaintRoad(cr, tx, w);
}

void PaintMedianTile(cairo_t* cr, const Textures& tx, int tile) {
    PaintGrass(cr, tx);
    Asphalt(cr, tx);
    // The wheel tracks of the lane whose place the tile takes.
    if (tile == 21 || tile == 35) WearTracks(cr, RoadWindow{2, 0, 0}, 144, 216);
    if (tile == 22 || tile == 34) WearTracks(cr, RoadWindow{1, 0, 0}, 72, 144);
    switch (tile) {
    case 21: // left half of the median: the right line of the centre pair, then the bed
        Line(cr, road::kCentreR0 - 144, road::kCentreR1 - 144);
        Chevrons(cr, 8, 48, false);
        Planter(cr, tx, 52, 92, 72);
        break;
    case 22: // right half
        Line(cr, road::kCentreL0 - 72, road::kCentreL1 - 72);
        Chevrons(cr, 24, 64, true);
        Planter(cr, tx, -20, 20, 0);
        break;
    case 34: // lane 2 of a widening to the right, with the left side of the median bed
        DashedLine(cr, road::kDashL0 - 72, road::kDashL1 - 72);
        Line(cr, 49, 52);
        Planter(cr, tx, 60, 92, 72);
        break;
    case 35: // lane 3 of a widening to the left, with the right side of the bed
        DashedLine(cr, road::kDashR0 - 144, road::kDashR1 - 144);
        Line(cr, 20, 23);
        Planter(cr, tx, -20, 12, 0);
        break;
    default:
        // 33: where lanes open or close. It stands in lane 2 of a widening or narrowing
        // on the right and in lane 3 of one on the left, so it carries both of those
        // lanes' dashed lines and nothing else.
        DashedLine(cr, road::kDashL0 - 72, road::kDashL1 - 72);
        DashedLine(cr, road::kDashR0 - 144, road::kDashR1 - 144);
        break;
    }
}

} // namespace vorlane::datagen::race
