// The player car's weapons on a whole headless game: the machine gun and the rocket
// launcher rising in stages, their rate of fire and ammunition, the gun's ray against
// pedestrians and cars, and the rockets' pool, flight, hits and return to the pool.
#include "FormFixture.h"

#include "menus/Screens.h"
#include "race/Race.h"
#include "sim/Car.h"
#include "sim/Man.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <strings.h>
#include <vector>

namespace vorlane {
namespace {

using test::FormFixture;

constexpr CarItem kGun = CarItem::MachineGun;
constexpr CarItem kLauncher = CarItem::RocketLauncher;

// A race just started, with the street emptied: no pedestrian and no opponent car,
// so each test puts in front of the car exactly what it shoots at. The frame time is
// 10 ms at 85 frames a second's speed scale; the tests drive the car's weapon steps
// (or whole race ticks) themselves.
class Weapons : public ::testing::Test {
  protected:
    void SetUp() override {
        game_.RunFrames(46); // the main menu's intro is over
        CloseMainMenu(Form());
        Form().SpriteEngine.SweepDead(); // as the frame does: the menu's backdrop is gone
        StartRace(Form());
        Form().Stats.FrameMs = 10;
        Form().Stats.SpeedScale = 1.0;
        for (TPedestrian& p : Race().Men->Slots)
            p.Exists = 0;
        TCar& cars = *Race().Cars;
        std::fill(cars.CarDir.begin(), cars.CarDir.end(), kCarRemoved);
        std::fill(cars.CarSpeed.begin(), cars.CarSpeed.end(), 0);
        game_.ClearEffects();
    }

    TMForm& Form() { return game_.Form(); }
    TRace& Race() { return *Form().Race; }
    TPlayer& Car() { return *Race().Player; }

    // One driving frame's worth of weapon: the car's weapon step and firing step, then
    // the race tick's rule that a spent weapon is dropped.
    void WeaponFrame() {
        Car().WeaponStep();
        Car().FiringStep();
        if (Car().Ammo <= 0) Car().DropItem(Car().WeaponKind);
    }
    // Takes the weapon and raises it fully.
    void Raise(CarItem kind) {
        Car().GiveBonus(kind);
        for (int i = 0; i < 100 && Car().WeaponStage < 6; ++i)
            Car().WeaponStep();
        ASSERT_EQ(Car().WeaponStage, 6);
        Car().FireCooldown = 0;
        game_.ClearEffects();
    }
    std::string WeaponImage() { return Car().WeaponSprite->Image()->Name; }
    int CountEffect(const std::string& name) {
        const auto& e = game_.Effects();
        return int(std::count(e.begin(), e.end(), name));
    }
    // World point = screen point + this offset.
    double OriginX() { return Race().MapCol * 72.0 - ViewOf(Race()).X; }
    double OriginY() { return Race().MapRow * 72.0 - ViewOf(Race()).Y; }
    // The centre of the car on the screen: where the gun's ray starts.
    double CentreX() { return Car().X + Car().Width / 2.0; }
    double CentreY() { return Car().Y + Car().Height / 2.0; }
    int InFlightCount() {
        int n = 0;
        for (TRocket* r : Race().Rockets)
            n += r->InFlight ? 1 : 0;
        return n;
    }
    // A walking pedestrian in slot i with its centre at world point (x, y).
    TPedestrian& PutPedestrian(int i, double x, double y, ManState state = ManState::Up) {
        TPedestrian& p = Race().Men->Slots[size_t(i)];
        p = TPedestrian{};
        p.Exists = 1;
        p.Visible = 1;
        p.X = x;
        p.Y = y;
        p.State = state;
        p.Speed = 4;
        return p;
    }
    // An opponent car of kind 1 coming down in slot i, its image's top-left at world (x, y).
    void PutCar(int i, double x, double y) {
        TCar& cars = *Race().Cars;
        const size_t s = size_t(i);
        cars.CarKind[s] = 1;
        cars.CarDir[s] = kCarDown;
        cars.CarX[s] = x;
        cars.CarY[s] = y;
        cars.CarSpeed[s] = kCarSpeedDown;
        cars.CarVisible[s] = 1;
        cars.CarExploding[s] = 0;
        cars.CarExplosionTime[s] = 0;
        cars.CarTouching[s] = 0;
    }

    FormFixture game_;
};

TEST_F(Weapons, ANewWeaponRisesInFiveStagesBeforeItFires) {
    const struct {
        CarItem kind;
        const char* images;
    } rows[] = {{kGun, "GunAnim_"}, {kLauncher, "RocketAnim_"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.images);
        Car().DropAll();
        Car().WeaponStage = 1;
        Car().WeaponStageTimer = 0;
        Car().GiveBonus(row.kind);
        EXPECT_EQ(Car().WeaponKind, row.kind);
        EXPECT_EQ(WeaponImage(), std::string(row.images) + "1");
        const int ammo = Car().Ammo;
        EXPECT_EQ(ammo, row.kind == kGun ? 25 : 20);

        Car().KeyFire = true;
        std::vector<int> framesAtStage(7, 0);
        int frames = 0;
        while (Car().WeaponStage < 6 && frames < 200) {
            ++framesAtStage[size_t(Car().WeaponStage)];
            WeaponFrame();
            ++frames;
            if (Car().WeaponStage < 6) {
                EXPECT_EQ(WeaponImage(), std::string(row.images) + std::to_string(Car().WeaponStage));
                EXPECT_EQ(Car().Ammo, ammo) << "fired at stage " << Car().WeaponStage;
            }
        }
        // The first step starts from the timer's leftover (0 here), then 100 ms a stage.
        EXPECT_EQ(framesAtStage[1], 1);
        for (int stage = 2; stage <= 5; ++stage)
            EXPECT_EQ(framesAtStage[size_t(stage)], 10) << stage;
        EXPECT_GT(CountEffect("WeaponAppear"), 0);
        // Fully raised: the same frame's firing step shoots.
        EXPECT_EQ(Car().Ammo, ammo - 1);
        Car().KeyFire = false;
        WeaponFrame();
    }
}

TEST_F(Weapons, TheGunFiresFiveShotsASecondUntilItsTwentyFiveAreSpentThenSinks) {
    Raise(kGun);
    Car().KeyFire = true;
    std::vector<int> shotFrames;
    int ammo = Car().Ammo;
    int frame = 0;
    bool flashAlternates = true;
    int gunSoundStarts = 0;
    for (; frame < 700 && Car().WeaponKind != CarItem::None; ++frame) {
        WeaponFrame();
        if (Car().Ammo < ammo) {
            shotFrames.push_back(frame);
            flashAlternates = flashAlternates && WeaponImage() == "GunShooting";
            gunSoundStarts = CountEffect("MachineGun");
        }
        // The flash lasts 100 ms, then the raised gun shows again until the next shot.
        if (!shotFrames.empty() && frame - shotFrames.back() == 10 && Car().Ammo > 0)
            flashAlternates = flashAlternates && WeaponImage() == "GunAnim_6";
        ammo = Car().Ammo;
    }
    EXPECT_TRUE(flashAlternates);
    ASSERT_EQ(shotFrames.size(), 25u);
    // At 10 ms a frame the 200 ms cooldown reaches exactly 0 after 20 frames: that fires.
    for (size_t i = 1; i < shotFrames.size(); ++i)
        EXPECT_EQ(shotFrames[i] - shotFrames[i - 1], 20) << i;
    EXPECT_EQ(gunSoundStarts, 1); // the looped sound starts once for all 25 shots
    // Spent: the gun sank stage by stage and is gone.
    EXPECT_EQ(Car().WeaponKind, CarItem::None);
    EXPECT_EQ(Car().WeaponStage, 1);
    EXPECT_FALSE(Car().GunSounding);
    EXPECT_LT(frame - shotFrames.back(), 60);
}

TEST_F(Weapons, ReleasingFireStopsTheGunsSound) {
    Raise(kGun);
    Car().KeyFire = true;
    WeaponFrame();
    EXPECT_TRUE(Car().GunSounding);
    EXPECT_EQ(Car().Ammo, 24);
    Car().KeyFire = false;
    WeaponFrame();
    EXPECT_FALSE(Car().GunSounding);
    // A cooldown that ran below 0 still lets the next press fire at once.
    for (int i = 0; i < 30; ++i)
        WeaponFrame();
    EXPECT_LT(Car().FireCooldown, 0);
    Car().KeyFire = true;
    WeaponFrame();
    EXPECT_EQ(Car().Ammo, 23);
}

TEST_F(Weapons, TheLauncherFiresFromAlternateSidesTwoRocketsASecond) {
    const struct {
        int heading;
        double rightX, rightY; // offset of the first rocket (19 left: odd) from the launch point
    } rows[] = {
        // Straight up: 28 below the car's centre, 47 to the right; the next 47 to the left.
        {0, 47.06, 28.28},
        // Turned right: the car's right side is down the screen.
        {64, -28.28, 47.06},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.heading);
        for (TRocket* r : Race().Rockets)
            r->RocketReset();
        Car().DropAll();
        Car().Heading = row.heading;
        Raise(kLauncher);
        // The launch point: 6 pixels left of the car's centre (half a rocket's width).
        const double lx = Car().X + (Car().Width - 12) / 2.0;
        const double ly = CentreY();
        Car().KeyFire = true;
        std::vector<TRocket*> launched;
        std::vector<int> shotFrames;
        for (int frame = 0; frame < 60; ++frame) {
            const int ammo = Car().Ammo;
            WeaponFrame();
            if (Car().Ammo < ammo) {
                shotFrames.push_back(frame);
                for (TRocket* r : Race().Rockets)
                    if (r->InFlight && std::find(launched.begin(), launched.end(), r) == launched.end())
                        launched.push_back(r);
            }
        }
        ASSERT_EQ(shotFrames.size(), 2u); // 500 ms apart
        EXPECT_EQ(shotFrames[1] - shotFrames[0], 50);
        EXPECT_EQ(CountEffect("Rocket"), 2);
        ASSERT_EQ(launched.size(), 2u);
        EXPECT_NEAR(launched[0]->X - lx, row.rightX, 1.0);
        EXPECT_NEAR(launched[0]->Y - ly, row.rightY, 1.0);
        // The other side: the offset mirrored across the car's axis.
        const double a = row.heading * 2 * std::numbers::pi / 256;
        const double along = -std::sin(a) * row.rightX + std::cos(a) * row.rightY; // behind the centre
        const double across = std::cos(a) * row.rightX + std::sin(a) * row.rightY; // to the car's right
        EXPECT_NEAR(launched[1]->X - lx, -across * std::cos(a) - along * std::sin(a), 1.0);
        EXPECT_NEAR(launched[1]->Y - ly, -across * std::sin(a) + along * std::cos(a), 1.0);
        for (TRocket* r : launched) {
            EXPECT_EQ(r->RocketAngle, row.heading);
            EXPECT_EQ(r->RocketSpeed, 18); // the car stands
        }
    }
}

TEST_F(Weapons, ASixthRocketWithFiveInFlightSpendsAmmunitionAndLaunchesNothing) {
    Raise(kLauncher);
    for (int shot = 1; shot <= 6; ++shot) {
        Car().FireCooldown = 0;
        Car().FireWeapon();
    }
    EXPECT_EQ(Car().Ammo, 14);
    EXPECT_EQ(CountEffect("Rocket"), 6);
    EXPECT_EQ(InFlightCount(), 5);
    EXPECT_EQ(LaunchRocket(Form().RaceWorld, 100, 100, 18, 0), nullptr);
    // A rocket back in the pool is the next one sent.
    TRocket* third = Race().Rockets[2];
    third->RocketReset();
    EXPECT_EQ(LaunchRocket(Form().RaceWorld, 100, 100, 18, 0), third);
}

TEST_F(Weapons, PickingTheOtherWeaponReplacesTheFirstAtOnce) {
    Raise(kGun);
    Car().KeyFire = true;
    WeaponFrame();
    ASSERT_TRUE(Car().GunSounding);
    Car().GiveBonus(kLauncher);
    EXPECT_EQ(Car().WeaponKind, kLauncher);
    EXPECT_EQ(Car().WeaponStage, 1);
    EXPECT_EQ(Car().Ammo, 20);
    EXPECT_FALSE(Car().GunSounding);
    EXPECT_EQ(WeaponImage(), "RocketAnim_1");

    // The weapon already carried is refilled and stays up.
    Raise(kLauncher);
    Car().Ammo = 3;
    Car().GiveBonus(kLauncher);
    EXPECT_EQ(Car().Ammo, 20);
    EXPECT_EQ(Car().WeaponStage, 6);
    // ... also while it sinks: it rises again.
    Car().Ammo = 0;
    for (int i = 0; i < 15; ++i)
        Car().WeaponStep();
    ASSERT_LT(Car().WeaponStage, 6);
    const int sunkTo = Car().WeaponStage;
    Car().GiveBonus(kLauncher);
    EXPECT_EQ(Car().WeaponStage, sunkTo);
    for (int i = 0; i < 60; ++i)
        Car().WeaponStep();
    EXPECT_EQ(Car().WeaponStage, 6);
}

TEST_F(Weapons, TheGunsRayFellsThePedestriansAheadAndPassesTheFallen) {
    Raise(kGun);
    const double wx = CentreX() + OriginX();
    const double wy = CentreY() + OriginY();
    TPedestrian& lying = PutPedestrian(1, wx, wy - 120, ManState::Lying);
    TPedestrian& gone = PutPedestrian(2, wx, wy - 140, ManState::Gone);
    TPedestrian& ahead = PutPedestrian(3, wx + 30, wy - 200);
    TPedestrian& beside = PutPedestrian(4, wx - 40, wy - 200); // within 50 of the same ray point
    TPedestrian& aside = PutPedestrian(5, wx + 60, wy - 200);  // too far off the ray
    TPedestrian& beyond = PutPedestrian(6, wx, wy - 320);      // the ray stopped before it
    beside.Woman = 1;
    const double aheadX = ahead.X;
    const int score = Race().Score;

    Car().FireWeapon();

    EXPECT_EQ(ahead.State, ManState::Lying);
    EXPECT_DOUBLE_EQ(ahead.X, aheadX - 10);
    EXPECT_EQ(ahead.Speed, 0);
    EXPECT_EQ(beside.State, ManState::Lying);
    EXPECT_EQ(lying.X, wx); // untouched
    EXPECT_EQ(gone.State, ManState::Gone);
    EXPECT_EQ(aside.State, ManState::Up);
    EXPECT_EQ(beyond.State, ManState::Up);
    EXPECT_EQ(Race().Score, score + 10);
    EXPECT_EQ(CountEffect("Kill"), 1);
    EXPECT_EQ(CountEffect("KillW"), 1);
    EXPECT_EQ(WeaponImage(), "GunShooting");
}

TEST_F(Weapons, TheGunsRayBlowsUpTheFirstDrivingCarAhead) {
    Raise(kGun);
    const double wx = CentreX() + OriginX();
    const double wy = CentreY() + OriginY();
    // Kind 1 is 98 x 134; its centre lies on the ray 250 and 450 pixels ahead.
    PutCar(1, wx - 49, wy - 450 - 67);
    PutCar(2, wx - 49, wy - 250 - 67);
    PutCar(3, wx - 49, wy - 150 - 67);
    Race().Cars->CarSpeed[3] = 0; // already hit: the ray passes it
    Race().Cars->CarExploding[3] = 1;
    const int score = Race().Score;

    Car().FireWeapon();

    TCar& cars = *Race().Cars;
    EXPECT_EQ(cars.CarExploding[2], 1);
    EXPECT_EQ(cars.CarSpeed[2], 0);
    EXPECT_EQ(cars.CarExploding[1], 0);
    EXPECT_EQ(cars.CarSpeed[1], kCarSpeedDown);
    EXPECT_EQ(Race().Score, score + 10);
    EXPECT_EQ(CountEffect("Explosion"), 1);

    // Sideways the ray runs until it leaves the track part of the screen: a car right
    // of the car is hit, one left of it is not.
    Car().Heading = 64;
    PutCar(4, wx + 200 - 49, wy - 67);
    PutCar(5, wx - 200 - 49, wy - 67);
    Car().FireCooldown = 0;
    Car().FireWeapon();
    EXPECT_EQ(cars.CarExploding[4], 1);
    EXPECT_EQ(cars.CarExploding[5], 0);
}

TEST_F(Weapons, ARocketClimbsAgainstTheWorldAtHalfItsSpeed) {
    Car().ScrollSpeed = 16; // straight up at 160
    TRocket* r = LaunchRocket(Form().RaceWorld, 400, 300, 18, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->RocketSpeed, 34);
    EXPECT_TRUE(r->Visible);
    const double worldY = r->WorldY;
    EXPECT_DOUBLE_EQ(worldY, 300 + OriginY());
    r->MoveStep(10);
    EXPECT_DOUBLE_EQ(r->WorldY, worldY - 17);
    EXPECT_DOUBLE_EQ(r->Y, r->WorldY - OriginY());
    EXPECT_DOUBLE_EQ(r->X, 400);
    // With the world scrolling 8 down a frame, the rocket climbs the screen at 9.
    Race().ScrollVY = 16;
    const double y = r->Y;
    RaceTick(Form(), 10);
    EXPECT_NEAR(r->Y, y - 9, 1e-9);
}

TEST_F(Weapons, ARocketLeavingThePlayAreaGoesBackToThePool) {
    const struct {
        double x, y;
        bool kept;
    } rows[] = {
        {300, 300, true}, {0, 300, true},    {688, 300, true}, // 688 + 12 = 700: still in
        {-1, 300, false}, {689, 300, false}, {300, 600, true}, {300, 601, false},
        {300, -52, true}, {300, -53, false}, // the rocket (32) and its flame (20) above the top
    };
    for (const auto& row : rows) {
        TRocket* r = Race().Rockets[0];
        r->RocketReset();
        ASSERT_EQ(LaunchRocket(Form().RaceWorld, row.x, row.y, 18, 0), r);
        RocketHousekeeping(Form().RaceWorld);
        EXPECT_EQ(r->InFlight, row.kept) << row.x << ", " << row.y;
        if (!row.kept) {
            EXPECT_FALSE(r->Visible);
            EXPECT_EQ(r->Y, -1000);
        }
    }
}

TEST_F(Weapons, ARocketOnACarBlowsUpTheCarAndReturnsToThePool) {
    Raise(kLauncher);
    Car().FireWeapon();
    TRocket* r = Race().Rockets[0];
    ASSERT_TRUE(r->InFlight);
    // A car coming down the rocket's path, far enough ahead not to reach the player car.
    PutCar(1, r->WorldX - 49 + 6, r->WorldY - 400);
    const int score = Race().Score;
    int frames = 0;
    while (r->InFlight && frames < 100) {
        RaceTick(Form(), 10);
        ++frames;
    }
    TCar& cars = *Race().Cars;
    EXPECT_EQ(cars.CarExploding[1], 1);
    EXPECT_EQ(Race().Score, score + 10);
    EXPECT_FALSE(r->InFlight);
    EXPECT_FALSE(r->Visible);
    EXPECT_EQ(CountEffect("Explosion"), 1);
}

TEST_F(Weapons, ARocketOnAPedestrianExplodesWhereItIsUntilItsExplosionHasPlayed) {
    TRocket* r = LaunchRocket(Form().RaceWorld, 300, 200, 18, 0);
    ASSERT_NE(r, nullptr);
    PutPedestrian(1, r->WorldX, r->WorldY - 40);
    const int score = Race().Score;
    int frames = 0;
    while (!r->Exploding && frames < 20) {
        RaceTick(Form(), 10);
        ++frames;
    }
    ASSERT_TRUE(r->Exploding);
    EXPECT_EQ(Race().Men->Slots[1].State, ManState::Gone);
    EXPECT_EQ(Race().Score, score + 5);
    EXPECT_EQ(r->RocketSpeed, 0);
    EXPECT_EQ(strcasecmp(r->Image()->Name.c_str(), "Explosion"), 0);
    EXPECT_EQ(CountEffect("Explosion"), 1);
    // The explosion stays on the world's spot and plays through (10 patterns at 0.2 a
    // frame), then the rocket is idle again.
    const double wx = r->WorldX, wy = r->WorldY;
    int explosionFrames = 0;
    while (r->InFlight && explosionFrames < 200) {
        RaceTick(Form(), 10);
        ++explosionFrames;
        if (r->InFlight) {
            EXPECT_EQ(r->WorldX, wx);
            EXPECT_EQ(r->WorldY, wy);
        }
    }
    EXPECT_FALSE(r->InFlight);
    EXPECT_GT(explosionFrames, 40);
    EXPECT_LT(explosionFrames, 60);
}

} // namespace
} // namespace vorlane
