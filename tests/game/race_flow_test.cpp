// The race flow on a whole headless game: the race's start, its level numbers, the
// race frame's clock and panel, the dialogs the race opens, and the race's end.
#include "FormFixture.h"

#include "menus/Screens.h"
#include "race/Race.h"
#include "sim/Bonus.h"
#include "sim/Car.h"
#include "sim/Finish.h"
#include "sim/Lamp.h"
#include "sim/Man.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"
#include "sim/Tiles.h"

#include <algorithm>

namespace vorlane {
namespace {

using test::FormFixture;

// A game whose race has just started (the level banner is open).
class RaceFlow : public ::testing::Test {
  protected:
    void SetUp() override {
        game_.RunFrames(46); // the main menu's intro is over
        spritesBefore_ = Form().SpriteEngine.AllCount();
        CloseMainMenu(Form());
        StartRace(Form());
    }
    TMForm& Form() { return game_.Form(); }
    TRace& Race() { return *Form().Race; }
    TPlayer& Player() { return *Race().Player; }
    // Runs frames until the level banner has closed.
    void PassBanner() {
        for (int i = 0; i < 400 && Form().Screen.ActiveDialog == DialogKind::LevelBanner; ++i)
            game_.RunFrames(1);
        ASSERT_EQ(Form().Screen.ActiveDialog, DialogKind::None);
    }
    int CountEffect(const std::string& name) {
        const auto& e = game_.Effects();
        return int(std::count(e.begin(), e.end(), name));
    }

    FormFixture game_;
    int spritesBefore_ = 0;
};

TEST_F(RaceFlow, StartBuildsTheRaceAndOpensTheLevelBanner) {
    TMForm& f = Form();
    EXPECT_EQ(f.Screen.ActiveScreen, ScreenKind::Race);
    EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::LevelBanner);
    EXPECT_EQ(f.Screen.FirstItem, 1);
    EXPECT_EQ(f.Screen.LastItem, 0);
    EXPECT_EQ(f.Screen.SelectedItem, 0);
    TRace& r = Race();
    EXPECT_EQ(r.Level, 1);
    EXPECT_EQ(r.Lives, 3);
    EXPECT_EQ(r.Score, 0);
    EXPECT_EQ(r.TimeLeft, 54000);
    EXPECT_EQ(r.MapRow, 1488);
    EXPECT_EQ(r.MapCol, 318);
    ASSERT_NE(r.Background, nullptr);
    EXPECT_EQ(r.Background->MapColumns(), 13);
    EXPECT_EQ(r.Background->MapRows(), 10);
    EXPECT_EQ(r.Background->Z(), 2);
    for (TSprite* s : std::initializer_list<TSprite*>{r.Lamps, r.Men, r.Bonuses, r.Cars, r.Finish, r.Panel,
                                                      r.Needle, r.ProgressMarker, r.EnergyGauge,
                                                      r.NitroIndicator, r.WeaponIndicator, r.Player})
        EXPECT_NE(s, nullptr);
    for (TRocket* rocket : r.Rockets)
        EXPECT_NE(rocket, nullptr);
    EXPECT_EQ(r.Player->X, 365);
    EXPECT_EQ(r.Player->Y, 400);
    EXPECT_EQ(r.Needle->Angle, -28);
    EXPECT_FALSE(r.NitroIndicator->Visible);
    EXPECT_FALSE(r.WeaponIndicator->Visible);
    EXPECT_EQ(r.Panel->X, 610);
    // The chips show the start of the road: lanes 1-4 in columns 321-324 at the
    // bottom, which the view (column 318) shows in chips 3 to 6.
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(r.Background->GetChip(3 + c, 9), 1 + c);
    EXPECT_EQ(f.MusicFile().find("Race") != std::string::npos, true) << f.MusicFile();
}

TEST_F(RaceFlow, StartLevelSetsTheLevelsNumbersAndANewTrack) {
    const struct {
        int level, length, timeMs, bonuses, cars;
    } rows[] = {
        {1, 300, 54000, 10, 10},
        {6, 1300, 234000, 60, 200},
        {21, 1300, 94000, 400, 200},
        {25, 1300, 60000, 400, 200},
    };
    for (const auto& row : rows) {
        Race().MapRow = 5;
        Race().MapCol = 7;
        StartLevel(Form(), row.level);
        TRace& r = Race();
        EXPECT_EQ(r.Level, row.level);
        EXPECT_EQ(r.TrackLength, row.length) << row.level;
        EXPECT_EQ(r.TimeLeft, row.timeMs) << row.level;
        EXPECT_EQ(r.BonusCount, row.bonuses) << row.level;
        EXPECT_EQ(r.CarCount, row.cars) << row.level;
        EXPECT_EQ(r.MapRow, 1488);
        EXPECT_EQ(r.MapCol, 318);
        // The road reaches exactly TrackLength rows up: lanes in row 1500 - length,
        // plain ground above it.
        const int top = 1500 - row.length;
        int roadTop = 0, roadAbove = 0;
        for (int c = 1; c <= 650; ++c) {
            roadTop += IsRoadTile(r.Map.At(top, c)) ? 1 : 0;
            roadAbove += IsRoadTile(r.Map.At(top - 1, c)) ? 1 : 0;
        }
        EXPECT_GT(roadTop, 0) << row.level;
        EXPECT_EQ(roadAbove, 0) << row.level;
        // The chips show the new view.
        for (int j = 0; j < 13; ++j)
            for (int i = 0; i < 10; ++i)
                ASSERT_EQ(r.Background->GetChip(j, i), r.Map.At(1488 + i, 318 + j)) << row.level;
    }
}

TEST_F(RaceFlow, ClockTicksInTheLastTenSecondsAndNeverGoesNegative) {
    PassBanner();
    TMForm& f = Form();
    f.Stats.FrameMs = 15;
    const struct {
        int before, after;
        bool tick, timeOut;
    } rows[] = {
        {10005, 9990, false, false}, // still above ten seconds: no tick
        {9995, 9980, true, false},   // in the last ten, the second changes during the frame
        {9980, 9965, false, false},  // the same second
        {995, 980, true, false},     {1010, 995, false, false},
        {12, 12, false, true}, // would go below 0: stays; 15 + 1 >= 12 ends the time
        {16, 1, false, true},        {17, 2, false, true},
        {32, 17, false, false},
    };
    for (const auto& row : rows) {
        Race().TimeLeft = row.before;
        Player().TimeOut = false;
        game_.ClearEffects();
        RaceTick(f, 15);
        EXPECT_EQ(Race().TimeLeft, row.after) << row.before;
        EXPECT_EQ(CountEffect("Tick"), row.tick ? 1 : 0) << row.before;
        EXPECT_EQ(Player().TimeOut, row.timeOut) << row.before;
    }
}

TEST_F(RaceFlow, ClockStandsStillOnceTheTimeIsOutOrTheFinishIsPassed) {
    PassBanner();
    TMForm& f = Form();
    f.Stats.FrameMs = 15;
    // The car rolls out first (the level end counts the time into the score only once
    // it stands).
    Race().TimeLeft = 5005;
    Player().Speed = 150;
    Player().TimeOut = true;
    game_.ClearEffects();
    RaceTick(f, 15);
    EXPECT_EQ(Race().TimeLeft, 5005);
    Player().TimeOut = false;
    Player().LevelEndDone = false;
    Race().Finish->Passed = 1;
    RaceTick(f, 15);
    EXPECT_EQ(Race().TimeLeft, 5005);
    // No tick from a clock that stands just past a whole second.
    EXPECT_EQ(CountEffect("Tick"), 0);
}

TEST_F(RaceFlow, PanelFollowsTheCar) {
    PassBanner();
    TRace& r = Race();
    TPlayer& p = Player();
    const struct { int energy, pattern; } gauge[] = {{3, 0}, {2, 1}, {0, 3}, {4, 3}, {-1, 3}};
    for (const auto& g : gauge) {
        p.Energy = g.energy;
        DrawHud(Form());
        EXPECT_EQ(r.EnergyGauge->FramePos, g.pattern) << g.energy;
    }
    p.HasNitro = true;
    p.NitroLeft = 40;
    p.WeaponKind = CarItem::RocketLauncher;
    p.Ammo = 7;
    DrawHud(Form());
    EXPECT_TRUE(r.NitroIndicator->Visible);
    EXPECT_TRUE(r.WeaponIndicator->Visible);
    EXPECT_EQ(r.WeaponIndicator->Image(), Form().RaceImages.Find("BonusR"));
    p.WeaponKind = CarItem::MachineGun;
    DrawHud(Form());
    EXPECT_EQ(r.WeaponIndicator->Image(), Form().RaceImages.Find("BonusM"));
    p.WeaponKind = CarItem::None;
    p.HasNitro = false;
    DrawHud(Form());
    EXPECT_FALSE(r.NitroIndicator->Visible);
    EXPECT_FALSE(r.WeaponIndicator->Visible);
}

TEST_F(RaceFlow, SpentNitroAndAmmunitionAreDropped) {
    PassBanner();
    TPlayer& p = Player();
    p.HasNitro = true;
    p.NitroLeft = 0;
    p.WeaponKind = CarItem::MachineGun;
    p.Ammo = 0;
    RaceTick(Form(), 11);
    EXPECT_FALSE(p.HasNitro);
    EXPECT_EQ(p.NitroLeft, 0);
}

TEST_F(RaceFlow, ProgressMarkerStopsAtTheTopOfItsBar) {
    PassBanner();
    TRace& r = Race();
    const double startY = r.ProgressMarker->Y;
    r.MapRow = 1300;
    RaceTick(Form(), 11);
    EXPECT_LT(r.ProgressMarker->Y, startY);
    EXPECT_GT(r.ProgressMarker->Y, 15);
    r.MapRow = 3;
    RaceTick(Form(), 11);
    EXPECT_EQ(r.ProgressMarker->Y, 15);
}

TEST_F(RaceFlow, ScrollVelocityFollowsHeadingAndSpeed) {
    PassBanner();
    TRace& r = Race();
    TPlayer& p = Player();
    // Driving straight up at speed 100: the world comes down at 10.
    p.Speed = 100;
    p.ScrollSpeed = 10;
    p.Heading = 0;
    p.SteerPos = 0;
    RaceTick(Form(), 11);
    const double speed = p.ScrollSpeed;
    EXPECT_NEAR(r.ScrollVX, 0, 1e-9);
    EXPECT_NEAR(r.ScrollVY, speed, 1e-9);
    // Turned a quarter to the right: the world goes left.
    p.Heading = 64;
    p.SteerPos = 128;
    RaceTick(Form(), 11);
    EXPECT_NEAR(r.ScrollVX, -p.ScrollSpeed, 1e-9);
    EXPECT_NEAR(r.ScrollVY, 0, 1e-9);
}

TEST_F(RaceFlow, PauseDuringTheBannerOpensNothingMore) {
    game_.Tap('P');
    game_.Tap(vk::Esc);
    EXPECT_EQ(Form().Screen.ActiveDialog, DialogKind::LevelBanner);
    PassBanner();
    game_.RunFrames(2);
    EXPECT_EQ(Form().Screen.ActiveDialog, DialogKind::None);
    // In the race P pauses and Esc asks whether to leave.
    game_.Tap('P');
    EXPECT_EQ(Form().Screen.ActiveDialog, DialogKind::Pause);
    game_.RunFrames(1);
    game_.Tap('P');
    EXPECT_EQ(Form().Screen.ActiveDialog, DialogKind::None);
    game_.RunFrames(1);
    game_.Tap(vk::Esc);
    EXPECT_EQ(Form().Screen.ActiveDialog, DialogKind::LeaveRace);
}

TEST_F(RaceFlow, EndRaceTakesEveryRaceSpriteDown) {
    PassBanner();
    game_.RunFrames(20);
    EndRace(Form());
    EXPECT_EQ(Form().Race, nullptr);
    EXPECT_EQ(Form().Screen.ActiveScreen, ScreenKind::None);
    EXPECT_EQ(Form().SpriteEngine.DeadCount(), 0);
    // Only what the closed main menu left behind remains (it kills its own sprites).
    CloseMainMenu(Form());
    Form().SpriteEngine.SweepDead();
    EXPECT_LE(Form().SpriteEngine.AllCount(), spritesBefore_);
    // A second race starts cleanly.
    StartRace(Form());
    EXPECT_EQ(Race().Level, 1);
    EndRace(Form());
    EndRace(Form()); // twice: nothing left to do
    EXPECT_EQ(Form().Race, nullptr);
}

} // namespace
} // namespace vorlane
