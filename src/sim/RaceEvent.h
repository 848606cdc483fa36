#pragma once
// What the race tells the shell during a race frame; the shell decides what follows
// (which dialog opens).

namespace vorlane {

enum class RaceEvent {
    LevelReady, // a level was laid out and waits for its start
    TimeOver,   // the time ran out with lives left: the level again
    GameOver,   // no lives left (time over or the car wrecked)
    LeaveAsked, // Esc: the player wants to leave the race
    PauseAsked, // the pause key
};

} // namespace vorlane
