#pragma once
// The race's entry points as the shell and the dialogs reach them: the game's side of
// the race simulation (sim/RaceSim.h), which they run with the game's race world.
namespace vorlane {

class TGame;

// From the car selection: builds the race and opens the level banner.
void StartRace(TGame& form);
// Level n's numbers (length, time, bonus and car counts) and a new track for it, the
// view at the track's start. The sprites are left alone: the caller lays them again.
void StartLevel(TGame& form, int n);
// Kills every race sprite and forgets the race (form.Race becomes empty).
void EndRace(TGame& form);
// One race frame; the frame calls it while the race is the screen and no dialog is open.
void RaceTick(TGame& form, int lagCount);
// The head-up display's texts and panel sprites (also drawn under a dialog).
void DrawHud(TGame& form);
// The head-up display's texts alone.
void DrawHudTexts(TGame& form);
// Engine sounds off (all: every car sound), and back on after a dialog.
void StopCarSounds(TGame& form, bool all);
void ResumeCarSounds(TGame& form, bool all);
// After the time-over dialog (lives left): the same level again on a new track.
void RestartLevel(TGame& form);

} // namespace vorlane
