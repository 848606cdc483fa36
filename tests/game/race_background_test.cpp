// The scrolling track: wrapping by whole tiles, the map window's bounds, the menus'
// still backdrop, and the car thrown back by walls and poles.
#include "FormFixture.h"

#include "menus/Screens.h"
#include "race/Race.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/ScrollBackground.h"

namespace vorlane {
namespace {

using test::FormFixture;

class RaceBackground : public ::testing::Test {
  protected:
    void SetUp() override {
        game_.RunFrames(46);
        CloseMainMenu(Form());
        StartRace(Form());
        for (int i = 0; i < 400 && Form().Screen.ActiveDialog != DialogKind::None; ++i)
            game_.RunFrames(1);
    }
    TMForm& Form() { return game_.Form(); }
    TRace& Race() { return *Form().Race; }
    TScrollBackground& Bg() { return *Race().Background; }

    FormFixture game_;
};

TEST_F(RaceBackground, WrapsByWholeTilesAndMovesTheWindow) {
    TScrollBackground& bg = Bg();
    int col = 300, row = 1000;
    bg.X = -70;
    bg.Y = -1;
    // The world moves left and up by 4 pixels (velocity 8 at scale 1).
    bg.Scroll(-8, -8, 1.0, col, row);
    EXPECT_DOUBLE_EQ(bg.X, -2); // -74 wrapped to -2: one column further right
    EXPECT_EQ(col, 301);
    EXPECT_TRUE(bg.WrappedX);
    EXPECT_DOUBLE_EQ(bg.Y, -5);
    EXPECT_EQ(row, 1000);
    EXPECT_FALSE(bg.WrappedY);
    // Down and right past 0: one column and one row back.
    bg.Scroll(8, 12, 1.0, col, row);
    EXPECT_DOUBLE_EQ(bg.X, -70);
    EXPECT_DOUBLE_EQ(bg.Y, -71);
    EXPECT_EQ(col, 300);
    EXPECT_EQ(row, 999);
    // Twice the scale, twice the step.
    bg.Scroll(0, -8, 2.0, col, row);
    EXPECT_DOUBLE_EQ(bg.Y, -7);
    EXPECT_EQ(row, 1000);
    // A frame that crosses several tiles (a very slow frame) moves the window by as
    // many cells and keeps the picture within one tile.
    bg.X = -10;
    bg.Scroll(-300, 0, 1.0, col, row); // 150 pixels
    EXPECT_EQ(col, 302);
    EXPECT_GT(bg.X, -72);
    EXPECT_LE(bg.X, 0);
}

TEST_F(RaceBackground, WindowStaysInsideTheMap) {
    TScrollBackground& bg = Bg();
    const struct {
        int col, row;
        double vx, vy;
        int wantCol, wantRow;
    } rows[] = {
        {637, 1490, -100, -100, 637, 1490}, // right and bottom edges: the picture wraps, the window stays
        {0, 0, 100, 100, 0, 0},             // left and top edges
        {636, 1489, -100, -100, 637, 1490},
        {1, 1, 100, 100, 0, 0},
    };
    for (const auto& r : rows) {
        int col = r.col, row = r.row;
        for (int i = 0; i < 40; ++i) {
            bg.Scroll(r.vx, r.vy, 1.0, col, row);
            ASSERT_GE(col, 0);
            ASSERT_LE(col, 637);
            ASSERT_GE(row, 0);
            ASSERT_LE(row, 1490);
            ASSERT_GE(bg.X, -72);
            ASSERT_LE(bg.X, 0);
        }
        EXPECT_EQ(col, r.wantCol);
        EXPECT_EQ(row, r.wantRow);
    }
}

TEST_F(RaceBackground, RaceFrameScrollsTheViewAndShowsTheNewWindow) {
    TRace& r = Race();
    r.Player->Speed = 100;
    r.Player->ScrollSpeed = 10;
    game_.Down(vk::Up);
    game_.RunFrames(120);
    game_.Up(vk::Up);
    EXPECT_LT(r.MapRow, 1488);
    EXPECT_EQ(r.MapCol, 318);
    for (int j = 0; j < 13; ++j)
        for (int i = 0; i < 10; ++i)
            ASSERT_EQ(Bg().GetChip(j, i), r.Map.At(r.MapRow + i, r.MapCol + j));
}

TEST_F(RaceBackground, WallsThrowTheCarBackAndCostEnergy) {
    TRace& r = Race();
    TPlayer& p = *r.Player;
    r.Map.Fill(1); // all road
    r.MapRow = 1000;
    r.MapCol = 300;
    Bg().X = 0;
    Bg().Y = 0;
    p.Heading = 0;
    p.ComputeCorners();
    // A building wall under the car's front: the cell shown at (360, 432) spans the
    // car's middle (the car stands at x 365.., y 400..).
    r.Map.Cell(1006, 305) = 42;
    r.ScrollVX = r.ScrollVY = 0;
    p.Speed = 50;
    p.Energy = 3;
    Bg().TestObstacles();
    EXPECT_EQ(p.Energy, 2);
    EXPECT_EQ(p.Speed, -100); // thrown back at 100
    EXPECT_TRUE(p.BounceSkip);

    // Two walls at once cost two points; a standing car is stopped, not thrown.
    r.Map.Cell(1007, 305) = 42;
    Bg().X = Bg().Y = 0;
    p.Speed = 0;
    p.Energy = 3;
    Bg().TestObstacles();
    EXPECT_EQ(p.Energy, 1);
    EXPECT_EQ(p.Speed, 0);

    // A wrecked car meets nothing.
    p.Crashed = 1;
    p.Energy = 3;
    Bg().TestObstacles();
    EXPECT_EQ(p.Energy, 3);
    p.Crashed = 0;

    // Ground and road tiles are no obstacles.
    r.Map.Cell(1006, 305) = 0;
    r.Map.Cell(1007, 305) = 23;
    Bg().TestObstacles();
    EXPECT_EQ(p.Energy, 3);
}

TEST(MenuBackdrop, StandsStillWithoutARace) {
    FormFixture game;
    TSpriteEngine& engine = game.Form().SpriteEngine;
    auto* bg = engine.Add<TPictureBackground>(game.Form().SpriteHost, 1, "MMBG", 1, 1);
    EXPECT_EQ(bg->Z(), 2);
    EXPECT_EQ(bg->GetChip(0, 0), 0);
    EXPECT_EQ(bg->Width, bg->PatternWidth);
    bg->MoveAll(50);
    bg->MoveAll(50);
    EXPECT_EQ(bg->X, 0);
    EXPECT_EQ(bg->Y, 0);
    bg->KillOnce();
    bg->KillOnce();
    EXPECT_EQ(engine.DeadCount(), 1);
    engine.SweepDead();
}

} // namespace
} // namespace vorlane
