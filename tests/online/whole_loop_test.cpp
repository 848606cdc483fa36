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
#include <thread>

#include "game/FormFixture.h"
#include "game/autopilot.h"
#include "persist/OnlineScore.h"
#include "server/ScoresProcess.h"

namespace vorlane::scores::testing {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits (a bounded time) until the replay is no longer pending.
ReplayRecord WaitForVerdict(const TestDatabase& db, int64_t id) {
    auto store = db.Open();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        const std::optional<ReplayRecord> record = store->FindReplay(id);
        if (record && (record->state != ReplayState::Pending || std::chrono::steady_clock::now() > deadline))
            return *record;
        if (!record && std::chrono::steady_clock::now() > deadline) return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// The player's row became verified by the replay the game sent: the mark and link on
// the page, "verified": true in the JSON, the verified-only filter, the file itself.
void ExpectVerified(ScoresProcess& server, const TestDatabase& db, const std::string& name, int score,
                    const std::string& replay) {
    ASSERT_GT(replay.size(), 18u) << "the game kept no replay of its race";
    std::vector<RankedScore> rows = AllRows(*db.Open());
    ASSERT_EQ(rows.size(), 1u);
    const ReplayRecord record = WaitForVerdict(db, 1);
    EXPECT_EQ(record.state, ReplayState::Verified) << record.reason;
    EXPECT_EQ(record.scoreId, rows[0].id);
    rows = AllRows(*db.Open(), ScoreFilter{0, "", true});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, name);
    EXPECT_EQ(rows[0].score, score);

    httplib::Client client = server.Client();
    const std::string link = "/api/replays/" + std::to_string(rows[0].replayId) + ".vrp";
    const auto api = client.Get("/api/scores?verified=1");
    ASSERT_TRUE(api);
    EXPECT_NE(api->body.find("\"score\":" + std::to_string(score) + ","), std::string::npos) << api->body;
    EXPECT_NE(api->body.find("\"verified\":true,\"replay\":\"" + link + "\"}"), std::string::npos)
        << api->body;
    const auto page = client.Get("/cgi/version.pl?prg=Vorlane&show&type=0&verified=1");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<a href=\"" + link + "\""), std::string::npos) << page->body;
    const auto file = client.Get(link);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->status, 200);
    EXPECT_EQ(file->get_header_value("Content-Type"), "application/octet-stream");
    EXPECT_EQ(file->body, replay);
}

struct PlayedGame {
    std::string script; // the keys, frame by frame, as vorlane-play reads them
    int frames = 0;
    int score = 0;
};

// A short game: level 1 driven until the score earns a place in the local table,
// then into the lamp posts until the lives are gone, the name typed, Enter with the
// send box ticked, on to the high-score screen.
PlayedGame PlayToTheTable(uint32_t seed, const std::string& name) {
    test::FormFixture::Options options;
    options.Seed = seed;
    test::FormFixture game(options);
    TMForm& form = game.Form();
    test::Autopilot pilot(game.Game());
    PlayedGame played;
    EXPECT_TRUE(pilot.StartRaceFromMenu());
    if (!pilot.Race()) return played;
    TRace& race = *pilot.Race();
    EXPECT_TRUE(pilot.DriveUntil([&] { return form.HighScores.ScoreQualifies(race.Score); }, 20000))
        << race.Score;
    pilot.Reckless = true;
    EXPECT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveDialog == DialogKind::GameOver; }, 20000))
        << "lives " << race.Lives;
    played.score = race.Score;
    EXPECT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveDialog == DialogKind::NameEntry; }, 1000));
    while (!form.Dialog.PlayerName.empty())
        pilot.Tap(vk::Backspace);
    pilot.KeyDown(vk::Shift);
    for (const char c : name)
        pilot.Tap(c);
    pilot.KeyUp(vk::Shift);
    EXPECT_EQ(form.Dialog.PlayerName, name);
    pilot.Tap(vk::Enter);
    EXPECT_TRUE(pilot.DriveUntil([&] { return form.Screen.ActiveScreen == ScreenKind::HighScores; }, 10));
    EXPECT_EQ(game.Game().Http.Requests.size(), 1u); // recorded here, not sent
    pilot.Run(5);
    played.script = pilot.Script();
    played.frames = pilot.Frame();
    return played;
}

TEST(WholeLoop, AGamePlayedWithServerSendsTheNameToTheTable) {
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
    const std::string command = std::string("'") + VORLANE_PLAY_EXE + "' --data '" + root.string() +
                                "' --seed 5" + " --script '" + (root / "script.txt").string() +
                                "' --frames " + std::to_string(played.frames) + " --server " +
                                server->BaseUrl() + " 2>'" + (root / "stderr.txt").string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadAll(root / "stderr.txt");

    httplib::Client client = server->Client();
    const auto api = client.Get("/api/scores");
    ASSERT_TRUE(api);
    EXPECT_NE(api->body.find("\"name\":\"" + name +
                             "\",\"country\":\"_______\",\"score\":" + std::to_string(played.score)),
              std::string::npos)
        << api->body;
    const auto page = client.Get("/cgi/version.pl?prg=Vorlane&show&type=0");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<td class=\"name\">" + name + "</td>"), std::string::npos) << page->body;
    ASSERT_EQ(AllRows(*db.Open()).size(), 1u);

    // The game sent the race's replay after the result; the server plays it through
    // with the game's own code and marks the row verified.
    const std::string replayPath = (root / "Data" / "Save" / "Replays" / "last.vrp").string();
    ExpectVerified(*server, db, name, played.score, ReadAll(replayPath));

    // The same replay sent again for another result of the same player: refused.
    const std::string claimed = EncodeSubmission(BuildSubmissionText(name, played.score + 500, "_______"));
    ASSERT_EQ(client.Get(std::string(kSubmissionPath) + claimed)->status, 200);
    const std::string bytes = ReadAll(replayPath);
    const auto upload =
        client.Post("/api/replays?prg=Vorlane&inf=" + claimed, bytes, "application/octet-stream");
    ASSERT_TRUE(upload);
    EXPECT_EQ(upload->status, 200) << upload->body;
    const int64_t id = std::stoll(upload->body.substr(std::string("OK replay ").size()));
    const ReplayRecord record = WaitForVerdict(db, id);
    EXPECT_EQ(record.state, ReplayState::Failed);
    EXPECT_TRUE(record.reason.starts_with("score differs")) << record.reason;

    // The verified file, downloaded by anyone and sent with a result of the same score
    // under another name from another address: the race verified LOOPER's row, it
    // verifies no other.
    httplib::Client thief = server->Client("127.0.0.2");
    const auto downloaded = thief.Get("/api/replays/1.vrp");
    ASSERT_TRUE(downloaded);
    ASSERT_EQ(downloaded->status, 200);
    const std::string stolen = EncodeSubmission(BuildSubmissionText("THIEF", played.score, "_______"));
    ASSERT_EQ(thief.Get(std::string(kSubmissionPath) + stolen)->status, 200);
    const auto reused =
        thief.Post("/api/replays?prg=Vorlane&inf=" + stolen, downloaded->body, "application/octet-stream");
    ASSERT_TRUE(reused);
    ASSERT_EQ(reused->status, 200) << reused->body;
    const ReplayRecord reusedRecord =
        WaitForVerdict(db, std::stoll(reused->body.substr(std::string("OK replay ").size())));
    EXPECT_EQ(reusedRecord.state, ReplayState::Failed);
    EXPECT_EQ(reusedRecord.reason, std::string(kRaceVerifiedAlready) + "1");
    const std::vector<RankedScore> verifiedRows = AllRows(*db.Open(), ScoreFilter{0, "", true});
    ASSERT_EQ(verifiedRows.size(), 1u);
    EXPECT_EQ(verifiedRows[0].name, name);
}

} // namespace
} // namespace vorlane::scores::testing
