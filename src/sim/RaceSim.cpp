// The race flow as the simulation runs it: laying a race out, one race frame, and
// taking the race down.
#include "sim/RaceSim.h"

#include "engine/PortableMath.h"
#include "sim/Bonus.h"
#include "sim/Car.h"
#include "sim/Finish.h"
#include "sim/HudGauges.h"
#include "sim/Lamp.h"
#include "sim/LevelTable.h"
#include "sim/Man.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"
#include "sim/TrackGenerator.h"

namespace vorlane {

void StartLevel(TRaceWorld& world, int n) {
    TRace& race = *world.Race;
    const LevelParams p = LevelParameters(n);
    race.Level = n;
    race.TrackLength = p.TrackLength;
    race.TimeLeft = p.TimeLimitMs;
    race.BonusCount = p.BonusCount;
    race.CarCount = p.CarCount;
    BuildTrack(race.Map, world.Random, race.TrackLength);
    race.MapCol = kStartMapCol;
    race.MapRow = kStartMapRow;
    RefreshChips(race);
}

void LayRace(TRaceWorld& world, int car) {
    world.Race = std::make_shared<TRace>();
    TRace& race = *world.Race;

    TSprite* engine = &world.SpriteEngine;
    race.Background = engine->Add<TScrollBackground>(world, 2, "Tiles", kViewCols, kViewRows);
    race.Background->X = 0;
    race.Background->Y = 0;

    StartLevel(world, 1);

    // Each lays its objects for the new track as it is made.
    race.Lamps = engine->Add<TLamp>(world);
    race.Men = engine->Add<TMan>(world);
    race.Bonuses = engine->Add<TBonus>(world);
    race.Cars = engine->Add<TCar>(world);
    race.Finish = engine->Add<TFinish>(world);

    const TSpriteHost& host = world.SpriteHost;
    race.Panel = engine->Add<TGameSprite>(host, 2, "Panel", 610, 0, 11);
    race.Needle = engine->Add<TPointer>(host, 2, "Pointer", 1.04, 0.5, 641, 509);
    race.Needle->Angle = -28;
    race.ProgressMarker = engine->Add<TGameSprite>(host, 2, "SmallCar", 773, 177, 12);
    race.EnergyGauge = engine->Add<TGameSprite>(host, 2, "Energy", 672, 558, 12);
    race.NitroIndicator = engine->Add<TGameSprite>(host, 2, "BonusNitro", 628, 363, 12);
    race.NitroIndicator->Visible = false;
    race.WeaponIndicator = engine->Add<TGameSprite>(host, 2, "BonusM", 627, 251, 12);
    race.WeaponIndicator->Visible = false;

    race.Player = engine->Add<TPlayer>(world, car, kPlayerX, kPlayerY);
    CreateRockets(world);
}

void BeginRace(TRaceWorld& world) {
    TRace& race = *world.Race;
    race.Lives = 3;
    race.Score = 0;
    world.ReportRace(RaceEvent::LevelReady);
}

void UpdateHudSprites(TRace& race) {
    const TPlayer* player = race.Player;
    if (!player) return;
    if (race.EnergyGauge) race.EnergyGauge->FramePos = EnergyGaugePattern(player->Energy);
    if (race.NitroIndicator) race.NitroIndicator->Visible = player->HasNitro;
    if (race.WeaponIndicator) {
        if (player->WeaponKind == CarItem::MachineGun)
            race.WeaponIndicator->SetImageByName("BonusM");
        else if (player->WeaponKind == CarItem::RocketLauncher)
            race.WeaponIndicator->SetImageByName("BonusR");
        race.WeaponIndicator->Visible = player->WeaponKind != CarItem::None;
    }
}

void TakeDownRace(TRaceWorld& world) {
    if (!world.Race) return;
    TRace& race = *world.Race;
    if (race.Background) race.Background->KillOnce();
    StopCarSounds(world, true);
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
    KillRockets(world);
    world.SpriteEngine.SweepDead();
    world.Race.reset();
}

bool RaceStep(TRaceWorld& world, const TRaceActions& actions, int lagCount) {
    if (!world.Race) return false;
    TRace& race = *world.Race;

    // Every race sprite moves: the car drives, the track scrolls and tests the car
    // against its walls, the others move and test themselves against the car.
    world.SpriteEngine.MoveAll(lagCount);
    TPlayer* player = race.Player;
    if (!player) return false;

    // The controls for the car's next move.
    player->KeyLeft = actions.Left;
    player->KeyRight = actions.Right;
    player->KeyUp = actions.Accelerate;
    player->KeyDown = actions.Brake;
    player->KeyHandbrake = actions.Handbrake;
    player->KeyFire = actions.Fire;
    player->KeyNitro = actions.Nitro;
    player->KeyHorn = actions.Horn;

    // The speedometer.
    if (race.Needle)
        race.Needle->Angle = NeedleAngle(player->Speed, player->EngineState == EngineSound::Shift);

    // The clock: a tick at each whole second of the last ten; the time stops once
    // it is out or the finish line is passed, and never goes below 0. The tick sounds
    // only while the clock runs: a clock stopped just past a whole second would
    // otherwise tick on every frame of the roll-out (the level end counts the time
    // into the score with ticks of its own).
    const int frameMs = world.Stats().FrameMs;
    const bool finishPassed = race.Finish && race.Finish->Passed != 0;
    const bool clockRuns = !player->TimeOut && !finishPassed;
    if (clockRuns && race.TimeLeft <= 10000 && (race.TimeLeft + frameMs) / 1000 > race.TimeLeft / 1000)
        world.PlayEffect("Tick");
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

    // The panel, and the rockets that exploded or left the play area go back to the pool.
    UpdateHudSprites(race);
    RocketHousekeeping(world);

    // Esc asks whether to leave the race; P pauses. A dialog already open (the one
    // Esc just opened, or a banner) keeps the other from opening.
    if (actions.Leave) world.ReportRace(RaceEvent::LeaveAsked);
    if (actions.Pause) world.ReportRace(RaceEvent::PauseAsked);
    return true;
}

} // namespace vorlane
