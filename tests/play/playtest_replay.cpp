// The autopilot's key log as a vorlane-play script: the same keys on the same frames
// replay the same game, frame for frame, and the dump keeps every sound effect also
// when it writes only every k-th frame.
#include "play/PlayRun.h"

#include "game/autopilot.h"

#include <cstdlib>
#include <sys/wait.h>

namespace vorlane::playtest {
namespace {

// vorlane-play on a script in a fresh game folder; answers the dump's lines.
std::vector<std::string> PlayDump(const std::string& script, uint32_t seed, int frames, int every) {
    test::TempGameFolder folder;
    const auto root = folder.Root();
    std::ofstream(root / "script.txt", std::ios::binary) << script;
    const std::string cmd = std::string("'") + VORLANE_PLAY_EXE + "' --data '" + root.string() +
                            "' --script '" + (root / "script.txt").string() + "' --dump '" +
                            (root / "dump.jsonl").string() + "' --seed " + std::to_string(seed) +
                            " --frames " + std::to_string(frames) + " --every " + std::to_string(every) +
                            " 2>'" + (root / "stderr.txt").string() + "'";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(root / "stderr.txt");
    std::vector<std::string> lines;
    std::istringstream dump(ReadText(root / "dump.jsonl"));
    for (std::string line; std::getline(dump, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// A dump line without its effects list.
std::string WithoutEffects(const std::string& line) {
    const auto at = line.find("\"effects\":[");
    if (at == std::string::npos) return line;
    return line.substr(0, at) + line.substr(line.find(']', at) + 1);
}

TEST(PlaytestReplay, AutopilotRunReplaysFromItsScriptWithEveryEffect) {
    constexpr uint32_t kSeed = 3;
    test::FormFixture::Options options;
    options.Seed = kSeed;
    test::FormFixture game(options);
    test::Autopilot pilot(game.Game());
    ASSERT_TRUE(pilot.StartRaceFromMenu());
    TRace& race = *pilot.Race();
    // Level 1 to its end and a little into level 2.
    ASSERT_TRUE(pilot.DriveUntil(
        [&] { return race.Level == 2 && game.Form().Screen.ActiveDialog == DialogKind::None; }, 9000));
    pilot.Run(100);
    const int frames = pilot.Frame();
    const std::string script = pilot.Script();

    const auto every1 = PlayDump(script, kSeed, frames, 1);
    const auto every25 = PlayDump(script, kSeed, frames, 25);
    ASSERT_EQ(int(every1.size()), frames);

    // The replay ends where the autopilot's own run ended.
    const Json last = Json::Parse(every1.back());
    EXPECT_EQ(last.Int("Level"), 2);
    EXPECT_EQ(last.Int("Score"), race.Score);
    EXPECT_EQ(last.Int("Lives"), race.Lives);
    EXPECT_EQ(last.Int("TimeLeft"), race.TimeLeft);
    EXPECT_EQ(last.Int("MapRow"), race.MapRow);
    EXPECT_EQ(last.Int("MapCol"), race.MapCol);
    EXPECT_NEAR(last.Real("Speed"), race.Player->Speed, 1e-6); // the dump keeps ten digits

    // The second replay agrees frame for frame, and its lines together carry the same
    // effects in the same order as the first one's.
    std::vector<std::string> effects1, effects25;
    for (const auto& line : every1)
        for (const auto& e : Json::Parse(line).List("effects"))
            effects1.push_back(e);
    size_t compared = 0;
    for (const auto& line : every25) {
        const Json j = Json::Parse(line);
        for (const auto& e : j.List("effects"))
            effects25.push_back(e);
        const auto frame = size_t(j.Int("frame"));
        ASSERT_LT(frame, every1.size());
        EXPECT_EQ(WithoutEffects(line), WithoutEffects(every1[frame])) << "frame " << frame;
        ++compared;
    }
    EXPECT_EQ(compared, size_t((frames - 1) / 25 + 1 + ((frames - 1) % 25 != 0 ? 1 : 0)));
    EXPECT_EQ(effects25, effects1);
    // A race is not silent: the engine, the clock's ticks at the level's end, pick-ups.
    EXPECT_GT(std::count(effects1.begin(), effects1.end(), "Tick"), 5);
}

} // namespace
} // namespace vorlane::playtest
