#pragma once
// The street lamps. They stand on every fifth map row beside the edge lanes of the
// road and carry no state of their own: each frame the TLamp sprite finds them in the
// view from the map, throws the player car back from their solid poles and draws them.
// Its own image is never drawn.
#include "sim/GameSprite.h"

namespace vorlane {

class TRaceWorld;

// A lamp beside a road tile: its picture, the picture's x offset from the tile's
// top-left corner (the picture's top is the tile's top) and the point of the solid
// pole, also from the tile's corner.
struct TLampKind {
    const char* Image;
    int ImageDX;
    int PoleX, PoleY;
};

// The lamp of a tile (1, 4, 5, 8, 9, 12, 13, 16, 17, 20); nullptr for other tiles.
const TLampKind* LampOf(int tile);

// Lamps stand only on map rows that are a multiple of this.
constexpr int kLampRowStep = 5;

class TLamp : public TGameSprite {
  public:
    // Depth 9.
    TLamp(TSprite* parent, TRaceWorld& world);

    TRaceWorld& World;

    // Pole collisions: every pole in the view that lies inside the car bounces it and
    // costs it a hit.
    void MoveStep(int moveCount) override;
    void DrawStep() override;

  private:
    // Calls fn(row, column, lamp) for every lamp of the view, rows MapRow..MapRow + 9
    // and columns MapCol..MapCol + 12, in scan order.
    template <class Fn> void ForEachLamp(Fn&& fn);
};

} // namespace vorlane
