// vorlane-play --replay: a race recorded by the game (last.vrp in its save folder)
// plays again headless to the recorded end with exit 0 and the same dump every time;
// a changed outcome gives 3 naming what differs, a file that is no replay gives 2.
#include "play/PlayRun.h"

#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include <regex>

#include <sys/stat.h>

namespace vorlane::playtest {
namespace {

// A dump without the song and the looped sounds heard (a blind game has no sound device).
std::string WithoutSound(const std::string& dump) {
    static const std::regex sound("\"playing\":\\[[^\\]]*\\],?|\"music\":(\"[^\"]*\"|null),?");
    return std::regex_replace(dump, sound, "");
}

// The menus, the start, a drive with turns, the horn and the handbrake, then Esc and
// "Yes": the race is left and goes to last.vrp.
constexpr const char* kScriptedGame = "46 press Enter\n"
                                      "49 press Enter\n"
                                      "60 down Up\n"
                                      "300 down Left\n"
                                      "318 up Left\n"
                                      "420 down Right\n"
                                      "430 up Right\n"
                                      "500 press H\n"
                                      "560 down Space\n"
                                      "575 up Space\n"
                                      "700 up Up\n"
                                      "720 press Esc\n"
                                      "730 press Y\n";

struct ReplayRun {
    int ExitCode = -1;
    std::string Errors;
    std::string Dump;
};

ReplayRun PlayReplay(const test::TempGameFolder& folder, const std::filesystem::path& replay,
                     const std::string& tag, const std::string& extra = "") {
    const auto root = folder.Root();
    const auto dump = root / ("replay-" + tag + ".jsonl");
    const auto errors = root / ("replay-" + tag + ".err");
    // Bounded: a player that waits on a pipe or reads an endless device must fail, not hang.
    const std::string cmd = std::string("timeout 60 '") + VORLANE_PLAY_EXE + "' --data '" + root.string() +
                            "' --replay '" + replay.string() + "' --dump '" + dump.string() + "' " + extra +
                            " 2>'" + errors.string() + "'";
    const int status = std::system(cmd.c_str());
    ReplayRun r;
    r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Errors = ReadText(errors);
    r.Dump = ReadText(dump);
    return r;
}

void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
    const std::string text = ReadText(file);
    return {text.begin(), text.end()};
}

TEST(ReplayPlay, ARecordedScriptedGameReplaysToItsEndTheSameTwiceAndChangedOrBadFilesAreToldApart) {
    const PlayResult game = PlayScript(kScriptedGame, Options().Frames(760));
    ASSERT_EQ(game.ExitCode, 0) << game.Errors;
    const auto last = game.SaveDir() / "Replays" / "last.vrp";
    ASSERT_TRUE(std::filesystem::exists(last));
    const std::vector<uint8_t> bytes = ReadBytes(last);
    const Replay replay = ReadReplay(bytes);
    // The race ran from the start (frame 49) to "Yes" (frame 730).
    EXPECT_GT(replay.Outcome.Frames, 650u);
    EXPECT_LT(replay.Outcome.Frames, 700u);

    const ReplayRun first = PlayReplay(*game.Folder, last, "first");
    const ReplayRun second = PlayReplay(*game.Folder, last, "second");
    EXPECT_EQ(first.ExitCode, 0) << first.Errors;
    EXPECT_EQ(second.ExitCode, 0) << second.Errors;
    EXPECT_EQ(first.Errors, "");
    ASSERT_FALSE(first.Dump.empty());
    EXPECT_EQ(first.Dump, second.Dump);
    // The dump's race is the recorded one: its last racing line shows the recorded score.
    std::istringstream lines(first.Dump);
    std::vector<Json> frames;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) frames.push_back(Json::Parse(line));
    ASSERT_GE(frames.size(), replay.Outcome.Frames);
    EXPECT_EQ(frames[size_t(replay.Outcome.Frames) - 2].Int("Score"), replay.Outcome.Result.Score);

    // Blind, as the score server checks it: the same race on every frame, only unheard.
    const ReplayRun blind = PlayReplay(*game.Folder, last, "blind", "--blind");
    EXPECT_EQ(blind.ExitCode, 0) << blind.Errors;
    EXPECT_NE(first.Dump.find("\"playing\":[\""), std::string::npos) << "no looped sound was heard at all";
    EXPECT_EQ(WithoutSound(blind.Dump), WithoutSound(first.Dump));

    // The outcome changed: 3, the field named.
    Replay changed = replay;
    changed.Outcome.Result.Score += 5;
    WriteBytes(game.Folder->Root() / "changed.vrp", WriteReplay(changed));
    const ReplayRun diverged = PlayReplay(*game.Folder, game.Folder->Root() / "changed.vrp", "changed");
    EXPECT_EQ(diverged.ExitCode, 3) << diverged.Errors;
    EXPECT_NE(diverged.Errors.find("score"), std::string::npos) << diverged.Errors;

    // Not a replay, cut short, missing: 2 with the reason.
    struct Bad {
        const char* Name;
        std::vector<uint8_t> Bytes;
        const char* Reason;
    };
    const std::vector<Bad> bad = {
        {"garbage.vrp", {'G', 'I', 'F', '8', '9', 'a', 0, 1, 2, 3}, "not a replay"},
        {"truncated.vrp", std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(bytes.size() / 3)),
         "truncated"},
        {"header.vrp", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 10), "truncated"},
    };
    for (const Bad& b : bad) {
        WriteBytes(game.Folder->Root() / b.Name, b.Bytes);
        const ReplayRun r = PlayReplay(*game.Folder, game.Folder->Root() / b.Name, b.Name);
        EXPECT_EQ(r.ExitCode, 2) << b.Name << ": " << r.Errors;
        EXPECT_NE(r.Errors.find(b.Reason), std::string::npos) << b.Name << ": " << r.Errors;
    }
    const ReplayRun missing = PlayReplay(*game.Folder, game.Folder->Root() / "none.vrp", "missing");
    EXPECT_EQ(missing.ExitCode, 2);
    EXPECT_NE(missing.Errors.find("cannot read the replay"), std::string::npos) << missing.Errors;
}

// What is not a replay file is refused unread, as the game refuses it: status 2 and
// the file named with the reason. A folder, a pipe nobody writes to (never waited
// on), an endless device (never read) and a file larger than any replay (judged by
// its size, not read whole).
TEST(ReplayPlay, WhatIsNotARegularFileOfAReplaysSizeIsRefusedUnread) {
    test::TempGameFolder folder;
    const auto root = folder.Root();
    std::filesystem::create_directories(root / "folder.vrp");
    ASSERT_EQ(::mkfifo((root / "pipe.vrp").c_str(), 0600), 0);
    WriteBytes(root / "huge.vrp", {});
    std::filesystem::resize_file(root / "huge.vrp", 100u * 1024 * 1024);
    struct Refused {
        std::filesystem::path File;
        const char* Reason;
    };
    const Refused cases[] = {
        {root / "folder.vrp", "it is a folder, not a file"},
        {root / "pipe.vrp", "it is a pipe, not a file"},
        {"/dev/zero", "it is a device, not a file"},
        {root / "huge.vrp", "it is 104857600 bytes long, more than the 4194304 bytes"},
    };
    for (const Refused& c : cases) {
        const ReplayRun r = PlayReplay(folder, c.File, c.File.filename().string());
        EXPECT_EQ(r.ExitCode, 2) << c.File << ": " << r.Errors;
        EXPECT_NE(r.Errors.find("cannot read the replay " + c.File.string() + ": " + c.Reason),
                  std::string::npos)
            << c.File << ": " << r.Errors;
    }
}

} // namespace
} // namespace vorlane::playtest
