// Damaged, foreign and other-rules replay files are refused with one line that names
// what is wrong; no change to a file makes the reader crash or play something else
// silently.
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include "replay/SyntheticRace.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vorlane {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes SmallReplay() {
    return WriteReplay(replaytest::MakeSyntheticRace({300, 4, 10, false}));
}

// The message a file is refused with, or "" when it is read.
std::string Refusal(const Bytes& file, uint32_t rules = kGameRulesId) {
    try {
        ReplayPlayer player(file, rules);
        ReplayFrame frame;
        while (player.Next(frame)) {
        }
        return "";
    } catch (const ReplayError& e) {
        return e.what();
    }
}

// The body of a good file, changed, under a header with a right checksum: what the
// structure checks behind the checksum see.
Bytes Resealed(const Bytes& file, const std::function<void(Bytes&)>& change) {
    Bytes body(file.begin() + kReplayHeaderSize, file.end());
    change(body);
    return SealReplay(kGameRulesId, body);
}

// A replay with no frames. Its body: start section (7 bytes), end token, no trailing
// events (a count of 0), outcome (4 bytes, the frame count last).
Bytes EmptyRace() {
    return WriteReplay(Replay{});
}

struct RefusalCase {
    const char* name;
    std::function<Bytes()> make;
    std::string message;
    uint32_t rules = kGameRulesId;
};

TEST(ReplayRefusal, EachKindOfBadFileIsRefusedWithItsOwnMessage) {
    const Bytes good = SmallReplay();
    ASSERT_EQ(Refusal(good), "");
    const std::vector<RefusalCase> cases = {
        {"empty file", [] { return Bytes{}; }, "replay: not a replay file (it does not begin with VRPL)"},
        {"bad magic",
         [&] {
             Bytes f = good;
             f[1] = 'X';
             return f;
         },
         "replay: not a replay file (it does not begin with VRPL)"},
        {"a text file",
         [] {
             const std::string t = "hello, this is no replay";
             return Bytes(t.begin(), t.end());
         },
         "replay: not a replay file (it does not begin with VRPL)"},
        {"other format version",
         [&] {
             Bytes f = good;
             f[4] = 3;
             return f;
         },
         "replay: format version 3 is not one this game reads (it reads versions 1 and 2)"},
        {"other rules", [&] { return good; },
         "replay: recorded under game rules 1, this game plays rules 2, so it cannot be replayed", 2},
        {"truncated inside the header", [&] { return Bytes(good.begin(), good.begin() + 10); },
         "replay: truncated: 10 bytes, shorter than the 18-byte header"},
        {"truncated inside the body", [&] { return Bytes(good.begin(), good.end() - 7); },
         "replay: truncated: the body should be " + std::to_string(good.size() - 18) + " bytes, " +
             std::to_string(good.size() - 25) + " are present"},
        {"trailing junk",
         [&] {
             Bytes f = good;
             f.push_back(0);
             f.push_back(0x42);
             return f;
         },
         "replay: 2 bytes of trailing junk after the " + std::to_string(good.size() - 18) + "-byte body"},
        {"flipped byte in the frames",
         [&] {
             Bytes f = good;
             f[good.size() / 2] ^= 0x01;
             return f;
         },
         "replay: checksum mismatch"},
        {"flipped checksum",
         [&] {
             Bytes f = good;
             f[15] ^= 0x80;
             return f;
         },
         "replay: checksum mismatch"},
        // Behind a right checksum (a writer's fault, or a forged file):
        {"unknown frame token",
         [&] { return Resealed(EmptyRace(), [](Bytes& b) { b[b.size() - 6] = 0x9A; }); },
         "replay: unknown frame token 154 at frame 1"},
        {"car out of range", [] { return Resealed(EmptyRace(), [](Bytes& b) { b[1] = 7; }); },
         "replay: the car 7 is outside 1..6"},
        {"outcome counting other frames",
         [&] { return Resealed(EmptyRace(), [](Bytes& b) { b.back() = 3; }); },
         "replay: the outcome counts 3 frames, the body holds 0"},
        {"bytes after the outcome", [&] { return Resealed(good, [](Bytes& b) { b.push_back(0); }); },
         "replay: 1 bytes follow the outcome inside the body"},
        {"bytes after the name entry",
         [&] {
             const Bytes named = AddNameEntry(good, {"ANN", "Peru"});
             Bytes body(named.begin() + kReplayHeaderSize, named.end());
             body.push_back(0);
             return SealReplay(kGameRulesId, body, kReplayNamedVersion);
         },
         "replay: 1 bytes follow the name entry inside the body"},
        {"body ends inside the name entry",
         [&] {
             const Bytes named = AddNameEntry(good, {"ANN", "Peru"});
             Bytes body(named.begin() + kReplayHeaderSize, named.end() - 3);
             return SealReplay(kGameRulesId, body, kReplayNamedVersion);
         },
         "replay: the body ends inside the country sent with the name"},
        {"body ends inside the frames",
         [&] { return Resealed(good, [](Bytes& b) { b.resize(b.size() / 2); }); },
         ""}, // the message names the field it ended in; checked below
        {"event count beyond the body",
         [&] { return Resealed(EmptyRace(), [](Bytes& b) { b[b.size() - 5] = 0x7F; }); },
         "replay: an event count of 127 runs past the body"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string message = Refusal(c.make(), c.rules);
        if (c.message.empty())
            EXPECT_EQ(message.rfind("replay: the body ends inside ", 0), 0u) << message;
        else
            EXPECT_EQ(message, c.message);
        EXPECT_EQ(message.find('\n'), std::string::npos);
    }
}

TEST(ReplayRefusal, EveryChangedByteIsRefusedNeverPlayed) {
    const Bytes good = SmallReplay();
    for (size_t at = 0; at < good.size(); ++at) {
        for (uint8_t flip : {uint8_t(0x01), uint8_t(0x80), uint8_t(0xFF)}) {
            Bytes bad = good;
            bad[at] ^= flip;
            const std::string message = Refusal(bad);
            ASSERT_FALSE(message.empty()) << "byte " << at << " ^ " << int(flip) << " went unnoticed";
            // Past the magic, the version and the length, the checksum is what notices.
            if (at >= 14 || (at >= 6 && at < 10)) {
                EXPECT_EQ(message, "replay: checksum mismatch") << "byte " << at;
            }
        }
    }
}

TEST(ReplayRefusal, EveryCutIsRefused) {
    const Bytes good = SmallReplay();
    for (size_t size = 0; size < good.size(); ++size)
        ASSERT_FALSE(Refusal(Bytes(good.begin(), good.begin() + long(size))).empty()) << size << " bytes";
}

} // namespace
} // namespace vorlane
