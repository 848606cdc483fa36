#pragma once
// Watching the race of a high-score entry from the high-score screen, inside the
// running game. The race is played back in the same form: what a race changes there
// (options, player name, car, table, keys, random state, music, the screen) is put
// aside first and given back when the playback ends, and the form reads the replay's
// keys instead of the player's while it lasts. The window's events do not reach the
// race: Esc leaves, P pauses and goes on, Alt+Enter switches the screen mode, a close
// request leaves and then asks as usual. Nothing is recorded and nothing is written.
#include "app/ReplayPace.h"
#include "app/ReplayRun.h"
#include "core/KeyState.h"
#include "engine/Input.h"
#include "persist/GameOptions.h"
#include "persist/HighScores.h"
#include "platform/Events.h"
#include "sim/FrameStats.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vorlane {

class TMForm;

class TEntryReplayWatch {
  public:
    explicit TEntryReplayWatch(TMForm& form);
    ~TEntryReplayWatch();
    TEntryReplayWatch(const TEntryReplayWatch&) = delete;
    TEntryReplayWatch& operator=(const TEntryReplayWatch&) = delete;

    bool Active() const { return run_ != nullptr; }
    bool Paused() const { return paused_; }
    // True while the replay hands the game its own recorded events.
    bool Feeding() const { return feeding_; }

    // From the high-score screen: plays the race of the entry at rank (1..10). When it
    // has none, or the file cannot be played, the screen says so and stays as it is.
    void Begin(int rank);
    // The frame timer's tick, lagCount milliseconds after the previous one: plays the
    // recorded frames that are due, and shows one frame.
    void Tick(int lagCount);
    // A window event while watching.
    void WindowEvent(const InputEvent& event);
    // Ends the playback: the high-score screen as it was.
    void Leave();

  private:
    // What the high-score screen had before the playback.
    struct Kept {
        TGameOptions Options;
        THighScoreTable HighScores;
        std::string PlayerName;
        char DialogKey = 0;
        int SendChoice = 0;
        int SelectedCar = 1;
        TKeyState Keys;
        TFrameStats Stats;
        uint32_t RandomState = 0;
        int SelectedItem = 0;
        int ReplayRank = 0;
        bool Recording = true;
        std::unique_ptr<TInputDevice> Input; // the player's keyboard
    };

    // The screen's notice instead of a playback.
    void Refuse(int rank, const std::string& notice);
    void PutAside();
    void GiveBack();

    TMForm& form_;
    Kept kept_;
    TReplayKeyboard keys_;
    std::unique_ptr<TReplayRun> run_;
    TRaceEndWatch end_;
    TReplayPace pace_; // the recorded frames due on each displayed frame
    bool paused_ = false;
    bool feeding_ = false;
};

} // namespace vorlane
