// A replay written and read back gives exactly what was recorded: every frame's time
// step, held keys and events, the start and the outcome, for races of every shape.
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include "replay/SyntheticRace.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>

namespace vorlane {
namespace {

using replaytest::MakeSyntheticRace;
using replaytest::SyntheticRaceSettings;

Replay Finished(Replay r) {
    r.Outcome.Frames = uint32_t(r.Frames.size());
    return r;
}

ReplayFrame Plain(int lag, uint64_t held = 0, int frameMs = 11, double scale = 1.0) {
    ReplayFrame f;
    f.Step = {lag, frameMs, scale};
    f.Held = held;
    return f;
}

struct RoundTripCase {
    const char* name;
    std::function<Replay()> make;
};

std::vector<RoundTripCase> Cases() {
    return {
        {"empty race: no frame, no event", [] { return Finished(Replay{}); }},
        {"empty race ended by a click before its first frame",
         [] {
             Replay r;
             r.TrailingEvents = {ReplayEvent::MouseMove(500, 310), ReplayEvent::Of(ReplayEventKind::Click)};
             return Finished(r);
         }},
        {"one frame",
         [] {
             Replay r;
             r.Frames = {Plain(12)};
             return Finished(r);
         }},
        {"runs longer than one token holds, and runs broken by one frame",
         [] {
             Replay r;
             for (int i = 0; i < 200; ++i)
                 r.Frames.push_back(Plain(12));
             r.Frames.push_back(Plain(11));
             for (int i = 0; i < 64; ++i)
                 r.Frames.push_back(Plain(11));
             for (int i = 0; i < 65; ++i)
                 r.Frames.push_back(Plain(11, StateBit(isUp)));
             return Finished(r);
         }},
        {"move counts at the edges: 1, huge stalls, jumps either way past a nudge",
         [] {
             Replay r;
             for (int lag : {1, 1, 33, 1, 32, 0x7FFFFFFF, 1, 0x7FFFFFFF, 0x7FFFFFFF, 250, 12, 44, 13, -5})
                 r.Frames.push_back(Plain(lag < 1 ? 1 : lag));
             return Finished(r);
         }},
        {"frame statistics changing, also to a SpeedScale that differs only in its last bit",
         [] {
             Replay r;
             r.Frames = {Plain(12, 0, 11, 1.0),          Plain(12, 0, 16, 85.0 / 60.0),
                         Plain(12, 0, 16, 85.0 / 60.0),  Plain(12, 0, 16, std::nextafter(85.0 / 60.0, 2.0)),
                         Plain(12, 0, 0, 85.0 / 1001.0), Plain(12, 0, 1000, 85.0)};
             return Finished(r);
         }},
        {"every held bit, on and off at once",
         [] {
             Replay r;
             r.Start.InitialHeld = kHeldAllBits;
             r.Frames = {Plain(12, kHeldAllBits), Plain(12, 0), Plain(12, uint64_t(1) << kHeldCtrlBit),
                         Plain(12, StateBit(isButton32)), Plain(12, kHeldAllBits)};
             return Finished(r);
         }},
        {"events of every kind, before frames and after the last",
         [] {
             Replay r;
             ReplayFrame f = Plain(12);
             f.Events = {ReplayEvent::KeyDown(16),
                         ReplayEvent::KeyDown(13, true),
                         ReplayEvent::KeyUp(17),
                         ReplayEvent::Char(0),
                         ReplayEvent::Char(255),
                         ReplayEvent::MouseMove(-5, 70000),
                         ReplayEvent::MouseMove(INT32_MIN, INT32_MAX),
                         ReplayEvent::Of(ReplayEventKind::Click),
                         ReplayEvent::Of(ReplayEventKind::DoubleClick),
                         ReplayEvent::Of(ReplayEventKind::CloseRequest),
                         ReplayEvent::Of(ReplayEventKind::PadLost)};
             r.Frames = {f, Plain(12), f};
             r.TrailingEvents = {ReplayEvent::Char('a'), ReplayEvent::KeyDown(-1)};
             return Finished(r);
         }},
        {"a start with every field at an edge",
         [] {
             Replay r;
             r.Start.Seed = 0xFFFFFFFFu;
             r.Start.Car = 6;
             r.Start.Options = kReplayOptionBits;
             r.Start.MouseX = INT32_MIN;
             r.Start.MouseY = INT32_MAX;
             for (int c = 0; c < 255; ++c)
                 r.Start.PlayerName += char(c);
             r.Frames = {Plain(12)};
             r.Outcome.Result = {INT32_MAX, INT32_MIN, -1};
             return Finished(r);
         }},
        {"a five-minute game",
         [] {
             return MakeSyntheticRace({85 * 300, 11, 25, false});
         }},
        {"a long race with an erratic timer and mashed keys",
         [] {
             return MakeSyntheticRace({85 * 60 * 20, 5, 3, true});
         }},
    };
}

TEST(ReplayRoundTrip, WhatIsWrittenIsReadBackExactly) {
    for (const RoundTripCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const Replay original = c.make();
        const std::vector<uint8_t> file = WriteReplay(original);
        Replay back;
        ASSERT_NO_THROW(back = ReadReplay(file));
        EXPECT_EQ(back.Start, original.Start);
        EXPECT_EQ(back.Outcome, original.Outcome);
        EXPECT_EQ(back.TrailingEvents, original.TrailingEvents);
        ASSERT_EQ(back.Frames.size(), original.Frames.size());
        for (size_t i = 0; i < back.Frames.size(); ++i)
            ASSERT_EQ(back.Frames[i], original.Frames[i]) << "frame " << i + 1;
        // Written again, the same bytes: nothing is lost or made up on the way.
        EXPECT_EQ(WriteReplay(back), file);
    }
}

TEST(ReplayRoundTrip, RecorderCalledAsTheGameCallsItMatchesTheWholeReplay) {
    const Replay race = MakeSyntheticRace({85 * 20, 3, 10, false});
    ReplayRecorder recorder;
    EXPECT_FALSE(recorder.Recording());
    // Frames and events before a race starts are not part of it.
    recorder.Event(ReplayEvent::Of(ReplayEventKind::Click));
    recorder.Frame({12, 11, 1.0}, 0);
    EXPECT_TRUE(recorder.End({}).empty());

    recorder.BeginRace(race.Start);
    for (const ReplayFrame& f : race.Frames) {
        for (const ReplayEvent& e : f.Events)
            recorder.Event(e);
        recorder.Frame(f.Step, f.Held);
    }
    EXPECT_EQ(recorder.FramesRecorded(), race.Frames.size());
    for (const ReplayEvent& e : race.TrailingEvents)
        recorder.Event(e);
    const std::vector<uint8_t> file = recorder.End(race.Outcome.Result);
    EXPECT_FALSE(recorder.Recording());
    EXPECT_EQ(file, WriteReplay(race));

    // The player hands the frames out one by one and stops after the last.
    ReplayPlayer player(file);
    EXPECT_EQ(player.Start(), race.Start);
    EXPECT_EQ(player.FrameCount(), race.Frames.size());
    ReplayFrame frame;
    for (size_t i = 0; i < race.Frames.size(); ++i) {
        ASSERT_TRUE(player.Next(frame)) << "frame " << i + 1;
        ASSERT_EQ(frame, race.Frames[i]) << "frame " << i + 1;
        EXPECT_EQ(player.FramesPlayed(), i + 1);
    }
    EXPECT_TRUE(player.Finished());
    EXPECT_FALSE(player.Next(frame));
    EXPECT_EQ(player.TrailingEvents(), race.TrailingEvents);
    EXPECT_EQ(player.Outcome().Result, race.Outcome.Result);
}

TEST(ReplayRoundTrip, ANewRaceDropsTheOneBeingRecorded) {
    ReplayRecorder recorder;
    ReplayStart first;
    first.Car = 2;
    recorder.BeginRace(first);
    recorder.Event(ReplayEvent::Char('x'));
    recorder.Frame({12, 11, 1.0}, StateBit(isUp));
    ReplayStart second;
    second.Car = 5;
    recorder.BeginRace(second);
    recorder.Frame({13, 11, 1.0}, 0);
    const Replay back = ReadReplay(recorder.End({100, 1, 3}));
    EXPECT_EQ(back.Start.Car, 5);
    ASSERT_EQ(back.Frames.size(), 1u);
    EXPECT_TRUE(back.Frames[0].Events.empty());
    EXPECT_EQ(back.Frames[0].Step.LagCount, 13);
}

TEST(ReplayRoundTrip, StepsNoFrameCanHaveAreNotRecorded) {
    ReplayRecorder recorder;
    recorder.BeginRace({});
    EXPECT_THROW(recorder.Frame({12, -1, 1.0}, 0), std::invalid_argument);
    EXPECT_THROW(recorder.Frame({12, 11, 0.0}, 0), std::invalid_argument);
    EXPECT_THROW(recorder.Frame({12, 11, std::nan("")}, 0), std::invalid_argument);
    // A move count of 0 is the timer's "at least 1".
    recorder.Frame({0, 11, 1.0}, 0);
    EXPECT_EQ(ReadReplay(recorder.End({})).Frames.at(0).Step.LagCount, 1);
}

// The name entry goes after the race once it took a name: the file becomes version 2,
// its race (start, frames, outcome) keeps its bytes, and the name and country read
// back as typed. A race alone stays version 1 and has none; a name is added once.
TEST(ReplayRoundTrip, TheNameEntryFollowsTheRaceAndLeavesItsBytesAlone) {
    Replay race = MakeSyntheticRace({600, 3, 20, false});
    race.Start.PlayerName = "OLD NAME"; // the text from before the race stays as it was
    const std::vector<uint8_t> alone = WriteReplay(race);
    EXPECT_EQ(alone[4], kReplayRaceVersion);
    EXPECT_FALSE(ReadReplay(alone).NameEntry.has_value());

    const struct {
        const char* what;
        ReplayNameEntry entry;
    } cases[] = {
        {"name and country", {"ANN", "Peru"}},
        {"no country given", {"ANN", ""}},
        {"Latin-1 letters", {"\xC5SA", "Sverige"}},
        {"nothing typed", {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> named = AddNameEntry(alone, c.entry);
        EXPECT_EQ(named[4], kReplayNamedVersion);
        // Header and race bytes as they were, the name entry after them.
        const size_t raceBody = alone.size() - kReplayHeaderSize;
        ASSERT_GT(named.size(), alone.size());
        EXPECT_TRUE(
            std::equal(alone.begin() + kReplayHeaderSize, alone.end(), named.begin() + kReplayHeaderSize));
        EXPECT_EQ(named.size(),
                  kReplayHeaderSize + raceBody + 2 + c.entry.Name.size() + c.entry.Country.size());
        Replay back = ReadReplay(named);
        ASSERT_TRUE(back.NameEntry.has_value());
        EXPECT_EQ(*back.NameEntry, c.entry);
        back.NameEntry.reset();
        EXPECT_EQ(back, ReadReplay(alone)); // the same race, frame for frame
        // A whole replay with its name entry writes the same file.
        Replay whole = race;
        whole.NameEntry = c.entry;
        EXPECT_EQ(WriteReplay(whole), named);
        EXPECT_THROW(AddNameEntry(named, {"THIEF", ""}), ReplayError);
    }
}

} // namespace
} // namespace vorlane
