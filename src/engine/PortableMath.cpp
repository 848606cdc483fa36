// Sine, cosine, arc tangent and arc cosine in double-double arithmetic: a value is an
// unevaluated sum hi + lo of two doubles (about 106 bits), each operation exact or
// within a few units of 2^-104; the answer is rounded to a double once, at the end.
// Only + - * / and sqrt are used, so every IEEE 754 machine gives the same bits (the
// game is compiled without contraction into fused multiply-adds).
#include "engine/PortableMath.h"

#include "engine/MathTables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vorlane {

namespace {

struct DD {
    double hi = 0;
    double lo = 0;
};

constexpr DD TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

constexpr DD QuickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// Veltkamp's split of a into two halves of 26 bits.
constexpr void Split(double a, double& hi, double& lo) {
    const double t = 134217729.0 * a; // 2^27 + 1
    hi = t - (t - a);
    lo = a - hi;
}

// a * b exactly, as hi + lo (Dekker).
constexpr DD TwoProd(double a, double b) {
    const double p = a * b;
    double ah = 0, al = 0, bh = 0, bl = 0;
    Split(a, ah, al);
    Split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

constexpr DD Add(DD a, DD b) {
    DD s = TwoSum(a.hi, b.hi);
    const DD t = TwoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = QuickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return QuickTwoSum(s.hi, s.lo);
}

constexpr DD Neg(DD a) {
    return {-a.hi, -a.lo};
}

constexpr DD Sub(DD a, DD b) {
    return Add(a, Neg(b));
}

constexpr DD Mul(DD a, DD b) {
    DD p = TwoProd(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return QuickTwoSum(p.hi, p.lo);
}

constexpr DD Mul(DD a, double b) {
    DD p = TwoProd(a.hi, b);
    p.lo += a.lo * b;
    return QuickTwoSum(p.hi, p.lo);
}

constexpr DD Div(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    DD r = Sub(a, Mul(b, q1));
    const double q2 = r.hi / b.hi;
    r = Sub(r, Mul(b, q2));
    const double q3 = r.hi / b.hi;
    return Add(QuickTwoSum(q1, q2), DD{q3, 0});
}

constexpr DD Div(DD a, double b) {
    return Div(a, DD{b, 0});
}

// pi / 2 in four pieces: the first three of 33 bits (so that k times one of them is
// exact for |k| < 2^20), the last the rest; and pi / 2 and pi as double-doubles.
constexpr double kHalfPi1 = 0x1.921fb54400000p+0;
constexpr double kHalfPi2 = 0x1.0b4611a600000p-34;
constexpr double kHalfPi3 = 0x1.3198a2e000000p-69;
constexpr double kHalfPi4 = 0x1.b839a252049c1p-104;
constexpr DD kHalfPi{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr DD kPi{0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// Taylor coefficients: sin r = r * sum S[i] r^2i, cos r = sum C[i] r^2i, enough terms
// for |r| <= pi / 4 to well below 2^-106.
constexpr int kSinTerms = 15; // up to r^29 / 29!
constexpr int kCosTerms = 16; // up to r^30 / 30!

struct Coefficients {
    std::array<DD, kSinTerms> Sin{};
    std::array<DD, kCosTerms> Cos{};
};

constexpr Coefficients MakeCoefficients() {
    Coefficients c;
    DD inverseFactorial{1, 0}; // 1 / n!
    for (int n = 0; n < 2 * kCosTerms; ++n) {
        if (n > 0) inverseFactorial = Div(inverseFactorial, double(n));
        const DD term = (n / 2) % 2 == 0 ? inverseFactorial : Neg(inverseFactorial);
        if (n % 2 == 0)
            c.Cos[size_t(n / 2)] = term;
        else if (n / 2 < kSinTerms)
            c.Sin[size_t(n / 2)] = term;
    }
    return c;
}

constexpr Coefficients kCoefficients = MakeCoefficients();

DD SinKernel(DD r) {
    const DD r2 = Mul(r, r);
    DD s = kCoefficients.Sin[kSinTerms - 1];
    for (int i = kSinTerms - 2; i >= 0; --i)
        s = Add(kCoefficients.Sin[size_t(i)], Mul(s, r2));
    return Mul(s, r);
}

DD CosKernel(DD r) {
    const DD r2 = Mul(r, r);
    DD s = kCoefficients.Cos[kCosTerms - 1];
    for (int i = kCosTerms - 2; i >= 0; --i)
        s = Add(kCoefficients.Cos[size_t(i)], Mul(s, r2));
    return s;
}

// The same series in plain doubles (QuickAcos' Newton steps).
double SinKernelQuick(double r) {
    const double r2 = r * r;
    double s = kCoefficients.Sin[kSinTerms - 1].hi;
    for (int i = kSinTerms - 2; i >= 0; --i)
        s = kCoefficients.Sin[size_t(i)].hi + s * r2;
    return s * r;
}

double CosKernelQuick(double r) {
    const double r2 = r * r;
    double s = kCoefficients.Cos[kCosTerms - 1].hi;
    for (int i = kCosTerms - 2; i >= 0; --i)
        s = kCoefficients.Cos[size_t(i)].hi + s * r2;
    return s;
}

// x = k * pi / 2 + r with |r| <= about pi / 4: answers k modulo 4 and r.
int Reduce(DD x, DD& r) {
    const double q = x.hi * kTwoOverPi;
    const double k = double(int64_t(q + (q >= 0 ? 0.5 : -0.5)));
    // x.hi - k * kHalfPi1 is exact: k * kHalfPi1 has at most 53 bits and lies within a
    // factor of two of x.hi (or k is 0).
    r = TwoSum(x.hi - k * kHalfPi1, -k * kHalfPi2);
    r = Add(r, DD{-k * kHalfPi3, 0});
    r = Add(r, DD{-k * kHalfPi4, 0});
    r = Add(r, DD{x.lo, 0});
    return int(((int64_t(k) % 4) + 4) % 4);
}

struct SinCos {
    DD Sin, Cos;
};

SinCos SinCosOf(DD x) {
    DD r;
    const int quadrant = Reduce(x, r);
    const DD s = SinKernel(r);
    const DD c = CosKernel(r);
    switch (quadrant) {
    case 0:
        return {s, c};
    case 1:
        return {c, Neg(s)};
    case 2:
        return {Neg(s), Neg(c)};
    default:
        return {Neg(c), s};
    }
}

double Rounded(DD v) {
    return v.hi + v.lo;
}

// asin(s) for |s| <= about 0.71 (s a double-double): a guess from the series, Newton's
// steps in doubles to about 1e-16, then two in double-doubles.
DD Asin(DD s) {
    const double x = s.hi;
    const double x2 = x * x;
    double y = x * (1 + x2 * (1.0 / 6 + x2 * (3.0 / 40 + x2 * (15.0 / 336))));
    for (int i = 0; i < 3; ++i)
        y -= (SinKernelQuick(y) - x) / CosKernelQuick(y);
    DD yy{y, 0};
    for (int i = 0; i < 2; ++i) {
        const SinCos sc = SinCosOf(yy);
        yy = Sub(yy, Div(Sub(sc.Sin, s), sc.Cos));
    }
    return yy;
}

// The square root of t >= 0 as a double-double.
DD SqrtDD(double t) {
    const double h = std::sqrt(t);
    if (h == 0) return {0, 0};
    const DD h2 = TwoProd(h, h);
    const double l = ((t - h2.hi) - h2.lo) / (2 * h);
    return QuickTwoSum(h, l);
}

DD AcosDD(double x) {
    if (x > 0.5) return Mul(Asin(SqrtDD((1 - x) / 2)), 2.0); // 1 - x is exact here
    if (x < -0.5) return Sub(kPi, Mul(Asin(SqrtDD((1 + x) / 2)), 2.0));
    return Sub(kHalfPi, Asin(DD{x, 0}));
}

// The table's entry for x, or nullptr.
const TMathException* Find(const TMathException* list, int count, double x) {
    const TMathException* end = list + count;
    const TMathException* at =
        std::lower_bound(list, end, x, [](const TMathException& e, double v) { return e.Argument < v; });
    return at != end && at->Argument == x ? at : nullptr;
}

// The table's value for x, or the portable one.
double Excepted(const TMathException* list, int count, double x, double (*portable)(double)) {
    const TMathException* e = Find(list, count, x);
    return e ? e->Value : portable(x);
}
double Excepted(const TMathException* list, int count, double x, double portable) {
    const TMathException* e = Find(list, count, x);
    return e ? e->Value : portable;
}

} // namespace

double PortableSin(double x) {
    if (x == 0) return x; // keeps the sign of a zero
    return Rounded(SinCosOf(DD{x, 0}).Sin);
}

double PortableCos(double x) {
    return Rounded(SinCosOf(DD{x, 0}).Cos);
}

double PortableAtan(double x) {
    if (x != x) return x;
    if (x == 0) return x; // keeps the sign of a zero
    // A guess within 0.005, then Newton's steps on sin y - x cos y (each cubes the
    // error: y - tan(y - atan x)).
    const double ax = x < 0 ? -x : x;
    // Beyond 1e16, pi / 2 - 1 / x rounds to the double nearest pi / 2.
    if (ax > 1e16) return x < 0 ? -kHalfPi.hi : kHalfPi.hi;
    const double guess = ax <= 1 ? ax / (1 + 0.28 * ax * ax) : kHalfPi.hi - ax / (ax * ax + 0.28);
    DD y{x < 0 ? -guess : guess, 0};
    for (int i = 0; i < 4; ++i) {
        const SinCos sc = SinCosOf(y);
        const DD f = Sub(sc.Sin, Mul(sc.Cos, x));
        const DD slope = Add(sc.Cos, Mul(sc.Sin, x));
        y = Sub(y, Div(f, slope));
    }
    return Rounded(y);
}

double PortableAcos(double x) {
    if (!(x >= -1 && x <= 1)) return std::numeric_limits<double>::quiet_NaN();
    return Rounded(AcosDD(x));
}

double QuickAcos(double x) {
    if (!(x >= -1 && x <= 1)) return std::numeric_limits<double>::quiet_NaN();
    // asin(s) by Newton's steps in doubles from the series' guess.
    auto asin = [](double s) {
        const double s2 = s * s;
        double y = s * (1 + s2 * (1.0 / 6 + s2 * (3.0 / 40 + s2 * (15.0 / 336))));
        for (int i = 0; i < 4; ++i)
            y -= (SinKernelQuick(y) - s) / CosKernelQuick(y);
        return y;
    };
    if (x > 0.5) return 2 * asin(std::sqrt((1 - x) / 2));
    if (x < -0.5) return kPi.hi - 2 * asin(std::sqrt((1 + x) / 2));
    return kHalfPi.hi - asin(x);
}

double RaceSin(double x) {
    return Excepted(kSinExceptions, kSinExceptionCount, x, PortableSin);
}

double RaceCos(double x) {
    return Excepted(kCosExceptions, kCosExceptionCount, x, PortableCos);
}

void RaceSinCos(double x, double& sine, double& cosine) {
    const SinCos sc = SinCosOf(DD{x, 0});
    sine = x == 0 ? x : Rounded(sc.Sin);
    cosine = Rounded(sc.Cos);
    sine = Excepted(kSinExceptions, kSinExceptionCount, x, sine);
    cosine = Excepted(kCosExceptions, kCosExceptionCount, x, cosine);
}

double RaceAtan(double x) {
    return Excepted(kAtanExceptions, kAtanExceptionCount, x, PortableAtan);
}

// The turn table's radians are n * (2pi / 256), as the race has always computed them.
double TurnSin(int n) {
    if (n < -kTurnTableReach || n > kTurnTableReach) return PortableSin(n * (2 * kPi.hi / 256));
    return kTurnSinTable[n + kTurnTableReach];
}

double TurnCos(int n) {
    if (n < -kTurnTableReach || n > kTurnTableReach) return PortableCos(n * (2 * kPi.hi / 256));
    return kTurnCosTable[n + kTurnTableReach];
}

} // namespace vorlane
