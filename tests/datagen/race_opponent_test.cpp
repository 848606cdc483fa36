// The opponent cars fill the shapes the race hits them with: for every kind and
// direction the picture's body covers its hit quadrilateral and hardly spills out of it.
#include "race_archive.h"

#include "sim/CarShapes.h"

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

// The race's own hit quadrilateral of a kind (1..5) and direction (1..6), corners
// relative to the car picture's top-left corner.
Quad HitShape(int kind, int dir) {
    Quad q{};
    const TCarShape& shape = kCarHitShapes[size_t(kind - 1)][size_t(dir - 1)];
    for (size_t i = 0; i < 4; ++i)
        q[i] = P{double(shape[i].x), double(shape[i].y)};
    return q;
}

// The corners in order around the shape (the table lists them in crossing order).
Quad AroundCentre(Quad q) {
    double cx = 0, cy = 0;
    for (const P& p : q) {
        cx += p.x / 4;
        cy += p.y / 4;
    }
    std::sort(q.begin(), q.end(),
              [&](P a, P b) { return std::atan2(a.y - cy, a.x - cx) < std::atan2(b.y - cy, b.x - cx); });
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
            const Quad q = AroundCentre(HitShape(kind, dir));
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
                    const bool tailLight = test::Alpha(p) > 200 && test::Red(p) > 200 &&
                                           test::Green(p) < 40 && test::Blue(p) < 40;
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
