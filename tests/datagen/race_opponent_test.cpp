// The opponent cars fill the shapes the race hits them with: for every kind and
// direction the picture's body covers its hit quadrilateral and hardly spills out of it.
#include "race_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace vorlane::datagen {
namespace {

struct P {
    double x, y;
};
using Quad = std::array<P, 4>;

// The race's hit quadrilaterals, [kind 1..5][direction 1..6], corners relative to the
// car picture's top-left corner.
const Quad kQuads[5][6] = {
    {{{{0, 23}, {38, 0}, {55, 133}, {94, 113}}}, {{{58, 0}, {95, 18}, {1, 113}, {40, 132}}},
     {{{28, 2}, {67, 2}, {27, 130}, {69, 130}}}, {{{30, 131}, {67, 131}, {70, 3}, {27, 3}}},
     {{{1, 115}, {37, 133}, {95, 20}, {57, 1}}}, {{{95, 115}, {60, 133}, {41, 0}, {2, 19}}}},
    {{{{0, 25}, {41, 0}, {67, 164}, {119, 137}}}, {{{78, 0}, {119, 24}, {1, 136}, {53, 165}}},
     {{{33, 2}, {89, 2}, {29, 163}, {89, 163}}}, {{{89, 161}, {31, 161}, {89, 2}, {27, 2}}},
     {{{40, 165}, {0, 140}, {118, 28}, {67, 1}}}, {{{119, 140}, {79, 165}, {53, 1}, {0, 28}}}},
    {{{{1, 13}, {13, 6}, {24, 54}, {33, 48}}}, {{{20, 6}, {32, 13}, {1, 48}, {9, 53}}},
     {{{9, 7}, {24, 7}, {10, 54}, {22, 54}}}, {{{9, 50}, {24, 50}, {23, 0}, {10, 0}}},
     {{{14, 52}, {1, 45}, {33, 7}, {24, 4}}}, {{{33, 45}, {19, 52}, {9, 2}, {0, 12}}}},
    {{{{0, 23}, {34, 0}, {58, 131}, {92, 109}}}, {{{60, 0}, {92, 23}, {0, 110}, {34, 131}}},
     {{{26, 1}, {70, 1}, {23, 131}, {68, 131}}}, {{{69, 129}, {25, 129}, {70, 1}, {24, 1}}},
     {{{33, 132}, {0, 108}, {92, 22}, {58, 1}}}, {{{92, 108}, {59, 132}, {34, 1}, {-1, 22}}}},
    {{{{0, 28}, {60, 0}, {90, 231}, {167, 192}}}, {{{108, 0}, {167, 30}, {2, 192}, {78, 230}}},
     {{{48, 4}, {120, 4}, {38, 227}, {126, 227}}}, {{{120, 228}, {47, 228}, {126, 6}, {40, 6}}},
     {{{62, 232}, {0, 201}, {166, 40}, {87, 1}}}, {{{167, 201}, {104, 232}, {79, 1}, {1, 40}}}},
};

// The corners in order around the shape (the table lists them in crossing order).
Quad AroundCentre(Quad q) {
    double cx = 0, cy = 0;
    for (const P& p : q) {
        cx += p.x / 4;
        cy += p.y / 4;
    }
    std::sort(q.begin(), q.end(), [&](P a, P b) { return std::atan2(a.y - cy, a.x - cx) < std::atan2(b.y - cy, b.x - cx); });
    return q;
}

bool Inside(const Quad& q, double x, double y) {
    bool pos = false, neg = false;
    for (int i = 0; i < 4; ++i) {
        const P a = q[size_t(i)], b = q[size_t((i + 1) % 4)];
        const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        pos |= cross > 0;
        neg |= cross < 0;
    }
    return !(pos && neg);
}

TEST(RaceOpponents, BodiesFillTheirHitShapes) {
    for (int kind = 1; kind <= 5; ++kind) {
        const TImageItem& item = test::RaceImages().FindImage("Car" + std::to_string(kind + 6));
        for (int dir = 1; dir <= 6; ++dir) {
            SCOPED_TRACE("kind " + std::to_string(kind) + " direction " + std::to_string(dir));
            const Quad q = AroundCentre(kQuads[kind - 1][dir - 1]);
            const RgbaImage pattern = test::PatternOf(item, dir - 1);
            int inQuad = 0, coveredInQuad = 0, opaque = 0, opaqueOutside = 0;
            for (int y = 0; y < pattern.height; ++y)
                for (int x = 0; x < pattern.width; ++x) {
                    const bool in = Inside(q, x + 0.5, y + 0.5);
                    const bool solid = test::Alpha(pattern.At(x, y)) > 128;
                    inQuad += in;
                    coveredInQuad += in && solid;
                    opaque += solid;
                    opaqueOutside += solid && !in;
                }
            ASSERT_GT(inQuad, 0);
            EXPECT_GE(double(coveredInQuad) / inQuad, 0.85) << coveredInQuad << " of " << inQuad;
            EXPECT_LE(double(opaqueOutside) / opaque, 0.25) << opaqueOutside << " of " << opaque;
        }
    }
}

// The body is laid along the direction of travel: the front half of the hit shape
// (the side the car moves to) holds the lit headlights, not the red tail lights.
TEST(RaceOpponents, HeadlightsLeadInEveryDirection) {
    const double heading[6] = {-26.6, 26.6, 0, 180, 206.6, 153.4};
    for (int kind = 1; kind <= 5; ++kind) {
        const TImageItem& item = test::RaceImages().FindImage("Car" + std::to_string(kind + 6));
        for (int dir = 1; dir <= 6; ++dir) {
            SCOPED_TRACE("kind " + std::to_string(kind) + " direction " + std::to_string(dir));
            const RgbaImage pattern = test::PatternOf(item, dir - 1);
            const double h = heading[dir - 1] * M_PI / 180, vx = std::sin(h), vy = -std::cos(h);
            const double cx = pattern.width / 2.0, cy = pattern.height / 2.0;
            int redAhead = 0, redBehind = 0;
            for (int y = 0; y < pattern.height; ++y)
                for (int x = 0; x < pattern.width; ++x) {
                    const uint32_t p = pattern.At(x, y);
                    const bool tailLight = test::Alpha(p) > 200 && test::Red(p) > 200 && test::Green(p) < 40 &&
                                           test::Blue(p) < 40;
                    if (!tailLight) continue;
                    ((x + 0.5 - cx) * vx + (y + 0.5 - cy) * vy > 0 ? redAhead : redBehind)++;
                }
            EXPECT_GT(redBehind, 0);
            EXPECT_GT(redBehind, 3 * redAhead);
        }
    }
}

} // namespace
} // namespace vorlane::datagen
