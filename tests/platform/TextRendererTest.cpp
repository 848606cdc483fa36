// Fonts found by family with their substitutes, measured and drawn on the back buffer.
#include "platform/TextRenderer.h"
#include "platform/FontLocator.h"
#include "platform/SdlDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vorlane {
namespace {

class TextRendererTest : public ::testing::Test {
  protected:
    TextRendererTest() : display(Options()), text(display, 2) { display.Clear(); }
    static DisplayOptions Options() {
        DisplayOptions o;
        o.hidden = true;
        o.software = true;
        return o;
    }
    SdlDisplay display;
    TtfTextRenderer text;
};

TEST_F(TextRendererTest, BothFamiliesResolveToThemselvesOrTheirSubstitutes) {
    struct Case {
        const char* family;
        bool bold;
        std::vector<std::string> allowed;
    };
    const Case cases[] = {
        {"DS Crystal", false, {"DS Crystal", "DSEG14 Classic", "DejaVu Sans"}},
        {"Beast Impacted", false, {"Beast Impacted", "Roboto Condensed", "DejaVu Sans"}},
        {"Beast Impacted", true, {"Beast Impacted", "Roboto Condensed", "DejaVu Sans"}},
    };
    for (const Case& c : cases) {
        const int font = text.Font(c.family, 28, c.bold);
        ASSERT_NE(font, 0) << c.family;
        const std::string family = text.ResolvedFamily(font);
        EXPECT_NE(std::find(c.allowed.begin(), c.allowed.end(), family), c.allowed.end())
            << c.family << " resolved to " << family;
        EXPECT_EQ(text.Font(c.family, 28, c.bold), font) << "same arguments, same handle";
    }
    EXPECT_NE(text.Font("Beast Impacted", 28, true), text.Font("Beast Impacted", 28, false));
    EXPECT_NE(text.Font("Beast Impacted", 16, false), text.Font("Beast Impacted", 28, false));
}

TEST(FontLocatorTest, ANameFontconfigDoesNotKnowIsNotFoundButResolves) {
    FontLocator locator;
    EXPECT_FALSE(locator.FindFamily("No Such Family Anywhere", false).has_value());
    auto resolved = locator.Resolve("No Such Family Anywhere", false);
    ASSERT_TRUE(resolved.has_value());
    EXPECT_FALSE(resolved->path.empty());
    EXPECT_EQ(FontCandidates("DS Crystal"),
              (std::vector<std::string>{"DS Crystal", "DSEG14 Classic", "DejaVu Sans"}));
    EXPECT_EQ(FontCandidates("beast impacted"),
              (std::vector<std::string>{"beast impacted", "Roboto Condensed", "DejaVu Sans"}));
    EXPECT_EQ(FontCandidates("DejaVu Sans"), (std::vector<std::string>{"DejaVu Sans"}));
}

TEST(FontLocatorTest, TheHeavyDisplayFaceIsStoodInForByABoldFaceWhateverTheStyleAsks) {
    FontLocator locator;
    for (const bool bold : {false, true}) {
        auto resolved = locator.Resolve("Beast Impacted", bold);
        ASSERT_TRUE(resolved.has_value());
        if (resolved->family == "Beast Impacted") continue; // the face itself, in its one weight
        EXPECT_TRUE(resolved->bold) << resolved->family << " at " << resolved->path
                                    << ", bold asked: " << bold;
    }
    // The LCD face and the plain faces keep the weight asked for.
    auto lcd = locator.Resolve("DS Crystal", false);
    ASSERT_TRUE(lcd.has_value());
    EXPECT_FALSE(lcd->bold) << lcd->path;
    EXPECT_TRUE(WantsBoldFace("beast impacted", "Roboto Condensed", false));
    EXPECT_FALSE(WantsBoldFace("Beast Impacted", "Beast Impacted", false));
    EXPECT_TRUE(WantsBoldFace("Beast Impacted", "Beast Impacted", true));
    EXPECT_FALSE(WantsBoldFace("DS Crystal", "DSEG14 Classic", false));
}

TEST_F(TextRendererTest, MeasuresInWindowsPointsAndDrawsInsideTheMeasuredBox) {
    const int font = text.Font("Beast Impacted", 28, false);
    ASSERT_NE(font, 0);
    const TextExtent wide = text.Measure(font, "WWW");
    const TextExtent thin = text.Measure(font, "iii");
    EXPECT_GT(wide.width, thin.width);
    // 28 points at 96 dpi is an em of 37 pixels; a line is at least that and not
    // absurdly more.
    EXPECT_GE(wide.height, 37);
    EXPECT_LE(wide.height, 80);
    EXPECT_EQ(text.Measure(font, "").width, 0);
    EXPECT_EQ(text.Measure(font, "").height, wide.height);
    EXPECT_GT(text.Measure(font, "\xC9t\xE9").width, text.Measure(font, "t").width) << "Latin-1 letters";

    const std::string line = "Hello 123";
    const TextExtent box = text.Measure(font, line);
    const int x = 100, y = 200;
    text.Draw(font, line, x, y, 0xFFFFFF);
    RgbaImage shot = display.ReadPixels();
    int inside = 0, outside = 0;
    for (int py = 0; py < shot.height; ++py)
        for (int px = 0; px < shot.width; ++px) {
            if ((shot.At(px, py) & 0xFFFFFF) == 0) continue;
            const bool in = px >= x && px < x + box.width && py >= y && py < y + box.height;
            (in ? inside : outside)++;
        }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}

TEST_F(TextRendererTest, AHugeTextIsCutToWhatTheScreenCouldShow) {
    // A name of a megabyte read from a file: measured and drawn as its first
    // kMaxTextChars characters, never rendered whole.
    const int font = text.Font("Beast Impacted", 16, false);
    ASSERT_NE(font, 0);
    const std::string huge(1 << 20, 'W');
    const std::string visible(kMaxTextChars, 'W');
    EXPECT_EQ(text.Measure(font, huge).width, text.Measure(font, visible).width);
    EXPECT_GT(text.Measure(font, visible).width, 800) << "the cut text is still wider than the screen";
    text.Draw(font, huge, 0, 0, 0xFFFFFF);
    RgbaImage shot = display.ReadPixels();
    int lit = 0;
    for (int py = 0; py < 40; ++py)
        for (int px = 700; px < 800; ++px)
            if ((shot.At(px, py) & 0xFFFFFF) != 0) ++lit;
    EXPECT_GT(lit, 20) << "the text still reaches across the screen";
}

TEST_F(TextRendererTest, DrawsInTheColourAskedAndKeepsFewTexturesCached) {
    const int font = text.Font("DS Crystal", 22, false);
    ASSERT_NE(font, 0);
    text.Draw(font, "88", 10, 10, 0x2AFF00);
    RgbaImage shot = display.ReadPixels();
    bool solid = false;
    for (int py = 10; py < 60; ++py)
        for (int px = 10; px < 80; ++px)
            if (shot.At(px, py) == 0xFF2AFF00u) solid = true;
    EXPECT_TRUE(solid) << "fully covered pixels carry the exact colour";

    text.Draw(font, "88", 10, 10, 0x2AFF00);
    EXPECT_EQ(text.CachedTexts(), 1u);
    text.Draw(font, "88", 10, 10, 0xFF0000); // another colour is another texture
    text.Draw(font, "12", 10, 10, 0x2AFF00);
    EXPECT_EQ(text.CachedTexts(), 2u) << "the cache holds two here, least recent dropped";
    display.HandleTargetsReset();
    EXPECT_EQ(text.CachedTexts(), 0u) << "textures are made again after a reset";
}

TEST(TextCodecTest, Latin1BecomesUtf8) {
    EXPECT_EQ(Latin1ToUtf8("abc"), "abc");
    EXPECT_EQ(Latin1ToUtf8("\xE9\xFF"), "\xC3\xA9\xC3\xBF");
}

} // namespace
} // namespace vorlane
