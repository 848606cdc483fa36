// The game sprite base: image lookup by list, the paced animation and its wrap, the
// kill-once rule, blended drawing and the speedometer needle.
#include "sim/GameSprite.h"

#include "../engine/sprites_fakes.h"
#include "engine/ArchiveWriter.h"
#include "engine/Types.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlane {
namespace {

// Also records the blended and turned draws.
class BlendRecordingSurface : public testing::RecordingSurface {
  public:
    struct AlphaCall {
        Rect src, dst;
        int alpha;
    };
    struct RotatedCall {
        Rect src;
        double x, y;
        int w, h;
        double px, py, degrees;
    };
    void DrawAlpha(ITexture&, const Rect& src, const Rect& dst, int alpha) override {
        alphaDraws.push_back({src, dst, alpha});
    }
    void DrawRotated(ITexture&, const Rect& src, double x, double y, int w, int h, double px, double py,
                     double degrees) override {
        rotatedDraws.push_back({src, x, y, w, h, px, py, degrees});
    }
    std::vector<AlphaCall> alphaDraws;
    std::vector<RotatedCall> rotatedDraws;
};

ImageRecord Strip(const std::string& name, int w, int h, int count) {
    ImageRecord r;
    r.name = name;
    r.patternWidth = w;
    r.patternHeight = h;
    r.picture = EncodePngPicture(RgbaImage(w * count, h, 0xFF808080u));
    return r;
}

class GameSpriteTest : public ::testing::Test {
  protected:
    GameSpriteTest() {
        list1.LoadFromBytes(
            WriteImageArchive("MImageList1", {Strip("Strip", 8, 8, 3), Strip("One", 9, 7, 1)}), "list1");
        list2.LoadFromBytes(WriteImageArchive("MImageList2", {Strip("Pointer", 20, 4, 1)}), "list2");
        list1.DisplayInitialised(surface);
        list2.DisplayInitialised(surface);
        engine.SetSurface(&surface);
        stats.FrameMs = 11;
    }
    // round(FramePos): the pattern the engine draws.
    static int Shown(const TGameSprite& s) { return TSprite::RoundPos(s.FramePos); }

    BlendRecordingSurface surface;
    TImageCollection list1, list2;
    TFrameStats stats;
    TSpriteHost host{list1, list2, stats};
    TSpriteEngine engine;
};

TEST_F(GameSpriteTest, ImageComesFromTheChosenListWithItsSize) {
    auto* s = engine.Add<TGameSprite>(host, 1, "Strip", 10.0, 20.0, 5);
    EXPECT_EQ(s->Width, 8);
    EXPECT_EQ(s->Height, 8);
    EXPECT_EQ(s->FrameCount, 3);
    EXPECT_EQ(s->Z(), 5);
    EXPECT_TRUE(s->FrameLooped);

    auto* c = TGameSprite::CreateCentered(&engine, host, 1, "One", 100, 100, 0);
    EXPECT_DOUBLE_EQ(c->X, 95.5); // 9 wide: the centre ends on a half pixel
    EXPECT_DOUBLE_EQ(c->Y, 96.5);
    EXPECT_EQ(c->FrameCount, 1);

    auto* n = engine.Add<TGameSprite>(host, 2);
    EXPECT_THROW(n->SetImageByName("Strip"), EngineError); // list 1 only
    try {
        n->SetImageByName("Nope");
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("Image 'Nope' not found"), std::string::npos) << e.what();
    }
    n->SetImageByName("Pointer");
    EXPECT_EQ(n->Width, 20);
}

TEST_F(GameSpriteTest, OnePatternImageAlwaysShowsPatternZero) {
    auto* s = engine.Add<TGameSprite>(host, 1);
    s->SetAnimation("One", 70);
    for (int frame = 0; frame < 50; ++frame) {
        engine.MoveAll(stats.FrameMs);
        EXPECT_EQ(Shown(*s), 0) << "frame " << frame << " FramePos " << s->FramePos;
    }
}

TEST_F(GameSpriteTest, PaceChangesPatternAboutEveryTenFramesAtAnyFrameRate) {
    for (int frameMs : {11, 16, 33}) {
        stats.FrameMs = frameMs;
        auto* s = engine.Add<TGameSprite>(host, 1);
        s->SetAnimation("Strip", 10);
        engine.MoveAll(frameMs); // the first move sets the speed
        int changes = 0, wraps = 0, last = Shown(*s);
        for (int frame = 0; frame < 100; ++frame) {
            engine.MoveAll(frameMs);
            if (Shown(*s) != last) ++changes;
            if (s->FramePosBeforeMove > s->FramePos) ++wraps;
            last = Shown(*s);
            EXPECT_LT(Shown(*s), 3);
        }
        // 0.1 pattern a frame; a cycle of three patterns lasts 25 frames.
        EXPECT_GE(changes, 11) << frameMs << " ms";
        EXPECT_LE(changes, 13) << frameMs << " ms";
        EXPECT_EQ(wraps, 4) << frameMs << " ms";
        s->KillOnce();
        engine.SweepDead();
    }
}

TEST_F(GameSpriteTest, KillOnceHandsTheSpriteToTheEngineOnce) {
    auto* s = engine.Add<TGameSprite>(host, 1, "Strip", 0.0, 0.0, 0);
    s->KillOnce();
    s->KillOnce();
    EXPECT_TRUE(s->KillRequested);
    EXPECT_EQ(engine.DeadCount(), 1);
    engine.SweepDead();
    EXPECT_EQ(engine.AllCount(), 0);
}

TEST_F(GameSpriteTest, BlendedWithAlpha255DrawsLikeUnblended) {
    auto* plain = engine.Add<TGameSprite>(host, 1, "Strip", 10.6, 20.4, 0);
    plain->FramePos = 1.6;
    engine.DrawAll();
    ASSERT_EQ(surface.draws.size(), 1u);
    const auto expected = surface.draws[0];
    surface.draws.clear();

    plain->Blended = true;
    plain->Alpha = 255;
    engine.DrawAll();
    ASSERT_EQ(surface.draws.size(), 1u);
    EXPECT_EQ(surface.draws[0].x, expected.x);
    EXPECT_EQ(surface.draws[0].y, expected.y);
    EXPECT_EQ(surface.draws[0].src.left, expected.src.left);
    EXPECT_EQ(expected.src.left, 16); // round(1.6) = pattern 2
    EXPECT_TRUE(surface.alphaDraws.empty());
    surface.draws.clear();

    // Any other alpha blends the truncated pattern into the truncated rectangle.
    plain->Alpha = 128;
    engine.DrawAll();
    EXPECT_TRUE(surface.draws.empty());
    ASSERT_EQ(surface.alphaDraws.size(), 1u);
    const auto& a = surface.alphaDraws[0];
    EXPECT_EQ(a.alpha, 128);
    EXPECT_EQ(a.src.left, 8); // trunc(1.6) = pattern 1
    EXPECT_EQ(a.dst.left, 10);
    EXPECT_EQ(a.dst.top, 20);
    EXPECT_EQ(a.dst.right, 18);  // trunc(18.6)
    EXPECT_EQ(a.dst.bottom, 28); // trunc(28.4)

    plain->Visible = false;
    surface.alphaDraws.clear();
    engine.DrawAll();
    EXPECT_TRUE(surface.alphaDraws.empty());
}

TEST_F(GameSpriteTest, PointerTurnsAboutItsPivotFromTheAnchor) {
    auto* p = engine.Add<TPointer>(host, 2, "Pointer", 1.04, 0.5, 641, 509);
    p->Angle = -28;
    EXPECT_EQ(p->Z(), 12);
    EXPECT_EQ(p->AnchorX, 641);
    engine.DrawAll();
    ASSERT_EQ(surface.rotatedDraws.size(), 1u);
    const auto& r = surface.rotatedDraws[0];
    EXPECT_DOUBLE_EQ(r.x, 661); // anchor + pattern width
    EXPECT_DOUBLE_EQ(r.y, 513);
    EXPECT_EQ(r.w, 20);
    EXPECT_EQ(r.h, 4);
    EXPECT_DOUBLE_EQ(r.px, 1.04 * 20);
    EXPECT_DOUBLE_EQ(r.py, 2);
    EXPECT_DOUBLE_EQ(r.degrees, 228 * 360.0 / 256.0);
    EXPECT_TRUE(surface.draws.empty());
}

} // namespace
} // namespace vorlane
