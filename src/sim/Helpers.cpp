#include "sim/Helpers.h"

#include "engine/PortableMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vorlane {

// Sums are taken in 64 bits so that no bound near the ends of int overflows.

bool CycleNext(int& v, int lo, int hi) {
    if (v < lo || v >= hi) {
        v = lo;
        return true;
    }
    ++v;
    return false;
}

bool CyclePrev(int& v, int lo, int hi) {
    if (v <= lo || v > hi) {
        v = hi;
        return true;
    }
    --v;
    return false;
}

bool TryCountDown(int& v, int lo, int step) {
    const int64_t next = int64_t(v) - step;
    if (next < lo) return false;
    v = int(next);
    return true;
}

void StepUp(int& v, int hi, int step) {
    const int64_t next = int64_t(v) + step;
    if (next <= hi) v = int(next);
}

void StepDown(int& v, int lo, int step) {
    const int64_t next = int64_t(v) - step;
    if (next >= lo) v = int(next);
}

void ResetLowIfOut(int& v, int lo, int hi) {
    if (v < lo || v > hi) v = lo;
}

void ResetHighIfOut(int& v, int lo, int hi) {
    if (v < lo || v > hi) v = hi;
}

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kInsideAngleSum = 355.0;

// Whether the angle sum cannot reach the inside mark because the point lies well away
// from all four corners. The corners lie within a circle of radius r about a centre;
// seen from a point at distance d > r that circle fills a fan of 2 * asin(r / d), so
// every angle between two corners is at most that, and the four angles of the sum add up
// to at most 8 * asin(r / d) however the corners are ordered. With r / d <= 0.65 that
// is below 325 degrees, far under the mark even after rounding: the answer is the one
// the full sum would give, without its square roots and arc cosines.
bool SurelyOutside(double px, double py, const double* xs, const double* ys) {
    constexpr double kMaxRadiusPerDistanceSquared = 0.65 * 0.65;
    const double cx = (std::min({xs[0], xs[1], xs[2], xs[3]}) + std::max({xs[0], xs[1], xs[2], xs[3]})) / 2;
    const double cy = (std::min({ys[0], ys[1], ys[2], ys[3]}) + std::max({ys[0], ys[1], ys[2], ys[3]})) / 2;
    double radiusSquared = 0;
    for (int i = 0; i < 4; ++i)
        radiusSquared = std::max(radiusSquared, (xs[i] - cx) * (xs[i] - cx) + (ys[i] - cy) * (ys[i] - cy));
    const double distanceSquared = (px - cx) * (px - cx) + (py - cy) * (py - cy);
    return radiusSquared < kMaxRadiusPerDistanceSquared * distanceSquared;
}

} // namespace

bool PointInQuad(double px, double py, double x1, double y1, double x2, double y2, double x3, double y3,
                 double x4, double y4) {
    const double xs[4] = {x1, x2, x3, x4};
    const double ys[4] = {y1, y2, y3, y4};
    if (SurelyOutside(px, py, xs, ys)) return false;
    double ux[4], uy[4];
    for (int i = 0; i < 4; ++i) {
        const double dx = xs[i] - px, dy = ys[i] - py;
        const double length = std::sqrt(dx * dx + dy * dy);
        if (length == 0.0) return true; // the point is a corner
        ux[i] = dx / length;
        uy[i] = dy / length;
    }
    double dots[4];
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        // Rounding can push the dot product of two unit vectors just past +-1.
        dots[i] = std::clamp(ux[i] * ux[j] + uy[i] * uy[j], -1.0, 1.0);
    }
    // The angles' sum with the quick arc cosine (within 1e-12 of the true angle) settles
    // every point but those whose sum lies within a hair of the mark; for those it is
    // summed again from the correctly rounded arc cosines, the values the sum has always
    // been made of.
    double quick = 0.0;
    for (const double dot : dots)
        quick += QuickAcos(dot) * kDegreesPerRadian;
    if (std::fabs(quick - kInsideAngleSum) > 1e-6) return quick >= kInsideAngleSum;
    double sum = 0.0;
    for (const double dot : dots)
        sum += PortableAcos(dot) * kDegreesPerRadian;
    return sum >= kInsideAngleSum;
}

bool PointInQuad(TPointD p, const TQuad& q) {
    const auto& c = q.corners;
    return PointInQuad(p.x, p.y, c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y);
}

bool QuadsOverlap(const TQuad& a, const TQuad& b) {
    for (const TPointD& corner : b.corners) {
        if (PointInQuad(corner, a)) return true;
    }
    for (const TPointD& corner : a.corners) {
        if (PointInQuad(corner, b)) return true;
    }
    return false;
}

} // namespace vorlane
