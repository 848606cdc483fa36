// The scenery tiles: block fillers (tree, house, garden), the small plaza, the solid
// pole pillars, the walled building with its roof, and the 3 x 3 park. Everything
// keeps clear of the tile edges that meet plain ground, so these tiles sit next to
// grass and to each other in any order; pieces that belong together (park, plaza,
// building roof) are drawn whole and cut per tile.
#include "datagen/common/Paint.h"
#include "datagen/race/RaceGeometry.h"
#include "datagen/race/TilePaint.h"
#include "datagen/race/TileSet.h"

#include <cmath>

namespace vorlane::datagen::race {
namespace {

void Lobe(cairo_t* cr, double x, double y, double r, const Colour& lit, const Colour& mid,
          const Colour& dark) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.4, y - r * 0.45, r * 0.1, x, y, r * 1.05);
    AddStop(g, 0, lit);
    AddStop(g, 0.55, mid);
    AddStop(g, 1, dark);
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
}

// The house of filler 31: a hipped tile roof with a chimney.
void PaintHouse(cairo_t* cr, double x0, double y0, double x1, double y1) {
    const double w = x1 - x0, h = y1 - y0;
    const double inset = std::min(w, h) * 0.42;
    const double rx0 = x0 + inset, rx1 = x1 - inset, ry = (y0 + y1) / 2;
    cairo_rectangle(cr, x0, y0, w, h);
    GroundShadow(cr, 4, 3, 0.5);
    cairo_new_path(cr);
    const Colour tile = Hex(0xB4573E);
    struct Face {
        double pts[8];
        double light;
    };
    const Face faces[4] = {
        {{x0, y0, x1, y0, rx1, ry, rx0, ry}, 0.18},  // upper face, toward the sun
        {{x1, y0, x1, y1, rx1, ry, rx1, ry}, -0.12}, // right
        {{x1, y1, x0, y1, rx0, ry, rx1, ry}, -0.25}, // lower
        {{x0, y1, x0, y0, rx0, ry, rx0, ry}, 0.08},  // left
    };
    for (const Face& f : faces) {
        cairo_move_to(cr, f.pts[0], f.pts[1]);
        for (int i = 2; i < 8; i += 2)
            cairo_line_to(cr, f.pts[i], f.pts[i + 1]);
        cairo_close_path(cr);
        SetColour(cr, f.light > 0 ? Lighter(tile, f.light) : Darker(tile, -f.light));
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        // Rows of roof tiles.
        SetColour(cr, Hex(0x3A120A, 0.25));
        cairo_set_line_width(cr, 0.8);
        for (double t = 3; t < std::max(w, h); t += 4) {
            cairo_rectangle(cr, x0 + t, y0 + t, w - 2 * t, h - 2 * t);
        }
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    // Ridge and hips.
    SetColour(cr, Hex(0xE2A080, 0.8));
    cairo_set_line_width(cr, 1.4);
    cairo_move_to(cr, rx0, ry);
    cairo_line_to(cr, rx1, ry);
    for (double sx : {x0, x1})
        for (double sy : {y0, y1}) {
            cairo_move_to(cr, sx, sy);
            cairo_line_to(cr, sx == x0 ? rx0 : rx1, ry);
        }
    cairo_stroke(cr);
    // Chimney.
    const double cx = rx1 - 4, cy = ry - h * 0.2;
    cairo_rectangle(cr, cx, cy, 6, 6);
    GroundShadow(cr, 2, 1, 0.5);
    SetColour(cr, Hex(0x8C8378));
    cairo_fill(cr);
    cairo_rectangle(cr, cx + 1.5, cy + 1.5, 3, 3);
    SetColour(cr, Hex(0x2A2622));
    cairo_fill(cr);
}

// Filler 32: a garden bed fenced by a low clipped hedge.
void PaintGarden(cairo_t* cr, const Textures& tx) {
    RoundedRectPath(cr, 9, 10, 54, 50, 7);
    GroundShadow(cr, 2.5, 2, 0.45);
    SetColour(cr, Hex(0x2F6A22));
    cairo_fill(cr);
    RoundedRectPath(cr, 14, 15, 44, 40, 4);
    FillMaterial(cr, tx, Material::Soil);
    cairo_new_path(cr);
    Lcg rng(321);
    const uint32_t blooms[4] = {0xE8454A, 0xF5D142, 0xF4F0F6, 0xC06AD8};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 7; ++k) {
            const double x = 19 + k * 5.7 + rng.Range(-0.8, 0.8), y = 20 + row * 10 + rng.Range(-0.8, 0.8);
            cairo_arc(cr, x, y, 2.6, 0, 2 * M_PI);
            SetColour(cr, Hex(0x3E7F2C));
            cairo_fill(cr);
            cairo_arc(cr, x - 0.5, y - 0.5, 1.3, 0, 2 * M_PI);
            SetColour(cr, Hex(blooms[(row + k) % 4]));
            cairo_fill(cr);
        }
    // The hedge's lit top edge.
    RoundedRectPath(cr, 10, 11, 52, 48, 6);
    SetColour(cr, Hex(0x7DB652, 0.6));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

void Bench(cairo_t* cr, double cx, double cy, bool vertical) {
    const double w = vertical ? 5 : 14, h = vertical ? 14 : 5;
    cairo_rectangle(cr, cx - w / 2, cy - h / 2, w, h);
    GroundShadow(cr, 1.5, 1, 0.5);
    SetColour(cr, Hex(0x8A5A32));
    cairo_fill(cr);
    SetColour(cr, Hex(0x4A2E18, 0.8));
    cairo_set_line_width(cr, 0.6);
    for (int k = 1; k < 3; ++k) {
        if (vertical) {
            cairo_move_to(cr, cx - w / 2 + w * k / 3, cy - h / 2);
            cairo_line_to(cr, cx - w / 2 + w * k / 3, cy + h / 2);
        } else {
            cairo_move_to(cr, cx - w / 2, cy - h / 2 + h * k / 3);
            cairo_line_to(cr, cx + w / 2, cy - h / 2 + h * k / 3);
        }
    }
    cairo_stroke(cr);
}

// The small plaza of tiles 36 (top left), 37 (below it) and 38 (right of 37), in the
// plaza's own coordinates (36 at the origin).
void PaintPlaza(cairo_t* cr, const Textures& tx) {
    cairo_new_path(cr);
    // An L of paving, 8 pixels clear of every outer edge.
    const double r = 10;
    cairo_move_to(cr, 8 + r, 8);
    cairo_arc(cr, 64 - r, 8 + r, r, -M_PI / 2, 0);
    cairo_line_to(cr, 64, 80 - 6);
    cairo_arc_negative(cr, 64 + 6, 80 - 6, 6, M_PI, M_PI / 2);
    cairo_arc(cr, 136 - r, 80 + r, r, -M_PI / 2, 0);
    cairo_arc(cr, 136 - r, 136 - r, r, 0, M_PI / 2);
    cairo_arc(cr, 8 + r, 136 - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, 8 + r, 8 + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
    PavePath(cr, tx);
    cairo_new_path(cr);
    // Fountain.
    const double fx = 40, fy = 106;
    cairo_arc(cr, fx, fy, 20, 0, 2 * M_PI);
    GroundShadow(cr, 2, 2, 0.4);
    FillMaterial(cr, tx, Material::Concrete);
    cairo_new_path(cr);
    cairo_arc(cr, fx, fy, 16, 0, 2 * M_PI);
    FillMaterial(cr, tx, Material::Water);
    cairo_new_path(cr);
    cairo_arc(cr, fx, fy, 4, 0, 2 * M_PI);
    SetColour(cr, Hex(0xBFC3C2));
    cairo_fill(cr);
    for (int k = 0; k < 8; ++k) {
        const double a = k * M_PI / 4;
        cairo_arc(cr, fx + std::cos(a) * 8, fy + std::sin(a) * 8, 1.3, 0, 2 * M_PI);
    }
    SetColour(cr, Hex(0xFFFFFF, 0.7));
    cairo_fill(cr);
    // Benches and planters.
    Bench(cr, 22, 36, true);
    Bench(cr, 50, 36, true);
    Bench(cr, 100, 124, false);
    for (Pt p : {Pt{36, 20}, Pt{120, 96}, Pt{84, 96}}) {
        cairo_arc(cr, p.x, p.y, 6, 0, 2 * M_PI);
        GroundShadow(cr, 1.5, 1, 0.45);
        FillMaterial(cr, tx, Material::Concrete);
        cairo_new_path(cr);
        Lobe(cr, p.x, p.y, 4.5, Hex(0x8CCB5A), Hex(0x4A8B30), Hex(0x275A1C));
    }
}

// The solid pillar of a pole tile, x0..x1.
void PillarPath(cairo_t* cr, double x0, double x1) {
    RoundedRectPath(cr, x0, 3, x1 - x0, 63, 2.5);
}

void PaintPillar(cairo_t* cr, const Textures& tx, double x0, double x1) {
    PillarPath(cr, x0, x1);
    GroundShadow(cr, 2.5, 1.5, 0.6);
    FillMaterial(cr, tx, Material::Concrete);
    cairo_new_path(cr);
    // Bevelled top: lit upper and left faces, dark lower and right faces.
    const double y0 = 3, y1 = 66, b = 4;
    auto face = [&](std::initializer_list<Pt> pts, const Colour& c) {
        bool first = true;
        for (Pt p : pts) {
            if (first)
                cairo_move_to(cr, p.x, p.y);
            else
                cairo_line_to(cr, p.x, p.y);
            first = false;
        }
        cairo_close_path(cr);
        SetColour(cr, c);
        cairo_fill(cr);
    };
    face({{x0, y0}, {x1, y0}, {x1 - b, y0 + b}, {x0 + b, y0 + b}}, Hex(0xFFFFFF, 0.35));
    face({{x0, y0}, {x0 + b, y0 + b}, {x0 + b, y1 - b}, {x0, y1}}, Hex(0xFFFFFF, 0.2));
    face({{x1, y0}, {x1, y1}, {x1 - b, y1 - b}, {x1 - b, y0 + b}}, Hex(0x000000, 0.25));
    face({{x0, y1}, {x1, y1}, {x1 - b, y1 - b}, {x0 + b, y1 - b}}, Hex(0x000000, 0.35));
    // A steel post rising from the middle, with its cap.
    const double cx = (x0 + x1) / 2, cy = 34;
    cairo_arc(cr, cx, cy, 8, 0, 2 * M_PI);
    ShadowOfPath(cr, 3, 3.5, 1.5, Hex(0x000000, 0.45));
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - 3, cy - 3, 1, cx, cy, 8);
    AddStop(g, 0, Hex(0xE8ECEF));
    AddStop(g, 0.6, Hex(0x8C949B));
    AddStop(g, 1, Hex(0x4A5057));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
    // Yellow and black warning bands on the pillar's ends.
    cairo_save(cr);
    PillarPath(cr, x0, x1);
    cairo_clip(cr);
    for (double yb : {y0, y1 - 7}) {
        cairo_rectangle(cr, x0, yb, x1 - x0, 7);
        SetColour(cr, Hex(0xE8B820));
        cairo_fill(cr);
        SetColour(cr, Hex(0x1A1A1A));
        for (double t = x0 - 8; t < x1; t += 7) {
            cairo_move_to(cr, t, yb + 7);
            cairo_line_to(cr, t + 3.5, yb + 7);
            cairo_line_to(cr, t + 10.5, yb);
            cairo_line_to(cr, t + 7, yb);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// Solid parts of the walled building: the boundary wall is built of panels, one per
// tile, so that its tiles stand in a row or alone without a cut at a tile edge.
void WallBottomPath(cairo_t* cr) {
    RoundedRectPath(cr, 1, 58, 70, 11, 1.5);
}
void WallRightPath(cairo_t* cr) {
    RoundedRectPath(cr, 65, 1, 6, 64, 1.5);
}
void BlockPath(cairo_t* cr) {
    RoundedRectPath(cr, 2, 2, 60, 60, 2);
}

void PaintWall(cairo_t* cr, const Textures& tx, bool bottom) {
    // The panel's shadow stays inside the tile and fades out before its edge.
    if (bottom) {
        cairo_rectangle(cr, 3, 69, 68, 3);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 69, 0, 72);
        AddStop(g, 0, Hex(0x000000, 0.45));
        AddStop(g, 1, Hex(0x000000, 0.0));
        SetSourceAndRelease(cr, g);
        cairo_fill(cr);
    } else {
        cairo_rectangle(cr, 67, 65, 4, 3);
    }
    SetColour(cr, Hex(0x000000, 0.3));
    cairo_fill(cr);
    bottom ? WallBottomPath(cr) : WallRightPath(cr);
    // Brick top with a pale coping along the middle.
    SetColour(cr, Hex(0x9C4A34));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    SetColour(cr, Hex(0x4C1E12, 0.5));
    cairo_set_line_width(cr, 0.7);
    if (bottom) {
        for (double x = 5; x < 71; x += 6) {
            cairo_move_to(cr, x, 58);
            cairo_line_to(cr, x, 69);
        }
        cairo_stroke(cr);
        cairo_rectangle(cr, 1, 61.5, 70, 4);
    } else {
        for (double y = 5; y < 65; y += 6) {
            cairo_move_to(cr, 65, y);
            cairo_line_to(cr, 71, y);
        }
        cairo_stroke(cr);
        cairo_rectangle(cr, 66.8, 1, 2.4, 64);
    }
    FillMaterial(cr, tx, Material::Concrete);
    cairo_new_path(cr);
    // The panel's lower and right faces in shade.
    if (bottom)
        cairo_rectangle(cr, 1, 67.5, 70, 1.5);
    else
        cairo_rectangle(cr, 69.8, 1, 1.2, 64);
    SetColour(cr, Hex(0x000000, 0.35));
    cairo_fill(cr);
    cairo_restore(cr);
}

// A one-tile building of the wall row: flat gravel roof with a parapet, an air
// conditioning box and a hatch; its shadow falls into the gap beside it.
void PaintBlock(cairo_t* cr, const Textures& tx, int variant) {
    BlockPath(cr);
    cairo_path_t* outline = cairo_copy_path(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, 62, 5, 5, 62);
    cairo_rectangle(cr, 5, 62, 57, 5);
    SetColour(cr, Hex(0x000000, 0.32));
    cairo_fill(cr);
    cairo_append_path(cr, outline);
    SetColour(cr, Hex(0xD6D2C8));
    cairo_fill(cr);
    RoundedRectPath(cr, 6, 6, 52, 52, 1);
    FillMaterial(cr, tx, Material::Gravel);
    cairo_new_path(cr);
    // Parapet shading: the sun-side inner edges in shadow.
    cairo_rectangle(cr, 6, 6, 52, 3);
    cairo_rectangle(cr, 6, 9, 3, 49);
    SetColour(cr, Hex(0x000000, 0.25));
    cairo_fill(cr);
    const double ax = variant == 0 ? 14 : 34, ay = variant == 1 ? 30 : 14;
    cairo_rectangle(cr, ax, ay, 16, 12);
    ShadowOfPath(cr, 2.5, 3, 1.2, Hex(0x000000, 0.45));
    SetLinear(cr, ax, ay, ax + 16, ay + 12, {Hex(0xE4E6E8), Hex(0x9DA3A8)});
    cairo_fill(cr);
    cairo_arc(cr, ax + 8, ay + 6, 4, 0, 2 * M_PI);
    SetColour(cr, Hex(0x3A3F44));
    cairo_fill(cr);
    cairo_rectangle(cr, variant == 2 ? 12 : 40, variant == 2 ? 38 : 40, 9, 9);
    SetColour(cr, Hex(0x6F747A));
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x2E3236));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_append_path(cr, outline);
    SetColour(cr, Hex(0x000000, 0.45));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_path_destroy(outline);
}

// The 2 x 2 roof of tiles 45-48 (45 at the origin): a flat roof with a parapet,
// skylights and plant, 8 pixels clear of the outer edges.
void PaintRoof(cairo_t* cr, const Textures& tx) {
    RoundedRectPath(cr, 8, 8, 128, 128, 3);
    GroundShadow(cr, 4, 2.5, 0.55);
    SetColour(cr, Hex(0xDCD8CE));
    cairo_fill(cr);
    RoundedRectPath(cr, 13, 13, 118, 118, 2);
    FillMaterial(cr, tx, Material::Gravel);
    cairo_new_path(cr);
    cairo_rectangle(cr, 13, 13, 118, 4);
    cairo_rectangle(cr, 13, 17, 4, 114);
    SetColour(cr, Hex(0x000000, 0.25));
    cairo_fill(cr);
    // Skylights.
    for (int k = 0; k < 3; ++k) {
        const double x = 28 + k * 30, y = 30;
        cairo_rectangle(cr, x, y, 18, 26);
        ShadowOfPath(cr, 2, 2.5, 1.2, Hex(0x000000, 0.4));
        SetLinear(cr, x, y, x + 18, y + 26, {Hex(0xBFD9EA), Hex(0x5B86A6), Hex(0x2E4F6A)});
        cairo_fill(cr);
        SetColour(cr, Hex(0xEEF2F4, 0.9));
        cairo_set_line_width(cr, 1.5);
        cairo_rectangle(cr, x, y, 18, 26);
        cairo_move_to(cr, x + 9, y);
        cairo_line_to(cr, x + 9, y + 26);
        cairo_stroke(cr);
    }
    // Air handling plant and a stair hut.
    cairo_rectangle(cr, 30, 78, 40, 30);
    ShadowOfPath(cr, 3, 3.5, 1.5, Hex(0x000000, 0.45));
    SetLinear(cr, 30, 78, 70, 108, {Hex(0xE6E8EA), Hex(0xA3A9AE)});
    cairo_fill(cr);
    for (int k = 0; k < 2; ++k) {
        cairo_arc(cr, 41 + k * 18, 93, 7, 0, 2 * M_PI);
        SetColour(cr, Hex(0x3B4046));
        cairo_fill(cr);
        SetColour(cr, Hex(0x9AA0A6));
        cairo_set_line_width(cr, 1);
        for (int s = 0; s < 3; ++s) {
            const double a = s * 2 * M_PI / 3;
            cairo_move_to(cr, 41 + k * 18, 93);
            cairo_line_to(cr, 41 + k * 18 + std::cos(a) * 6, 93 + std::sin(a) * 6);
        }
        cairo_stroke(cr);
    }
    cairo_rectangle(cr, 88, 80, 28, 34);
    ShadowOfPath(cr, 4, 5, 2, Hex(0x000000, 0.45));
    SetColour(cr, Hex(0xC9C2B3));
    cairo_fill(cr);
    cairo_rectangle(cr, 92, 84, 20, 26);
    SetColour(cr, Hex(0xB0A898));
    cairo_fill(cr);
}

// The park of tiles 49-57 (3 x 3, 49 at the origin).
void PaintPark(cairo_t* cr, const Textures& tx) {
    // A slightly richer lawn, kept inside the park.
    RoundedRectPath(cr, 5, 5, 206, 206, 16);
    cairo_set_source_rgba(cr, 0.25, 0.45, 0.08, 0.12);
    cairo_fill(cr);
    // The ring path.
    const double cx = 108, cy = 110, rx = 74, ry = 70;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx + 6, ry + 6);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx - 6, ry - 6);
    cairo_arc_negative(cr, 0, 0, 1, 2 * M_PI, 0);
    cairo_restore(cr);
    PavePath(cr, tx);
    cairo_new_path(cr);
    // Cross path from the ring to the pond.
    cairo_rectangle(cr, cx - 5, cy + 20, 10, ry - 22);
    PavePath(cr, tx);
    cairo_new_path(cr);
    // The pond with a stone rim.
    auto pond = [&](double grow) {
        cairo_new_path(cr);
        const int n = 48;
        for (int i = 0; i <= n; ++i) {
            const double a = 2 * M_PI * i / n;
            const double rr = 30 + grow + 4 * std::sin(3 * a + 0.5) + 2.5 * std::cos(5 * a);
            const double px = cx + std::cos(a) * rr * 1.15, py = cy - 6 + std::sin(a) * rr;
            if (i == 0)
                cairo_move_to(cr, px, py);
            else
                cairo_line_to(cr, px, py);
        }
        cairo_close_path(cr);
    };
    pond(4);
    GroundShadow(cr, 1.5, 1.5, 0.35);
    SetColour(cr, Hex(0xB9B09A));
    cairo_fill(cr);
    pond(0);
    FillMaterial(cr, tx, Material::Water);
    cairo_new_path(cr);
    pond(0);
    cairo_save(cr);
    cairo_clip(cr);
    pond(-3);
    cairo_set_line_width(cr, 6);
    SetColour(cr, Hex(0x0E2A38, 0.25));
    cairo_stroke(cr);
    cairo_restore(cr);
    // Water lilies and a duck.
    for (Pt p : {Pt{92, 96}, Pt{128, 112}, Pt{100, 118}}) {
        cairo_new_path(cr);
        cairo_arc(cr, p.x, p.y, 3.5, 0.4, 2 * M_PI - 0.2);
        cairo_line_to(cr, p.x, p.y);
        cairo_close_path(cr);
        SetColour(cr, Hex(0x4F9A3A));
        cairo_fill(cr);
    }
    cairo_arc(cr, 118, 94, 2.6, 0, 2 * M_PI);
    SetColour(cr, Hex(0xF4F0E4));
    cairo_fill(cr);
    cairo_arc(cr, 120.5, 92.5, 1.3, 0, 2 * M_PI);
    SetColour(cr, Hex(0x2F6B3A));
    cairo_fill(cr);
    // Flower beds along the ring.
    for (Pt p : {Pt{52, 160}, Pt{164, 58}}) {
        cairo_new_path(cr);
        cairo_arc(cr, p.x, p.y, 11, 0, 2 * M_PI);
        GroundShadow(cr, 1.2, 1, 0.3);
        FillMaterial(cr, tx, Material::Soil);
        cairo_new_path(cr);
        Lcg rng(uint32_t(p.x * 7 + p.y));
        const uint32_t blooms[3] = {0xE8454A, 0xF5D142, 0xF7F3FA};
        for (int k = 0; k < 12; ++k) {
            const double a = rng.Range(0, 2 * M_PI), d = rng.Range(0, 8);
            cairo_arc(cr, p.x + std::cos(a) * d, p.y + std::sin(a) * d, 1.6, 0, 2 * M_PI);
            SetColour(cr, Hex(blooms[k % 3]));
            cairo_fill(cr);
        }
    }
    // Benches by the path.
    Bench(cr, 40, 110, true);
    Bench(cr, 176, 110, true);
    Bench(cr, 108, 26, false);
    // Trees around the edge.
    const struct {
        double x, y, r;
    } trees[] = {{30, 30, 19},   {184, 30, 17},  {28, 186, 17}, {182, 182, 19}, {64, 22, 11},
                 {150, 196, 12}, {198, 122, 10}, {18, 84, 10},  {76, 196, 9},   {152, 20, 9}};
    uint32_t seed = 900;
    for (const auto& t : trees)
        PaintTree(cr, t.x, t.y, t.r, seed++);
}

} // namespace

void PaintTree(cairo_t* cr, double cx, double cy, double radius, uint32_t seed) {
    Lcg rng(seed);
    struct L {
        double x, y, r;
    };
    std::vector<L> lobes;
    const int n = 7;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n + rng.Range(-0.3, 0.3);
        const double d = radius * rng.Range(0.38, 0.5);
        lobes.push_back({cx + std::cos(a) * d, cy + std::sin(a) * d, radius * rng.Range(0.5, 0.62)});
    }
    lobes.push_back({cx, cy, radius * 0.62});
    PaintBlurred(
        cr,
        [&](cairo_t* m) {
            for (const L& l : lobes) {
                cairo_new_path(m);
                cairo_arc(m, l.x, l.y, l.r, 0, 2 * M_PI);
                cairo_fill(m);
            }
        },
        radius * 0.22, radius * 0.28, radius * 0.12, Hex(0x0E1A06, 0.5));
    const Colour lit = Hex(0x8FCB58), mid = Hex(0x4E8E32), dark = Hex(0x25541A);
    for (const L& l : lobes)
        Lobe(cr, l.x, l.y, l.r, Mix(lit, mid, 0.3), mid, dark);
    // Sunlit clusters of leaves.
    for (int i = 0; i < 9; ++i) {
        const double a = rng.Range(M_PI, 2 * M_PI), d = radius * rng.Range(0.1, 0.6);
        Lobe(cr, cx + std::cos(a) * d - radius * 0.1, cy + std::sin(a) * d, radius * rng.Range(0.12, 0.22),
             lit, Mix(lit, mid, 0.5), WithAlpha(mid, 0.0));
    }
}

void PaintSceneryTile(cairo_t* cr, const Textures& tx, int tile) {
    PaintGrass(cr, tx);
    switch (tile) {
    case 30:
        PaintTree(cr, 34, 33, 25, 300);
        break;
    case 31:
        PaintHouse(cr, 14, 13, 56, 51);
        PaintTree(cr, 60, 60, 7, 310);
        break;
    case 32:
        PaintGarden(cr, tx);
        break;
    case 36:
        PaintPlaza(cr, tx);
        break;
    case 37:
        cairo_translate(cr, 0, -kTile);
        PaintPlaza(cr, tx);
        break;
    case 38:
        cairo_translate(cr, -kTile, -kTile);
        PaintPlaza(cr, tx);
        break;
    case 39:
        PaintPillar(cr, tx, 39, 66);
        break;
    case 59:
        PaintPillar(cr, tx, 4, 31);
        break;
    case 40:
        PaintWall(cr, tx, true);
        break;
    case 41:
        PaintWall(cr, tx, false);
        break;
    case 42:
        PaintBlock(cr, tx, 0);
        break;
    case 43:
        PaintBlock(cr, tx, 1);
        break;
    case 44:
        PaintBlock(cr, tx, 2);
        break;
    case 45:
    case 46:
    case 47:
    case 48: {
        const int k = tile - 45;
        cairo_translate(cr, -kTile * (k % 2), -kTile * (k / 2));
        PaintRoof(cr, tx);
        break;
    }
    default:
        if (tile >= 49 && tile <= 57) {
            const int k = tile - 49;
            cairo_translate(cr, -kTile * (k % 3), -kTile * (k / 3));
            PaintPark(cr, tx);
        }
        break;
    }
}

void ObstacleSolidPath(cairo_t* cr, int tile) {
    cairo_new_path(cr);
    switch (tile) {
    case 39:
        PillarPath(cr, 39, 66);
        break;
    case 59:
        PillarPath(cr, 4, 31);
        break;
    case 40:
        WallBottomPath(cr);
        break;
    case 41:
        WallRightPath(cr);
        break;
    case 42:
    case 43:
    case 44:
        BlockPath(cr);
        break;
    default:
        break;
    }
}

} // namespace vorlane::datagen::race
