// The whole online loop: the game played by the autopilot to game over and the name
// entry, the name typed and sent with the send box ticked, and the result arriving
// at a real vorlane-scores on 127.0.0.1 - through the vorlane-play program with
// --server, the way a player's game sends it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "game/FormFixture.h"
#include "game/autopilot.h"
#include "server/ScoresProcess.h"

namespace vorlane::scores::testing {
namespace {

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct PlayedGame {
    std::string script; // the keys, frame by frame, as vorlane-play reads them
    int frames = 0;
    int score = 0;
};

// A short game: level 1 driven until the score earns a place in the local table,
// then into the lamp posts until the lives are gone, the name typed, Enter with the
// send box ticked, on to the high-score screen.
PlayedGame PlayToTheTable(uint32_t seed, const std::string& name)
{
    test::FormFixture::Options options;
    options.Seed = seed;
    test::FormFixture game(options);
    TMForm& form = game.Form();
    test::Autopilot pilot(game.Game());
    PlayedGame played;
    EXPECT_TRUE(pilot.StartRaceFromMenu());
    if (!pilot.Race()) return played;
    TRace& race = *pilot.Race();
    EXPECT_TRUE(pilot.DriveUntil([&] { return form.HighScores.ScoreQualifies(race.Score); }, 20000)) << race.Score;
    pilot.Reckless = true;
    EXPECT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveDialog == 7; }, 20000)) << "lives " << race.Lives;
    played.score = race.Score;
    EXPECT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveDialog == 8; }, 1000));
    while (!form.Dialog.PlayerName.empty()) pilot.Tap(vk::Backspace);
    pilot.KeyDown(vk::Shift);
    for (const char c : name) pilot.Tap(c);
    pilot.KeyUp(vk::Shift);
    EXPECT_EQ(form.Dialog.PlayerName, name);
    pilot.Tap(vk::Enter);
    EXPECT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveScreen == 4; }, 10));
    EXPECT_EQ(game.Game().Http.Requests.size(), 1u); // recorded here, not sent
    pilot.Run(5);
    played.script = pilot.Script();
    played.frames = pilot.Frame();
    return played;
}

TEST(WholeLoop, AGamePlayedWithServerSendsTheNameToTheTable)
{
    const std::string name = "LOOPER";
    const PlayedGame played = PlayToTheTable(5, name);
    ASSERT_GT(played.frames, 0);
    ASSERT_GT(played.score, 0);

    TestDatabase db;
    auto server = ScoresProcess::StartOn(db);
    ASSERT_TRUE(server);

    // The same keys on the same seed replay the same game in vorlane-play, whose
    // submission now really goes to the server.
    test::TempGameFolder folder;
    const auto root = folder.Root();
    std::ofstream(root / "script.txt", std::ios::binary) << played.script;
    const std::string command = std::string("'") + VORLANE_PLAY_EXE + "' --data '" + root.string() + "' --seed 5" +
                                " --script '" + (root / "script.txt").string() + "' --frames " +
                                std::to_string(played.frames) + " --server " + server->BaseUrl() + " 2>'" +
                                (root / "stderr.txt").string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadAll(root / "stderr.txt");

    httplib::Client client = server->Client();
    const auto api = client.Get("/api/scores");
    ASSERT_TRUE(api);
    EXPECT_NE(api->body.find("\"name\":\"" + name + "\",\"country\":\"_______\",\"score\":" +
                             std::to_string(played.score)),
              std::string::npos)
        << api->body;
    const auto page = client.Get("/cgi/version.pl?prg=Vorlane&show&type=0");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<td class=\"name\">" + name + "</td>"), std::string::npos) << page->body;
    ASSERT_EQ(AllRows(*db.Open()).size(), 1u);
}

} // namespace
} // namespace vorlane::scores::testing
