// The opponent cars on the move: contacts with the player car, rocket hits, the
// explosion, lane following, and coming back in at the ends of the road.
#include "cars_fixture.h"

#include "sim/Finish.h"
#include "sim/Tiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vorlane {
namespace {

using test::CarsFixture;

bool Played(const std::vector<std::string>& effects, const std::string& name) {
    return std::find(effects.begin(), effects.end(), name) != effects.end();
}

// ---- contacts with the player car -------------------------------------------------

struct ContactCase {
    const char* name;
    int dir;            // the opponent: kCarUp (speed 6) or kCarDown (speed -5)
    double screenY;     // its top-left on the screen before the move (x is 365)
    double playerSpeed; // Speed before (ScrollSpeed is a tenth of it)
    bool levelEnded;    // 0: racing, 1: time out, 2: finish passed
    bool clearNearCars;
    // Expected after one move:
    int energy;
    double speed;
    double scrollSpeed;
    bool carExploding;
    bool carRemoved;
    bool explosionSound;
};

// The player car stands at (365, 400); its picture is 156 pixels high.
const ContactCase kContacts[] = {
    // Head-on: the oncoming car explodes, the player is thrown back at a fifth.
    {"head-on", kCarDown, 300, 100, false, false, 2, -20, -2, true, false, true},
    {"head-on after time out", kCarDown, 300, 100, true, false, 3, -20, -2, true, false, true},
    // From behind: the faster car shoves the player ahead at 6 * 1.5 * 10.
    {"from behind", kCarUp, 480, 50, false, false, 2, 90, 5, false, false, false},
    {"from behind after time out", kCarUp, 480, 50, true, false, 3, 90, 5, false, false, false},
    // Running into a car ahead: a fifth of the speed is left.
    {"into one ahead", kCarUp, 300, 100, false, false, 2, 20, 2, false, false, false},
    // Just put back on the road: the car in the way vanishes, nothing else happens.
    {"clearing after a restart", kCarDown, 300, 0, false, true, 3, 0, 0, false, true, false},
};

TEST(CarsContact, EachKindOfContactOnceWhateverItsLength) {
    for (const ContactCase& c : kContacts) {
        SCOPED_TRACE(c.name);
        CarsFixture f;
        TCar& cars = f.StartLevel(1, false);
        CarsFixture::ClearSlots(cars);
        TPlayer& player = f.AddPlayer();
        player.Speed = c.playerSpeed;
        player.ScrollSpeed = c.playerSpeed / 10;
        player.TimeOut = c.levelEnded;
        player.ClearNearCars = c.clearNearCars;
        CarsFixture::PlaceCar(cars, 1, 1, c.dir, f.WorldX(365), f.WorldY(c.screenY));
        ASSERT_TRUE(QuadsOverlap(cars.CarScreenQuad(1), player.Corners));
        f.Game().ClearEffects();

        cars.MoveStep(15);
        EXPECT_EQ(player.Energy, c.energy);
        EXPECT_DOUBLE_EQ(player.Speed, c.speed);
        EXPECT_DOUBLE_EQ(player.ScrollSpeed, c.scrollSpeed);
        EXPECT_EQ(cars.CarExploding[1] != 0, c.carExploding);
        EXPECT_EQ(cars.CarDir[1] == kCarRemoved, c.carRemoved);
        if (c.carExploding || c.carRemoved) {
            EXPECT_EQ(cars.CarSpeed[1], 0);
        }
        EXPECT_EQ(Played(f.Game().Effects(), "Explosion"), c.explosionSound);
        EXPECT_FALSE(player.ClearNearCars);

        // The cars stay in contact for a few more frames: nothing more happens.
        for (int k = 0; k < 3; ++k)
            cars.MoveStep(15);
        EXPECT_EQ(player.Energy, c.energy);
        EXPECT_DOUBLE_EQ(player.Speed, c.speed);
    }
}

TEST(CarsContact, AfterTheFinishContactsCostNoEnergy) {
    CarsFixture f;
    TCar& cars = f.StartLevel(1, false);
    CarsFixture::ClearSlots(cars);
    f.Race().Finish = f.Form().SpriteEngine.Add<TFinish>(f.Form().RaceWorld);
    f.Race().Finish->Passed = 1;
    TPlayer& player = f.AddPlayer();
    player.Speed = 100;
    player.ScrollSpeed = 10;
    CarsFixture::PlaceCar(cars, 1, 1, kCarDown, f.WorldX(365), f.WorldY(300));
    cars.MoveStep(15);
    EXPECT_EQ(player.Energy, 3);
    EXPECT_DOUBLE_EQ(player.Speed, -20);
    EXPECT_EQ(cars.CarExploding[1], 1);
}

TEST(CarsContact, ContactAgainAfterTheCarsPartedCountsAgain) {
    CarsFixture f;
    TCar& cars = f.StartLevel(1, false);
    CarsFixture::ClearSlots(cars);
    TPlayer& player = f.AddPlayer();
    player.Speed = 100;
    player.ScrollSpeed = 10;
    CarsFixture::PlaceCar(cars, 1, 1, kCarUp, f.WorldX(365), f.WorldY(300));
    cars.MoveStep(15);
    EXPECT_EQ(player.Energy, 2);
    EXPECT_EQ(cars.CarTouching[1], 1);
    // Apart for one frame (still near the view), then back.
    const double y = cars.CarY[1];
    cars.CarY[1] = f.WorldY(-100);
    cars.MoveStep(15);
    EXPECT_EQ(cars.CarTouching[1], 0);
    cars.CarY[1] = y;
    cars.MoveStep(15);
    EXPECT_EQ(player.Energy, 1);
}

TEST(CarsContact, AWreckAndFarCarsHaveNoContact) {
    CarsFixture f;
    TCar& cars = f.StartLevel(1, false);
    CarsFixture::ClearSlots(cars);
    TPlayer& player = f.AddPlayer();
    player.Speed = 100;
    player.Crashed = 1;
    CarsFixture::PlaceCar(cars, 1, 1, kCarDown, f.WorldX(365), f.WorldY(300));
    cars.MoveStep(15);
    EXPECT_EQ(cars.CarExploding[1], 0);
    EXPECT_EQ(cars.CarTouching[1], 0);
    EXPECT_DOUBLE_EQ(player.Speed, 100);

    // Far from the view: not visible, so not tested against the car.
    player.Crashed = 0;
    CarsFixture::PlaceCar(cars, 2, 1, kCarUp, f.WorldX(365), f.WorldY(700));
    cars.MoveStep(15);
    EXPECT_EQ(cars.CarVisible[2], 0);
    EXPECT_EQ(cars.CarVisible[1], 1);
}

// ---- rockets ----------------------------------------------------------------------

TEST(CarsRockets, TheFirstFlyingRocketInsideTheCarBlowsItUp) {
    CarsFixture f;
    TCar& cars = f.StartLevel(1, false);
    CarsFixture::ClearSlots(cars);
    f.AddPlayer();
    CreateRockets(f.Form().RaceWorld);
    auto& rockets = f.Race().Rockets;
    CarsFixture::PlaceCar(cars, 1, 2, kCarUp, f.WorldX(60), f.WorldY(40));
    // The car's middle after its move (it climbs 3 pixels).
    const double wx = cars.CarX[1] + 60, wy = cars.CarY[1] - 3 + 85;
    for (int k : {0, 1, 2}) {
        rockets[size_t(k)]->InFlight = true;
        rockets[size_t(k)]->WorldX = wx;
        rockets[size_t(k)]->WorldY = wy;
    }
    rockets[0]->Exploding = true; // already blowing up on something else
    rockets[3]->InFlight = true;  // flying elsewhere
    rockets[3]->WorldX = wx + 500;
    rockets[3]->WorldY = wy;
    f.Game().ClearEffects();

    cars.MoveStep(15);
    EXPECT_EQ(cars.CarExploding[1], 1);
    EXPECT_EQ(cars.CarSpeed[1], 0);
    EXPECT_EQ(f.Race().Score, 10);
    EXPECT_TRUE(Played(f.Game().Effects(), "Explosion"));
    EXPECT_TRUE(rockets[0]->InFlight);
    EXPECT_FALSE(rockets[1]->InFlight); // spent on the car, without a blast of its own
    EXPECT_TRUE(rockets[2]->InFlight);
    EXPECT_TRUE(rockets[3]->InFlight);

    // An exploding car takes no more rockets.
    cars.MoveStep(15);
    EXPECT_TRUE(rockets[2]->InFlight);
    EXPECT_EQ(f.Race().Score, 10);

    // A car cleared away by the restart contact is gone at once: a rocket on the same
    // spot in that tick flies on.
    TPlayer& player = *f.Race().Player;
    player.ClearNearCars = true;
    CarsFixture::PlaceCar(cars, 2, 1, kCarDown, f.WorldX(365), f.WorldY(300));
    ASSERT_TRUE(QuadsOverlap(cars.CarScreenQuad(2), player.Corners));
    rockets[2]->WorldX = cars.CarX[2] + 49;
    rockets[2]->WorldY = cars.CarY[2] + 2.5 + 67;
    ASSERT_TRUE(PointInQuad(TPointD{rockets[2]->WorldX, rockets[2]->WorldY}, cars.CarWorldQuad(2)));
    cars.MoveStep(15);
    EXPECT_EQ(cars.CarDir[2], kCarRemoved);
    EXPECT_EQ(cars.CarExploding[2], 0);
    EXPECT_TRUE(rockets[2]->InFlight);
    EXPECT_EQ(f.Race().Score, 10);
}

// ---- the explosion ----------------------------------------------------------------

// Frames until a destroyed car is gone, and the explosion patterns it showed.
struct ExplosionRun {
    int frames = 0;
    std::vector<int> patterns;
};

ExplosionRun Explode(int frameMs, double speedScale) {
    CarsFixture f;
    TCar& cars = f.StartLevel(1, false);
    CarsFixture::ClearSlots(cars);
    f.SetFrameRate(frameMs, speedScale);
    CarsFixture::PlaceCar(cars, 1, 1, kCarUp, f.WorldX(100), f.WorldY(100));
    const double x = cars.CarX[1], y = cars.CarY[1];
    cars.DestroyCar(1);
    ExplosionRun run;
    while (cars.CarDir[1] != kCarRemoved && run.frames < 1000) {
        cars.MoveStep(frameMs);
        ++run.frames;
        if (cars.CarDir[1] != kCarRemoved) {
            run.patterns.push_back(int(cars.CarExplosionTime[1]));
            EXPECT_EQ(cars.CarExploding[1], 1);
        }
    }
    // It stood still all along and is gone for good.
    EXPECT_EQ(cars.CarX[1], x);
    EXPECT_EQ(cars.CarY[1], y);
    EXPECT_EQ(cars.CarExploding[1], 0);
    for (int k = 0; k < 100; ++k)
        cars.MoveStep(frameMs);
    EXPECT_EQ(cars.CarDir[1], kCarRemoved);
    return run;
}

TEST(CarsExplosion, LastsAboutTwoThirdsOfASecondAtAnyFrameRate) {
    const ExplosionRun at85 = Explode(15, 1.0);
    const ExplosionRun at33 = Explode(30, 2.0);
    EXPECT_EQ(at85.frames, 44); // 0.3 a frame passes 13 on the 44th
    EXPECT_EQ(at33.frames, 22); // 0.6 a frame
    EXPECT_EQ(at85.frames * 15, at33.frames * 30);
    // The patterns run 0, 1, ... 12 in order.
    ASSERT_FALSE(at85.patterns.empty());
    EXPECT_EQ(at85.patterns.front(), 0);
    EXPECT_EQ(at85.patterns.back(), 12);
    EXPECT_TRUE(std::is_sorted(at85.patterns.begin(), at85.patterns.end()));
    EXPECT_EQ(at33.patterns.back(), 12);
}

// ---- lane following -----------------------------------------------------------------

TEST(CarsLanes, DirectionFromTheTilesBesideAndUnderTheCar) {
    struct Case {
        int dir, left, middle, right, expected;
    };
    const Case cases[] = {
        {kCarUp, 15, 14, 0, kCarUpLeft},     // shift to the left
        {kCarUp, 0, 7, 8, kCarUpRight},      // shift to the right
        {kCarUpLeft, 2, 3, 4, kCarUp},       // straight again
        {kCarUpRight, 0, 3, 0, kCarUpRight}, // no rule: keeps its way
        {kCarUp, 15, 14, 8, kCarUpLeft},
        {kCarDown, 9, 10, 0, kCarDownLeft},   // down through a shift to the right
        {kCarDown, 0, 19, 18, kCarDownRight}, // down through a shift to the left
        {kCarDownRight, 1, 2, 3, kCarDown},   // straight again
        {kCarDownLeft, 0, 14, 0, kCarDownLeft},
        {kCarDown, 15, 14, 0, kCarDown}, // the up rules do not apply going down
        {kCarUp, 9, 10, 0, kCarUp},      // nor the down rules going up
        {kCarRemoved, 15, 14, 0, kCarRemoved},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FollowLane(c.dir, c.left, c.middle, c.right), c.expected)
            << c.dir << ": " << c.left << " " << c.middle << " " << c.right;
}

TEST(CarsLanes, AnUpGoingCarOnALeftShiftDriftsLeftThenStraightensOut) {
    CarsFixture f;
    TCar& cars = f.StartLevel(1, false);
    CarsFixture::ClearSlots(cars);
    TrackMap& map = f.Race().Map;
    // A sedan going up with its centre in column 300 of row 1400.
    const int row = 1400, col = 300;
    CarsFixture::PlaceCar(cars, 1, 1, kCarUp, col * 72.0 + 10 - 49, row * 72.0 + 40 - 67 + 3);
    map.Set(row, col - 1, 15);
    map.Set(row, col, 14);
    cars.MoveStep(15);
    EXPECT_EQ(cars.CarDir[1], kCarUpLeft);
    const double x = cars.CarX[1], y = cars.CarY[1];
    cars.MoveStep(15);
    EXPECT_NEAR(cars.CarX[1], x - 6 * 0.5 * 0.44961132, 1e-9);
    EXPECT_NEAR(cars.CarY[1], y - 6 * 0.5 * 0.8932243, 1e-9);
    // Onto the straight road again: lanes 3 and 4 under and right of the centre.
    const int r2 = int(std::floor((cars.CarY[1] + 67 - 3) / 72)),
              c2 = int(std::floor((cars.CarX[1] + 49) / 72));
    map.Set(r2, c2, 3);
    map.Set(r2, c2 + 1, 4);
    cars.MoveStep(15);
    EXPECT_EQ(cars.CarDir[1], kCarUp);
}

// ---- leaving the road and coming back in -----------------------------------------

TEST(CarsRespawn, OffTheBottomBackInGoingUpAndTheCarItLandsOnIsRemoved) {
    CarsFixture f(4);
    TCar& cars = f.StartLevel(1);
    CarsFixture::ClearSlots(cars);
    ASSERT_NE(cars.BottomEntryCol, 0);
    const double entryX = (cars.BottomEntryCol - 1) * 72.0;
    // Slot 1 drives down off the map; slot 2 waits where cars come in going up; slot 3
    // drives up further up the road.
    CarsFixture::PlaceCar(cars, 1, 1, kCarDown, entryX - 200, kCarBottomY - 1);
    CarsFixture::PlaceCar(cars, 2, 3, kCarUp, entryX + CarKindInfo(3).XOffsetUp, kCarBottomY - 10);
    CarsFixture::PlaceCar(cars, 3, 1, kCarUp, entryX + CarKindInfo(1).XOffsetUp, kCarBottomY - 1000);
    cars.MoveStep(15);
    const int kind = cars.CarKind[1];
    EXPECT_EQ(cars.CarDir[1], kCarUp);
    EXPECT_EQ(cars.CarSpeed[1], 6);
    EXPECT_EQ(cars.CarY[1], kCarBottomY);
    EXPECT_EQ(cars.CarX[1], entryX + CarKindInfo(kind).XOffsetUp);
    EXPECT_EQ(cars.CarVisible[1], 1);
    EXPECT_EQ(cars.CarDir[2], kCarRemoved);
    EXPECT_EQ(cars.CarSpeed[2], 0);
    EXPECT_EQ(cars.CarDir[3], kCarUp);
    // Removed cars never come back within the level.
    for (int k = 0; k < 50; ++k)
        cars.MoveStep(15);
    EXPECT_EQ(cars.CarDir[2], kCarRemoved);
}

TEST(CarsRespawn, PastTheTopOfTheRoadBackInGoingDown) {
    CarsFixture f(2);
    TCar& cars = f.StartLevel(1);
    CarsFixture::ClearSlots(cars);
    ASSERT_NE(cars.TopEntryCol, 0);
    const int topRow = 1536 - f.Race().TrackLength;
    CarsFixture::PlaceCar(cars, 4, 5, kCarUp, (cars.TopEntryCol + 2) * 72.0, (topRow - 1) * 72.0 + 2);
    cars.MoveStep(15);
    const int kind = cars.CarKind[4];
    EXPECT_EQ(cars.CarDir[4], kCarDown);
    EXPECT_EQ(cars.CarSpeed[4], -5);
    EXPECT_EQ(cars.CarY[4], topRow * 72.0);
    EXPECT_EQ(cars.CarX[4], (cars.TopEntryCol + 1) * 72.0 + CarKindInfo(kind).XOffsetDown);
    // Once back in, it stays on the map: it drives down from there.
    for (int k = 0; k < 20; ++k)
        cars.MoveStep(15);
    EXPECT_EQ(cars.CarDir[4], kCarDown);
    EXPECT_GT(cars.CarY[4], topRow * 72.0);
}

// Two minutes of a full level's traffic on a generated road with staircases of lane
// shifts, widenings and medians: every driving car keeps its centre on the road and
// within the map's rows (a car whose sideways drift was not settled at the end of each
// shift used to wander off across the scenery).
TEST(CarsRespawn, TrafficKeepsToTheRoadForMinutes) {
    for (uint32_t seed : {1u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CarsFixture f(seed);
        TCar& cars = f.StartLevel(5);
        const TrackMap& map = f.Race().Map;
        const double topY = (1535 - f.Race().TrackLength) * 72.0;
        int offRoad = 0;
        for (int frame = 0; frame < 85 * 120; ++frame) {
            cars.MoveStep(12);
            if (frame % 10 != 0) continue;
            for (int i = 1; i <= f.Race().CarCount; ++i) {
                const size_t s = size_t(i);
                if (cars.CarDir[s] == kCarRemoved) continue;
                ASSERT_GE(cars.CarY[s], topY) << i;
                ASSERT_LE(cars.CarY[s], kCarBottomY) << i;
                const TCarKindInfo& k = CarKindInfo(cars.CarKind[s]);
                const int tile =
                    map.TileAtWorld(int(cars.CarX[s] + k.CenterX), int(cars.CarY[s] + k.CenterY));
                if (!IsRoadTile(tile)) ++offRoad;
            }
        }
        EXPECT_EQ(offRoad, 0);
        int driving = 0;
        for (int i = 1; i <= f.Race().CarCount; ++i)
            driving += cars.CarDir[size_t(i)] != kCarRemoved;
        EXPECT_GT(driving, f.Race().CarCount / 2);
    }
}

} // namespace
} // namespace vorlane
