// The race flow: building a race, one race frame, and taking the race down.
#include "race/Race.h"

#include "core/Game.h"
#include "engine/Input.h"
#include "engine/PortableMath.h"
#include "race/Bonus.h"
#include "race/Car.h"
#include "race/Finish.h"
#include "race/Hud.h"
#include "race/Lamp.h"
#include "race/LevelTable.h"
#include "race/Man.h"
#include "race/Player.h"
#include "race/RaceState.h"
#include "race/Rocket.h"
#include "race/ScrollBackground.h"
#include "race/TrackGenerator.h"

#include <cmath>

namespace vorlane {

void StartLevel(TGame& form, int n) {
    TRace& race = *form.Race;
    const LevelParams p = LevelParameters(n);
    race.Level = n;
    race.TrackLength = p.TrackLength;
    race.TimeLeft = p.TimeLimitMs;
    race.BonusCount = p.BonusCount;
    race.CarCount = p.CarCount;
    BuildTrack(race.Map, form.Random, race.TrackLength);
    race.MapCol = kStartMapCol;
    race.MapRow = kStartMapRow;
    RefreshChips(race);
}

void StartRace(TGame& form) {
    // A race left behind (it cannot happen through the menus) is taken down first, so
    // its sprites do not linger on the new track.
    if (form.Race) EndRace(form);
    form.Race = std::make_unique<TRace>();
    TRace& race = *form.Race;

    form.Screen.ActiveScreen = ScreenKind::Race;
    form.PlayScreenMusic();
    form.HidePointer();
    // The pointer's last position counts as known from here on, seen or not, so a
    // replay of the race (which starts from the recorded position) picks the same.
    form.Keys.MouseKnown = true;
    form.Screen.FirstItem = 1;
    form.Screen.LastItem = 0;
    form.Screen.SelectedItem = 0;

    TSprite* engine = &form.SpriteEngine;
    race.Background = engine->Add<TScrollBackground>(form, 2, "Tiles", kViewCols, kViewRows);
    race.Background->X = 0;
    race.Background->Y = 0;

    StartLevel(form, 1);

    // Each lays its objects for the new track as it is made.
    race.Lamps = engine->Add<TLamp>(form);
    race.Men = engine->Add<TMan>(form);
    race.Bonuses = engine->Add<TBonus>(form);
    race.Cars = engine->Add<TCar>(form);
    race.Finish = engine->Add<TFinish>(form);

    const TSpriteHost& host = form.SpriteHost;
    race.Panel = engine->Add<TGameSprite>(host, 2, "Panel", 610, 0, 11);
    race.Needle = engine->Add<TPointer>(host, 2, "Pointer", 1.04, 0.5, 641, 509);
    race.Needle->Angle = -28;
    race.ProgressMarker = engine->Add<TGameSprite>(host, 2, "SmallCar", 773, 177, 12);
    race.EnergyGauge = engine->Add<TGameSprite>(host, 2, "Energy", 672, 558, 12);
    race.NitroIndicator = engine->Add<TGameSprite>(host, 2, "BonusNitro", 628, 363, 12);
    race.NitroIndicator->Visible = false;
    race.WeaponIndicator = engine->Add<TGameSprite>(host, 2, "BonusM", 627, 251, 12);
    race.WeaponIndicator->Visible = false;

    race.Player = engine->Add<TPlayer>(form, kPlayerX, kPlayerY);
    CreateRockets(form);

    DrawHud(form);
    race.Lives = 3;
    race.Score = 0;
    form.ReportRace(RaceEvent::LevelReady);
}

void EndRace(TGame& form) {
    form.Screen.ActiveScreen = ScreenKind::None;
    if (!form.Race) return;
    TRace& race = *form.Race;
    if (race.Background) race.Background->KillOnce();
    StopCarSounds(form, true);
    auto kill = [](TGameSprite* s) {
        if (s) s->KillOnce();
    };
    kill(race.Lamps);
    kill(race.Men);
    kill(race.Bonuses);
    kill(race.Cars);
    kill(race.Finish);
    kill(race.Panel);
    kill(race.Needle);
    kill(race.ProgressMarker);
    kill(race.EnergyGauge);
    kill(race.NitroIndicator);
    kill(race.WeaponIndicator);
    if (race.Player) {
        kill(race.Player->NitroFlameL);
        kill(race.Player->NitroFlameR);
        kill(race.Player->WeaponSprite);
        kill(race.Player);
    }
    KillRockets(form);
    form.SpriteEngine.SweepDead();
    form.Race.reset();
}

void RaceTick(TGame& form, int lagCount) {
    if (!form.Race) return;
    TRace& race = *form.Race;

    // Every race sprite moves: the car drives, the track scrolls and tests the car
    // against its walls, the others move and test themselves against the car.
    form.SpriteEngine.MoveAll(lagCount);
    TPlayer* player = race.Player;
    if (!player) return;

    // The controls for the car's next move.
    const TInputDevice& in = *form.Input;
    player->KeyLeft = in.Held(isLeft);
    player->KeyRight = in.Held(isRight);
    player->KeyUp = in.Held(isUp);
    player->KeyDown = in.Held(isDown);
    player->KeyHandbrake = in.Held(isButton10);
    player->KeyFire = in.Held(isButton12) || form.Keys.CtrlHeld;
    player->KeyNitro = in.Held(isButton13) || form.Keys.ShiftHeld;
    player->KeyHorn = in.Held(isButton5);

    // The speedometer.
    if (race.Needle)
        race.Needle->Angle = NeedleAngle(player->Speed, player->EngineState == EngineSound::Shift);

    // The clock: a tick at each whole second of the last ten; the time stops once
    // it is out or the finish line is passed, and never goes below 0. The tick sounds
    // only while the clock runs: a clock stopped just past a whole second would
    // otherwise tick on every frame of the roll-out (the level end counts the time
    // into the score with ticks of its own).
    const int frameMs = form.Stats.FrameMs;
    const bool finishPassed = race.Finish && race.Finish->Passed != 0;
    const bool clockRuns = !player->TimeOut && !finishPassed;
    if (clockRuns && race.TimeLeft <= 10000 && (race.TimeLeft + frameMs) / 1000 > race.TimeLeft / 1000)
        form.PlayEffect("Tick");
    if (clockRuns) TryCountDown(race.TimeLeft, 0, frameMs);
    if (frameMs + 1 >= race.TimeLeft) player->TimeOut = true;

    // A spent weapon or nitro goes.
    if (player->Ammo <= 0) player->DropItem(player->WeaponKind);
    if (player->NitroLeft <= 0) player->DropItem(CarItem::Nitro);

    // The track's window follows the view.
    RefreshChips(race);

    // The progress marker climbs the panel's track bar.
    if (race.ProgressMarker)
        race.ProgressMarker->Y = ProgressMarkerY(race.ProgressMarker->Height, race.TrackLength, race.MapRow);

    // The world's velocity for the next move, from the car's heading and speed.
    race.ScrollVX = -TurnSin(player->Heading) * player->ScrollSpeed;
    race.ScrollVY = TurnCos(player->Heading) * player->ScrollSpeed;

    // The head-up display, and the rockets that exploded or left the play area go back to the pool.
    DrawHud(form);
    RocketHousekeeping(form);

    // Esc asks whether to leave the race; P pauses. A dialog already open (the one
    // Esc just opened, or a banner) keeps the other from opening.
    if (form.Keys.EscPressed) form.ReportRace(RaceEvent::LeaveAsked);
    if (form.Keys.PausePressed) form.ReportRace(RaceEvent::PauseAsked);
}

} // namespace vorlane
