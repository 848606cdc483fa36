// Image sprites: the frame animation and where the frame is drawn.
#include "engine/Sprites.h"
#include "sprites_fakes.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using namespace vorlane::testing;

struct AnimationCase {
    const char* name;
    bool looped;
    int count;
    double pos, speed;
    int moves, moveCount;
    double expectedPos, expectedSpeed;
};

class ImageSpriteAnimation : public ::testing::TestWithParam<AnimationCase> {};

TEST_P(ImageSpriteAnimation, Advances) {
    const AnimationCase& c = GetParam();
    TSpriteEngine engine;
    auto* s = engine.Add<TImageSprite>();
    s->FrameLooped = c.looped;
    s->FrameCount = c.count;
    s->FramePos = c.pos;
    s->FrameSpeed = c.speed;
    for (int i = 0; i < c.moves; ++i)
        engine.MoveAll(c.moveCount);
    EXPECT_DOUBLE_EQ(s->FramePos, c.expectedPos);
    EXPECT_DOUBLE_EQ(s->FrameSpeed, c.expectedSpeed);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ImageSpriteAnimation,
    ::testing::Values(AnimationCase{"OnceSevenMoves", false, 4, 0, 0.5, 7, 1, 3.5, 0.5},
                      AnimationCase{"OnceStopsOnTheLastFrame", false, 4, 0, 0.5, 8, 1, 3, 0},
                      AnimationCase{"OnceStaysStopped", false, 4, 0, 0.5, 12, 1, 3, 0},
                      AnimationCase{"OnceBackwardsStopsOnTheFirst", false, 4, 1, -0.25, 5, 1, 0, 0},
                      AnimationCase{"OnceWithoutFrames", false, 0, 0, 0.5, 1, 1, 0, 0},
                      AnimationCase{"LoopWrapsForward", true, 4, 3.75, 0.5, 1, 1, 0.25, 0.5},
                      AnimationCase{"LoopWrapsBackward", true, 4, 0.25, -0.5, 1, 1, 3.75, -0.5},
                      AnimationCase{"LoopWrapsManyTimes", true, 4, 0, 0.01, 1, 1650, 0.5, 0.01},
                      AnimationCase{"LoopWithoutFrames", true, 0, 2, 0.5, 1, 1, 0, 0.5},
                      AnimationCase{"MoveCountScalesTheSpeed", true, 10, 0, 0.02, 1, 16, 0.32, 0.02}),
    [](const ::testing::TestParamInfo<AnimationCase>& info) { return std::string(info.param.name); });

class ImageSpriteDrawTest : public ::testing::Test {
  protected:
    ImageSpriteDrawTest() { engine.SetSurface(&surface); }
    RecordingSurface surface;
    TSpriteEngine engine;
};

TEST_F(ImageSpriteDrawTest, DrawsTheRoundedFramePlusFrameStart) {
    auto image = StripImage(surface, 10, 4);
    auto* s = engine.Add<TImageSprite>();
    s->SetImage(image.get());
    EXPECT_EQ(s->Width, 10);
    EXPECT_EQ(s->Height, 10);
    struct Case {
        double pos;
        int start;
        int frame; // -1: nothing drawn
    };
    const Case cases[] = {{0, 0, 0},    {1.5, 0, 2}, {2.5, 0, 2},  {2.5, 1, 3},
                          {3.5, 0, -1}, {0, 4, -1},  {0.4, -1, -1}};
    for (const Case& c : cases) {
        s->FramePos = c.pos;
        s->FrameStart = c.start;
        surface.draws.clear();
        engine.DrawAll();
        if (c.frame < 0) {
            EXPECT_TRUE(surface.draws.empty()) << c.pos << " + " << c.start;
        } else {
            ASSERT_EQ(surface.draws.size(), 1u) << c.pos << " + " << c.start;
            EXPECT_EQ(surface.draws[0].src.left, c.frame * 10) << c.pos << " + " << c.start;
        }
    }
    s->SetImage(nullptr);
    EXPECT_EQ(s->Width, 0);
    EXPECT_EQ(s->Height, 0);
}

TEST_F(ImageSpriteDrawTest, CentresTheImageOnTheSpriteTruncatingTowardZero) {
    auto image = StripImage(surface, 20, 1);
    auto* s = engine.Add<TImageSprite>();
    s->SetImage(image.get());
    s->X = 100.5; // rounds to 100
    s->Y = 50;
    struct Case {
        int w, h, x, y;
    };
    // (15 - 20) / 2 is -2, not -3; (25 - 20) / 2 is 2.
    const Case cases[] = {{20, 20, 100, 50}, {30, 40, 105, 60}, {15, 25, 98, 52}, {13, 20, 97, 50}};
    for (const Case& c : cases) {
        s->Width = c.w;
        s->Height = c.h;
        surface.draws.clear();
        engine.DrawAll();
        ASSERT_EQ(surface.draws.size(), 1u);
        EXPECT_EQ(surface.draws[0].x, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(surface.draws[0].y, c.y) << c.w << "x" << c.h;
    }
}

TEST_F(ImageSpriteDrawTest, SpriteWithoutImageDrawsNothing) {
    auto* s = engine.Add<TImageSprite>();
    s->Width = s->Height = 10;
    engine.DrawAll();
    EXPECT_TRUE(surface.draws.empty());
}

} // namespace
} // namespace vorlane
