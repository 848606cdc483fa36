#pragma once
// What a replay holds: how the race began, what every frame of it was given, and
// how it ended. A race is deterministic given these, so feeding them back to the
// game plays the same race again.
#include "engine/Input.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlane {

// The version of the game's rules: bump it whenever a change makes the same inputs
// play out differently (driving, timers, traffic, the track generator, the random
// generator, scoring). A replay recorded under other rules is refused, since it would
// only drift away from what was played.
inline constexpr uint32_t kGameRulesId = 1;

// The cars of the car selection are numbered 1 to 6.
inline constexpr int kReplayCarCount = 6;

// Bits of a held-key snapshot: bits 0 to 35 are the input component's states (up,
// down, left, right, buttons 1 to 32, as in TInputStates); then the two modifier
// keys that the window's key events hold.
inline constexpr int kHeldShiftBit = InputStateCount;
inline constexpr int kHeldCtrlBit = InputStateCount + 1;
inline constexpr uint64_t kHeldAllBits = (uint64_t(1) << (InputStateCount + 2)) - 1;

constexpr uint64_t HeldSnapshot(TInputStates states, bool shiftHeld, bool ctrlHeld) {
    return (states & AllInputStates) | (shiftHeld ? uint64_t(1) << kHeldShiftBit : 0) |
           (ctrlHeld ? uint64_t(1) << kHeldCtrlBit : 0);
}
constexpr TInputStates HeldStates(uint64_t held) {
    return held & AllInputStates;
}
constexpr bool HeldShift(uint64_t held) {
    return (held >> kHeldShiftBit) & 1u;
}
constexpr bool HeldCtrl(uint64_t held) {
    return (held >> kHeldCtrlBit) & 1u;
}

// Settings that were in force at the start (the effects heard are part of what a
// replay reproduces, so the sound switch is kept).
enum class ReplayOption : uint32_t {
    SoundOn = 1u << 0,
    MusicOn = 1u << 1,
};
inline constexpr uint32_t kReplayOptionBits = 0x3;

// The state of the game at StartRace that the race reads.
struct ReplayStart {
    uint32_t Seed = 0;        // the random generator's state when the race started
    int Car = 1;              // 1..6
    uint32_t Options = 0;     // ReplayOption bits
    uint64_t InitialHeld = 0; // held-key snapshot of the last poll before the race
    int MouseX = 0;           // pointer position at the start
    int MouseY = 0;
    std::string PlayerName; // the name entry's text, kept between games (bytes)

    bool operator==(const ReplayStart&) const = default;
};

// What the frame timer gave the frame and the frame statistics in force during it.
struct FrameStep {
    int32_t LagCount = 1;    // the move count: milliseconds since the previous tick, >= 1
    int32_t FrameMs = 15;    // milliseconds the frame stands for
    double SpeedScale = 1.0; // 85 / the frame rate in use

    bool operator==(const FrameStep&) const = default;
};

// A window event handled between two frames, in the order it came.
enum class ReplayEventKind : uint8_t {
    KeyDown = 0,   // Key, Alt (only keys whose events do something: Shift, Ctrl, Alt+Enter)
    KeyUp = 1,     // Key
    Char = 2,      // Ch: a typed character (Enter, Backspace, letters, ...)
    MouseMove = 3, // X, Y
    Click = 4,
    DoubleClick = 5,
    CloseRequest = 6,
    PadLost = 7, // the game pad in use was unplugged (a race pauses)
};
inline constexpr int kReplayEventKindCount = 8;

struct ReplayEvent {
    ReplayEventKind Kind = ReplayEventKind::Click;
    int32_t Key = 0;
    bool Alt = false;
    uint8_t Ch = 0;
    int32_t X = 0;
    int32_t Y = 0;

    bool operator==(const ReplayEvent&) const = default;

    static ReplayEvent KeyDown(int32_t key, bool alt = false) {
        return {ReplayEventKind::KeyDown, key, alt, 0, 0, 0};
    }
    static ReplayEvent KeyUp(int32_t key) { return {ReplayEventKind::KeyUp, key, false, 0, 0, 0}; }
    static ReplayEvent Char(uint8_t ch) { return {ReplayEventKind::Char, 0, false, ch, 0, 0}; }
    static ReplayEvent MouseMove(int32_t x, int32_t y) {
        return {ReplayEventKind::MouseMove, 0, false, 0, x, y};
    }
    static ReplayEvent Of(ReplayEventKind kind) { return {kind, 0, false, 0, 0, 0}; }
};

// One frame: the events handled since the previous frame (to be handed to the game
// before the frame runs), the held keys of the frame's poll and its time step.
struct ReplayFrame {
    std::vector<ReplayEvent> Events;
    uint64_t Held = 0;
    FrameStep Step;

    bool operator==(const ReplayFrame&) const = default;
};

// How the race ended, as the game saw it.
struct RaceResult {
    int32_t Score = 0;
    int32_t Level = 1;
    int32_t Lives = 0;

    bool operator==(const RaceResult&) const = default;
};

struct ReplayOutcome {
    RaceResult Result;
    uint32_t Frames = 0; // frames recorded from StartRace to the end

    bool operator==(const ReplayOutcome&) const = default;
};

// What the race's own name entry took once the race was over: the name typed there and
// the country the game sends with it (the options' country, empty when none is given),
// bytes as typed. A race left without a name entry has none.
struct ReplayNameEntry {
    std::string Name;
    std::string Country;

    bool operator==(const ReplayNameEntry&) const = default;
};

// A whole replay in memory (tests and tools; the game streams frames instead).
struct Replay {
    uint32_t RulesId = kGameRulesId;
    ReplayStart Start;
    std::vector<ReplayFrame> Frames;
    // Events handled after the last frame (a click that ended the race between frames).
    std::vector<ReplayEvent> TrailingEvents;
    ReplayOutcome Outcome;
    std::optional<ReplayNameEntry> NameEntry;

    bool operator==(const Replay&) const = default;
};

// Every refusal of a replay file, with a one-line message naming what is wrong
// ("replay: checksum mismatch").
class ReplayError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace vorlane
