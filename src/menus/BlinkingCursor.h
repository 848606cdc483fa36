#pragma once
// The blinking bar under a text field (the country line, the player's name): hidden
// until it blinks; while blinking it shows on its first move and then toggles every
// BlinkMs milliseconds of frame time.
#include "sim/GameSprite.h"

#include <string>

namespace vorlane {

class TGame;

class TBlinkingCursor : public TGameSprite {
  public:
    // The image's top-left corner at (x, y), depth z; not blinking, so invisible.
    TBlinkingCursor(TSprite* parent, TGame& form, int listNo, const std::string& name, double x, double y,
                    int z, int blinkMs);

    int BlinkMs = 0;   // half-period of the blink
    int BlinkLeft = 0; // ms until the next toggle
    bool Blinking = false;

    void MoveStep(int moveCount) override;

    TGame& Form;
};

} // namespace vorlane
