// The race flow: building a race, one race frame, and taking the race down.
#include "race/Race.h"

#include "app/TMForm.h"
#include "menus/Dialogs.h"
#include "race/Bonus.h"
#include "race/Finish.h"
#include "race/Hud.h"
#include "race/Lamp.h"
#include "race/LevelTable.h"
#include "race/Man.h"
#include "race/RaceState.h"
#include "race/ScrollBackground.h"
#include "race/TrackGenerator.h"

#include <cmath>
#include <numbers>

namespace vorlane {

void StartLevel(TMForm& form, int n)
{
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

void StartRace(TMForm& form)
{
    form.Race = std::make_unique<TRace>();
    TRace& race = *form.Race;

    form.Screen.ActiveScreen = 6;
    form.PlayScreenMusic();
    form.HidePointer();
    form.Screen.FirstItem = 1;
    form.Screen.LastItem = 0;
    form.Screen.SelectedItem = 0;

    TSprite* engine = &form.MSpriteEngine;
    race.Background = engine->Add<TScrollBackground>(form, 2, "Tiles", kViewCols, kViewRows);
    race.Background->X = 0;
    race.Background->Y = 0;

    StartLevel(form, 1);

    // Each lays its objects for the new track as it is made.
    race.Lamps = engine->Add<TLamp>(form);
    race.Men = engine->Add<TMan>(form);
    race.Bonuses = engine->Add<TBonus>(form);
    // The opponent cars join here, between the bonuses and the finish line.
    race.Finish = engine->Add<TFinish>(form);

    const TSpriteHost& host = form.SpriteHost;
    race.Panel = engine->Add<TMyImageSprite>(host, 2, "Panel", 610, 0, 11);
    race.Needle = engine->Add<TPointer>(host, 2, "Pointer", 1.04, 0.5, 641, 509);
    race.Needle->Angle = -28;
    race.ProgressMarker = engine->Add<TMyImageSprite>(host, 2, "SmallCar", 773, 177, 12);
    race.EnergyGauge = engine->Add<TMyImageSprite>(host, 2, "Energy", 672, 558, 12);
    race.NitroIndicator = engine->Add<TMyImageSprite>(host, 2, "BonusNitro", 628, 363, 12);
    race.NitroIndicator->Visible = false;
    race.WeaponIndicator = engine->Add<TMyImageSprite>(host, 2, "BonusM", 627, 251, 12);
    race.WeaponIndicator->Visible = false;

    // The player car at (365, 400) and the five rockets join here.

    DrawHud(form);
    race.Lives = 3;
    race.Score = 0;
    OpenDialog(form, 6);
}

void EndRace(TMForm& form)
{
    form.Screen.ActiveScreen = 0;
    if (!form.Race) return;
    TRace& race = *form.Race;
    if (race.Background) race.Background->KillOnce();
    for (TMyImageSprite* s : {static_cast<TMyImageSprite*>(race.Lamps), static_cast<TMyImageSprite*>(race.Men),
                              static_cast<TMyImageSprite*>(race.Bonuses), static_cast<TMyImageSprite*>(race.Finish)})
        if (s) s->KillOnce();
    for (TMyImageSprite* s : {static_cast<TMyImageSprite*>(race.Panel), static_cast<TMyImageSprite*>(race.Needle),
                              race.ProgressMarker, race.EnergyGauge, race.NitroIndicator, race.WeaponIndicator})
        if (s) s->KillOnce();
    form.MSpriteEngine.SweepDead();
    form.Race.reset();
}

void RaceTick(TMForm& form, int lagCount)
{
    if (!form.Race) return;
    TRace& race = *form.Race;
    form.MSpriteEngine.MoveAll(lagCount);

    // The clock: a tick each whole second of the last ten.
    const int frameMs = form.Stats.FrameMs;
    if (race.TimeLeft <= 10000 && (race.TimeLeft + frameMs) / 1000 > race.TimeLeft / 1000) form.PlayEffect("Tick");
    const bool finishPassed = race.Finish && race.Finish->Passed != 0;
    if (!finishPassed && race.TimeLeft - frameMs >= 0) race.TimeLeft -= frameMs;

    RefreshChips(race);
    if (race.ProgressMarker)
        race.ProgressMarker->Y = ProgressMarkerY(race.ProgressMarker->Height, race.TrackLength, race.MapRow);

    DrawHud(form);

    if (form.Keys.EscPressed) OpenDialog(form, 2);
    if (form.Keys.PausePressed) OpenDialog(form, 5);
}

} // namespace vorlane
