#pragma once
// The race as a simulation: a race laid out, one race frame stepped from the frame's
// actions and time, and the race taken down. Everything here changes only the race's
// state and its sprites; what happened (effects, a level laid out, the time over, game
// over, a question or a pause asked for) goes to the world's host as it happens.
#include "sim/RaceWorld.h"

namespace vorlane {

// What the player does in one race frame: the controls held, and the two asks made by
// a key that went down in this frame.
struct TRaceActions {
    bool Left = false;
    bool Right = false;
    bool Accelerate = false;
    bool Brake = false;
    bool Handbrake = false;
    bool Fire = false;
    bool Nitro = false;
    bool Horn = false;
    bool Leave = false; // asks whether to leave the race
    bool Pause = false;
};

// Level n's numbers (length, time, bonus and car counts) and a new track for it, the
// view at the track's start. The sprites are left alone: the caller lays them again.
void StartLevel(TRaceWorld& world, int n);

// A new race of car `car` (1..6) on level 1: world.Race is made and its sprites laid
// (the track, its objects, the panel and its gauges, the car, the rocket pool). The
// caller then sets the panel (UpdateHudSprites) and calls BeginRace.
void LayRace(TRaceWorld& world, int car);
// Three lives, no score, and the level's start told to the host.
void BeginRace(TRaceWorld& world);

// One race frame of lagCount milliseconds (the frame's time step is the world's frame
// statistics): every race sprite moves with the controls of the previous frame, then
// `actions` become the car's controls for the next one, the clock runs, the view and
// the panel follow. Answers whether the race has its car (the panel is to be drawn).
bool RaceStep(TRaceWorld& world, const TRaceActions& actions, int lagCount);

// The panel's gauges and indicators (the energy gauge, the nitro and weapon pictures)
// follow the car.
void UpdateHudSprites(TRace& race);

// Kills every race sprite, frees them, and forgets the race (world.Race becomes empty).
void TakeDownRace(TRaceWorld& world);

// Engine sounds off (all: every car sound), and back on after a dialog. Stopped by
// name: no race is needed.
void StopCarSounds(TRaceWorld& world, bool all);
void ResumeCarSounds(TRaceWorld& world, bool all);
// After the time-over dialog (lives left): the same level again on a new track.
void RestartLevel(TRaceWorld& world);

} // namespace vorlane
