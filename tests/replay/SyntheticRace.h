#pragma once
// Races made up for the replay tests and the fuzzer's seeds: a frame timer at 85 Hz
// with the jitter and the odd stall of a real one, the frame statistics switching when
// the measured rate wanders, and a player steering, braking, firing and pausing the way
// a person does.
#include "replay/ReplayData.h"

#include <cstdint>
#include <string>

namespace vorlane::replaytest {

// A small generator of our own, so that the races are the same everywhere.
class Dice {
  public:
    explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Below(int n) { return int(Next() % uint32_t(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

  private:
    uint32_t state_;
};

struct SyntheticRaceSettings {
    int Frames = 85 * 60;
    uint32_t Seed = 7;
    // Average frames between two key changes (a person changes a key 2 to 5 times a second).
    int FramesPerKeyChange = 25;
    // Move counts anywhere in 5..20 ms instead of a steady 85 Hz with a little jitter.
    bool ErraticTimer = false;
};

inline Replay MakeSyntheticRace(const SyntheticRaceSettings& settings) {
    Dice dice(settings.Seed);
    Replay replay;
    replay.Start.Seed = settings.Seed * 977u;
    replay.Start.Car = 1 + int(settings.Seed % 6);
    replay.Start.Options = uint32_t(ReplayOption::SoundOn) | uint32_t(ReplayOption::MusicOn);
    replay.Start.InitialHeld = StateBit(isButton11); // Enter, still down from starting
    replay.Start.MouseX = 400;
    replay.Start.MouseY = 300;
    replay.Start.PlayerName = "Driver";

    // The keys a driver uses: the arrows, Space, Z, X and H.
    const int keys[] = {isUp,    isUp,   isUp,       isLeft,     isRight,    isLeft,
                        isRight, isDown, isButton10, isButton12, isButton13, isButton5};
    uint64_t held = StateBit(isUp);
    int clock = 0; // milliseconds, as the frame timer reads them
    int lastTick = 0;
    FrameStep step{12, 11, 1.0};
    for (int f = 0; f < settings.Frames; ++f) {
        ReplayFrame frame;
        // The timer: ticks at 85 Hz (vsync), now and then a millisecond late or early,
        // and once a minute a stall (a level being built, the disk).
        int next = int((int64_t(f) + 1) * 1000 / 85);
        if (settings.ErraticTimer)
            next = lastTick + 5 + dice.Below(16);
        else if (dice.Chance(15))
            next += dice.Below(3) - 1;
        if (f % (85 * 60) == 85 * 30) next += 250;
        clock = next > lastTick ? next : lastTick + 1;
        step.LagCount = clock - lastTick;
        lastTick = clock;
        // The measured rate wanders between 85 and 83 now and then: FrameMs and
        // SpeedScale follow.
        if (f % 700 == 350)
            step = {step.LagCount, step.FrameMs == 11 ? 12 : 11, step.FrameMs == 11 ? 85.0 / 83.0 : 1.0};
        frame.Step = step;

        // Keys: one change every FramesPerKeyChange frames on average; Enter goes up first.
        if (f == 3) held &= ~StateBit(isButton11);
        if (dice.Below(settings.FramesPerKeyChange) == 0) held ^= StateBit(keys[dice.Below(12)]);
        // Shift for nitro now and then, through its key events and the held bit.
        if (f % 2000 == 1000) {
            frame.Events.push_back(ReplayEvent::KeyDown(16));
            held |= uint64_t(1) << kHeldShiftBit;
        }
        if (f % 2000 == 1100) {
            frame.Events.push_back(ReplayEvent::KeyUp(16));
            held &= ~(uint64_t(1) << kHeldShiftBit);
        }
        // A pause every two minutes: P, the mouse over the dialog, a click.
        if (f % (85 * 120) == 85 * 100) held |= StateBit(isButton6);
        if (f % (85 * 120) == 85 * 100 + 6) held &= ~StateBit(isButton6);
        if (f % (85 * 120) == 85 * 100 + 200) {
            frame.Events.push_back(ReplayEvent::MouseMove(300, 320));
            frame.Events.push_back(ReplayEvent::MouseMove(310, 330));
            frame.Events.push_back(ReplayEvent::Of(ReplayEventKind::Click));
        }
        frame.Held = held;
        replay.Frames.push_back(frame);
    }
    // The name entry after the game: typed, then Enter.
    for (char c : std::string("Driver"))
        replay.TrailingEvents.push_back(ReplayEvent::Char(uint8_t(c)));
    replay.TrailingEvents.push_back(ReplayEvent::Char(13));
    replay.Outcome.Result = {12345, 4, 0};
    replay.Outcome.Frames = uint32_t(replay.Frames.size());
    return replay;
}

} // namespace vorlane::replaytest
