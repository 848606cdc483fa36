#pragma once
// Playing a recorded race back in a game: TReplayRun drives a form (the window, or a
// headless one) frame by frame from a replay, and VerifyReplay plays a replay in a
// headless game of its own to its end and says whether it ends as recorded.
#include "app/RaceRecording.h"
#include "engine/Clock.h"
#include "platform/Events.h"
#include "replay/ReplayData.h"
#include "replay/ReplayPlayer.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vorlane {

class TMForm;

enum class ReplayVerdictKind {
    Ok,       // the race played back ends with the recorded result after the recorded frames
    Diverged, // it ended earlier, later or with another score, level or lives
    Refused,  // the file is not a replay this game can play (or the game data is missing)
};

struct ReplayVerdict {
    ReplayVerdictKind Kind = ReplayVerdictKind::Refused;
    std::string Message; // one line: what diverged or why the file is refused; "" when Ok
    // What the played-back race showed at its end (Refused: all 0).
    int32_t Score = 0;
    int32_t Level = 0;
    int32_t Lives = 0;
    uint32_t Frames = 0; // frames played
    uint32_t Seed = 0;   // the replay's random seed at the start of the race
};

// Plays a replay back in a form: the form is put where the race began (the car
// selection's start, with the recorded seed, car, keys, mouse, name and sound
// switches), then each Next() gives one recorded frame its events, its held keys and
// its time step and runs it.
class TReplayRun {
  public:
    // Sets a key of the keyboard the form polls (a Windows virtual-key code).
    using KeySetter = std::function<void(int key, bool down)>;

    // Throws ReplayError (file refused). The form must be freshly built (main menu).
    TReplayRun(TMForm& form, KeySetter setKey, std::vector<uint8_t> file);

    const ReplayPlayer& Player() const { return player_; }
    // Plays the next frame; false once every frame was played (the events after the
    // last frame are then handed over too) or the race ended before its recorded end.
    bool Next();
    // The move count of the frame Next() plays next (0 when none is left): a watcher
    // waits that long before it.
    int NextLag() const { return hasNext_ ? next_.Step.LagCount : 0; }
    uint32_t FramesPlayed() const { return played_; }
    // Whether the race played back so far matches the recording: after Next() answered
    // false, Ok or Diverged with the first difference.
    ReplayVerdict Verdict() const;

  private:
    void SetHeld(uint64_t held);

    TMForm& form_;
    KeySetter setKey_;
    ReplayPlayer player_;
    TRaceEndWatch watch_;
    ReplayFrame next_;
    bool hasNext_ = false;
    uint32_t played_ = 0;
    uint32_t endedAtFrame_ = 0; // frame on which the race was over, 0 while it is on
    bool done_ = false;
};

// What the watcher of a replay (in the window, or from the high-score screen) makes of
// a window event: Esc and closing the window leave, P pauses and goes on, Alt+Enter
// switches the window mode. Held keys repeating do nothing.
enum class ReplayWatchCommand { None, Leave, Pause, SwitchMode };
ReplayWatchCommand WatchCommandOf(const InputEvent& event);

// The keyboard a replay holds down, for a game built to play one; the window always
// has the focus.
class TReplayKeyboard final : public IKeySource {
  public:
    bool IsForeground() override { return true; }
    void Snapshot(uint8_t keys[256]) override;
    void SetDown(int key, bool down);
    TReplayRun::KeySetter Setter() {
        return [this](int key, bool down) { SetDown(key, down); };
    }

  private:
    uint8_t held_[256] = {};
};

// Re-simulates a replay as fast as it runs: builds a blind game (no window, no drawing,
// no sound; texts are still measured) with the data of dataDir (the folder that holds
// Data/), plays the replay to its end and compares the result with the recorded one.
// Never throws.
//
// Process-wide state: the fonts and the game's start-up go through SDL's libraries,
// which must not be used by two threads at once, so calls are serialised by a lock
// inside: several threads may call it, one replay plays at a time. The caller's own SDL
// use, if any, is not covered by that lock. For real parallelism run the replays in
// separate processes (vorlane-play --replay, or the score server's workers).
ReplayVerdict VerifyReplay(const std::vector<uint8_t>& bytes, const std::filesystem::path& dataDir);

} // namespace vorlane
