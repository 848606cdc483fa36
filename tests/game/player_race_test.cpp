// The player car inside a whole headless race: the start of the map, the engine sound,
// the handbrake's marks, bounces, the wreck and its restart position, the level's end
// with its time bonus, and running out of time with and without lives.
#include "FormFixture.h"

#include "menus/Screens.h"
#include "platform/KeyCodes.h"
#include "race/Hud.h"
#include "race/Race.h"
#include "sim/Car.h"
#include "sim/Finish.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/ScrollBackground.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace vorlane {
namespace {

using test::FormFixture;

const std::set<std::string> kEngineSoundNames{"Neutral", "Accel1", "Accel2", "Accel3", "Accel4",
                                              "Shift",   "Slowed", "Maxed",  "Brake",  "Nitro"};

class PlayerRace : public ::testing::Test {
  protected:
    void SetUp() override {
        game_.RunFrames(46); // the main menu's intro is over
        CloseMainMenu(Form());
        StartRace(Form());
        PassDialog(DialogKind::LevelBanner);
        game_.ClearEffects();
    }
    TMForm& Form() { return game_.Form(); }
    TRace& Race() { return *Form().Race; }
    TPlayer& Player() { return *Race().Player; }
    // Runs frames while dialog n is open (at most a few seconds' worth).
    void PassDialog(DialogKind n) {
        for (int i = 0; i < 600 && Form().Screen.ActiveDialog == n; ++i)
            game_.RunFrames(1);
        ASSERT_NE(Form().Screen.ActiveDialog, n);
    }
    // Runs frames until done answers true; answers whether it did within the limit.
    template <class F> bool RunUntil(F done, int limit = 2000) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            game_.RunFrames(1);
        }
        return done();
    }
    std::vector<std::string> EngineSounds() {
        std::vector<std::string> out;
        for (const std::string& e : game_.Effects())
            if (kEngineSoundNames.count(e)) out.push_back(e);
        return out;
    }
    int CountEffect(const std::string& name) {
        const auto& e = game_.Effects();
        return int(std::count(e.begin(), e.end(), name));
    }

    FormFixture game_;
};

TEST_F(PlayerRace, CreatedAtItsPlaceWithTheCompanionsHidden) {
    TPlayer& p = Player();
    EXPECT_EQ(p.X, kPlayerX);
    EXPECT_EQ(p.Y, kPlayerY);
    EXPECT_EQ(p.Z(), 9);
    EXPECT_EQ(p.Energy, 3);
    EXPECT_EQ(p.CarNo, Form().Menu.SelectedCar);
    EXPECT_DOUBLE_EQ(p.CarCenterX, kPlayerX + p.Width / 2.0);
    EXPECT_DOUBLE_EQ(p.CarCenterY, kPlayerY + p.Height / 2.0);
    for (TGameSprite* s : {p.NitroFlameL, p.NitroFlameR, p.WeaponSprite}) {
        ASSERT_NE(s, nullptr);
        EXPECT_FALSE(s->Visible);
    }
    EXPECT_EQ(p.NitroFlameL->FramePace, 10);
    // Straight up, the corners sit on the body: front ones above the centre, left ones left.
    const auto& c = p.Corners.corners;
    EXPECT_LT(c[0].y, p.CarCenterY);
    EXPECT_LT(c[1].y, p.CarCenterY);
    EXPECT_GT(c[2].y, p.CarCenterY);
    EXPECT_LT(c[0].x, p.CarCenterX);
    EXPECT_GT(c[1].x, p.CarCenterX);
    EXPECT_NEAR(c[1].x - c[0].x, c[2].x - c[3].x, 1e-9);
    EXPECT_LT(c[1].x - c[0].x, CarBodyWidth[size_t(p.CarNo)] + 1);
    // The car starts on the road.
    game_.RunFrames(1);
    EXPECT_TRUE(p.OnRoad);
}

TEST_F(PlayerRace, CannotReverseOffTheStartOfTheMap) {
    game_.Down(vk::Down);
    double lowest = 0;
    RunUntil([&] {
        lowest = std::min(lowest, Player().Speed);
        return Race().MapRow == kMaxMapRow;
    });
    EXPECT_LT(lowest, 0); // it did reverse down to the start
    for (int i = 0; i < 100; ++i) {
        game_.RunFrames(1);
        ASSERT_EQ(Race().MapRow, kMaxMapRow);
        EXPECT_EQ(Player().Speed, 0);
        EXPECT_EQ(Player().ScrollSpeed, 0);
    }
    game_.Up(vk::Down);
}

TEST_F(PlayerRace, EngineSoundClimbsThroughTheGears) {
    TPlayer& p = Player();
    p.KeyUp = true;
    p.OnRoad = true;
    for (double v = 0.25; v <= 170; v += 0.25) {
        p.Speed = v;
        p.EngineSoundStep();
    }
    const std::vector<std::string> expected{"Accel1", "Shift", "Accel2", "Shift", "Accel3", "Shift",
                                            "Accel4", "Shift", "Accel4", "Shift", "Accel4", "Maxed"};
    EXPECT_EQ(EngineSounds(), expected);
    EXPECT_EQ(p.EngineState, EngineSound::Maxed);

    struct Case {
        const char* what;
        bool up, handbrake, nitro, hasNitro, onRoad;
        double speed;
        const char* sound;
    };
    for (const Case& c : {
             Case{"released above 40", false, false, false, false, true, 41, "Slowed"},
             Case{"released at 40", false, false, false, false, true, 40, "Neutral"},
             Case{"off the road", true, false, false, false, false, 100, "Neutral"},
             Case{"handbrake moving", false, true, false, false, true, 50, "Brake"},
             Case{"nitro off the road", true, false, true, true, false, 100, "Nitro"},
             Case{"nitro without the bonus", true, false, true, false, true, 100, "Accel3"},
         }) {
        p.SetEngineSound("Maxed");
        game_.ClearEffects();
        p.KeyUp = c.up;
        p.KeyHandbrake = c.handbrake;
        p.KeyNitro = c.nitro;
        p.HasNitro = c.hasNitro;
        p.OnRoad = c.onRoad;
        p.Speed = c.speed;
        p.EngineSoundStep();
        EXPECT_EQ(EngineSounds(), std::vector<std::string>{c.sound}) << c.what;
        // Entering a sound that already plays does not restart it.
        game_.ClearEffects();
        p.EngineSoundStep();
        EXPECT_TRUE(EngineSounds().empty()) << c.what;
    }
    // The brake gives way to idling once the car stands.
    p.KeyUp = p.KeyNitro = p.HasNitro = false;
    p.KeyHandbrake = true;
    p.OnRoad = true;
    p.Speed = 0;
    p.SetEngineSound("Brake");
    game_.ClearEffects();
    p.EngineSoundStep();
    EXPECT_EQ(EngineSounds(), std::vector<std::string>{"Neutral"});
    EXPECT_EQ(p.EngineState, EngineSound::Neutral);
    EXPECT_NE(p.EngineState, EngineSound::Brake);
}

TEST_F(PlayerRace, HandbrakeLaysSkidMarksAndStopsTheCar) {
    TPlayer& p = Player();
    p.Speed = 100;
    p.ScrollSpeed = 10;
    game_.Down(vk::Space);
    ASSERT_TRUE(RunUntil([&] { return p.Speed == 0; }, 400));
    game_.Up(vk::Space);
    EXPECT_GT(p.Marks.ActiveCount(), 4);
    EXPECT_EQ(p.Marks.MarkBlood[1], 0);
    EXPECT_GE(CountEffect("Brake"), 1);
    game_.RunFrames(2);
    EXPECT_EQ(p.EngineState, EngineSound::Neutral);
    // Marks ride with the world: standing still they stay where they were laid.
    const double x = p.Marks.MarkX[1], y = p.Marks.MarkY[1];
    game_.RunFrames(10);
    EXPECT_EQ(p.Marks.MarkX[1], x);
    EXPECT_EQ(p.Marks.MarkY[1], y);
}

TEST_F(PlayerRace, BounceThrowsTheCarBackAndSkipsOneFrame) {
    TPlayer& p = Player();
    p.Speed = 120;
    p.ScrollSpeed = 12;
    const double bgY = Race().Background->Y;
    game_.ClearEffects();
    p.Bounce(-100);
    EXPECT_EQ(p.Speed, -100);
    EXPECT_EQ(p.ScrollSpeed, -10);
    EXPECT_TRUE(p.BounceSkip);
    EXPECT_DOUBLE_EQ(Race().Background->Y, bgY - 10 * 0.5 * Form().Stats.SpeedScale);
    EXPECT_EQ(CountEffect("Collision"), 1);
    game_.RunFrames(1);
    EXPECT_EQ(p.Speed, -100); // the skipped frame
    EXPECT_FALSE(p.BounceSkip);
    game_.RunFrames(1);
    EXPECT_EQ(p.Speed, kReverseLimit);

    p.Speed = 50;
    p.ScrollSpeed = 5;
    p.Bump(-0.2);
    EXPECT_DOUBLE_EQ(p.Speed, -10);
    EXPECT_DOUBLE_EQ(p.ScrollSpeed, -1);
}

TEST_F(PlayerRace, PickUpsAndDrops) {
    TPlayer& p = Player();
    const int lives = Race().Lives;
    p.GiveBonus(CarItem::ExtraLife);
    EXPECT_EQ(Race().Lives, lives + 1);
    p.GiveBonus(CarItem::Nitro);
    EXPECT_TRUE(p.HasNitro);
    EXPECT_EQ(p.NitroLeft, 100);
    p.AddScore(50);
    EXPECT_EQ(Race().Score, 50);
    p.DropItem(static_cast<CarItem>(7)); // no such item: nothing
    EXPECT_TRUE(p.HasNitro);
    p.Ammo = 5;
    p.WeaponKind = CarItem::RocketLauncher;
    p.DropItem(CarItem::RocketLauncher);
    EXPECT_EQ(p.Ammo, 0);
    EXPECT_EQ(p.WeaponKind, CarItem::RocketLauncher); // the weapon itself sinks later
    p.Ammo = 5;
    p.DropAll();
    EXPECT_FALSE(p.HasNitro);
    EXPECT_EQ(p.NitroLeft, 0);
    EXPECT_EQ(p.Ammo, 0);
    EXPECT_EQ(p.WeaponKind, CarItem::None);
}

TEST_F(PlayerRace, ThirdHitWrecksTheCarWhichRestartsFurtherDownWithTheCarsAroundCleared) {
    TPlayer& p = Player();
    TRace& r = Race();
    // Drive up the road a little so that there is road below the view.
    r.MapRow = 1300;
    r.MapCol = 300;
    RefreshChips(r);
    p.HasNitro = true;
    p.NitroLeft = 40;
    p.TakeHit();
    p.TakeHit();
    EXPECT_EQ(p.Energy, 1);
    EXPECT_EQ(r.Lives, 3);
    EXPECT_EQ(p.Crashed, 0);
    game_.ClearEffects();
    p.TakeHit();
    EXPECT_EQ(p.Energy, 3);
    EXPECT_EQ(r.Lives, 2);
    EXPECT_EQ(p.Crashed, 1);
    EXPECT_EQ(p.CrashTimer, 2000);
    EXPECT_EQ(p.Speed, 0);
    EXPECT_FALSE(p.HasNitro);
    EXPECT_EQ(p.Image()->Name, "ExplosionBig");
    EXPECT_EQ(CountEffect("Explosion"), 1);
    // The flames of a nitro frame cut short by the crash wait for the car to drive again.
    p.NitroBurning = true;
    // A wreck feels nothing more.
    EXPECT_TRUE(RunUntil([&] { return p.RespawnFound; }, 300));
    EXPECT_EQ(p.Crashed, 1);
    EXPECT_EQ(p.Image()->Name, kCarImageName[size_t(p.CarNo)]);
    // The restart position: the right-hand lane four rows below the view's top.
    EXPECT_GT(r.MapRow, 1300);
    const uint8_t lane = r.Map.At(r.MapRow + 4, r.MapCol + (p.SteerPos == 0 ? 6 : p.SteerPos > 0 ? 7 : 4));
    EXPECT_TRUE(lane == 4 || lane == 12 || lane == 17) << int(lane);
    EXPECT_EQ(p.Heading, RoundHalfEven(p.SteerPos / 2));
    // Cars around the restart position go; a car far below stays.
    TCar& cars = *r.Cars;
    auto place = [&](int i, double screenY) {
        cars.CarKind[size_t(i)] = 1;
        cars.CarDir[size_t(i)] = kCarUp;
        cars.CarSpeed[size_t(i)] = 0;
        cars.CarX[size_t(i)] = r.MapCol * 72.0 + 100;
        cars.CarY[size_t(i)] = r.MapRow * 72.0 + screenY;
    };
    place(1, 300);
    place(2, 400 + 2000);
    ASSERT_TRUE(p.ClearNearCars);
    game_.RunFrames(1);
    EXPECT_FALSE(p.ClearNearCars);
    EXPECT_EQ(cars.CarDir[1], kCarRemoved);
    EXPECT_EQ(cars.CarDir[2], kCarUp);
    // Back on the road once 2 s have passed since the crash.
    EXPECT_TRUE(RunUntil([&] { return p.Crashed == 0; }, 300));
    EXPECT_TRUE(p.NitroBurning);
    EXPECT_FALSE(p.RespawnFound);
    EXPECT_EQ(p.Speed, 0);
    EXPECT_TRUE(p.Visible);
    EXPECT_EQ(r.Lives, 2);
    game_.RunFrames(1);
    EXPECT_TRUE(p.OnRoad);
    EXPECT_FALSE(p.NitroBurning); // drawn once, then gone
}

TEST_F(PlayerRace, WreckWithNoLifeLeftEndsTheGame) {
    TPlayer& p = Player();
    Race().Lives = 1;
    p.Energy = 1;
    p.TakeHit();
    EXPECT_EQ(Race().Lives, 0);
    EXPECT_TRUE(RunUntil([&] { return !p.Visible; }, 300));
    EXPECT_EQ(Form().Screen.ActiveDialog, DialogKind::None); // the explosion is over, the timer not yet
    EXPECT_TRUE(RunUntil([&] { return Form().Screen.ActiveDialog == DialogKind::GameOver; }, 300));
}

TEST_F(PlayerRace, RestartPositionAtTheVeryStartIsTheLevelsStartView) {
    TPlayer& p = Player();
    TRace& r = Race();
    r.MapRow = kMaxMapRow;
    r.MapCol = 200;
    p.SteerPos = 40;
    p.FindRespawn();
    EXPECT_EQ(r.MapRow, kStartMapRow);
    EXPECT_EQ(r.MapCol, kStartMapCol);
    EXPECT_EQ(p.Heading, 0);
    // One row above: the scan may still go down to the last row the view can show.
    r.MapRow = 1489;
    p.FindRespawn();
    EXPECT_LE(r.MapRow, kMaxMapRow);
    EXPECT_EQ(r.Map.At(r.MapRow + 4, r.MapCol + 6), 4);
}

TEST_F(PlayerRace, FinishWith37AndAHalfSecondsLeftScores185AndStartsTheNextLevel) {
    TPlayer& p = Player();
    TRace& r = Race();
    r.TimeLeft = 37500;
    r.Score = 0;
    p.Speed = 40;
    r.Finish->Passed = 1;
    // The car rolls out first: nothing is counted while it moves.
    game_.RunFrames(5);
    EXPECT_GT(p.Speed, 0);
    EXPECT_EQ(r.Score, 0);
    EXPECT_EQ(r.TimeLeft, 37500);
    ASSERT_TRUE(RunUntil([&] { return r.Level == 2; }, 2000));
    EXPECT_EQ(r.Score, 185);
    EXPECT_EQ(CountEffect("Tick"), 37);
    EXPECT_EQ(Form().Screen.ActiveDialog, DialogKind::LevelBanner);
    EXPECT_EQ(r.Finish->Passed, 0);
    EXPECT_FALSE(p.TimeOut);
    // Level 2's 90 s, less the one frame the race ran on after the level began.
    EXPECT_LE(r.TimeLeft, 90000);
    EXPECT_GE(r.TimeLeft, 90000 - Form().Stats.FrameMs);
    EXPECT_EQ(r.MapRow, kStartMapRow);
    EXPECT_EQ(p.Heading, 0);
    EXPECT_EQ(p.Speed, 0);
    EXPECT_EQ(p.EngineState, EngineSound::Neutral);
}

// Past the finish line a notice says so over the road while the car rolls out and
// the time turns into points; the next level's banner replaces it.
TEST_F(PlayerRace, TheFinishNoticeStandsFromTheLineUntilTheNextLevel) {
    TPlayer& p = Player();
    TRace& r = Race();
    std::vector<std::string> drawn;
    Form().OnText = [&](const std::string& text, int, int) { drawn.push_back(text); };
    auto noticeShown = [&] {
        drawn.clear();
        game_.RunFrames(1);
        return std::count(drawn.begin(), drawn.end(), kFinishNotice) == 1 &&
               std::count(drawn.begin(), drawn.end(), kTimeBonusNotice) == 1;
    };
    EXPECT_FALSE(noticeShown()) << "before the line";
    r.TimeLeft = 20000;
    p.Speed = 40;
    r.Finish->Passed = 1;
    EXPECT_TRUE(noticeShown()) << "rolling out";
    int framesCounting = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        const int score = r.Score;
        const bool shown = noticeShown();
        if (r.Level != 1) break; // the frame the next level began in
        EXPECT_TRUE(shown) << frame;
        if (r.Score > score) ++framesCounting;
    }
    EXPECT_EQ(framesCounting, 20) << "one frame for each whole second counted";
    ASSERT_EQ(r.Level, 2);
    ASSERT_EQ(Form().Screen.ActiveDialog, DialogKind::LevelBanner);
    EXPECT_FALSE(noticeShown()) << "the next level's banner";
    Form().OnText = nullptr;
}

TEST_F(PlayerRace, RollOutFromAWholeNumberOfStepsStopsAtZero) {
    // 40, 80 and 120 are whole numbers of 0.8 steps; the float sum of those steps
    // leaves a crumb that must not cost an extra step down to -0.8.
    for (double start : {40.0, 80.0, 120.0}) {
        TPlayer& p = Player();
        TRace& r = Race();
        r.TimeLeft = 30000;
        p.Speed = start * Form().Stats.SpeedScale;
        r.Finish->Passed = 1;
        ASSERT_TRUE(RunUntil([&] { return p.ScrollSpeed == 0 && p.Speed <= 0; }, 400)) << start;
        EXPECT_EQ(p.Speed, 0) << start;
        ASSERT_TRUE(RunUntil([&] { return Form().Screen.ActiveDialog == DialogKind::LevelBanner; }, 2000))
            << start;
        PassDialog(DialogKind::LevelBanner);
    }
}

TEST_F(PlayerRace, TimeOutWithLivesLeftCostsALifeAndReplaysTheLevel) {
    TPlayer& p = Player();
    TRace& r = Race();
    r.Lives = 2;
    p.Energy = 1;
    r.TimeLeft = 5;
    ASSERT_TRUE(RunUntil([&] { return Form().Screen.ActiveDialog == DialogKind::TimeOver; }, 200));
    EXPECT_EQ(r.Lives, 1);
    EXPECT_EQ(p.Energy, 3);
    EXPECT_TRUE(p.Visible);
    EXPECT_EQ(r.Score, 0);
    PassDialog(DialogKind::TimeOver);
    // The same level number on a new track, with its banner.
    EXPECT_EQ(r.Level, 1);
    EXPECT_EQ(Form().Screen.ActiveDialog, DialogKind::LevelBanner);
    EXPECT_EQ(r.TimeLeft, 54000);
    EXPECT_FALSE(p.TimeOut);
}

TEST_F(PlayerRace, TimeOutWithTheLastLifeIsGameOver) {
    TPlayer& p = Player();
    TRace& r = Race();
    r.Lives = 1;
    r.TimeLeft = 5;
    ASSERT_TRUE(RunUntil([&] { return Form().Screen.ActiveDialog == DialogKind::GameOver; }, 200));
    EXPECT_EQ(r.Lives, 0);
    EXPECT_FALSE(p.Visible);
}

} // namespace
} // namespace vorlane
