// A whole game played by the autopilot, as a player would with the keyboard: the main
// menu, the car selection, two levels driven to their finish lines, then the lives
// lost against the posts by the verge, game over, the name typed into the table, the
// high-score screen, the main menu again, and the question to leave. The files
// written at shut-down bring the entry back at the next start.
#include "game/FormFixture.h"
#include "game/autopilot.h"

#include <algorithm>
#include <string>

namespace vorlane::test {
namespace {

// Where a name with this score stands in the table (0 when it is not there).
int RankOf(const THighScoreTable& table, const std::string& name, int score) {
    for (int rank = 1; rank <= THighScoreTable::kSize; ++rank)
        if (table.Entry(rank).Name == name && table.Entry(rank).Score == score) return rank;
    return 0;
}

TEST(PlaytestGame, MenuToGameOverThenNameEntryHighScoresAndTheSavedTable) {
    FormFixture::Options options;
    options.Seed = 6;
    FormFixture game(options);
    TMForm& form = game.Form();
    Autopilot pilot(game.Game());
    ASSERT_TRUE(pilot.StartRaceFromMenu());
    EXPECT_EQ(form.MusicFile(), "Data\\Music\\Race.xm");

    // Two levels driven to their ends, on until the score earns a place in the table.
    TRace& race = *pilot.Race();
    ASSERT_TRUE(pilot.DriveUntil([&] { return race.Level == 3; }, 16000)) << "level " << race.Level;
    ASSERT_TRUE(pilot.DriveUntil([&] { return form.HighScores.ScoreQualifies(race.Score); }, 12000))
        << "score " << race.Score;
    ASSERT_GT(race.Lives, 0);

    // Then into the posts until no life is left: game over, held three seconds.
    pilot.Reckless = true;
    ASSERT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveDialog == DialogKind::GameOver; }, 20000))
        << "lives " << race.Lives;
    EXPECT_LE(race.Lives, 0);
    EXPECT_FALSE(race.Player->Visible);
    const int score = race.Score;
    const int expectedRank = [&] {
        int rank = 1;
        while (rank <= THighScoreTable::kSize && form.HighScores.Entry(rank).Score >= score)
            ++rank;
        return rank;
    }();
    pilot.Run(200);
    EXPECT_EQ(form.Screen.ActiveDialog, DialogKind::GameOver);
    ASSERT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveDialog == DialogKind::NameEntry; }, 100));

    // The name entry: the player types a name (Shift held for capitals) and Enter;
    // the send box is ticked, so the result goes out first (no network here: the
    // request is recorded and fails) and then the table is shown.
    EXPECT_TRUE(form.Display().PointerVisible());
    while (!form.Dialog.PlayerName.empty())
        pilot.Tap(vk::Backspace);
    pilot.KeyDown(vk::Shift);
    for (const char c : std::string("PILOT"))
        pilot.Tap(c);
    pilot.KeyUp(vk::Shift);
    EXPECT_EQ(form.Dialog.PlayerName, "PILOT");
    pilot.Tap(vk::Enter);
    ASSERT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveScreen == ScreenKind::HighScores; }, 10));
    EXPECT_EQ(form.Screen.ActiveDialog, DialogKind::None);
    EXPECT_FALSE(form.Race);
    ASSERT_EQ(game.Game().Http.Requests.size(), 1u);
    EXPECT_EQ(RankOf(form.HighScores, "PILOT", score), expectedRank);
    EXPECT_EQ(form.MusicFile(), "Data\\Music\\Menu.xm");

    // Esc: back to the main menu; Esc there asks to leave, Y leaves.
    pilot.Run(10);
    pilot.Tap(vk::Esc);
    ASSERT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveScreen == ScreenKind::MainMenu; }, 5));
    pilot.Run(60);
    pilot.Tap(vk::Esc);
    ASSERT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveDialog == DialogKind::LeaveGame; }, 5));
    pilot.Tap('Y');
    ASSERT_TRUE(form.Terminated);

    // The next start reads the table back, the check kept with the options agreeing.
    ASSERT_TRUE(std::filesystem::exists(game.SaveDir() / "hs"));
    ASSERT_TRUE(std::filesystem::exists(game.SaveDir() / "options"));
    play::HeadlessOptions again;
    again.DataRoot = game.Root();
    play::HeadlessGame next(again);
    EXPECT_EQ(RankOf(next.Form().HighScores, "PILOT", score), expectedRank);
}

} // namespace
} // namespace vorlane::test
