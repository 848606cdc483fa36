// The player car's geometry without the C library's sin, cos and atan: for each of the
// six cars of the generated data and every heading the car can take, its corners and
// rear wheels come out to the bit as the C library computed them (on the system the
// race's results were first recorded on; these tests compare with the library of the
// machine they run on).
#include "FormFixture.h"

#include "menus/Screens.h"
#include "race/Race.h"
#include "sim/Helpers.h"
#include "sim/Player.h"
#include "sim/RaceState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorlane {
namespace {

// The geometry as TPlayer computed it with the C library.
struct LibraryGeometry {
    double WheelAngle, CornerAngle;
    TQuad Corners;
    TPointD RearWheelA, RearWheelB;
};

LibraryGeometry WithTheLibrary(const TPlayer& p) {
    LibraryGeometry g{};
    const double w = p.Width;
    const double h = p.Height;
    g.WheelAngle = std::atan((w / 2) / (h / 2)) / (2 * std::numbers::pi) * 256.0;
    const double body = CarBodyWidth[size_t(p.CarNo)];
    g.CornerAngle = std::atan((body / 2) / (h / 2)) / (2 * std::numbers::pi) * 256.0;
    const double k = 2 * std::numbers::pi / 256.0;
    const double hd = p.Heading;
    const double a = g.CornerAngle;
    const double r = p.CornerRadius * CornerFactor[size_t(p.CarNo)];
    const double angles[4] = {hd - a, hd + a, hd + 128 - a, hd + 128 + a};
    for (int i = 0; i < 4; ++i) {
        g.Corners.corners[size_t(i)].x = p.CarCenterX + std::sin(angles[i] * k) * r;
        g.Corners.corners[size_t(i)].y = p.CarCenterY - std::cos(angles[i] * k) * r;
    }
    const double wa = hd + g.WheelAngle - 128;
    const double wb = hd - g.WheelAngle - 128 + 4;
    g.RearWheelA = {p.CarCenterX + std::sin(wa * k) * p.WheelRadius,
                    p.CarCenterY - std::cos(wa * k) * p.WheelRadius};
    g.RearWheelB = {p.CarCenterX + std::sin(wb * k) * p.WheelRadius,
                    p.CarCenterY - std::cos(wb * k) * p.WheelRadius};
    return g;
}

TEST(RaceMath, EveryCarAtEveryHeadingHasTheLibrarysCornersAndWheelsToTheBit) {
    if (!test::GeneratedDataPresent()) GTEST_SKIP() << "no generated Data/";
    for (int car = 1; car <= 6; ++car) {
        SCOPED_TRACE("car " + std::to_string(car));
        test::FormFixture game;
        game.RunFrames(46);
        CloseMainMenu(game.Form());
        game.Form().Menu.SelectedCar = car;
        StartRace(game.Form());
        TPlayer& p = *game.Form().Race->Player;
        ASSERT_EQ(p.CarNo, car);
        LibraryGeometry want = WithTheLibrary(p);
        EXPECT_EQ(p.WheelAngle, want.WheelAngle);
        EXPECT_EQ(p.CornerAngle, want.CornerAngle);
        // Headings are round(SteerPos / 2) with the wheel within -128..128.
        for (int heading = -64; heading <= 64; ++heading) {
            p.Heading = heading;
            p.ComputeCorners();
            p.ComputeRearWheels();
            want = WithTheLibrary(p);
            for (size_t i = 0; i < 4; ++i) {
                ASSERT_EQ(p.Corners.corners[i].x, want.Corners.corners[i].x) << "heading " << heading;
                ASSERT_EQ(p.Corners.corners[i].y, want.Corners.corners[i].y) << "heading " << heading;
            }
            ASSERT_EQ(p.RearWheelA.x, want.RearWheelA.x) << "heading " << heading;
            ASSERT_EQ(p.RearWheelA.y, want.RearWheelA.y) << "heading " << heading;
            ASSERT_EQ(p.RearWheelB.x, want.RearWheelB.x) << "heading " << heading;
            ASSERT_EQ(p.RearWheelB.y, want.RearWheelB.y) << "heading " << heading;
        }
    }
}

// The point-in-quadrilateral test behind every collision of the race sums four arc
// cosines; points all round a car's corners, on and near its edges and far off, answer
// as with the library's arc cosine.
TEST(RaceMath, PointInQuadAnswersAsWithTheLibrarysArcCosine) {
    auto withLibrary = [](double px, double py, const TQuad& q) {
        double ux[4], uy[4];
        for (int i = 0; i < 4; ++i) {
            const double dx = q.corners[size_t(i)].x - px, dy = q.corners[size_t(i)].y - py;
            const double length = std::sqrt(dx * dx + dy * dy);
            if (length == 0.0) return true;
            ux[i] = dx / length;
            uy[i] = dy / length;
        }
        double sum = 0.0;
        for (int i = 0; i < 4; ++i) {
            const int j = (i + 1) % 4;
            const double dot = std::clamp(ux[i] * ux[j] + uy[i] * uy[j], -1.0, 1.0);
            sum += std::acos(dot) * 57.29577951308232;
        }
        return sum >= 355.0;
    };
    const TQuad quads[] = {
        {{{{100, 100}, {164, 100}, {164, 256}, {100, 256}}}},
        {{{{10.5, 3.25}, {70.75, 20.5}, {40.125, 180.5}, {-20.25, 160.75}}}},
        {{{{0, 0}, {30, 1}, {31, 90}, {1, 89}}}},
    };
    int inside = 0, total = 0;
    for (const TQuad& q : quads) {
        for (double y = -40; y <= 300; y += 0.75) {
            for (double x = -60; x <= 220; x += 0.625) {
                const bool want = withLibrary(x, y, q);
                ASSERT_EQ(PointInQuad({x, y}, q), want) << x << ", " << y;
                inside += want ? 1 : 0;
                ++total;
            }
        }
    }
    EXPECT_GT(inside, 1000);
    EXPECT_GT(total - inside, 1000);
}

} // namespace
} // namespace vorlane
