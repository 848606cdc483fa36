#include "menus/MenuBackdrop.h"

#include "app/TMForm.h"
#include "race/ScrollBackground.h"

namespace vorlane {

void CreateMenuBackground(TMForm& form)
{
    // A one-chip grid at (0, 0), depth 2; it never scrolls on a menu screen.
    form.Menu.Background = form.MSpriteEngine.Add<TScrollBackground>(form, 1, "MMBG", 1, 1);
}

void KillMenuBackground(TMForm& form)
{
    if (auto* bg = dynamic_cast<TScrollBackground*>(form.Menu.Background))
        bg->KillOnce();
    else if (form.Menu.Background != nullptr)
        form.Menu.Background->Kill();
    form.Menu.Background = nullptr;
}

} // namespace vorlane
