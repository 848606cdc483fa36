#include "menus/MenuBackdrop.h"

#include "core/Game.h"
#include "sim/PictureBackground.h"

namespace vorlane {

void CreateMenuBackground(TGame& form) {
    // A one-chip grid at (0, 0), depth 2; it never moves.
    form.Menu.Background = form.SpriteEngine.Add<TPictureBackground>(form.SpriteHost, 1, "MMBG", 1, 1);
}

void KillMenuBackground(TGame& form) {
    if (auto* bg = dynamic_cast<TPictureBackground*>(form.Menu.Background))
        bg->KillOnce();
    else if (form.Menu.Background != nullptr)
        form.Menu.Background->Kill();
    form.Menu.Background = nullptr;
}

} // namespace vorlane
