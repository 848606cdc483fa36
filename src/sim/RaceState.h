#pragma once
// Everything one race holds between StartRace and EndRace: the level's numbers, the
// track map and where the view stands, and plain references to the race's sprites
// (the sprite engine owns them). The game keeps it as its Race.
#include "sim/TrackMap.h"

#include <array>

namespace vorlane {

class TScrollBackground;
class TGameSprite;
class TPointer;
class TPlayer;
class TLamp;
class TMan;
class TBonus;
class TCar;
class TFinish;
class TRocket;

struct TRace {
    // Level numbers (StartLevel).
    int Level = 0;
    int Lives = 0;
    int Score = 0;
    int TimeLeft = 0; // ms
    int TrackLength = 0;
    int BonusCount = 0;
    int CarCount = 0;

    // The track and the view: (MapRow, MapCol) is the map cell in the background's
    // top-left chip; the background scrolls by (ScrollVX, ScrollVY) each frame.
    TrackMap Map;
    int MapCol = 0;
    int MapRow = 0;
    double ScrollVX = 0;
    double ScrollVY = 0;

    // The race's sprites.
    TScrollBackground* Background = nullptr;
    TLamp* Lamps = nullptr;
    TMan* Men = nullptr;
    TBonus* Bonuses = nullptr;
    TCar* Cars = nullptr;
    TFinish* Finish = nullptr;
    TGameSprite* Panel = nullptr;
    TPointer* Needle = nullptr;
    TGameSprite* ProgressMarker = nullptr;
    TGameSprite* EnergyGauge = nullptr;
    TGameSprite* NitroIndicator = nullptr;
    TGameSprite* WeaponIndicator = nullptr;
    TPlayer* Player = nullptr;
    std::array<TRocket*, 5> Rockets{};
};

} // namespace vorlane
