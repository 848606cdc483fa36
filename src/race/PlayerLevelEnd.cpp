// The end of a level: the car rolls out, the time left turns into points, and the next
// level starts (or, when the time ran out, a life goes and the level is tried again).
#include "race/Player.h"

#include "core/Game.h"
#include "race/Bonus.h"
#include "race/Car.h"
#include "race/Finish.h"
#include "race/Man.h"
#include "race/Race.h"
#include "race/RaceState.h"

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
            Form.PlayEffect("Tick");
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
                Form.ReportRace(RaceEvent::GameOver);
            } else {
                Form.ReportRace(RaceEvent::TimeOver); // the level again when its dialog closes
            }
        }
    }
}

void TPlayer::RestartLevel(bool advance) {
    TRace& race = Race();
    StartLevel(Form, advance ? race.Level + 1 : race.Level);
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
    Form.ReportRace(RaceEvent::LevelReady);
    Respawn();
    SetEngineSound("Neutral");
}

void RestartLevel(TGame& form) {
    if (form.Race && form.Race->Player) form.Race->Player->RestartLevel(false);
}

} // namespace vorlane
