// The menu screens played through vorlane-play: the car chosen with the mouse and its
// cross-fade carried into the race, the options' country line still drawn under a
// question while the high-score table's texts are not, and the help pages' pictures.
#include "play/PlayRun.h"

#include <string>

namespace vorlane::playtest {
namespace {

std::string At(int frame, const std::string& event) {
    return std::to_string(frame) + " " + event + "\n";
}

// Pixels in the rectangle [x0, x1) x [y0, y1) that pass the test.
template <class Test> int Count(const RgbaImage& image, int x0, int y0, int x1, int y1, Test test) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += test(Rgb(image, x, y)) ? 1 : 0;
    return n;
}
bool Light(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) > 180 && ((rgb >> 8) & 0xFF) > 170 && (rgb & 0xFF) > 170;
}
bool Dark(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) < 60 && ((rgb >> 8) & 0xFF) < 60 && (rgb & 0xFF) < 60;
}

// The intro is over from frame 46 on.
constexpr int Ready = 50;

TEST(MenusPlay, TheCarChosenWithTheMouseFadesInAndGoesIntoTheRace) {
    const std::string script = At(Ready, "press Enter")  // new game: the car selection, "Start" selected
                               + At(60, "mouse 210 350") // the left arrow
                               + At(61, "click")         // car 1 -> car 6
                               + At(65, "click")         // ignored: a fade is running
                               + At(90, "mouse 300 500") // "Start"
                               + At(91, "click");
    auto run = PlayScript(script, Options().Frames(95).Shot(59).Shot(67).Shot(80));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Frame(Ready).Int("ActiveScreen"), 2);
    EXPECT_EQ(run.Frame(Ready).Int("SelectedItem"), 3);
    int fading = 0;
    for (int f = 61; f < 90; ++f)
        fading += run.Frame(f).Int("CarSwitchPhase") == 1 ? 1 : 0;
    EXPECT_EQ(fading, 12); // the 13th step ends the fade
    EXPECT_EQ(run.Frame(73).Int("SelectedCar"), 6);
    EXPECT_EQ(run.Frame(80).Int("NextCar"), 6);
    EXPECT_EQ(run.Frame(91).Int("ActiveScreen"), 6);
    EXPECT_EQ(run.Frame(91).Int("SelectedCar"), 6);
    // Mid-fade the picture differs from both the car before and the car after.
    const RgbaImage before = run.Shot(59), mid = run.Shot(67), after = run.Shot(80);
    int changedMid = 0, changedAfter = 0;
    for (int y = 270; y < 420; y += 3)
        for (int x = 240; x < 560; x += 3) {
            changedMid += Rgb(before, x, y) != Rgb(mid, x, y) && Rgb(after, x, y) != Rgb(mid, x, y);
            changedAfter += Rgb(before, x, y) != Rgb(after, x, y);
        }
    EXPECT_GT(changedMid, 500);
    EXPECT_GT(changedAfter, 500);
}

TEST(MenusPlay, UnderAQuestionTheCountryLineAndTheScoreTableStay) {
    const std::string options = At(Ready, "mouse 150 380")                  // "Options"
                                + At(51, "click") + At(55, "mouse 400 470") // the country row
                                + At(56, "click")                           // start typing
                                + At(57, "text NORWAY") +
                                At(60, "close"); // the window's close button: dialog 1
    auto opt = PlayScript(options, Options().Frames(70).Shot(59).Shot(65));
    ASSERT_EQ(opt.ExitCode, 0) << opt.Errors;
    EXPECT_EQ(opt.Frame(59).Str("Country"), "NORWAY");
    EXPECT_EQ(opt.Frame(65).Int("ActiveDialog"), 1);
    EXPECT_EQ(opt.Frame(65).Int("ActiveScreen"), 3);
    // The black text on the light field, and the "Your country:" label, in both.
    for (int shot : {59, 65}) {
        const RgbaImage image = opt.Shot(shot);
        EXPECT_GT(Count(image, 380, 450, 700, 490, Dark), 300) << shot;
        EXPECT_GT(Count(image, 116, 447, 300, 490, Light), 150) << shot;
    }

    const std::string scores = At(Ready, "mouse 400 170")                  // "High scores"
                               + At(51, "click") + At(55, "mouse 100 280") // "Clear"
                               + At(56, "click");                          // dialog 4
    auto hs = PlayScript(scores, Options().Frames(60).Shot(54).Shot(58));
    ASSERT_EQ(hs.ExitCode, 0) << hs.Errors;
    EXPECT_EQ(hs.Frame(58).Int("ActiveDialog"), 4);
    // Names of rows 7 to 10 and their scores, below the dialog window: the question
    // leaves them in view (nothing is cleared before "Yes").
    for (const RgbaImage& image : {hs.Shot(54), hs.Shot(58)}) {
        EXPECT_GT(Count(image, 460, 440, 600, 590, Light), 400);
        EXPECT_GT(Count(image, 680, 435, 770, 590, Light), 300);
    }
}

TEST(MenusPlay, HelpPagesShowTheirPicturesOnlyOnTheirOwnPage) {
    std::string script = At(Ready, "mouse 600 380") + At(51, "click") + At(55, "mouse 650 460");
    for (int page = 2, f = 60; page <= 6; ++page, f += 5)
        script += At(f, "click");
    auto run = PlayScript(script, Options().Frames(90).Shot(58).Shot(63).Shot(68).Shot(78).Shot(88));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    const int pages[] = {1, 2, 3, 5, 1};
    const int shots[] = {58, 63, 68, 78, 88};
    for (int i = 0; i < 5; ++i) {
        const Json& f = run.Frame(shots[i]);
        ASSERT_EQ(f.Int("HelpPage"), pages[i]);
        const RgbaImage image = run.Shot(shots[i]);
        // The heart of the "Life" bonus at (42, 458) is red; the emblem's orange "V"
        // stands round (100, 365).
        const uint32_t heart = Rgb(image, 42, 458);
        const bool red = ((heart >> 16) & 0xFF) > 150 && ((heart >> 8) & 0xFF) < 90;
        EXPECT_EQ(red, pages[i] == 2) << "page " << pages[i] << std::hex << " " << heart;
        const int emblem = Count(image, 60, 330, 140, 400, [](uint32_t c) {
            const int r = int(c >> 16) & 0xFF, g = int(c >> 8) & 0xFF, b = int(c) & 0xFF;
            return r > 200 && g > 60 && g < 180 && b < 90; // the emblem's orange
        });
        EXPECT_EQ(emblem > 200, pages[i] == 5) << "page " << pages[i] << " " << emblem;
    }
}

} // namespace
} // namespace vorlane::playtest
