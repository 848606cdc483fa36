// The race as the shell runs it: the game's side of starting a race, of one race frame
// (the frame's actions read from the keys, the panel's texts drawn) and of ending it.
// The race itself is the simulation's (sim/RaceSim.h).
#include "race/Race.h"

#include "core/Game.h"
#include "engine/Input.h"
#include "sim/RaceSim.h"
#include "sim/RaceState.h"

namespace vorlane {

namespace {

// The frame's actions from the keys the frame polled.
TRaceActions ActionsOf(const TGame& form) {
    const TInputDevice& in = *form.Input;
    TRaceActions a;
    a.Left = in.Held(isLeft);
    a.Right = in.Held(isRight);
    a.Accelerate = in.Held(isUp);
    a.Brake = in.Held(isDown);
    a.Handbrake = in.Held(isButton10);
    a.Fire = in.Held(isButton12) || form.Keys.CtrlHeld;
    a.Nitro = in.Held(isButton13) || form.Keys.ShiftHeld;
    a.Horn = in.Held(isButton5);
    a.Leave = form.Keys.EscPressed;
    a.Pause = form.Keys.PausePressed;
    return a;
}

} // namespace

void StartLevel(TGame& form, int n) {
    StartLevel(form.RaceWorld, n);
}

void StartRace(TGame& form) {
    // A race left behind (it cannot happen through the menus) is taken down first, so
    // its sprites do not linger on the new track.
    if (form.Race) EndRace(form);

    form.Screen.ActiveScreen = ScreenKind::Race;
    form.PlayScreenMusic();
    form.HidePointer();
    // The pointer's last position counts as known from here on, seen or not, so a
    // replay of the race (which starts from the recorded position) picks the same.
    form.Keys.MouseKnown = true;
    form.Screen.FirstItem = 1;
    form.Screen.LastItem = 0;
    form.Screen.SelectedItem = 0;

    LayRace(form.RaceWorld, form.Menu.SelectedCar);
    DrawHud(form);
    BeginRace(form.RaceWorld);
}

void EndRace(TGame& form) {
    form.Screen.ActiveScreen = ScreenKind::None;
    TakeDownRace(form.RaceWorld);
}

void RaceTick(TGame& form, int lagCount) {
    if (RaceStep(form.RaceWorld, ActionsOf(form), lagCount)) DrawHudTexts(form);
}

void StopCarSounds(TGame& form, bool all) {
    StopCarSounds(form.RaceWorld, all);
}

void ResumeCarSounds(TGame& form, bool all) {
    ResumeCarSounds(form.RaceWorld, all);
}

void RestartLevel(TGame& form) {
    RestartLevel(form.RaceWorld);
}

} // namespace vorlane
