// A race played through vorlane-play: started from the menu, driven, steered off the
// road into the poles by the verge, wrecked, reversed; paused and left.
#include "play/PlayRun.h"

#include <string>

namespace vorlane::playtest {
namespace {

std::string At(int frame, const std::string& event) {
    return std::to_string(frame) + " " + event + "\n";
}

// Enter on "New game" after the intro, Enter on the car selection's start button.
constexpr int RaceStart = 70;
// The level banner holds the race for 2000 ms at 11 ms a frame: it closes on the
// frame on which fewer than 11 ms are left, its 182nd.
constexpr int BannerEnd = RaceStart + 181;

bool Reddish(uint32_t rgb) {
    const int r = int(rgb >> 16) & 0xFF, g = int(rgb >> 8) & 0xFF, b = int(rgb) & 0xFF;
    return r > 180 && g < 90 && b < 90;
}

int RedPixels(const RgbaImage& image, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += Reddish(Rgb(image, x, y)) ? 1 : 0;
    return n;
}

TEST(RacePlay, DriveSteerCrashAndReverse) {
    const std::string script = At(50, "press Enter") + At(RaceStart, "press Enter") + At(250, "down Up") +
                               At(650, "down Right") + At(700, "up Right") + At(1100, "up Up") +
                               At(1100, "down Down") + At(1250, "up Down");
    auto run = PlayScript(script, Options().Frames(1260).Shot(100).Shot(600).Shot(602).Shot(1000));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;

    // The race starts with the level banner over level 1's start.
    const Json& start = run.Frame(RaceStart);
    EXPECT_EQ(start.Int("ActiveScreen"), 6);
    EXPECT_EQ(start.Int("ActiveDialog"), 6);
    EXPECT_EQ(start.Str("music"), "Data\\Music\\Race.xm");
    EXPECT_EQ(start.Int("Level"), 1);
    EXPECT_EQ(start.Int("Lives"), 3);
    EXPECT_EQ(start.Int("Score"), 0);
    EXPECT_EQ(start.Int("TimeLeft"), 54000);
    EXPECT_EQ(start.Int("MapRow"), 1488);
    EXPECT_EQ(start.Int("MapCol"), 318);
    // Nothing moves and the clock stands while the banner is up.
    EXPECT_EQ(run.Frame(BannerEnd - 1).Int("ActiveDialog"), 6);
    EXPECT_EQ(run.Frame(BannerEnd - 1).Int("TimeLeft"), 54000);
    EXPECT_EQ(run.Frame(BannerEnd).Int("ActiveDialog"), 0);
    // Then the clock runs at 11 ms a frame.
    EXPECT_EQ(run.Frame(400).Int("TimeLeft") - run.Frame(401).Int("TimeLeft"), 11);

    // Up held: the car speeds up and the view climbs the map; the picture stays
    // within one tile of its place.
    double lastSpeed = 0;
    for (int f = 260; f < 650; f += 30) {
        const Json& j = run.Frame(f);
        EXPECT_GT(j.Real("Speed"), lastSpeed) << f;
        lastSpeed = j.Real("Speed");
        EXPECT_GE(j.Real("BgY"), -72) << f;
        EXPECT_LE(j.Real("BgY"), 0) << f;
    }
    EXPECT_LT(run.Frame(649).Int("MapRow"), 1480);
    EXPECT_EQ(run.Frame(649).Int("MapCol"), 318);

    // Right held for 50 frames turns the car and the view moves right across the map.
    EXPECT_GT(run.Frame(700).Int("Heading"), 15);
    bool movedRight = false, hit = false, crashed = false;
    for (int f = 700; f < 1100; ++f) {
        const Json& j = run.Frame(f);
        movedRight |= j.Int("MapCol") > 318;
        hit |= j.Int("Energy") < 3;
        crashed |= j.Int("Crashed") == 1;
    }
    EXPECT_TRUE(movedRight);
    // Off the road by the verge the car runs into the poles there: it loses energy
    // and, at the third hit, a life.
    EXPECT_TRUE(hit);
    EXPECT_TRUE(crashed);
    EXPECT_EQ(run.Frame(1099).Int("Lives"), 2);

    // Back on the road, Down drives backwards at the reverse limit.
    EXPECT_EQ(run.Frame(1249).Real("Speed"), -15);
    EXPECT_EQ(run.Frame(1249).Int("Crashed"), 0);

    // The banner's red text over the track; a moving road under the car; the wreck's fire.
    EXPECT_GT(RedPixels(run.Shot(100), 330, 280, 470, 320), 200);
    const RgbaImage a = run.Shot(600), b = run.Shot(602);
    int differ = 0;
    for (int y = 0; y < 600; y += 4)
        differ += Rgb(a, 300, y) != Rgb(b, 300, y) ? 1 : 0;
    EXPECT_GT(differ, 5);
    // The panel stands still.
    for (int y = 0; y < 600; y += 10)
        EXPECT_EQ(Rgb(a, 620, y), Rgb(b, 620, y)) << y;
}

TEST(RacePlay, PauseStopsTheClockAndEscLeavesForTheMenu) {
    const int p = BannerEnd + 20;
    const std::string script = At(50, "press Enter") + At(RaceStart, "press Enter") + At(p, "press P") +
                               At(p + 30, "press P") + At(p + 40, "press Esc") + At(p + 50, "press N") +
                               At(p + 60, "press Esc") + At(p + 70, "press Y");
    auto run = PlayScript(script, Options().Frames(p + 80));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Frame(p).Int("ActiveDialog"), 5);
    EXPECT_EQ(run.Frame(p + 1).Int("TimeLeft"), run.Frame(p + 29).Int("TimeLeft"));
    EXPECT_EQ(run.Frame(p + 31).Int("ActiveDialog"), 0);
    EXPECT_LT(run.Frame(p + 39).Int("TimeLeft"), run.Frame(p + 31).Int("TimeLeft"));
    EXPECT_EQ(run.Frame(p + 40).Int("ActiveDialog"), 2);
    EXPECT_EQ(run.Frame(p + 51).Int("ActiveDialog"), 0);
    EXPECT_EQ(run.Frame(p + 51).Int("ActiveScreen"), 6);
    // Yes: the race is over (a score of 0 earns no place) and the main menu opens.
    const Json& after = run.Frame(p + 75);
    EXPECT_EQ(after.Int("ActiveScreen"), 1);
    EXPECT_FALSE(after.Has("Level"));
}

} // namespace
} // namespace vorlane::playtest
