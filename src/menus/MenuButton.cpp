#include "menus/MenuButton.h"

#include "core/Game.h"

namespace vorlane {

TMenuButton::TMenuButton(TSprite* parent, TGame& form, int listNo, const std::string& highlightImage,
                         const std::string& normalImage, int highlightPattern, int normalPattern, double x,
                         double y)
    : TGameSprite(parent, form.SpriteHost, listNo), HighlightImage(highlightImage), NormalImage(normalImage),
      HighlightPattern(highlightPattern), NormalPattern(normalPattern), Form(form) {
    SetImageByName(NormalImage);
    FramePos = NormalPattern;
    X = x;
    Y = y;
    SetZ(4);
}

void TMenuButton::ShowNormal() {
    if (RaiseWhenHighlighted) SetZ(15);
    SetImageByName(NormalImage);
    FramePos = NormalPattern;
}

void TMenuButton::ShowHighlighted() {
    if (RaiseWhenHighlighted) SetZ(17);
    SetImageByName(HighlightImage);
    FramePos = HighlightPattern;
}

} // namespace vorlane
