// The three drawing operations on the software renderer, read back pixel by pixel.
#include "platform/DrawCallRecorder.h"
#include "platform/SdlDisplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace vorlane {
namespace {

constexpr uint32_t Grey = 0xFF808080;
constexpr uint32_t Red = 0xFFFF0000;
constexpr uint32_t Blue = 0xFF0000FF;

int Channel(uint32_t c, int shift) {
    return int((c >> shift) & 0xFF);
}

class DrawSurfaceTest : public ::testing::Test {
  protected:
    DrawSurfaceTest() {
        DisplayOptions o;
        o.hidden = true;
        o.software = true;
        display = std::make_unique<SdlDisplay>(o);
        display->Clear();
    }
    IDrawSurface& S() { return display->Surface(); }
    // An opaque rectangle of one colour, drawn through the surface itself.
    void Fill(int x, int y, int w, int h, uint32_t colour) {
        auto t = S().CreateTexture(RgbaImage(w, h, colour));
        S().Draw(*t, Rect{0, 0, w, h}, x, y);
    }
    RgbaImage Read() { return display->ReadPixels(); }

    std::unique_ptr<SdlDisplay> display;
};

TEST_F(DrawSurfaceTest, ReadsBackTheWholeDrawingArea) {
    RgbaImage shot = Read();
    EXPECT_EQ(shot.width, 800);
    EXPECT_EQ(shot.height, 600);
    EXPECT_EQ(shot.At(0, 0), 0xFF000000u);
    EXPECT_TRUE(display->CanDraw());
}

TEST_F(DrawSurfaceTest, DrawCopiesOneToOneAndSkipsTransparentPixels) {
    Fill(10, 10, 4, 4, Grey);
    // A 4x4 picture: a red frame around a see-through middle, a blue corner.
    RgbaImage picture(4, 4, Red);
    picture.At(1, 1) = picture.At(2, 1) = picture.At(1, 2) = picture.At(2, 2) = 0x00FFFFFF;
    picture.At(3, 3) = Blue;
    auto t = S().CreateTexture(picture);
    EXPECT_EQ(t->Width(), 4);
    EXPECT_EQ(t->Height(), 4);
    S().Draw(*t, Rect{0, 0, 4, 4}, 10, 10);
    // Part of the picture only: src (1,1)-(4,4) at (100, 50).
    S().Draw(*t, Rect{1, 1, 4, 4}, 100, 50);

    RgbaImage shot = Read();
    EXPECT_EQ(shot.At(10, 10), Red);
    EXPECT_EQ(shot.At(11, 11), Grey) << "alpha 0 must leave the back buffer alone";
    EXPECT_EQ(shot.At(12, 12), Grey);
    EXPECT_EQ(shot.At(13, 13), Blue);
    EXPECT_EQ(shot.At(14, 14), 0xFF000000u);
    EXPECT_EQ(shot.At(100, 50), 0xFF000000u) << "src (1,1) is see-through";
    EXPECT_EQ(shot.At(102, 52), Blue);
    EXPECT_EQ(shot.At(102, 50), Red);
    EXPECT_EQ(shot.At(103, 53), 0xFF000000u) << "nothing beyond the 3x3 source";
}

TEST_F(DrawSurfaceTest, DrawClipsAtTheEdgesOfTheAreaAndOfTheTexture) {
    RgbaImage picture(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            picture.At(x, y) = 0xFF000000u | uint32_t(x * 60) << 16 | uint32_t(y * 60) << 8;
    auto t = S().CreateTexture(picture);
    S().Draw(*t, Rect{0, 0, 4, 4}, -2, -3);
    S().Draw(*t, Rect{0, 0, 4, 4}, 798, 597);
    // A source reaching past the texture keeps the 1:1 scale of the part that exists.
    S().Draw(*t, Rect{-1, -1, 6, 6}, 200, 200);

    RgbaImage shot = Read();
    EXPECT_EQ(shot.At(0, 0), picture.At(2, 3));
    EXPECT_EQ(shot.At(1, 0), picture.At(3, 3));
    EXPECT_EQ(shot.At(2, 0), 0xFF000000u);
    EXPECT_EQ(shot.At(799, 599), picture.At(1, 2));
    EXPECT_EQ(shot.At(798, 597), picture.At(0, 0));
    EXPECT_EQ(shot.At(200, 200), 0xFF000000u);
    EXPECT_EQ(shot.At(201, 201), picture.At(0, 0));
    EXPECT_EQ(shot.At(204, 204), picture.At(3, 3));
    EXPECT_EQ(shot.At(205, 205), 0xFF000000u);
}

TEST_F(DrawSurfaceTest, DrawAlphaBlendsAndScales) {
    const uint32_t below = 0xFF204060, above = 0xFFF0A010;
    auto t = S().CreateTexture(RgbaImage(2, 2, above));
    struct Case {
        int alpha;
        int x;
    };
    for (Case c : {Case{255, 0}, Case{128, 100}, Case{1, 200}}) {
        Fill(c.x, 0, 10, 10, below);
        S().DrawAlpha(*t, Rect{0, 0, 2, 2}, Rect{c.x, 0, c.x + 10, 10}, c.alpha);
    }
    // Alpha 0 draws nothing at all.
    Fill(300, 0, 10, 10, below);
    S().DrawAlpha(*t, Rect{0, 0, 2, 2}, Rect{300, 0, 310, 10}, 0);

    RgbaImage shot = Read();
    for (Case c : {Case{255, 0}, Case{128, 100}, Case{1, 200}, Case{0, 300}}) {
        for (int shift : {16, 8, 0}) {
            const int a = c.alpha;
            const int expected = (Channel(above, shift) * a + Channel(below, shift) * (255 - a)) / 255;
            for (auto [x, y] : {std::pair{c.x, 0}, std::pair{c.x + 9, 9}, std::pair{c.x + 5, 3}})
                EXPECT_NEAR(Channel(shot.At(x, y), shift), expected, 2)
                    << "alpha " << a << " at " << x << "," << y;
        }
        EXPECT_EQ(shot.At(c.x + 10, 0), 0xFF000000u) << "dst is 10 wide";
    }

    // Scaling: every source pixel becomes a 3x3 block, and the texture keeps alpha 255
    // for later plain draws.
    RgbaImage checker(2, 2, Red);
    checker.At(1, 0) = checker.At(0, 1) = Blue;
    auto c = S().CreateTexture(checker);
    S().DrawAlpha(*c, Rect{0, 0, 2, 2}, Rect{400, 100, 406, 106}, 255);
    S().DrawAlpha(*c, Rect{0, 0, 2, 2}, Rect{500, 100, 506, 106}, 128);
    S().Draw(*c, Rect{0, 0, 2, 2}, 600, 100);
    shot = Read();
    EXPECT_EQ(shot.At(400, 100), Red);
    EXPECT_EQ(shot.At(402, 102), Red);
    EXPECT_EQ(shot.At(403, 100), Blue);
    EXPECT_EQ(shot.At(400, 103), Blue);
    EXPECT_EQ(shot.At(405, 105), Red);
    EXPECT_EQ(shot.At(406, 106), 0xFF000000u);
    EXPECT_EQ(shot.At(600, 100), Red) << "the alpha of DrawAlpha must not stay on the texture";
}

// Centre of the red pixels of a picture.
std::pair<double, double> RedCentre(const RgbaImage& shot) {
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (Channel(shot.At(x, y), 16) > 200 && Channel(shot.At(x, y), 8) < 50) {
                sx += x;
                sy += y;
                ++n;
            }
    return n ? std::pair{sx / n, sy / n} : std::pair{-1.0, -1.0};
}

TEST_F(DrawSurfaceTest, DrawRotatedTurnsClockwiseAboutThePivot) {
    // A 21x21 grey square with a red mark 8 pixels right of its centre.
    RgbaImage picture(21, 21, Grey);
    for (int y = 9; y <= 11; ++y)
        for (int x = 17; x <= 19; ++x)
            picture.At(x, y) = Red;
    auto t = S().CreateTexture(picture);
    auto drawAt = [&](double degrees) {
        display->Clear();
        S().DrawRotated(*t, Rect{0, 0, 21, 21}, 300.0, 200.0, 21, 21, 10.5, 10.5, degrees);
        return Read();
    };

    RgbaImage upright = drawAt(0);
    auto [x0, y0] = RedCentre(upright);
    EXPECT_NEAR(x0, 300 + 8, 1.0);
    EXPECT_NEAR(y0, 200, 1.0);
    EXPECT_EQ(upright.At(300, 200), Grey) << "the pivot lands on (x, y)";
    EXPECT_EQ(upright.At(289, 189), Grey);
    EXPECT_EQ(upright.At(288, 188), 0xFF000000u);

    // A quarter turn (64 of 256): the mark right of the pivot ends below it.
    auto [x1, y1] = RedCentre(drawAt(90));
    EXPECT_NEAR(x1, 300, 1.0);
    EXPECT_NEAR(y1, 200 + 8, 1.0);

    // A full turn (256) is no turn.
    auto [x2, y2] = RedCentre(drawAt(360));
    EXPECT_NEAR(x2, x0, 0.5);
    EXPECT_NEAR(y2, y0, 0.5);

    // Scaled to twice the size with the pivot in scaled pixels.
    display->Clear();
    S().DrawRotated(*t, Rect{0, 0, 21, 21}, 300.0, 200.0, 42, 42, 21.0, 21.0, 0);
    auto [x3, y3] = RedCentre(Read());
    EXPECT_NEAR(x3, 300 + 16, 1.5);
    EXPECT_NEAR(y3, 200, 1.5);
}

TEST_F(DrawSurfaceTest, TexturesOfAGoneRendererAreHarmless) {
    auto t = S().CreateTexture(RgbaImage(4, 4, Red));
    display->HandleDeviceReset(); // a new renderer: the old textures are gone
    ASSERT_TRUE(display->CanDraw());
    display->Clear();
    S().Draw(*t, Rect{0, 0, 4, 4}, 0, 0);
    EXPECT_EQ(Read().At(0, 0), 0xFF000000u) << "a texture of the old renderer is not drawn";
    auto fresh = S().CreateTexture(RgbaImage(4, 4, Red));
    S().Draw(*fresh, Rect{0, 0, 4, 4}, 0, 0);
    EXPECT_EQ(Read().At(0, 0), Red);
    t.reset(); // must not free anything twice
}

TEST_F(DrawSurfaceTest, CreateTextureRefusesEmptyPictures) {
    EXPECT_THROW(S().CreateTexture(RgbaImage()), EngineError);
}

TEST_F(DrawSurfaceTest, RecordedCallsReplayedBareGiveTheSameFrame) {
    DrawCallRecorder recorder(*display);
    RgbaImage picture(8, 8, Red);
    picture.At(0, 0) = 0;
    picture.At(7, 7) = Blue;
    auto t = recorder.CreateTexture(picture);
    recorder.Draw(*t, Rect{-2, 0, 8, 8}, 10, 10);
    recorder.Draw(*t, Rect{0, 0, 8, 8}, 796, 596);
    recorder.DrawAlpha(*t, Rect{0, 0, 8, 8}, Rect{50, 50, 74, 66}, 100);
    recorder.DrawRotated(*t, Rect{0, 0, 8, 8}, 120.5, 80.25, 16, 16, 8, 8, 33.75);
    recorder.DrawAlpha(*t, Rect{0, 0, 8, 8}, Rect{0, 0, 8, 8}, 0); // draws nothing, records nothing
    EXPECT_EQ(recorder.Recorded(), 4u);
    EXPECT_EQ(recorder.RecordedBlended(), 1u);
    EXPECT_EQ(recorder.RecordedRotated(), 1u);
    const RgbaImage drawn = Read();
    display->Clear();
    EXPECT_NE(Read().pixels, drawn.pixels);
    recorder.ReplayBare();
    EXPECT_EQ(Read().pixels, drawn.pixels);
}

} // namespace
} // namespace vorlane
