// Whole levels played by the autopilot from the main menu: the race started with
// Enter as a player would, the car driven to each finish line within the level's
// time, the remaining time counted into the score, and the next level starting under
// its banner.
#include "game/FormFixture.h"
#include "game/autopilot.h"

#include <algorithm>
#include <string>

namespace vorlane::test {
namespace {

int Count(const std::vector<std::string>& effects, const std::string& name) {
    return int(std::count(effects.begin(), effects.end(), name));
}

// Drives the level under way to its finish line and on until the next level's banner
// is up, checking the level end on the way.
void FinishLevel(FormFixture& game, Autopilot& pilot) {
    TRace& race = *pilot.Race();
    const int level = race.Level;
    ASSERT_TRUE(pilot.DriveUntil([&] { return race.Finish->Passed != 0; }, 12000))
        << "level " << level << " not finished; time left " << race.TimeLeft << ", lives " << race.Lives;
    // The clock stops at the line with time to spare.
    const int timeLeft = race.TimeLeft;
    const int score = race.Score;
    const int lives = race.Lives;
    ASSERT_GT(timeLeft, 0);
    game.ClearEffects();

    // The car rolls out, the time left is counted into the score with a tick for each
    // whole second, and the next level starts.
    ASSERT_TRUE(pilot.DriveUntil([&] { return pilot.Race() && pilot.Race()->Level == level + 1; }, 2000));
    const int seconds = timeLeft / 1000;
    EXPECT_EQ(Count(game.Effects(), "Tick"), seconds);
    EXPECT_EQ(race.Score, score + 5 * seconds);
    // (No wreck while rolling out: the car comes to a stop straight on the road.)
    EXPECT_EQ(race.Lives, lives);

    // The new level: its banner over a fresh, longer track at its start, full time.
    EXPECT_EQ(game.Form().Screen.ActiveDialog, DialogKind::LevelBanner);
    EXPECT_EQ(race.TrackLength, (level + 1) * 200 + 100);
    // (The race frame that started the level has already run its clock once.)
    const int fullTime = (race.TrackLength / 100) * 18000;
    EXPECT_EQ(race.TimeLeft, fullTime - game.Form().Stats.FrameMs);
    EXPECT_EQ(race.MapRow, kStartMapRow);
    EXPECT_EQ(race.Finish->Passed, 0);
    EXPECT_EQ(race.Player->Speed, 0);
    // The banner holds the race for two seconds, then the clock runs again.
    ASSERT_TRUE(pilot.DriveUntil([&] { return game.Form().Screen.ActiveDialog == DialogKind::None; }, 200));
    EXPECT_EQ(race.TimeLeft, fullTime - game.Form().Stats.FrameMs);
    pilot.Run(20);
    EXPECT_EQ(race.TimeLeft, fullTime - 21 * game.Form().Stats.FrameMs);
}

TEST(PlaytestLevel, AutopilotDrivesLevelsOneAndTwoToTheirFinishLines) {
    for (const uint32_t seed : {1u, 4u, 7u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        FormFixture::Options options;
        options.Seed = seed;
        FormFixture game(options);
        Autopilot pilot(game.Game());
        ASSERT_TRUE(pilot.StartRaceFromMenu());

        // Level 1 under its banner, at the road's start.
        TRace& race = *pilot.Race();
        EXPECT_EQ(game.Form().Screen.ActiveDialog, DialogKind::LevelBanner);
        EXPECT_EQ(race.Level, 1);
        EXPECT_EQ(race.Lives, 3);
        EXPECT_EQ(race.Score, 0);
        EXPECT_EQ(race.TimeLeft, 54000);

        FinishLevel(game, pilot);
        if (HasFatalFailure()) return;
        EXPECT_EQ(race.Level, 2);
        FinishLevel(game, pilot);
        if (HasFatalFailure()) return;
        EXPECT_EQ(race.Level, 3);
        EXPECT_GT(race.Lives, 0);
    }
}

} // namespace
} // namespace vorlane::test
