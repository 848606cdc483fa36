#include "menus/BlinkingCursor.h"

#include "core/Game.h"
#include "sim/Helpers.h"

namespace vorlane {

TBlinkingCursor::TBlinkingCursor(TSprite* parent, TGame& form, int listNo, const std::string& name, double x,
                                 double y, int z, int blinkMs)
    : TGameSprite(parent, form.SpriteHost, listNo, name, x, y, z), BlinkMs(blinkMs), Form(form) {
    Visible = false;
}

void TBlinkingCursor::MoveStep(int moveCount) {
    TGameSprite::MoveStep(moveCount);
    if (!Blinking) {
        Visible = false;
        return;
    }
    if (TryCountDown(BlinkLeft, 0, Form.Stats.FrameMs)) return;
    BlinkLeft = BlinkMs;
    Visible = !Visible;
}

} // namespace vorlane
