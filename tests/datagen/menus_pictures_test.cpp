// The look of the menu pictures: nothing cut off at a picture's border, the highlighted
// look warm and the normal look cool in the right pattern, cursors that stand out from
// their fields, and showroom cars in the colours of the race cars.
#include "datagen/common/Canvas.h"
#include "datagen/common/CarPainter.h"
#include "datagen/common/CarStyles.h"
#include "datagen/menus/MenuPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace vorlane::datagen {
namespace {

const std::vector<GeneratedPicture>& Pictures() {
    static const std::vector<GeneratedPicture> pictures = DrawMenuPictures();
    return pictures;
}

const GeneratedPicture& Get(const std::string& name) {
    for (const GeneratedPicture& p : Pictures())
        if (p.name == name) return p;
    throw std::runtime_error("no picture " + name);
}

struct Pattern {
    const RgbaImage* image;
    int top, width, height;
    uint32_t At(int x, int y) const { return image->At(x, top + y); }
};

Pattern PatternOf(const GeneratedPicture& p, int n) {
    const int h = p.patternHeight > 0 ? p.patternHeight : p.image.height;
    const int w = p.patternWidth > 0 ? p.patternWidth : p.image.width;
    return {&p.image, n * h, w, h};
}

int PatternCount(const GeneratedPicture& p) {
    return p.patternHeight > 0 ? p.image.height / p.patternHeight : 1;
}

int Alpha(uint32_t p) {
    return int(p >> 24);
}
int Red(uint32_t p) {
    return int((p >> 16) & 0xFF);
}
int Green(uint32_t p) {
    return int((p >> 8) & 0xFF);
}
int Blue(uint32_t p) {
    return int(p & 0xFF);
}
double Luma(uint32_t p) {
    return 0.299 * Red(p) + 0.587 * Green(p) + 0.114 * Blue(p);
}

// Alpha-weighted mean of red minus blue: positive for warm pictures, negative for cool.
double Warmth(const Pattern& pt) {
    double sum = 0, weight = 0;
    for (int y = 0; y < pt.height; ++y)
        for (int x = 0; x < pt.width; ++x) {
            const uint32_t p = pt.At(x, y);
            sum += Alpha(p) * double(Red(p) - Blue(p));
            weight += Alpha(p);
        }
    return weight > 0 ? sum / weight : 0;
}

// The pictures that float over the screen (buttons, captions, cars, icons): their shapes
// and glows must fade out before the picture's border, or they show a hard cut edge.
TEST(MenuPictures, FloatingPicturesAreNotCutAtTheirBorder) {
    std::vector<std::string> names = {"SG_Left",   "SG_Right",  "SG_Start", "SG_Back",        "Opt_Bk",
                                      "Help_Prev", "Help_Next", "HelpLogo", "HSCaption",      "HS_Clear",
                                      "HS_View",   "HS_Back",   "Win_EG",   "Win_ExitToMenu", "Win_ClearHS",
                                      "Yes",       "No",        "SendOk"};
    for (int item = 1; item <= 6; ++item)
        for (const char* look : {"_0", "_A", "_I"})
            names.push_back("MM_" + std::to_string(item) + look);
    for (int car = 1; car <= 6; ++car)
        names.push_back("SG_Car" + std::to_string(car));
    for (const std::string& name : names) {
        const GeneratedPicture& picture = Get(name);
        for (int n = 0; n < PatternCount(picture); ++n) {
            const Pattern pt = PatternOf(picture, n);
            int worst = 0;
            for (int x = 0; x < pt.width; ++x)
                worst = std::max({worst, Alpha(pt.At(x, 0)), Alpha(pt.At(x, pt.height - 1))});
            for (int y = 0; y < pt.height; ++y)
                worst = std::max({worst, Alpha(pt.At(0, y)), Alpha(pt.At(pt.width - 1, y))});
            EXPECT_LE(worst, 24) << name << " pattern " << n << " reaches its border";
        }
    }
}

TEST(MenuPictures, HighlightedLookIsWarmAndNormalLookIsCool) {
    // Two-pattern buttons: pattern 0 highlighted, pattern 1 normal.
    for (const char* name : {"SG_Left", "SG_Right", "SG_Start", "SG_Back", "Opt_Bk", "Help_Prev", "Help_Next",
                             "HS_Clear", "HS_View", "HS_Back", "Yes", "No"}) {
        const GeneratedPicture& p = Get(name);
        ASSERT_EQ(PatternCount(p), 2) << name;
        EXPECT_GT(Warmth(PatternOf(p, 0)), 40) << name << " highlighted look";
        EXPECT_LT(Warmth(PatternOf(p, 1)), 0) << name << " normal look";
    }
    // Main menu: separate pictures for the normal, highlighted and after-intro looks.
    for (int item = 1; item <= 6; ++item) {
        const std::string base = "MM_" + std::to_string(item);
        EXPECT_GT(Warmth(PatternOf(Get(base + "_A"), 0)), 40) << base;
        EXPECT_LT(Warmth(PatternOf(Get(base + "_0"), 0)), 0) << base;
        // After the intro the button stays cool, with at most a faint warm rim.
        const double intro = Warmth(PatternOf(Get(base + "_I"), 0));
        EXPECT_LT(intro, 15) << base;
        EXPECT_GT(intro, Warmth(PatternOf(Get(base + "_0"), 0))) << base;
    }
}

TEST(MenuPictures, SendBoxIsEmptyThenTicked) {
    const GeneratedPicture& box = Get("SendOk");
    ASSERT_EQ(PatternCount(box), 2);
    auto warmPixels = [](const Pattern& pt) {
        int n = 0;
        for (int y = 0; y < pt.height; ++y)
            for (int x = 0; x < pt.width; ++x) {
                const uint32_t p = pt.At(x, y);
                if (Alpha(p) > 200 && Red(p) > 200 && Red(p) - Blue(p) > 80) ++n;
            }
        return n;
    };
    EXPECT_EQ(warmPixels(PatternOf(box, 0)), 0);
    EXPECT_GT(warmPixels(PatternOf(box, 1)), 60);
}

TEST(MenuPictures, CursorsStandOutFromTheirFields) {
    // The country cursor blinks on the light field under black text; the name cursor on
    // the dark name field under white text.
    const GeneratedPicture& field = Get("CountryEditBg");
    const double fieldLuma = Luma(field.image.At(field.image.width / 2, field.image.height - 6));
    const double cursorLuma = Luma(Get("Cursor").image.At(8, 2));
    EXPECT_GT(fieldLuma - cursorLuma, 150);

    const GeneratedPicture& table = Get("SendTable");
    const int cursorY = 360 - 135 + 2, cursorX = 348 - 127;
    const double nameFieldLuma = Luma(table.image.At(cursorX, cursorY));
    const double cursor2Luma = Luma(Get("Cursor2").image.At(8, 2));
    EXPECT_GT(cursor2Luma - nameFieldLuma, 150);
}

// Mean colour of the opaque pixels of the given rows.
struct Mean {
    double r = 0, g = 0, b = 0;
};
Mean MeanColour(const RgbaImage& image, int rows) {
    Mean m;
    double n = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.At(x, y);
            if (Alpha(p) < 250) continue;
            m.r += Red(p);
            m.g += Green(p);
            m.b += Blue(p);
            ++n;
        }
    if (n > 0) m = {m.r / n, m.g / n, m.b / n};
    return m;
}
double Distance(const Mean& a, const Mean& b) {
    return std::hypot(a.r - b.r, a.g - b.g, a.b - b.b);
}

TEST(MenuPictures, ShowroomCarNShowsRaceCarN) {
    // Each car as the race draws it, at the race picture's size.
    const auto& styles = PlayerCarStyles();
    std::vector<Mean> race;
    for (const CarStyle& style : styles) {
        Canvas canvas(style.imageWidth, style.imageHeight);
        PaintTopDownCar(canvas.cr(), style, false);
        race.push_back(MeanColour(canvas.ToImage(), style.imageHeight));
    }
    // The showroom picture's car (above its name band) looks most like its own race car.
    for (size_t c = 0; c < styles.size(); ++c) {
        const Mean shown = MeanColour(Get("SG_Car" + std::to_string(c + 1)).image, 130);
        size_t best = 0;
        for (size_t s = 1; s < styles.size(); ++s)
            if (Distance(shown, race[s]) < Distance(shown, race[best])) best = s;
        EXPECT_EQ(best, c) << "SG_Car" << c + 1 << " looks like Car" << best + 1;
        EXPECT_LT(Distance(shown, race[c]), 40) << "SG_Car" << c + 1;
    }
}

} // namespace
} // namespace vorlane::datagen
