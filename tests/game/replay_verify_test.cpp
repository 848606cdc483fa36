// Every race the game plays is recorded (last.vrp in the save folder), and the replay
// re-simulated headless by VerifyReplay ends as the race did, the same every time; a
// replay whose outcome was changed, or a file that is no replay, is told apart.
#include "FormFixture.h"
#include "autopilot.h"

#include "app/ReplayRun.h"
#include "persist/ReplayShelf.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"
#include "sim/RaceState.h"

#include <gtest/gtest.h>

#include <functional>

namespace vorlane {
namespace {

struct RecordedGame {
    std::vector<uint8_t> Recorded; // what the form kept of its last race
    std::string LastFile;          // Replays/last.vrp as written
    RaceResult Result;             // the race as it stood when it was left
};

// The autopilot drives level 1 to its end and a while into level 2, then leaves the
// race with Esc and Y.
RecordedGame RecordLeftRace(int frames) {
    RecordedGame out;
    test::FormFixture::Options options;
    options.Seed = 11;
    test::FormFixture game(options);
    test::Autopilot pilot(game.Game());
    EXPECT_TRUE(pilot.StartRaceFromMenu());
    EXPECT_TRUE(game.Form().Recording.Recording());
    EXPECT_TRUE(pilot.DriveUntil(
        [&] { return pilot.Race()->Level == 2 && game.Form().Screen.ActiveDialog == DialogKind::None; },
        9000));
    pilot.Run(frames);
    const TRace& race = *pilot.Race();
    out.Result = {race.Score, race.Level, race.Lives};
    pilot.Tap(vk::Esc);
    pilot.Run(3);
    EXPECT_EQ(game.Form().Screen.ActiveDialog, DialogKind::LeaveRace);
    pilot.Tap('Y');
    pilot.Run(3);
    EXPECT_FALSE(game.Form().Recording.Recording());
    out.Recorded = game.Form().Recording.LastRace();
    out.LastFile = TReplayShelf(game.Root()).Last().value_or("");
    return out;
}

const RecordedGame& Recorded() {
    static const RecordedGame game = RecordLeftRace(300);
    return game;
}

TEST(ReplayVerify, ALeftRaceIsRecordedToLastAndVerifiesTheSameTwice) {
    const RecordedGame& game = Recorded();
    ASSERT_FALSE(game.Recorded.empty());
    EXPECT_EQ(game.LastFile, std::string(game.Recorded.begin(), game.Recorded.end()));
    const Replay replay = ReadReplay(game.Recorded);
    EXPECT_EQ(replay.Outcome.Result, game.Result);
    EXPECT_GT(replay.Outcome.Frames, 1000u);
    EXPECT_EQ(game.Result.Level, 2);
    EXPECT_GT(game.Result.Score, 0); // the autopilot scored: a result worth comparing

    test::TempGameFolder folder;
    const ReplayVerdict first = VerifyReplay(game.Recorded, folder.Root());
    const ReplayVerdict second = VerifyReplay(game.Recorded, folder.Root());
    for (const ReplayVerdict& v : {first, second}) {
        EXPECT_EQ(v.Kind, ReplayVerdictKind::Ok) << v.Message;
        EXPECT_EQ(v.Message, "");
        EXPECT_EQ((RaceResult{v.Score, v.Level, v.Lives}), game.Result);
        EXPECT_EQ(v.Frames, replay.Outcome.Frames);
        EXPECT_EQ(v.Seed, replay.Start.Seed);
    }
    // Checking a replay writes nothing into the save folder.
    EXPECT_FALSE(TReplayShelf(folder.Root()).Last().has_value());
}

// Closing the window in a race asks whether to leave it; Y leaves, and the race so
// far is kept as the last race like any other way out of it.
TEST(ReplayVerify, ARaceLeftByClosingTheWindowIsKeptAndVerifies) {
    test::FormFixture::Options options;
    options.Seed = 23;
    test::FormFixture game(options);
    test::Autopilot pilot(game.Game());
    ASSERT_TRUE(pilot.StartRaceFromMenu());
    pilot.Run(400);
    const RaceResult before{pilot.Race()->Score, pilot.Race()->Level, pilot.Race()->Lives};
    game.Game().CloseRequest();
    pilot.Run(3);
    ASSERT_EQ(game.Form().Screen.ActiveDialog, DialogKind::LeaveRace);
    EXPECT_TRUE(game.Form().Recording.Recording()); // asked, not yet left
    pilot.Tap('Y');
    pilot.Run(3);
    EXPECT_FALSE(game.Form().Recording.Recording());
    const std::vector<uint8_t>& recorded = game.Form().Recording.LastRace();
    ASSERT_FALSE(recorded.empty());
    EXPECT_EQ(TReplayShelf(game.Root()).Last().value_or(""), std::string(recorded.begin(), recorded.end()));
    EXPECT_EQ(ReadReplay(recorded).Outcome.Result, before);

    test::TempGameFolder folder;
    const ReplayVerdict v = VerifyReplay(recorded, folder.Root());
    EXPECT_EQ(v.Kind, ReplayVerdictKind::Ok) << v.Message;
    EXPECT_EQ((RaceResult{v.Score, v.Level, v.Lives}), before);
}

TEST(ReplayVerify, AChangedOutcomeDivergesNamingTheField) {
    const RecordedGame& game = Recorded();
    ASSERT_FALSE(game.Recorded.empty());
    test::TempGameFolder folder;
    struct Case {
        const char* Field;
        std::function<void(Replay&)> Change;
    };
    const Case cases[] = {
        {"score", [](Replay& r) { r.Outcome.Result.Score += 10; }},
        {"lives", [](Replay& r) { r.Outcome.Result.Lives -= 1; }},
        {"level", [](Replay& r) { r.Outcome.Result.Level += 1; }},
        // Frames cut off the end: the race is still on when the recording ends.
        {"still on", [](Replay& r) { r.Frames.resize(r.Frames.size() - 200); }},
        // Frames added after the end: the race ends before the recording does.
        {"ended at frame",
         [](Replay& r) {
             ReplayFrame idle = r.Frames.back();
             idle.Events.clear();
             idle.Held = 0;
             r.Frames.insert(r.Frames.end(), 50, idle);
         }},
    };
    for (const Case& c : cases) {
        Replay replay = ReadReplay(game.Recorded);
        c.Change(replay);
        const ReplayVerdict v = VerifyReplay(WriteReplay(replay), folder.Root());
        EXPECT_EQ(v.Kind, ReplayVerdictKind::Diverged) << c.Field;
        EXPECT_NE(v.Message.find(c.Field), std::string::npos) << c.Field << ": " << v.Message;
    }
}

TEST(ReplayVerify, AFileThatIsNoReplayIsRefusedWithItsReason) {
    Replay short_;
    short_.Frames.resize(40);
    const std::vector<uint8_t> good = WriteReplay(short_);
    test::TempGameFolder folder;
    const std::vector<uint8_t> truncated(good.begin(), good.begin() + long(good.size() / 2));
    const std::vector<uint8_t> garbage = {'h', 'e', 'l', 'l', 'o'};
    std::vector<uint8_t> flipped = good;
    flipped[flipped.size() / 2] ^= 0x40;
    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
        {truncated, "truncated"}, {garbage, "not a replay"}, {flipped, "checksum"}, {{}, "not a replay"}};
    for (const auto& [bytes, reason] : cases) {
        const ReplayVerdict v = VerifyReplay(bytes, folder.Root());
        EXPECT_EQ(v.Kind, ReplayVerdictKind::Refused) << reason;
        EXPECT_NE(v.Message.find(reason), std::string::npos) << v.Message;
    }
    // A race no player drove: 40 frames of nothing, the race still on at their end.
    const ReplayVerdict idle = VerifyReplay(good, folder.Root());
    EXPECT_EQ(idle.Kind, ReplayVerdictKind::Diverged) << idle.Message;
    EXPECT_NE(idle.Message.find("still on"), std::string::npos) << idle.Message;
    EXPECT_EQ(idle.Frames, 40u);
}

} // namespace
} // namespace vorlane
