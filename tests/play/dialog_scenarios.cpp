// The dialogs played through vorlane-play: the level banner, the race's question with
// the car falling silent, pause, and the way from a race left with a place in the
// table through the name entry (send box unticked or ticked) to the high scores.
#include "play/PlayRun.h"
#include "play/ScenarioTables.h"

#include "persist/GameOptions.h"
#include "persist/HighScores.h"

#include <fstream>
#include <string>

namespace vorlane::playtest {
namespace {

int Count(const RgbaImage& image, int x0, int y0, int x1, int y1, bool (*test)(uint32_t)) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += test(Rgb(image, x, y)) ? 1 : 0;
    return n;
}
// Text style 5 (the dialog messages) is red; the name entry's texts are white.
bool MessageRed(uint32_t rgb) {
    return (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) < 60 && (rgb & 0xFF) < 60;
}
bool White(uint32_t rgb) {
    return (rgb >> 16 & 0xFF) > 230 && (rgb >> 8 & 0xFF) > 230 && (rgb & 0xFF) > 230;
}

TEST(DialogPlay, BannerQuestionAndPauseOverTheRace) {
    const int q = BannerEnd + 10;
    const std::string script = At(50, "press Enter") + At(RaceStart, "press Enter") + At(q, "press Esc") +
                               At(q + 5, "press N") + At(q + 10, "press P") + At(q + 20, "press Esc");
    auto run = PlayScript(script, Options().Frames(q + 25).Shot(RaceStart + 5).Shot(q + 3).Shot(q + 12));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;

    EXPECT_EQ(run.Frame(RaceStart).Int("ActiveDialog"), 6);
    EXPECT_EQ(run.Frame(BannerEnd - 1).Int("ActiveDialog"), 6);
    EXPECT_EQ(run.Frame(BannerEnd).Int("ActiveDialog"), 0);
    // "Level 1" in red in the middle of the road; nothing red there once it is gone.
    EXPECT_GT(Count(run.Shot(RaceStart + 5), 330, 280, 470, 320, MessageRed), 200);

    // The question: the car falls silent and the pointer shows; "No" gives both back.
    EXPECT_FALSE(run.Frame(q - 1).List("playing").empty());
    EXPECT_FALSE(run.Frame(q - 1).Bool("PointerVisible"));
    const Json& asked = run.Frame(q);
    EXPECT_EQ(asked.Int("ActiveDialog"), 2);
    EXPECT_EQ(asked.Int("SelectedItem"), 12);
    EXPECT_TRUE(asked.List("playing").empty());
    EXPECT_TRUE(asked.Bool("PointerVisible"));
    const Json& answered = run.Frame(q + 5);
    EXPECT_EQ(answered.Int("ActiveDialog"), 0);
    EXPECT_EQ(answered.Int("SelectedItem"), 0);
    EXPECT_EQ(answered.Int("LastItem"), 0);
    EXPECT_FALSE(answered.List("playing").empty());
    EXPECT_FALSE(answered.Bool("PointerVisible"));
    // The question's window with "No" in orange, the panel still drawn beside it.
    const RgbaImage question = run.Shot(q + 3);
    const uint32_t no = Rgb(question, 400, 318);
    EXPECT_GT(no >> 16 & 0xFF, 180u) << std::hex << no;
    EXPECT_GT(Count(question, 640, 180, 770, 225,
                    [](uint32_t c) { return (c >> 8 & 0xFF) > 200 && (c >> 16 & 0xFF) < 120; }),
              50)
        << "the HUD's green score stays visible under the dialog";

    // Pause, ended by Esc without asking to leave the race.
    EXPECT_EQ(run.Frame(q + 10).Int("ActiveDialog"), 5);
    EXPECT_EQ(run.Frame(q + 11).Int("TimeLeft"), run.Frame(q + 19).Int("TimeLeft"));
    EXPECT_GT(Count(run.Shot(q + 12), 340, 280, 460, 320, MessageRed), 200);
    EXPECT_EQ(run.Frame(q + 20).Int("ActiveDialog"), 0);
    EXPECT_EQ(run.Last().Int("ActiveDialog"), 0);
    EXPECT_EQ(run.Last().Int("ActiveScreen"), 6);
}

TEST(DialogPlay, NameEntryWithTheBoxUntickedGoesToTheTable) {
    const int q = BannerEnd + 10;
    const std::string script = At(50, "press Enter") + At(RaceStart, "press Enter") + At(q, "press Esc") +
                               At(q + 5, "press Y") + At(q + 10, "text Zed") + At(q + 12, "mouse 188 390") +
                               At(q + 13, "click") + At(q + 20, "press Enter");
    auto run = PlayScript(script, Options().Frames(q + 25).Before(LowTable).Shot(q + 16).Shot(q + 22));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;

    const Json& entry = run.Frame(q + 5);
    EXPECT_EQ(entry.Int("ActiveDialog"), 8);
    EXPECT_EQ(entry.Int("SendBox"), 1);
    EXPECT_TRUE(entry.Bool("PointerVisible"));
    EXPECT_EQ(run.Frame(q + 10).Str("PlayerName"), "Zed");
    EXPECT_EQ(run.Frame(q + 13).Int("SendBox"), 0);
    EXPECT_EQ(run.Frame(q + 13).Int("ActiveDialog"), 8);
    // The typed name in white in its field, the cursor just right of it.
    const RgbaImage shown = run.Shot(q + 16);
    EXPECT_GT(Count(shown, 300, 330, 400, 362, White), 40);
    EXPECT_GT(Count(shown, 300, 200, 400, 235, White), 20) << "the total above it";

    const Json& table = run.Frame(q + 20);
    EXPECT_EQ(table.Int("ActiveDialog"), 0);
    EXPECT_EQ(table.Int("ActiveScreen"), 4);
    EXPECT_FALSE(table.Has("Level")) << "the race is over";
    EXPECT_EQ(table.Str("music"), "Data\\Music\\Menu.xm");
    const Json& first = table["highscores"][0];
    EXPECT_EQ(first.Str("name"), "Zed");
    EXPECT_EQ(first.Int("score"), 0);
    EXPECT_EQ(table["highscores"][1].Str("name"), "LOW1");
    EXPECT_EQ(table["highscores"][9].Str("name"), "LOW9");
}

TEST(DialogPlay, SendingShowsItsMessageForAFrameThenTheTable) {
    const int q = BannerEnd + 10;
    const std::string script = At(50, "press Enter") + At(RaceStart, "press Enter") + At(q, "press Esc") +
                               At(q + 5, "press Y") + At(q + 10, "text Ann") + At(q + 20, "press Enter");
    auto run = PlayScript(script, Options().Frames(q + 25).Before(LowTable).Shot(q + 20));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Frame(q + 20).Int("ActiveDialog"), 9);
    EXPECT_FALSE(run.Frame(q + 20).Bool("PointerVisible"));
    // "Sending results..." in white where the total stood.
    EXPECT_GT(Count(run.Shot(q + 20), 250, 200, 450, 240, White), 100);
    // The next frame sends (there is no server: it fails) and the table follows.
    const Json& after = run.Frame(q + 21);
    EXPECT_EQ(after.Int("ActiveDialog"), 0);
    EXPECT_EQ(after.Int("ActiveScreen"), 4);
    EXPECT_EQ(after["highscores"][0].Str("name"), "Ann");
    EXPECT_EQ(run.Last().Int("ActiveScreen"), 4);
}

} // namespace
} // namespace vorlane::playtest
