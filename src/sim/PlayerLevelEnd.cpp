// The end of a level: the car rolls out, the time left turns into points, and the next
// level starts (or, when the time ran out, a life goes and the level is tried again).
#include "sim/Player.h"

#include "sim/Bonus.h"
#include "sim/Car.h"
#include "sim/Finish.h"
#include "sim/Man.h"
#include "sim/RaceSim.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"

#include <cmath>

namespace vorlane {

void TPlayer::LevelEndStep() {
    FollowScroll();
    if (!LevelEndDone) {
        LevelEndDone = true;
        SetCrashState(0);
        StopCarSounds(true);
        SetEngineSound("Neutral");
        EndShotFlash();
    }
    // Roll out first.
    if (Speed > 0) {
        Speed -= 0.8 * SpeedScale();
        // 0.8 has no exact binary form: a speed that is a whole number of steps
        // (40, 80, 120...) would keep a crumb of 1e-13 after its last step, take one
        // step more and stand at -0.8. A crumb that small is the stop itself.
        if (std::abs(Speed) < 1e-9) Speed = 0;
        ScrollSpeed = Speed / 10;
        return;
    }
    ScrollSpeed = 0;
    StopCarSounds(true);

    TRace& race = Race();
    const int step = 10 * FrameMs(); // the clock runs down ten times faster
    if (race.TimeLeft >= 0) {
        // Five points for every whole second the clock passes.
        if (std::trunc((race.TimeLeft - step) / 1000.0) < std::trunc(race.TimeLeft / 1000.0)) {
            AddScore(5);
            World.PlayEffect("Tick");
        }
        race.TimeLeft -= step;
    }
    if (race.TimeLeft < 0) {
        if (!TimeOut || FinishPassed()) {
            RestartLevel(true);
        } else {
            // The time ran out before the finish.
            if (race.Lives > 0) {
                race.Lives -= 1;
                Energy = 3;
            }
            if (race.Lives <= 0) {
                Visible = false;
                World.ReportRace(RaceEvent::GameOver);
            } else {
                World.ReportRace(RaceEvent::TimeOver); // the level again when its dialog closes
            }
        }
    }
}

void TPlayer::RestartLevel(bool advance) {
    TRace& race = Race();
    StartLevel(World, advance ? race.Level + 1 : race.Level);
    TimeOut = false;
    LevelEndDone = false;
    DropAll();
    SteerPos = 0;
    Heading = 0;
    SetBackgroundPos(0, 0);
    if (race.Finish) race.Finish->Passed = 0;
    if (race.Bonuses) race.Bonuses->LayBonuses();
    if (race.Men) race.Men->LayPedestrians();
    if (race.Cars) race.Cars->LayCars();
    if (race.Finish) race.Finish->LayFinish();
    World.ReportRace(RaceEvent::LevelReady);
    Respawn();
    SetEngineSound("Neutral");
}

void RestartLevel(TRaceWorld& world) {
    if (world.Race && world.Race->Player) world.Race->Player->RestartLevel(false);
}

} // namespace vorlane
