#include "race/Finish.h"

#include "app/TMForm.h"
#include "race/RaceState.h"

namespace vorlane {

TFinish::TFinish(TSprite* parent, TMForm& form)
    : TMyImageSprite(parent, form.SpriteHost, 2, "FinishLine", 0, (1550 - form.Race->TrackLength) * kTileSize, 5),
      Form(form)
{
    LayFinish();
}

int TFinish::FinishRow() const { return 1550 - Form.Race->TrackLength; }

void TFinish::LayFinish()
{
    WorldY = FinishRow() * kTileSize;
    Y = WorldY;
    Passed = 0;
}

// Crossing the line comes with the player car.
void TFinish::MoveStep(int) {}

void TFinish::DrawStep() {}

} // namespace vorlane
