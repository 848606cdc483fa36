#include "menus/MyCursor.h"

#include "app/Helpers.h"
#include "app/TMForm.h"

namespace vorlane {

TMyCursor::TMyCursor(TSprite* parent, TMForm& form, int listNo, const std::string& name, double x, double y,
                     int z, int blinkMs)
    : TMyImageSprite(parent, form.SpriteHost, listNo, name, x, y, z), BlinkMs(blinkMs), Form(form)
{
    Visible = false;
}

void TMyCursor::MoveStep(int moveCount)
{
    TMyImageSprite::MoveStep(moveCount);
    if (!Blinking) {
        Visible = false;
        return;
    }
    if (TryCountDown(BlinkLeft, 0, Form.Stats.FrameMs))
        return;
    BlinkLeft = BlinkMs;
    Visible = !Visible;
}

} // namespace vorlane
