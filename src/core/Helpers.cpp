#include "core/Helpers.h"

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

} // namespace

bool PointInQuad(double px, double py, double x1, double y1, double x2, double y2, double x3, double y3,
                 double x4, double y4) {
    const double xs[4] = {x1, x2, x3, x4};
    const double ys[4] = {y1, y2, y3, y4};
    double ux[4], uy[4];
    for (int i = 0; i < 4; ++i) {
        const double dx = xs[i] - px, dy = ys[i] - py;
        const double length = std::sqrt(dx * dx + dy * dy);
        if (length == 0.0) return true; // the point is a corner
        ux[i] = dx / length;
        uy[i] = dy / length;
    }
    double sum = 0.0;
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        // Rounding can push the dot product of two unit vectors just past +-1.
        const double dot = std::clamp(ux[i] * ux[j] + uy[i] * uy[j], -1.0, 1.0);
        sum += std::acos(dot) * kDegreesPerRadian;
    }
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
