#include "race/Hud.h"

#include "core/Game.h"
#include "race/Race.h"
#include "sim/Finish.h"
#include "sim/Player.h"
#include "sim/RaceSim.h"
#include "sim/RaceState.h"

#include <cmath>

namespace vorlane {

namespace {

std::string TwoDigits(int v) {
    std::string digits = std::to_string(v);
    if (v < 10) digits.insert(digits.begin(), '0');
    return digits;
}

// Once the car is past the finish line the level is won: the notice stands over the
// road while the car rolls out and the time left is counted into the score, until the
// next level's banner. It is drawing only and changes nothing of the race.
void DrawFinishNotice(TGame& form, const TRace& race) {
    if (!race.Finish || race.Finish->Passed == 0) return;
    form.UseFont(kFinishNoticeStyle);
    form.DrawText(kFinishNotice, kFinishNoticeX, kFinishNoticeY, true, true);
    form.UseFont(kTimeBonusNoticeStyle);
    form.DrawText(kTimeBonusNotice, kFinishNoticeX, kTimeBonusNoticeY, true, true);
}

} // namespace

std::string TimeText(int timeLeftMs) {
    // The level end counts the time down in steps of ten frames and can leave it below
    // zero under the time-over message; at a slow frame rate a whole second below, which
    // would read "00 : 0-1". Time below zero is no time.
    if (timeLeftMs < 0) timeLeftMs = 0;
    return TwoDigits(timeLeftMs / 60000) + " : " + TwoDigits((timeLeftMs / 1000) % 60);
}

std::string LivesText(int lives) {
    return lives < 0 ? "0" : std::to_string(lives);
}

void DrawHudTexts(TGame& form) {
    if (!form.Race) return;
    const TRace& race = *form.Race;
    DrawFinishNotice(form, race);
    form.UseFont(16);
    form.DrawText("LEVEL " + std::to_string(race.Level), 690, 28, true, true);
    form.UseFont(18);
    form.DrawText(TimeText(race.TimeLeft), 705, 117, true, true);
    form.DrawText(std::to_string(race.Score), 692, 202, true, true);
    form.DrawText(LivesText(race.Lives), 775, 327, true, true);
    const TPlayer* player = race.Player;
    if (!player) return;
    if (player->HasNitro)
        form.DrawText(std::to_string(RoundHalfEven(player->NitroLeft)), 760, 384, true, true);
    if (player->WeaponKind != CarItem::None)
        form.DrawText(std::to_string(player->Ammo), 763, 272, true, true);
}

void DrawHud(TGame& form) {
    if (!form.Race) return;
    DrawHudTexts(form);
    UpdateHudSprites(*form.Race);
}

} // namespace vorlane
