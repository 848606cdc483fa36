#pragma once
// The image sprite every game sprite is made from: finds its picture by name in one
// of the game's two image lists, paces its animation by the frame time, remembers
// where the animation stood before each move, and can draw blended. TPointer is the
// race's speedometer needle, drawn turned about a pivot.
#include "engine/Images.h"
#include "engine/Sprites.h"
#include "sim/FrameStats.h"

#include <string>

namespace vorlane {

// What a game sprite needs from the game that owns it: the two image lists (1 = the
// menus' pictures, 2 = the race's) and the frame statistics. The owner keeps it alive
// for as long as its sprites live.
struct TSpriteHost {
    TImageCollection& MenuImages;
    TImageCollection& RaceImages;
    const TFrameStats& Stats;
};

class TGameSprite : public TImageSprite {
  public:
    // Create: no image yet, animation stopped and looped, not blended.
    TGameSprite(TSprite* parent, const TSpriteHost& host, int listNo);
    // CreateAt: the image by name with its top-left corner at (x, y), depth z.
    TGameSprite(TSprite* parent, const TSpriteHost& host, int listNo, const std::string& name, double x,
                double y, int z);
    // CreateCentered: as CreateAt, but (x, y) is the image's centre.
    static TGameSprite* CreateCentered(TSprite* parent, const TSpriteHost& host, int listNo,
                                       const std::string& name, double x, double y, int z);

    bool Blended = false; // blend with Alpha, unless Alpha is 255
    int Alpha = 0;        // 0..255
    int FramePace = 0;    // hundredths of a pattern per frame; 0 keeps FrameSpeed
    int ImageListNo = 1;  // 1 or 2
    double FramePosBeforeMove = 0;
    bool KillRequested = false;

    // Throws "Image '<name>' not found" when the chosen list lacks the name.
    void SetImageByName(const std::string& name);
    void SetAnimation(const std::string& name, int pace);
    void SetImageCentered(const std::string& name, double cx, double cy);
    // Kill, once: a sprite may be removed from several places in one frame.
    void KillOnce();

    void DrawStep() override;
    void MoveStep(int moveCount) override;

  protected:
    const TSpriteHost& Host() const { return host_; }

  private:
    const TSpriteHost& host_;
};

class TPointer : public TGameSprite {
  public:
    // At (x, y), depth 12, turned about (pivotFracX * width, pivotFracY * height).
    TPointer(TSprite* parent, const TSpriteHost& host, int listNo, const std::string& name, double pivotFracX,
             double pivotFracY, int x, int y);

    double PivotFracX = 0;
    double PivotFracY = 0;
    int AnchorX = 0;
    int AnchorY = 0;
    int Angle = 0; // 256ths of a full turn

    // Pattern 0 turned by Angle; drawn whether Visible or not.
    void DrawStep() override;
};

} // namespace vorlane
