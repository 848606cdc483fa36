// Pedestrians, bonuses, lamps and the finish line against the player car in a race
// made by hand: the real game with the main menu closed, a level-1 race record, the
// sprite under test and the player car at its driving place. Each sprite's MoveStep is
// called directly, so nothing else moves.
#include "FormFixture.h"
#include "app/TMForm.h"
#include "menus/Screens.h"
#include "sim/Bonus.h"
#include "sim/Finish.h"
#include "sim/Lamp.h"
#include "sim/LevelTable.h"
#include "sim/Man.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"
#include "sim/TrackGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace vorlane::test {
namespace {

class StreetRace {
  public:
    explicit StreetRace(bool generatedTrack = false) {
        TMForm& form = Form();
        CloseMainMenu(form);
        form.SpriteEngine.SweepDead();
        form.Race = std::make_unique<TRace>();
        TRace& race = *form.Race;
        const LevelParams p = LevelParameters(1);
        race.Level = 1;
        race.Lives = 3;
        race.TrackLength = p.TrackLength;
        race.BonusCount = p.BonusCount;
        race.TimeLeft = p.TimeLimitMs;
        if (generatedTrack) BuildTrack(race.Map, form.Random, p.TrackLength);
        race.MapCol = kStartMapCol;
        race.MapRow = kStartMapRow;
        form.Stats.FrameMs = 15;
        form.Stats.SpeedScale = 1.0;
    }

    TMForm& Form() { return game_.Form(); }
    TRace& Race() { return *Form().Race; }
    FormFixture& Game() { return game_; }

    TPlayer& AddPlayer() {
        Race().Player =
            Form().SpriteEngine.Add<TPlayer>(Form().RaceWorld, Form().Menu.SelectedCar, kPlayerX, kPlayerY);
        Race().Player->ComputeCorners();
        return *Race().Player;
    }
    TScrollBackground& AddBackground() {
        Race().Background = Form().SpriteEngine.Add<TScrollBackground>(Form().RaceWorld, 2, "Tiles", 13, 10);
        return *Race().Background;
    }

    // The world point whose screen position is (sx, sy) (background at its place).
    double WorldX(double sx) { return sx + Race().MapCol * 72.0 - ViewOf(Race()).X; }
    double WorldY(double sy) { return sy + Race().MapRow * 72.0 - ViewOf(Race()).Y; }

    int CountEffect(const std::string& name) {
        const auto& e = game_.Effects();
        return int(std::count(e.begin(), e.end(), name));
    }

  private:
    FormFixture game_;
};

void ClearMen(TMan& men) {
    for (TPedestrian& p : men.Slots)
        p = TPedestrian{};
    men.Scared = 0;
}

// A walker in slot i whose centre is on the screen at (sx, sy).
TPedestrian& PlaceMan(StreetRace& r, TMan& men, int i, double sx, double sy, ManState state,
                      bool woman = false) {
    TPedestrian& p = men.Slots[size_t(i)];
    p = TPedestrian{};
    p.Exists = 1;
    p.Woman = woman ? 1 : 0;
    p.X = r.WorldX(sx);
    p.Y = r.WorldY(sy);
    p.State = p.Planned = state;
    p.Speed = state == ManState::Lying ? 0 : 4;
    p.TargetCol = p.TargetRow = -1;
    return p;
}

TEST(StreetMen, ARunOverPedestrianFallsOnceOnly) {
    StreetRace r;
    TPlayer& car = r.AddPlayer();
    TMan& men = *r.Form().SpriteEngine.Add<TMan>(r.Form().RaceWorld);
    ClearMen(men);
    // Her top-left corner (centre - 27) lies on the car.
    TPedestrian& p = PlaceMan(r, men, 7, kPlayerX + 27 + 10, kPlayerY + 27 + 20, ManState::Left, true);
    const double x = p.X, y = p.Y;
    car.Speed = 100;
    r.Game().ClearEffects();

    men.MoveStep(15);
    EXPECT_EQ(p.State, ManState::Lying);
    EXPECT_EQ(p.Speed, 0);
    EXPECT_EQ(p.Frame, 0);
    EXPECT_DOUBLE_EQ(p.X, x - 10);
    EXPECT_DOUBLE_EQ(p.Y, y - 10);
    EXPECT_EQ(r.Race().Score, 5);
    EXPECT_EQ(r.CountEffect("KillW"), 1);
    EXPECT_EQ(r.CountEffect("Kill"), 0);
    EXPECT_DOUBLE_EQ(car.Speed, 90); // Bump (0.9)
    EXPECT_EQ(car.BloodLeft, 50);

    // Lying under the car she is no longer run over, and stays where she fell.
    for (int f = 0; f < 20; ++f)
        men.MoveStep(15);
    EXPECT_EQ(r.Race().Score, 5);
    EXPECT_EQ(r.CountEffect("KillW"), 1);
    EXPECT_DOUBLE_EQ(car.Speed, 90);
    EXPECT_EQ(p.State, ManState::Lying);
    EXPECT_DOUBLE_EQ(p.X, x - 10);
    EXPECT_DOUBLE_EQ(p.Y, y - 10);
}

TEST(StreetMen, BloodTrailIsTopUpNotAddedUp) {
    StreetRace r;
    TPlayer& car = r.AddPlayer();
    TMan& men = *r.Form().SpriteEngine.Add<TMan>(r.Form().RaceWorld);
    const struct { int before, after; } rows[] = {{0, 50}, {-3, 50}, {1, 30}, {29, 30}, {30, 30}, {45, 45}};
    for (const auto& row : rows) {
        ClearMen(men);
        PlaceMan(r, men, 1, kPlayerX + 40, kPlayerY + 50, ManState::Up);
        car.BloodLeft = row.before;
        men.MoveStep(15);
        EXPECT_EQ(car.BloodLeft, row.after) << row.before;
    }
}

TEST(StreetMen, AFarWalkerIsNotRunOverAndWalksOn) {
    StreetRace r;
    r.AddPlayer();
    TMan& men = *r.Form().SpriteEngine.Add<TMan>(r.Form().RaceWorld);
    ClearMen(men);
    TPedestrian& p = PlaceMan(r, men, 1, 100, 100, ManState::Up);
    const double y = p.Y;
    for (int f = 0; f < 40; ++f)
        men.MoveStep(15);
    EXPECT_EQ(p.State, ManState::Up);
    EXPECT_LT(p.Y, y);
    EXPECT_EQ(r.Race().Score, 0);
}

TEST(StreetMen, ARocketTakesAwayEvenALyingPedestrian) {
    StreetRace r;
    r.AddPlayer();
    CreateRockets(r.Form().RaceWorld);
    TMan& men = *r.Form().SpriteEngine.Add<TMan>(r.Form().RaceWorld);
    ClearMen(men);
    TPedestrian& lying = PlaceMan(r, men, 3, 200, 150, ManState::Lying);
    TPedestrian& walker = PlaceMan(r, men, 4, 400, 150, ManState::Down);
    TRocket& first = *r.Race().Rockets[0];
    TRocket& second = *r.Race().Rockets[1];
    // Both rockets' points lie in the lying one's box (x - 4 .. x + 30).
    for (TRocket* rocket : {&first, &second}) {
        rocket->InFlight = true;
        rocket->WorldX = lying.X + 20;
        rocket->WorldY = lying.Y + 25;
    }
    r.Game().ClearEffects();
    men.MoveStep(15);
    EXPECT_EQ(lying.State, ManState::Gone);
    EXPECT_EQ(lying.Speed, 0);
    EXPECT_EQ(r.Race().Score, 5);
    EXPECT_TRUE(first.Exploding);   // the first in pool order explodes...
    EXPECT_FALSE(second.Exploding); // ... and no further rocket is tested
    EXPECT_EQ(r.CountEffect("Explosion"), 1);
    EXPECT_EQ(walker.State, ManState::Down);

    // A point just outside the box hits nothing; the gone figure is no target any more.
    second.WorldX = walker.X + 31;
    second.WorldY = walker.Y;
    const double gx = lying.X, gy = lying.Y;
    men.MoveStep(15);
    EXPECT_EQ(walker.State, ManState::Down);
    EXPECT_FALSE(second.Exploding);
    EXPECT_EQ(lying.X, gx);
    EXPECT_EQ(lying.Y, gy);
    EXPECT_EQ(r.Race().Score, 5);
}

TEST(StreetMen, TheMachineGunDownsWalkersOnly) {
    StreetRace r;
    r.AddPlayer();
    TMan& men = *r.Form().SpriteEngine.Add<TMan>(r.Form().RaceWorld);
    ClearMen(men);
    TPedestrian& walker = PlaceMan(r, men, 1, 100, 100, ManState::Up);
    TPedestrian& gone = PlaceMan(r, men, 2, 200, 100, ManState::Up);
    gone.State = ManState::Gone;
    const double y = walker.Y;
    men.ShootPedestrian(1);
    men.ShootPedestrian(2);
    men.ShootPedestrian(1); // already lying
    EXPECT_EQ(walker.State, ManState::Lying);
    EXPECT_DOUBLE_EQ(walker.Y, y - 10);
    EXPECT_EQ(gone.State, ManState::Gone); // taken away by a rocket: does not come back lying
    EXPECT_EQ(r.Race().Score, 5);
}

TEST(StreetMen, TheHornScareEndsForEverybodyAtOnce) {
    StreetRace r;
    r.AddPlayer();
    TMan& men = *r.Form().SpriteEngine.Add<TMan>(r.Form().RaceWorld);

    // Everybody in view: the scare lasts its second, then all calm in one tick.
    ClearMen(men);
    TPedestrian& a = PlaceMan(r, men, 1, 100, 100, ManState::Up);
    TPedestrian& b = PlaceMan(r, men, 2, 200, 120, ManState::Left);
    TPedestrian& lying = PlaceMan(r, men, 3, 150, 300, ManState::Lying);
    lying.Exists = 0; // (a lying one would end the scare at once, see below)
    men.MoveStep(15);
    men.ScarePedestrians();
    EXPECT_EQ(men.Scared, 1);
    EXPECT_EQ(a.Speed, 8);
    EXPECT_EQ(b.Speed, 8);
    int ticks = 0;
    while (men.Scared && ticks < 200) {
        men.MoveStep(15);
        ++ticks;
        if (men.Scared) {
            EXPECT_EQ(a.Speed, 8);
            EXPECT_EQ(b.Speed, 8);
        }
    }
    EXPECT_EQ(ticks, 68); // 1000 ms runs out after 67 ticks of 15 ms; the next calms
    for (TPedestrian* p : {&a, &b}) {
        EXPECT_GE(p->Speed, 3);
        EXPECT_LE(p->Speed, 5);
        EXPECT_EQ(p->ScareTime, 0);
    }

    // One walker out of view got no scare time: the next tick calms everybody.
    ClearMen(men);
    TPedestrian& near = PlaceMan(r, men, 1, 100, 100, ManState::Up);
    TPedestrian& far = PlaceMan(r, men, 2, 900, 100, ManState::Up);
    men.MoveStep(15);
    ASSERT_EQ(far.Visible, 0);
    men.ScarePedestrians();
    EXPECT_EQ(near.Speed, 8);
    EXPECT_EQ(far.Speed, 4);
    men.MoveStep(15);
    EXPECT_EQ(men.Scared, 0);
    EXPECT_LE(near.Speed, 5);
}

TEST(StreetMen, WalkersNearTheMapEdgeLeaveTheLevel) {
    StreetRace r;
    TMan& men = *r.Form().SpriteEngine.Add<TMan>(r.Form().RaceWorld);
    ClearMen(men);
    const struct {
        double x, y;
        bool stays;
    } rows[] = {{361, 1000, true}, {360, 1000, false}, {46655, 1000, true},  {46656, 1000, false},
                {1000, 361, true}, {1000, 360, false}, {1000, 107855, true}, {1000, 107856, false}};
    int i = 1;
    for (const auto& row : rows) {
        TPedestrian& p = men.Slots[size_t(i++)];
        p.Exists = 1;
        p.X = row.x;
        p.Y = row.y;
        p.State = p.Planned = ManState::Up;
        p.TargetCol = p.TargetRow = -1;
    }
    men.MoveStep(15);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(men.Slots[size_t(k + 1)].Exists, rows[k].stays ? 1 : 0) << k;
}

TEST(StreetMen, LevelOneLaysAtMost118AndRelayingStartsAfresh) {
    StreetRace r(true);
    TMan& men = *r.Form().SpriteEngine.Add<TMan>(r.Form().RaceWorld);
    auto count = [&] {
        int n = 0;
        for (const TPedestrian& p : men.Slots)
            n += p.Exists;
        return n;
    };
    const int laid = count();
    EXPECT_GT(laid, 30);
    EXPECT_LE(laid, 118);
    men.Slots[1].State = ManState::Lying;
    men.Scared = 1;
    BuildTrack(r.Race().Map, r.Form().Random, r.Race().TrackLength);
    men.LayPedestrians();
    EXPECT_LE(count(), 118);
    for (const TPedestrian& p : men.Slots) {
        if (p.Exists) {
            EXPECT_NE(p.State, ManState::Lying);
        }
    }
    // A scare still running at the level's end is ended by the new level's first tick.
    men.MoveStep(15);
    EXPECT_EQ(men.Scared, 0);
}

// --- bonuses ---------------------------------------------------------------------

TEST(StreetBonus, ThePlayerCarPicksUpWhatItTouches) {
    StreetRace r;
    TPlayer& car = r.AddPlayer();
    TBonus& bonus = *r.Form().SpriteEngine.Add<TBonus>(r.Form().RaceWorld);
    for (TBonusSlot& s : bonus.Slots)
        s = TBonusSlot{};
    // The car covers screen x 365.., y 400..: the cell at view column 5, row 6 has its
    // bonus's top-left point (cell + 19) at (379, 451).
    const int col = r.Race().MapCol + 5, row = r.Race().MapRow + 6;
    bonus.Slots[1] = {1, col, row, BonusKind::ExtraLife};
    bonus.Slots[2] = {1, col, row - 5, BonusKind::Points100}; // far above the car
    bonus.Slots[3] = {1, col, row, BonusKind::Points50};      // where the first was
    r.Game().ClearEffects();
    const int lives = r.Race().Lives;
    bonus.MoveStep(15);
    EXPECT_EQ(bonus.Slots[1].Active, 0);
    EXPECT_EQ(bonus.Slots[2].Active, 1);
    EXPECT_EQ(bonus.Slots[3].Active, 0);
    EXPECT_EQ(r.Race().Lives, lives + 1);
    EXPECT_EQ(r.Race().Score, 50 + 50);
    EXPECT_EQ(r.CountEffect("Bonus"), 1);
    EXPECT_EQ(r.CountEffect("Score"), 1);
    // Picked up once: nothing more the next frame.
    bonus.MoveStep(15);
    EXPECT_EQ(r.Race().Score, 100);
    EXPECT_EQ(r.Race().Lives, lives + 1);
    (void)car;
}

TEST(StreetBonus, NitroAndWeaponsGoToTheCar) {
    StreetRace r;
    TPlayer& car = r.AddPlayer();
    TBonus& bonus = *r.Form().SpriteEngine.Add<TBonus>(r.Form().RaceWorld);
    const int col = r.Race().MapCol + 5, row = r.Race().MapRow + 6;
    const struct {
        BonusKind kind;
        int score;
    } rows[] = {{BonusKind::Nitro, 30}, {BonusKind::MachineGun, 20}, {BonusKind::RocketLauncher, 20}};
    for (const auto& k : rows) {
        for (TBonusSlot& s : bonus.Slots)
            s = TBonusSlot{};
        bonus.Slots[1] = {1, col, row, k.kind};
        const int score = r.Race().Score;
        bonus.MoveStep(15);
        EXPECT_EQ(r.Race().Score - score, k.score) << int(k.kind);
        if (k.kind == BonusKind::Nitro) {
            EXPECT_TRUE(car.HasNitro);
            EXPECT_EQ(car.NitroLeft, 100);
        } else {
            EXPECT_EQ(car.WeaponKind,
                      k.kind == BonusKind::MachineGun ? CarItem::MachineGun : CarItem::RocketLauncher);
        }
    }
}

TEST(StreetBonus, OnlyABonusNearTheViewCanBePickedUp) {
    StreetRace r;
    TPlayer& car = r.AddPlayer();
    TScrollBackground& bg = r.AddBackground();
    TBonus& bonus = *r.Form().SpriteEngine.Add<TBonus>(r.Form().RaceWorld);
    // The car moved out to the right edge of the screen, over the bonus's test points.
    car.X = 730;
    // View column 10: the bonus's top-left point is at 720 + 19 + background X.
    const int col = r.Race().MapCol + 10, row = r.Race().MapRow + 6;
    for (double bgX : {-18.0, -19.0}) {
        for (TBonusSlot& s : bonus.Slots)
            s = TBonusSlot{};
        bonus.Slots[1] = {1, col, row, BonusKind::Points10};
        bg.X = bgX;
        bonus.MoveStep(15);
        // sx + 19 = 721 is beyond the pick-up area, 720 is inside it.
        EXPECT_EQ(bonus.Slots[1].Active, bgX == -18.0 ? 1 : 0) << bgX;
    }
}

// --- lamps -----------------------------------------------------------------------

TEST(StreetLamps, PolesInTheCarBounceItAndCostEnergyOnLampRowsOnly) {
    StreetRace r;
    TPlayer& car = r.AddPlayer();
    TLamp& lamps = *r.Form().SpriteEngine.Add<TLamp>(r.Form().RaceWorld);
    TRace& race = r.Race();
    // Rows 1484..1493 in view; row 1490 (a lamp row) is view row 6, row 1491 is not.
    race.MapRow = 1484;
    // Find a lamp tile and a view column whose pole lands inside the car.
    int tile = 0, col = 0;
    for (int t : {1, 4, 5, 8, 9, 12, 13, 16, 17, 20}) {
        for (int c = 0; c <= 12 && tile == 0; ++c) {
            const TLampKind* k = LampOf(t);
            if (PointInQuad(TPointD{c * 72.0 + k->PoleX, 6 * 72.0 + k->PoleY}, car.Corners)) {
                tile = t;
                col = race.MapCol + c;
            }
        }
        if (tile) break;
    }
    ASSERT_NE(tile, 0);

    // The same place on the screen, one row further down the map: no lamp row, nothing.
    race.MapRow = 1485;
    race.Map.Set(1491, col, uint8_t(tile));
    car.Speed = 120;
    lamps.MoveStep(15);
    EXPECT_EQ(car.Energy, 3);
    EXPECT_EQ(car.Speed, 120);

    // On the lamp row: thrown back and one hit.
    race.MapRow = 1484;
    race.Map.Set(1491, col, 0);
    race.Map.Set(1490, col, uint8_t(tile));
    lamps.MoveStep(15);
    EXPECT_EQ(car.Energy, 2);
    EXPECT_EQ(car.Speed, -100);
    EXPECT_TRUE(car.BounceSkip);

    // Standing or reversing, a pole bumps (speed times -1) and still hits.
    car.Speed = -10;
    lamps.MoveStep(15);
    EXPECT_EQ(car.Energy, 1);
    EXPECT_EQ(car.Speed, 10);

    // A wreck feels no poles.
    car.Crashed = 1;
    lamps.MoveStep(15);
    EXPECT_EQ(car.Energy, 1);
}

TEST(StreetLamps, LampsStandOnlyBesideEdgeTilesOnEveryFifthRow) {
    // The lamp table: edge lanes and the outer lanes of shifts only.
    for (int t = 0; t <= 60; ++t) {
        const bool lamp = t == 1 || t == 4 || t == 5 || t == 8 || t == 9 || t == 12 || t == 13 || t == 16 ||
                          t == 17 || t == 20;
        EXPECT_EQ(LampOf(t) != nullptr, lamp) << t;
    }
}

// --- finish line -------------------------------------------------------------------

TEST(StreetFinish, PassedOnceTheLineGoesBelowTheCarsTop) {
    StreetRace r;
    r.AddPlayer();
    TScrollBackground& bg = r.AddBackground();
    TFinish& finish = *r.Form().SpriteEngine.Add<TFinish>(r.Form().RaceWorld);
    TRace& race = r.Race();
    EXPECT_EQ(finish.WorldY, 1250 * 72);
    EXPECT_EQ(finish.Passed, 0);
    // The finish row 1250 five rows below the view's top: its top edge at 360 + Y.
    race.MapRow = 1245;
    bg.Y = -40;
    finish.MoveStep(15);
    EXPECT_DOUBLE_EQ(finish.Y, 320);
    EXPECT_EQ(finish.Passed, 0);
    bg.Y = 40; // level with the car's top edge: not yet
    finish.MoveStep(15);
    EXPECT_EQ(finish.Passed, 0);
    bg.Y = 40.5;
    finish.MoveStep(15);
    EXPECT_EQ(finish.Passed, 1);
    // It stays passed when the line scrolls back up...
    bg.Y = -40;
    finish.MoveStep(15);
    EXPECT_EQ(finish.Passed, 1);
    // ... until the next level lays it again.
    race.TrackLength = 500;
    finish.LayFinish();
    EXPECT_EQ(finish.Passed, 0);
    EXPECT_EQ(finish.WorldY, 1050 * 72);
}

} // namespace
} // namespace vorlane::test
