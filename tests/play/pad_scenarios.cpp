// Whole games played with the game pad alone through vorlane-play's virtual pad:
// the menus, the car choice, the race, the name entry with the letter picker, the
// table and the way out; and a pad pulled out during a race.
#include "play/PlayRun.h"
#include "play/ScenarioTables.h"

#include "persist/GameOptions.h"
#include "persist/HighScores.h"

#include <fstream>
#include <string>

namespace vorlane::playtest {
namespace {

TEST(PadPlay, AWholeGameWithThePadAloneEndsWithThePickedNameInTheSavedTable) {
    const int drive = BannerEnd + 10;
    const int leave = drive + 120;
    const int name = leave + 20;
    std::string script = At(50, "pad press a") + At(RaceStart, "pad press a");
    // The right trigger drives; a stick barely off centre steers nothing; pushed, it steers.
    script += At(drive, "pad axis righttrigger 30000") + At(drive + 40, "pad axis leftx 3000") +
              At(drive + 60, "pad axis leftx -20000") + At(drive + 80, "pad axis leftx 0") +
              At(drive + 100, "pad axis righttrigger 0");
    // Back asks to leave the race; left picks "Yes", A answers.
    script += At(leave, "pad press back") + At(leave + 4, "pad press dpleft") + At(leave + 8, "pad press a");
    // The picker: up, up gives "B"; right moves on; down, down from nothing gives "Z"
    // then "Y"; up and left take a third letter back; A accepts "BY".
    const char* picks[] = {"dpup", "dpup", "dpright", "dpdown", "dpdown", "dpright", "dpup", "dpleft"};
    int frame = name;
    for (const char* pick : picks) {
        script += At(frame, std::string("pad press ") + pick);
        frame += 3;
    }
    const int accept = frame;
    script += At(accept, "pad press a");
    // From the table B goes back to the menu, B again asks to leave the game, and the
    // stick's left with A answers "Yes".
    const int out = accept + 40;
    script += At(out, "pad press b") + At(out + 10, "pad press b") + At(out + 20, "pad axis leftx -30000") +
              At(out + 22, "pad axis leftx 0") + At(out + 24, "pad press a");
    auto run = PlayScript(script, Options().Frames(out + 40).Before(LowTable));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;

    EXPECT_EQ(run.Frame(50).Int("ActiveScreen"), 2) << "A chose New game";
    EXPECT_EQ(run.Frame(RaceStart).Int("ActiveScreen"), 6) << "A started the race";
    EXPECT_EQ(run.Frame(BannerEnd + 1).Int("ActiveDialog"), 0);

    EXPECT_EQ(run.Frame(drive - 1).Real("Speed"), 0);
    EXPECT_GT(run.Frame(drive + 39).Real("Speed"), 5) << "the right trigger accelerates";
    EXPECT_EQ(run.Frame(drive + 59).Real("SteerPos"), 0) << "inside the dead zone";
    EXPECT_LT(run.Frame(drive + 79).Real("SteerPos"), 0) << "the stick steers left";

    EXPECT_EQ(run.Frame(leave).Int("ActiveDialog"), 2);
    EXPECT_EQ(run.Frame(leave + 4).Int("SelectedItem"), 11);
    EXPECT_EQ(run.Frame(leave + 8).Int("ActiveDialog"), 8);

    EXPECT_EQ(run.Frame(name).Str("PlayerName"), "A");
    EXPECT_EQ(run.Frame(name + 3).Str("PlayerName"), "B");
    EXPECT_EQ(run.Frame(name + 9).Str("PlayerName"), "BZ");
    EXPECT_EQ(run.Frame(name + 12).Str("PlayerName"), "BY");
    EXPECT_EQ(run.Frame(name + 18).Str("PlayerName"), "BYA");
    EXPECT_EQ(run.Frame(name + 21).Str("PlayerName"), "BY");

    // Sent (no network here: it fails quietly) and on to the table.
    int tableFrame = -1;
    for (int f = accept; f < out && tableFrame < 0; ++f)
        if (run.Frame(f).Int("ActiveScreen") == 4 && run.Frame(f).Int("ActiveDialog") == 0) tableFrame = f;
    ASSERT_GE(tableFrame, 0) << "the table never showed";
    EXPECT_EQ(run.Frame(tableFrame)["highscores"][0].Str("name"), "BY");
    EXPECT_EQ(run.Frame(tableFrame)["highscores"][1].Str("name"), "LOW1");

    EXPECT_EQ(run.Frame(out).Int("ActiveScreen"), 1) << "B went back to the menu";
    EXPECT_EQ(run.Frame(out + 10).Int("ActiveDialog"), 1) << "B asked to leave the game";
    EXPECT_EQ(run.Frame(out + 20).Int("SelectedItem"), 11);
    EXPECT_TRUE(run.Last().Bool("Terminated"));
    EXPECT_TRUE(StartsWith(ReadText(run.SaveDir() / "hs"), "BY\r\n0\r\nLOW1\r\n-1\r\n"));
}

TEST(PadPlay, APadPulledOutDuringTheRacePausesItAndStartGoesOn) {
    const int q = BannerEnd + 20;
    const std::string script = At(50, "pad press a") + At(RaceStart, "pad press a") +
                               At(q - 10, "pad axis righttrigger 32767") + At(q, "pad remove") +
                               At(q + 20, "pad press start") + At(q + 30, "pad remove") +
                               At(q + 40, "pad connect") + At(q + 40, "pad axis righttrigger 32767");
    auto run = PlayScript(script, Options().Frames(q + 60));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Frame(q - 1).Int("ActiveDialog"), 0);
    EXPECT_GT(run.Frame(q - 1).Real("Speed"), 0);
    // Pulled out: the pause dialog, as P opens it; the race stands still under it.
    EXPECT_EQ(run.Frame(q).Int("ActiveDialog"), 5);
    EXPECT_EQ(run.Frame(q + 1).Int("TimeLeft"), run.Frame(q + 19).Int("TimeLeft"));
    // Plugged in again by its next button: Start goes on with the race.
    EXPECT_EQ(run.Frame(q + 20).Int("ActiveDialog"), 0);
    EXPECT_EQ(run.Frame(q + 20).Int("ActiveScreen"), 6);
    // The virtual pad was plugged in by "start": pulling it out again pauses again,
    // and a pad plugged in then holds nothing until it is told to.
    EXPECT_EQ(run.Frame(q + 30).Int("ActiveDialog"), 5);
    EXPECT_EQ(run.Frame(q + 50).Int("ActiveDialog"), 5);
}

TEST(PadPlay, APadPulledOutInTheMenusChangesNothing) {
    const std::string script = At(50, "pad press dpdown") + At(55, "pad remove") + At(60, "pad press dpdown");
    auto run = PlayScript(script, Options().Frames(65));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Frame(50).Int("SelectedItem"), 2);
    EXPECT_EQ(run.Frame(55).Int("ActiveDialog"), 0);
    EXPECT_EQ(run.Frame(55).Int("SelectedItem"), 2);
    EXPECT_EQ(run.Frame(60).Int("SelectedItem"), 3);
}

} // namespace
} // namespace vorlane::playtest

namespace vorlane::playtest {
namespace {

TEST(PadPlay, TheControlsFileRebindsKeysAndPadAndReportsABadLineOnce) {
    const auto controls = [](const std::filesystem::path& root) {
        std::ofstream(root / "Data" / "Save" / "controls", std::ios::binary)
            << "# mine\r\naccelerate = W, pad:y\r\nchoose = Enter, Space\r\nhorn = pad:trigger\r\nmenu_up = "
               "W\r\n";
    };
    const int drive = BannerEnd + 10;
    const std::string script = At(50, "press Space") + At(RaceStart, "press Space") + At(drive, "down Up") +
                               At(drive + 30, "up Up") + At(drive + 30, "down W") + At(drive + 60, "up W") +
                               At(drive + 60, "pad down y") + At(drive + 90, "pad up y");
    auto run = PlayScript(script, Options().Frames(drive + 91).Before(controls));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Frame(50).Int("ActiveScreen"), 2) << "Space chose";
    EXPECT_EQ(run.Frame(RaceStart).Int("ActiveScreen"), 6);
    // (The race and the menus share the up state: with menu_up moved too, Up is free.)
    EXPECT_EQ(run.Frame(drive + 29).Real("Speed"), 0) << "Up no longer accelerates";
    EXPECT_GT(run.Frame(drive + 59).Real("Speed"), 5) << "W does";
    EXPECT_GT(run.Frame(drive + 89).Real("Speed"), run.Frame(drive + 60).Real("Speed")) << "and the pad's Y";
    // The bad line is named once, quoted; the horn keeps its own binding.
    const std::string bad = "line 4 \"horn = pad:trigger\": no pad input \"trigger\"";
    const size_t at = run.Errors.find(bad);
    EXPECT_NE(at, std::string::npos) << run.Errors;
    EXPECT_EQ(run.Errors.find(bad, at + 1), std::string::npos) << "reported once";
}

TEST(PadPlay, TheFirstStartWritesTheDefaultControls) {
    auto run = PlayScript("", Options().Frames(2));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    const std::string text = ReadText(run.SaveDir() / "controls");
    EXPECT_TRUE(StartsWith(text, "# Vorlane controls")) << text;
    EXPECT_NE(text.find("accelerate = Up, pad:righttrigger, pad:a, pad:dpup\r\n"), std::string::npos);
    EXPECT_EQ(run.Errors, "");
}

} // namespace
} // namespace vorlane::playtest

namespace vorlane::playtest {
namespace {

TEST(PadPlay, TheCountryLineIsPickedWithThePad) {
    // To the options (up, up, left, A), onto the country row (up) and into it (A).
    std::string script = At(50, "pad press dpup") + At(52, "pad press dpup") + At(54, "pad press dpleft") +
                         At(56, "pad press a") + At(60, "pad press dpup") + At(62, "pad press a");
    int frame = 64;
    for (int i = 0; i < 7; ++i, frame += 2)
        script += At(frame, "pad press b"); // B deletes
    const int pick = frame;
    script += At(pick, "pad axis lefty -30000") + At(pick + 1, "pad axis lefty 0") + // up: "A"
              At(pick + 2, "pad press dpup") + At(pick + 4, "pad press dpright") +   // "B", on
              At(pick + 6, "pad press dpup") + At(pick + 8, "pad press a");          // "BA", done
    auto run = PlayScript(script, Options().Frames(pick + 12));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    ASSERT_EQ(run.Frame(56).Int("ActiveScreen"), 3);
    EXPECT_TRUE(run.Frame(62).Bool("CountryEditing"));
    EXPECT_EQ(run.Frame(pick - 1).Str("Country"), "");
    EXPECT_EQ(run.Frame(pick).Str("Country"), "A");
    EXPECT_EQ(run.Frame(pick + 2).Str("Country"), "B");
    EXPECT_EQ(run.Frame(pick + 6).Str("Country"), "BA");
    EXPECT_FALSE(run.Frame(pick + 8).Bool("CountryEditing")) << "A ends the typing";
    EXPECT_EQ(run.Last().Str("Country"), "BA");
}

} // namespace
} // namespace vorlane::playtest
