// Street lamps (a pole at the road's edge with an arm and lamp head reaching over the
// road) and the chequered finish line.
#include "datagen/common/Paint.h"
#include "datagen/race/RaceGeometry.h"
#include "datagen/race/RacePictures.h"

#include <cmath>

namespace vorlane::datagen::race {
namespace {

// A lamp picture: where its pole stands and which way the arm reaches. The pole disc
// covers the pole point the race tests (the lamp table's point in picture pixels).
struct LampShape {
    const char* name;
    int width, height;
    double poleX, poleY; // centre of the pole disc
    double dirX, dirY;   // arm direction, toward the road
};

constexpr double kPoleRadius = 4.2;
constexpr double kArm = 54;

const LampShape kLamps[6] = {
    {"Lamp_L", 90, 20, 3.5, 9.5, 1, 0},      // left verge of a straight road
    {"Lamp_R", 90, 20, 85.5, 9.5, -1, 0},    // right verge
    {"Lamp_RL", 64, 44, 3, 3, 1, 0.5},       // left edge of a shift to the right
    {"Lamp_RR", 80, 48, 74.5, 42, -1, -0.5}, // right edge of a shift to the right
    {"Lamp_LR", 80, 44, 75.5, 3.5, -1, 0.5}, // right edge of a shift to the left
    {"Lamp_LL", 64, 48, 3, 40.5, 1, -0.5},   // left edge of a shift to the left
};

void Lamp(cairo_t* cr, const LampShape& s) {
    const double n = std::hypot(s.dirX, s.dirY), dx = s.dirX / n, dy = s.dirY / n;
    const double len = s.dirY == 0 ? 70 : kArm;
    const double ex = s.poleX + dx * len, ey = s.poleY + dy * len;
    const double angle = std::atan2(dy, dx);
    auto arm = [&](cairo_t* c) {
        cairo_new_path(c);
        cairo_set_line_width(c, 2.6);
        cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(c, s.poleX, s.poleY);
        cairo_line_to(c, ex - dx * 6, ey - dy * 6);
        cairo_stroke(c);
    };
    auto head = [&](cairo_t* c) {
        cairo_save(c);
        cairo_translate(c, ex, ey);
        cairo_rotate(c, angle);
        RoundedRectPath(c, -9, -3.6, 17, 7.2, 3.4);
        cairo_restore(c);
    };
    // The lamp stands tall: its shadow falls well away on the road.
    PaintBlurred(
        cr,
        [&](cairo_t* m) {
            arm(m);
            head(m);
            cairo_fill(m);
        },
        4, 5, 1.4, Hex(0x000000, 0.28));
    SetLinear(cr, 0, s.poleY - 2, 0, s.poleY + 2, {Hex(0x9AA3AC), Hex(0x4E565E)});
    arm(cr);
    head(cr);
    SetLinear(cr, ex - 9, ey - 4, ex + 9, ey + 4, {Hex(0xC8CED4), Hex(0x6E767E)});
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x2A2F34, 0.8));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // The lens under the head, lit a warm white.
    cairo_save(cr);
    cairo_translate(cr, ex, ey);
    cairo_rotate(cr, angle);
    RoundedRectPath(cr, -6, -2, 11, 4, 2);
    cairo_restore(cr);
    SetColour(cr, Hex(0xFFF4C8));
    cairo_fill(cr);
    // Pole top with its cap.
    cairo_new_path(cr);
    cairo_arc(cr, s.poleX, s.poleY, kPoleRadius, 0, 2 * M_PI);
    cairo_pattern_t* g =
        cairo_pattern_create_radial(s.poleX - 1.5, s.poleY - 1.5, 0.5, s.poleX, s.poleY, kPoleRadius);
    AddStop(g, 0, Hex(0xC4CBD2));
    AddStop(g, 0.7, Hex(0x5C646C));
    AddStop(g, 1, Hex(0x2C3238));
    SetSourceAndRelease(cr, g);
    cairo_fill(cr);
}

void Finish(cairo_t* cr) {
    const double sq = 6;
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 12; ++col) {
            cairo_rectangle(cr, col * sq, row * sq, sq, sq);
            SetColour(cr, (row + col) % 2 == 0 ? Hex(0xF4F4F0, 0.95) : Hex(0x141416, 0.92));
            cairo_fill(cr);
        }
    // Worn paint: a scatter of small scuffs where tyres pass.
    Lcg rng(1234);
    for (int k = 0; k < 40; ++k) {
        cairo_arc(cr, rng.Range(0, 72), rng.Range(0, 36), rng.Range(0.4, 1.1), 0, 2 * M_PI);
        SetColour(cr, Hex(0x6A6C70, 0.5));
        cairo_fill(cr);
    }
}

} // namespace

void DrawStreetPictures(std::vector<GeneratedPicture>& out) {
    for (const LampShape& s : kLamps)
        out.push_back(DrawPicture(s.name, s.width, s.height, [&](cairo_t* cr) { Lamp(cr, s); }));
    out.push_back(DrawPicture("FinishLine", 72, 36, Finish));
}

} // namespace vorlane::datagen::race
