#pragma once
// The small integer and geometry helpers every screen and race sprite uses.
#include <array>

namespace vorlane {

// Integer helpers; v is changed in place, all bounds inclusive.

// Next value in lo..hi, wrapping to lo after hi; a value outside the range also
// goes to lo. Answers true when it wrapped (or jumped).
bool CycleNext(int& v, int lo, int hi);
// Previous value in lo..hi, wrapping to hi before lo; a value outside the range
// also goes to hi. Answers true when it wrapped (or jumped).
bool CyclePrev(int& v, int lo, int hi);
// The countdown of every millisecond timer: takes step off v unless that would
// drop it below lo, in which case v stays and the answer is false.
bool TryCountDown(int& v, int lo, int step);
// Adds step when the result stays at most hi; otherwise nothing.
void StepUp(int& v, int hi, int step);
// Takes step off when the result stays at least lo; otherwise nothing.
void StepDown(int& v, int lo, int step);
// A value outside lo..hi becomes lo.
void ResetLowIfOut(int& v, int lo, int hi);
// A value outside lo..hi becomes hi.
void ResetHighIfOut(int& v, int lo, int hi);

// Geometry helpers, in screen pixels.

struct TPointD {
    double x = 0;
    double y = 0;
};

// Four corners in order around a (convex) quadrilateral.
struct TQuad {
    std::array<TPointD, 4> corners;
};

// Whether a point lies in a convex quadrilateral: the angles under which the point
// sees its four sides add up to (nearly) a full turn, at least 355 degrees. A
// point on a side counts as inside, and so does a point on a corner.
bool PointInQuad(double px, double py, double x1, double y1, double x2, double y2, double x3, double y3,
                 double x4, double y4);
bool PointInQuad(TPointD p, const TQuad& q);

// True when a corner of either quadrilateral lies in the other. Two that cross
// without holding a corner of each other count as apart.
bool QuadsOverlap(const TQuad& a, const TQuad& b);

} // namespace vorlane
