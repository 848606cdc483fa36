#include "menus/MenuBackdrop.h"

#include "app/TMForm.h"

namespace vorlane {

void CreateMenuBackground(TMForm& form)
{
    auto* bg = form.MSpriteEngine.Add<TBackgroundSprite>();
    bg->SetImage(&form.MImageList1.FindImage("MMBG"));
    bg->SetMapSize(1, 1);
    bg->SetChip(0, 0, 0);
    bg->X = 0;
    bg->Y = 0;
    bg->SetZ(2);
    form.Menu.Background = bg;
}

void KillMenuBackground(TMForm& form)
{
    if (form.Menu.Background != nullptr)
        form.Menu.Background->Kill();
    form.Menu.Background = nullptr;
}

} // namespace vorlane
