#pragma once
// The finish line: a chequered band across the straight four-lane top end of the
// road, 50 rows below the road's last row. It tells the race when the player car has
// crossed it (Passed), which stops the clock and starts the level-end roll-out.
#include "sim/GameSprite.h"

#include <cstdint>

namespace vorlane {

class TRaceWorld;

class TFinish : public TGameSprite {
  public:
    // Depth 5; laid for the current track at once.
    TFinish(TSprite* parent, TRaceWorld& world);

    TRaceWorld& World;
    int WorldY = 0;     // the finish row's top edge in map pixels
    uint8_t Passed = 0; // 1 once the line went below the car's top edge

    // Level set-up: the finish row of the current track, not passed yet.
    void LayFinish();
    // The finish row: 1550 - TrackLength.
    int FinishRow() const;

    void MoveStep(int moveCount) override;
    void DrawStep() override;
};

} // namespace vorlane
