// Text styles, centred text, the screen mode and the pointer on the headless display.
#include "FormFixture.h"

#include <climits>

namespace vorlane {
namespace {

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
};

// Where anything but black was drawn.
Box Drawn(const RgbaImage& image) {
    Box b;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if ((image.At(x, y) & 0xFFFFFF) != 0) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

TEST(ShellDisplay, CentredTextStandsOnItsCentreAndUsesTheStylesColour) {
    test::FormFixture game;
    TMForm& f = game.Form();
    f.UseFont(5); // dialog messages: red
    const std::string text = "HIHIHIH";
    const int width = f.MeasureText(text);
    const int height = f.MeasureTextHeight(text);
    ASSERT_GT(width, 40);
    ASSERT_GT(height, 20);
    f.Display().Clear();
    f.DrawText(text, 400, 300, true, true);
    const RgbaImage image = f.Display().ReadPixels();
    const Box b = Drawn(image);
    // The letters' ink is centred on x 400 (the measured width is the advance, the
    // ink a little narrower on both sides) and lies inside the measured line.
    EXPECT_NEAR((b.left + b.right) / 2.0, 400.0, 3.0);
    EXPECT_GE(b.top, 300 - height / 2 - 1);
    EXPECT_LE(b.bottom, 300 + (height + 1) / 2 + 1);
    const uint32_t ink = image.At((b.left + b.right) / 2, (b.top + b.bottom) / 2) & 0xFFFFFF;
    EXPECT_GT(int(ink >> 16), 0xA0); // F4 09 09, blended at the edges
    EXPECT_LT(int((ink >> 8) & 0xFF), 0x60);
    // Without centring (x, y) is the top-left corner.
    f.Display().Clear();
    f.DrawText(text, 100, 100, false, false);
    const Box c = Drawn(f.Display().ReadPixels());
    EXPECT_GE(c.left, 100);
    EXPECT_LE(c.left, 106);
    EXPECT_GE(c.top, 100);
    EXPECT_LE(c.right, 100 + width);
    f.Display().Flip();
}

TEST(ShellDisplay, MeasureTextInSwitchesTheStyle) {
    test::FormFixture game;
    TMForm& f = game.Form();
    const int small = f.MeasureTextIn("Vorlane", 20); // 13 points
    const int title = f.MeasureTextIn("Vorlane", 15); // 78 points
    EXPECT_EQ(f.FontStyle(), 15);
    EXPECT_GT(title, small * 4);
    // A style no screen uses still draws and measures (with the help text's look).
    f.UseFont(3);
    EXPECT_EQ(f.MeasureText("Vorlane"), small);
}

TEST(ShellDisplay, TheScreenModeFollowsTheOptionAndThePointerNeverPilesUp) {
    test::FormFixture game;
    TMForm& f = game.Form();
    f.Options().FullScreenMode = true;
    f.ApplyDisplayMode();
    EXPECT_TRUE(f.Display().IsFullScreen());
    EXPECT_EQ(f.Stats.RefreshRate, 85);
    f.Options().FullScreenMode = false;
    f.ApplyDisplayMode();
    EXPECT_FALSE(f.Display().IsFullScreen());
    f.HidePointer();
    f.HidePointer();
    EXPECT_FALSE(f.Display().PointerVisible());
    f.ShowPointer();
    EXPECT_TRUE(f.Display().PointerVisible());
}

} // namespace
} // namespace vorlane
