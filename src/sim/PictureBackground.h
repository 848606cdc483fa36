#pragma once
// A background of chips cut from one picture of the game's image lists: the menus'
// still backdrop ("MMBG" as a 1 x 1 grid) and the base of the race's scrolling track.
#include "engine/Sprites.h"
#include "sim/GameSprite.h"

#include <string>

namespace vorlane {

class TPictureBackground : public TBackgroundSprite {
  public:
    // The image by name from image list listNo (1 or 2), a chip grid of
    // chipColumns x chipRows (every chip 0), at (0, 0), depth 2.
    TPictureBackground(TSprite* parent, const TSpriteHost& host, int listNo, const std::string& name,
                       int chipColumns, int chipRows);

    int ImageListNo = 1;
    int PatternWidth = 0; // the image's pattern size: one wrap step of a scroll
    int PatternHeight = 0;
    bool KillRequested = false;

    // Replaces the image (from list listNo) and records its pattern size.
    void SetImageByName(int listNo, const std::string& name);
    // Kill, once.
    void KillOnce();

  protected:
    const TSpriteHost& Host() const { return host_; }

  private:
    const TSpriteHost& host_;
};

} // namespace vorlane
