#pragma once
// A menu item: a picture with a normal and a highlighted look (each an image name and
// a pattern), and a mouse hit box that may differ from the picture.
#include "sim/GameSprite.h"

#include <string>

namespace vorlane {

class TGame;

class TMenuButton : public TGameSprite {
  public:
    // Shows the normal look with its top-left corner at (x, y), depth 4; the hit box
    // is the picture's size, not blended, not highlighted, not raised.
    TMenuButton(TSprite* parent, TGame& form, int listNo, const std::string& highlightImage,
                const std::string& normalImage, int highlightPattern, int normalPattern, double x, double y);

    std::string HighlightImage;
    std::string NormalImage;
    int HighlightPattern = 0;
    int NormalPattern = 0;
    int HitWidth = -1;  // -1: the picture's Width
    int HitHeight = -1; // -1: the picture's Height
    bool Highlighted = false;
    // Highlighted buttons rise to depth 17, normal ones sink to 15.
    bool RaiseWhenHighlighted = false;

    void ShowNormal();
    void ShowHighlighted();
    // The hit box's size: HitWidth/HitHeight, or the picture's size where they are -1.
    int HitBoxWidth() const { return HitWidth == -1 ? Width : HitWidth; }
    int HitBoxHeight() const { return HitHeight == -1 ? Height : HitHeight; }

    TGame& Form;
};

} // namespace vorlane
