// Image items and the image list: pattern cutting, the colour key, the geometry the
// three draw operations hand to the display, lookups by name and the display's
// lifecycle. The display is a fake that records what it is asked to do.
#include "engine/ArchiveWriter.h"
#include "engine/Images.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include <unistd.h>

namespace vorlane {
namespace {

class FakeSurface : public IDrawSurface {
  public:
    struct Texture : ITexture {
        RgbaImage picture;
        explicit Texture(const RgbaImage& p) : picture(p) {}
        int Width() const override { return picture.width; }
        int Height() const override { return picture.height; }
    };
    struct Call {
        std::string kind;
        const ITexture* texture = nullptr;
        Rect src, dst;
        double x = 0, y = 0;
        int width = 0, height = 0, alpha = 0;
        double pivotX = 0, pivotY = 0, degrees = 0;
    };

    int Width() const override { return 800; }
    int Height() const override { return 600; }
    std::unique_ptr<ITexture> CreateTexture(const RgbaImage& picture) override {
        ++texturesMade;
        auto t = std::make_unique<Texture>(picture);
        lastTexture = t.get();
        return t;
    }
    void Draw(ITexture& t, const Rect& src, int x, int y) override {
        Call c;
        c.kind = "Draw", c.texture = &t, c.src = src, c.x = x, c.y = y;
        calls.push_back(c);
    }
    void DrawAlpha(ITexture& t, const Rect& src, const Rect& dst, int alpha) override {
        Call c;
        c.kind = "DrawAlpha", c.texture = &t, c.src = src, c.dst = dst, c.alpha = alpha;
        calls.push_back(c);
    }
    void DrawRotated(ITexture& t, const Rect& src, double x, double y, int width, int height, double pivotX,
                     double pivotY, double degrees) override {
        Call c;
        c.kind = "DrawRotated", c.texture = &t, c.src = src, c.x = x, c.y = y, c.width = width,
        c.height = height;
        c.pivotX = pivotX, c.pivotY = pivotY, c.degrees = degrees;
        calls.push_back(c);
    }

    int texturesMade = 0;
    Texture* lastTexture = nullptr;
    std::vector<Call> calls;
};

bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TImageItem ItemOf(int w, int h, int pw, int ph, int sw = 0, int sh = 0) {
    TImageItem item;
    item.Picture = RgbaImage(w, h, 0xFF336699);
    item.HasPicture = true;
    item.PatternWidth = pw;
    item.PatternHeight = ph;
    item.SkipWidth = sw;
    item.SkipHeight = sh;
    return item;
}

TEST(ImagePatterns, CuttingFollowsThePitches) {
    struct Case {
        const char* what;
        int w, h, pw, ph, sw, sh;
        int total;
        int probe;      // a pattern to look at
        Rect probeRect; // its rectangle
    } cases[] = {
        {"two side by side", 144, 72, 72, 72, 0, 0, 2, 1, {72, 0, 144, 72}},
        {"gap between columns", 150, 72, 72, 72, 6, 0, 2, 1, {78, 0, 150, 72}},
        {"gap too narrow for a third", 227, 72, 72, 72, 6, 0, 2, 1, {78, 0, 150, 72}},
        {"gap between rows", 72, 150, 72, 72, 0, 6, 2, 1, {0, 78, 72, 150}},
        {"row by row", 192, 128, 64, 64, 0, 0, 6, 4, {64, 64, 128, 128}},
        {"zero sizes: whole picture, gaps ignored", 50, 30, 0, 0, 5, 5, 1, 0, {0, 0, 50, 30}},
        {"full size given: whole picture", 50, 30, 50, 30, 9, 9, 1, 0, {0, 0, 50, 30}},
        {"only a height: full-width rows", 40, 90, 0, 30, 0, 0, 3, 2, {0, 60, 40, 90}},
        {"pattern wider than the picture", 50, 30, 100, 30, 0, 0, 0, 0, {}},
        {"overlapping patterns", 26, 10, 10, 10, -2, 0, 3, 2, {16, 0, 26, 10}},
        {"a gap that swallows the pattern", 50, 10, 10, 10, -10, 0, 0, 0, {}},
        {"a gap beyond the pattern", 50, 10, 10, 10, -20, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        TImageItem item = ItemOf(c.w, c.h, c.pw, c.ph, c.sw, c.sh);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(item.PatternTotal(), c.total);
        EXPECT_TRUE(SameRect(item.PatternRect(c.probe), c.probeRect));
        EXPECT_TRUE(item.PatternRect(c.total).Empty());
        EXPECT_TRUE(item.PatternRect(-1).Empty());
    }
    TImageItem none;
    none.PatternWidth = 10;
    EXPECT_EQ(none.PatternTotal(), 0);
    EXPECT_EQ(none.FrameWidth(), 10);
    EXPECT_EQ(none.FrameHeight(), 0);
}

TEST(ImagePatterns, LeftPatternIsZeroRightIsOne) {
    TImageItem item = ItemOf(144, 72, 72, 72);
    EXPECT_EQ(item.FrameWidth(), 72);
    EXPECT_TRUE(SameRect(item.PatternRect(0), {0, 0, 72, 72}));
    EXPECT_TRUE(SameRect(item.PatternRect(1), {72, 0, 144, 72}));
}

TEST(ImageColourKey, KeyIsBlueGreenRedAndAppliesOnlyWhenTransparent) {
    FakeSurface surface;
    TImageItem item;
    item.Picture = RgbaImage(4, 1);
    item.Picture.pixels = {0xFFFF0000, 0xFF0000FF, 0x80FF0000, 0x40123456};
    item.HasPicture = true;
    item.TransparentColor = 0x0000FF; // clRed as 0x00BBGGRR
    item.Prepare(surface);
    ASSERT_TRUE(item.Prepared());
    // Red in any alpha is keyed out; a picture's own alpha stays.
    EXPECT_EQ(surface.lastTexture->picture.pixels, (std::vector<uint32_t>{0, 0xFF0000FF, 0, 0x40123456}));

    item.SetTransparentColor(0xFF0000); // clBlue: the prepared item is keyed again
    EXPECT_EQ(surface.texturesMade, 2);
    EXPECT_EQ(surface.lastTexture->picture.pixels,
              (std::vector<uint32_t>{0xFFFF0000, 0, 0x80FF0000, 0x40123456}));

    item.SetTransparent(false);
    EXPECT_EQ(surface.lastTexture->picture.pixels, item.Picture.pixels);

    item.SetTransparent(true);
    item.SetTransparentColor(0x1FFFFFFF); // clNone keys nothing
    EXPECT_EQ(surface.lastTexture->picture.pixels, item.Picture.pixels);

    TImageItem unprepared = ItemOf(2, 2, 0, 0);
    unprepared.SetTransparentColor(0x996633);
    EXPECT_FALSE(unprepared.Prepared()) << "re-keying never prepares";
}

TEST(ImageDrawing, NothingIsDrawnOutOfRangeOrUnprepared) {
    FakeSurface surface;
    TImageItem item = ItemOf(144, 72, 72, 72);
    item.DrawPattern(surface, 0, 0, 0);
    item.DrawPatternAlpha(surface, {0, 0, 10, 10}, 0, 255);
    item.DrawPatternRotated(surface, 0, 0, 10, 10, 0, 0.5, 0.5, 0);
    EXPECT_TRUE(surface.calls.empty()) << "unprepared";

    item.Prepare(surface);
    for (int n : {-1, 2, 1000}) {
        item.DrawPattern(surface, 0, 0, n);
        item.DrawPatternAlpha(surface, {0, 0, 10, 10}, n, 255);
        item.DrawPatternRotated(surface, 0, 0, 10, 10, n, 0.5, 0.5, 0);
    }
    item.DrawPatternAlpha(surface, {0, 0, 10, 10}, 0, 0);
    item.DrawPatternAlpha(surface, {0, 0, 10, 10}, 0, -7);
    item.DrawPatternAlpha(surface, {5, 5, 5, 20}, 0, 255);
    item.DrawPatternRotated(surface, 0, 0, 0, 10, 0, 0.5, 0.5, 0);
    item.DrawPatternRotated(surface, 0, 0, 10, 0, 0, 0.5, 0.5, 0);
    EXPECT_TRUE(surface.calls.empty());

    TImageItem empty;
    empty.Prepare(surface);
    EXPECT_FALSE(empty.Prepared());
    EXPECT_EQ(surface.texturesMade, 1);
}

TEST(ImageDrawing, PatternsGoToTheSurfaceWithTheirRectangles) {
    FakeSurface surface;
    TImageItem item = ItemOf(144, 72, 72, 72);
    item.Prepare(surface);
    item.DrawPattern(surface, -30, 550, 1);
    item.DrawPatternAlpha(surface, {10, 20, 110, 70}, 0, 128);
    item.DrawPatternAlpha(surface, {10, 20, 110, 70}, 1, 1000);
    ASSERT_EQ(surface.calls.size(), 3u);
    EXPECT_EQ(surface.calls[0].kind, "Draw");
    EXPECT_TRUE(SameRect(surface.calls[0].src, {72, 0, 144, 72}));
    EXPECT_EQ(surface.calls[0].x, -30);
    EXPECT_EQ(surface.calls[0].y, 550);
    EXPECT_TRUE(SameRect(surface.calls[1].src, {0, 0, 72, 72}));
    EXPECT_TRUE(SameRect(surface.calls[1].dst, {10, 20, 110, 70}));
    EXPECT_EQ(surface.calls[1].alpha, 128);
    EXPECT_EQ(surface.calls[2].alpha, 255) << "alpha above 255 is opaque";
}

TEST(ImageDrawing, RotationIsIn256thsOfATurnAboutTheScaledPivot) {
    FakeSurface surface;
    TImageItem item = ItemOf(20, 10, 0, 0);
    item.Prepare(surface);
    struct Case {
        int angle;
        double degrees;
    } cases[] = {{0, 0}, {256, 0}, {64, 90}, {-64, 270}, {320, 90}, {1, 1.40625}, {-513, 358.59375}};
    for (const Case& c : cases) {
        surface.calls.clear();
        item.DrawPatternRotated(surface, 300, 200, 40, 30, 0, 0.25, 0.5, c.angle);
        ASSERT_EQ(surface.calls.size(), 1u);
        const auto& call = surface.calls[0];
        EXPECT_DOUBLE_EQ(call.degrees, c.degrees) << c.angle;
        EXPECT_EQ(call.x, 300);
        EXPECT_EQ(call.y, 200);
        EXPECT_EQ(call.width, 40);
        EXPECT_EQ(call.height, 30);
        EXPECT_DOUBLE_EQ(call.pivotX, 10);
        EXPECT_DOUBLE_EQ(call.pivotY, 15);
        EXPECT_TRUE(SameRect(call.src, {0, 0, 20, 10}));
    }
    // A quarter turn clockwise: a point right of the pivot ends below it on the screen.
    surface.calls.clear();
    item.DrawPatternRotated(surface, 0, 0, 40, 30, 0, 0.5, 0.5, 64);
    double a = surface.calls[0].degrees * std::numbers::pi / 180.0;
    double dx = 1, dy = 0;
    EXPECT_NEAR(dx * std::cos(a) - dy * std::sin(a), 0.0, 1e-12);
    EXPECT_NEAR(dx * std::sin(a) + dy * std::cos(a), 1.0, 1e-12);
}

ImageRecord Record(const std::string& name, int w, int h, int pw = 0) {
    ImageRecord r;
    r.name = name;
    r.patternWidth = pw;
    if (w > 0) r.picture = EncodeDibPicture(RgbaImage(w, h, 0xFF0000FF), 24);
    return r;
}

TEST(ImageCollection, FindsWithoutCaseAndTheLaterOfTwoNamesWins) {
    TImageCollection list;
    list.LoadFromBytes(WriteImageArchive("L", {Record("Tiles", 144, 72, 72), Record("Car1", 2, 2),
                                               Record("TILES", 3, 3), Record("NoPicture", 0, 0)}),
                       "Res2.gfx");
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(&list.FindImage("tiles"), &list.Item(2));
    EXPECT_EQ(&list.FindImage("Tiles"), &list.Item(2));
    EXPECT_EQ(&list.FindImage("cAR1"), &list.Item(1));
    EXPECT_EQ(list.Find("Car2"), nullptr);
    try {
        list.FindImage("Car2");
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "Image 'Car2' not found in Res2.gfx") << "the message names the archive";
    }
    EXPECT_THROW(list.Item(4), EngineError);
    EXPECT_EQ(list.Item(0).PatternTotal(), 2);
    EXPECT_EQ(list.Item(3).PatternTotal(), 0);
}

TEST(ImageCollection, FollowsTheDisplay) {
    FakeSurface surface;
    TImageCollection list;
    auto bytes = WriteImageArchive("L", {Record("A", 4, 4), Record("B", 0, 0), Record("C", 8, 4, 4)});
    list.LoadFromBytes(bytes, "Res1.gfx");
    EXPECT_FALSE(list.FindImage("A").Prepared()) << "no display yet";

    list.DisplayInitialised(surface);
    EXPECT_TRUE(list.FindImage("A").Prepared());
    EXPECT_FALSE(list.FindImage("B").Prepared()) << "nothing to prepare without a picture";
    EXPECT_TRUE(list.FindImage("C").Prepared());
    EXPECT_EQ(surface.texturesMade, 2);

    list.DisplayRestored(surface);
    EXPECT_EQ(surface.texturesMade, 4);
    EXPECT_TRUE(list.FindImage("C").Prepared());

    list.DisplayFinalised();
    EXPECT_FALSE(list.FindImage("A").Prepared());
    EXPECT_FALSE(list.FindImage("C").Prepared());
    EXPECT_EQ(list.FindImage("C").PatternTotal(), 2) << "the pictures stay loaded";

    list.DisplayInitialised(surface);
    list.LoadFromBytes(WriteImageArchive("L", {Record("D", 2, 2)}), "Res1.gfx");
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_TRUE(list.FindImage("D").Prepared()) << "loading while the display is up prepares at once";
    EXPECT_EQ(list.Find("A"), nullptr);
}

std::filesystem::path TempFile(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("vorlane-images-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir / name;
}

TEST(ImageCollection, LoadErrorsNameTheFileAndKeepTheList) {
    auto good = WriteImageArchive("L", {Record("Keep", 2, 2)});
    auto path = TempFile("Res1.gfx");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(good.data()), std::streamsize(good.size() - 5));
    }
    TImageCollection list;
    list.LoadFromBytes(good, "first");
    try {
        list.LoadArchive(path.string());
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_EQ(std::string(e.what()), path.string() + ": Stream read error");
    }
    EXPECT_NE(list.Find("Keep"), nullptr) << "a failed load leaves the list as it was";

    try {
        list.LoadArchive((path.parent_path() / "Missing.gfx").string());
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" +
                                             (path.parent_path() / "Missing.gfx").string() +
                                             "\". No such file or directory");
    }

    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(good.data()), std::streamsize(good.size()));
    }
    TImageCollection fromFile;
    fromFile.LoadArchive(path.string());
    EXPECT_EQ(fromFile.Count(), 1u);
    EXPECT_EQ(fromFile.FindImage("keep").Picture.At(1, 1), 0xFF0000FFu);
    std::filesystem::remove_all(path.parent_path());
}

} // namespace
} // namespace vorlane
