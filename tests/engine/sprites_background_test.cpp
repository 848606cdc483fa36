// Background sprites: the chip grid and which chips land where on the surface.
#include "engine/Sprites.h"
#include "sprites_fakes.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace vorlane {
namespace {

using namespace vorlane::testing;

TEST(BackgroundGridTest, SetMapSizeKeepsOrClearsTheChips) {
    TSpriteEngine engine;
    auto* bg = engine.Add<TBackgroundSprite>();
    EXPECT_EQ(bg->GetChip(0, 0), -1); // no grid at creation
    bg->SetMapSize(3, 2);
    EXPECT_EQ(bg->GetChip(2, 1), 0);
    bg->SetChip(2, 1, 7);
    bg->SetMapSize(3, 2); // the same size keeps the chips
    EXPECT_EQ(bg->GetChip(2, 1), 7);
    bg->SetMapSize(2, 3); // a new size starts over with 0 everywhere
    EXPECT_EQ(bg->GetChip(1, 2), 0);
    EXPECT_EQ(bg->GetChip(2, 1), -1);
    bg->SetChip(1, 2, 5);
    bg->SetMapSize(4, 0); // a non-positive side: no grid at all
    EXPECT_EQ(bg->MapColumns(), 0);
    EXPECT_EQ(bg->MapRows(), 0);
    EXPECT_EQ(bg->GetChip(0, 0), -1);
    bg->SetMapSize(-1, 5);
    EXPECT_EQ(bg->MapColumns(), 0);
}

TEST(BackgroundGridTest, CellsOutsideTheGridReadMinusOneAndIgnoreWrites) {
    TSpriteEngine engine;
    auto* bg = engine.Add<TBackgroundSprite>();
    bg->SetMapSize(3, 2);
    const std::pair<int, int> outside[] = {{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {3, 1}, {-1, -1}};
    for (auto [c, r] : outside) {
        bg->SetChip(c, r, 9);
        EXPECT_EQ(bg->GetChip(c, r), -1) << c << ", " << r;
    }
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(bg->GetChip(c, r), 0) << c << ", " << r;
}

class BackgroundDrawTest : public ::testing::Test {
  protected:
    BackgroundDrawTest() {
        engine.SetSurface(&surface);
        tiles = StripImage(surface, 72, 32);
        bg = engine.Add<TBackgroundSprite>();
        bg->SetMapSize(20, 12);
        // Chip (c, r) shows pattern c + r so that every draw tells its cell.
        for (int r = 0; r < 12; ++r)
            for (int c = 0; c < 20; ++c)
                bg->SetChip(c, r, c + r);
        bg->SetImage(tiles.get());
    }
    // Pattern number by screen position of every chip drawn.
    std::map<std::pair<int, int>, int> Draw() {
        surface.draws.clear();
        engine.DrawAll();
        std::map<std::pair<int, int>, int> at;
        for (const auto& d : surface.draws)
            at[{d.x, d.y}] = d.src.left / 72;
        EXPECT_EQ(at.size(), surface.draws.size()) << "a cell drawn twice";
        return at;
    }

    RecordingSurface surface;
    std::unique_ptr<TImageItem> tiles;
    TBackgroundSprite* bg = nullptr;
    TSpriteEngine engine;
};

TEST_F(BackgroundDrawTest, ImageSetterSizesTheSpriteToTheGrid) {
    EXPECT_EQ(bg->Width, 72 * 20);
    EXPECT_EQ(bg->Height, 72 * 12);
    const Rect r = bg->GetBounds();
    EXPECT_EQ(r.right - r.left, 72 * 20);
}

TEST_F(BackgroundDrawTest, LeftOfTheSurfaceStartsWithTheFirstVisibleColumn) {
    bg->X = -100;
    bg->Y = 0;
    auto at = Draw();
    // Column 0 lies wholly off the surface; column 1 starts at -100 + 72 = -28.
    EXPECT_EQ(at.at({-28, 0}), 1);
    EXPECT_EQ(at.at({-28 + 72, 0}), 2);
    EXPECT_EQ(at.count({-100, 0}), 0u);
    // nc = (800 + 72) div 72 + 1 = 13 columns.
    EXPECT_EQ(at.at({-28 + 12 * 72, 0}), 13);
    EXPECT_EQ(at.count({-28 + 13 * 72, 0}), 0u);
    EXPECT_EQ(at.at({-28, 8 * 72}), 1 + 8);
    EXPECT_EQ(at.size(), 13u * 10u); // rows 0..9 (nr = 9, the range reaches nr + 1)
}

TEST_F(BackgroundDrawTest, RightAndBelowTheOriginKeepsWholeChipsInFront) {
    bg->X = 100;
    bg->Y = 30.5; // rounds to 30
    auto at = Draw();
    EXPECT_EQ(at.at({100, 30}), 0);
    EXPECT_EQ(at.at({172, 102}), 2);
    // The first column is the one at whole chip 1 (100 div 72), the columns end at nc.
    int maxX = 0;
    for (const auto& [pos, chip] : at)
        maxX = std::max(maxX, pos.first);
    EXPECT_EQ(maxX, 12 * 72 + 28);
}

TEST_F(BackgroundDrawTest, AboveTheSurfaceSkipsWholeRows) {
    bg->X = 0;
    bg->Y = -150; // oy = -6, two rows skipped
    auto at = Draw();
    EXPECT_EQ(at.at({0, -6}), 2);
    EXPECT_EQ(at.at({72, -6 + 72}), 1 + 3);
    EXPECT_EQ(at.count({0, -150}), 0u);
}

TEST_F(BackgroundDrawTest, NegativeChipsAndSmallGridsDrawOnlyWhatExists) {
    bg->SetMapSize(2, 1); // a fresh grid of zeros
    bg->SetChip(1, 0, -1);
    bg->SetImage(tiles.get());
    auto at = Draw();
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(at.at({0, 0}), 0);
}

TEST_F(BackgroundDrawTest, NothingWithoutAnImageOrAChipSize) {
    bg->SetImage(nullptr);
    EXPECT_TRUE(bg->GetBounds().Empty());
    EXPECT_TRUE(Draw().empty());

    TImageItem noPicture; // frame size 0 x 0
    bg->SetImage(&noPicture);
    EXPECT_TRUE(Draw().empty());
    bg->DrawStep(); // even asked directly it must not divide by the zero chip size
    EXPECT_TRUE(surface.draws.empty());
}

} // namespace
} // namespace vorlane
