// What a replay keeps is all a race reads: a race driven by the autopilot, recorded
// frame by frame (seed at StartRace, car, move counts, frame statistics, held keys),
// played back in another game started with another seed gives the same race, frame for
// frame. A replay with one thing changed does not.
#include "FormFixture.h"
#include "autopilot.h"

#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"
#include "sim/Player.h"
#include "sim/RaceState.h"

#include <gtest/gtest.h>

#include <bit>
#include <functional>

namespace vorlane {
namespace {

// What the race looks like after a frame.
struct RaceFingerprint {
    int Score = 0, Level = 0, Lives = 0, TimeLeft = 0, MapRow = 0, MapCol = 0, Dialog = 0;
    uint64_t Speed = 0;
    bool operator==(const RaceFingerprint&) const = default;
};

RaceFingerprint Fingerprint(TMForm& form) {
    RaceFingerprint f;
    if (!form.Race) return f;
    const TRace& r = *form.Race;
    f = {r.Score, r.Level, r.Lives, r.TimeLeft, r.MapRow, r.MapCol, int(form.Screen.ActiveDialog), 0};
    if (r.Player) f.Speed = std::bit_cast<uint64_t>(r.Player->Speed);
    return f;
}

// The main menu's intro, Enter on "New game", the car selection until it takes keys.
void OpenCarSelection(test::Autopilot& pilot) {
    pilot.DriveUntil([] { return false; }, 50);
    pilot.Tap(vk::Enter);
    ASSERT_TRUE(
        pilot.DriveUntil([&] { return pilot.Form().Screen.ActiveScreen == ScreenKind::CarSelect; }, 20));
    pilot.Run(19);
}

struct RecordedRace {
    std::vector<uint8_t> File;
    std::vector<RaceFingerprint> Trace;
};

// The autopilot drives level 1 to its end and a little into level 2; every 300th frame
// runs at 60 Hz frame statistics, as when the measured rate drops for a moment.
RecordedRace RecordRace() {
    RecordedRace out;
    test::FormFixture::Options options;
    options.Seed = 3;
    test::FormFixture game(options);
    test::Autopilot pilot(game.Game());
    TMForm& form = game.Form();
    OpenCarSelection(pilot);

    ReplayRecorder recorder;
    ReplayStart start;
    start.Seed = form.Random.State();
    start.Car = form.Menu.SelectedCar;
    start.InitialHeld = HeldSnapshot(form.Input->States, form.Keys.ShiftHeld, form.Keys.CtrlHeld);
    start.MouseX = form.Keys.MouseX;
    start.MouseY = form.Keys.MouseY;
    start.PlayerName = form.Dialog.PlayerName;
    recorder.BeginRace(start);
    pilot.KeyDown(vk::Enter); // the start button: StartRace runs inside the key's events
    EXPECT_EQ(form.Screen.ActiveScreen, ScreenKind::Race);

    const auto frame = [&] {
        if (recorder.FramesRecorded() % 300 == 299) {
            form.Stats.FrameMs = 16;
            form.Stats.SpeedScale = 85.0 / 60.0;
        }
        const FrameStep step{0, form.Stats.FrameMs, form.Stats.SpeedScale};
        pilot.Step();
        recorder.Frame({form.LagCount, step.FrameMs, step.SpeedScale},
                       HeldSnapshot(form.Input->States, form.Keys.ShiftHeld, form.Keys.CtrlHeld));
        out.Trace.push_back(Fingerprint(form));
    };
    frame();
    pilot.KeyUp(vk::Enter);
    for (int i = 0; i < 9000 && !(form.Race->Level == 2 && form.Screen.ActiveDialog == DialogKind::None); ++i)
        frame();
    EXPECT_EQ(form.Race->Level, 2);
    for (int i = 0; i < 100; ++i)
        frame();
    const TRace& race = *form.Race;
    out.File = recorder.End({race.Score, race.Level, race.Lives});
    return out;
}

struct PlayedRace {
    std::vector<RaceFingerprint> Trace;
    RaceResult Result;
    RaceResult Recorded; // the outcome the replay says the game saw
};

// Plays a replay in a fresh game started with another seed, the held keys through the
// keyboard the game polls; change may alter each frame before it is given.
PlayedRace PlayBack(const std::vector<uint8_t>& file,
                    const std::function<void(uint32_t, ReplayFrame&)>& change = {}) {
    PlayedRace out;
    ReplayPlayer player(file);
    test::FormFixture::Options options;
    options.Seed = 977;
    test::FormFixture game(options);
    test::Autopilot menus(game.Game());
    menus.Enabled = false;
    TMForm& form = game.Form();
    OpenCarSelection(menus);
    EXPECT_EQ(HeldSnapshot(form.Input->States, form.Keys.ShiftHeld, form.Keys.CtrlHeld),
              player.Start().InitialHeld);

    form.Random.Seed(player.Start().Seed);
    form.Menu.SelectedCar = player.Start().Car;
    game.Game().KeyDown(vk::Enter);
    EXPECT_EQ(form.Screen.ActiveScreen, ScreenKind::Race);

    const TKeyAssignList keys = GameKeyAssigns();
    for (ReplayFrame f; player.Next(f);) {
        if (change) change(player.FramesPlayed(), f);
        EXPECT_TRUE(f.Events.empty());
        for (int state = 0; state < InputStateCount; ++state)
            if (const int code = keys[size_t(state)][0])
                game.Game().Keys.SetDown(code, (HeldStates(f.Held) & StateBit(state)) != 0);
        form.Keys.ShiftHeld = HeldShift(f.Held);
        form.Keys.CtrlHeld = HeldCtrl(f.Held);
        form.Stats.FrameMs = f.Step.FrameMs;
        form.Stats.SpeedScale = f.Step.SpeedScale;
        game.Game().StepWithLag(f.Step.LagCount);
        out.Trace.push_back(Fingerprint(form));
    }
    const TRace& race = *form.Race;
    out.Result = {race.Score, race.Level, race.Lives};
    out.Recorded = player.Outcome().Result;
    return out;
}

// The first frame (1-based) where two traces part, 0 when they never do.
size_t FirstDifference(const std::vector<RaceFingerprint>& a, const std::vector<RaceFingerprint>& b) {
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (!(a[i] == b[i])) return i + 1;
    return a.size() == b.size() ? 0 : std::min(a.size(), b.size()) + 1;
}

TEST(ReplayRace, ARecordedRacePlaysBackFrameForFrameAndAChangedOneDoesNot) {
    const RecordedRace recorded = RecordRace();
    const Replay replay = ReadReplay(recorded.File);
    std::printf("[ replay ] %zu frames, %zu bytes, score %d, level %d\n", replay.Frames.size(),
                recorded.File.size(), replay.Outcome.Result.Score, replay.Outcome.Result.Level);
    ASSERT_GT(replay.Frames.size(), 1000u);

    const PlayedRace same = PlayBack(recorded.File);
    EXPECT_EQ(FirstDifference(same.Trace, recorded.Trace), 0u);
    EXPECT_TRUE(same.Result == same.Recorded);

    // Left held for half a second in the middle of the drive.
    const uint32_t middle = uint32_t(replay.Frames.size() / 2);
    const auto steerLeft = [&](uint32_t frame, ReplayFrame& f) {
        if (frame >= middle && frame < middle + 40) f.Held |= StateBit(isLeft);
    };
    EXPECT_NE(FirstDifference(PlayBack(recorded.File, steerLeft).Trace, recorded.Trace), 0u);
    // One frame run with the frame statistics of 60 Hz. (A longer move count alone
    // shows only in the sprites' animation frames, which the fingerprint leaves out.)
    const auto slowFrame = [&](uint32_t frame, ReplayFrame& f) {
        if (frame == middle) f.Step = {f.Step.LagCount, 16, 85.0 / 60.0};
    };
    EXPECT_NE(FirstDifference(PlayBack(recorded.File, slowFrame).Trace, recorded.Trace), 0u);
}

} // namespace
} // namespace vorlane
