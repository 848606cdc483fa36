#include "sim/GameSprite.h"

#include <cmath>

namespace vorlane {

TGameSprite::TGameSprite(TSprite* parent, const TSpriteHost& host, int listNo)
    : TImageSprite(parent), ImageListNo(listNo), host_(host) {
    FramePos = 0;
    FrameSpeed = 0;
    FrameLooped = true;
}

TGameSprite::TGameSprite(TSprite* parent, const TSpriteHost& host, int listNo, const std::string& name,
                         double x, double y, int z)
    : TGameSprite(parent, host, listNo) {
    SetImageByName(name);
    X = x;
    Y = y;
    SetZ(z);
}

TGameSprite* TGameSprite::CreateCentered(TSprite* parent, const TSpriteHost& host, int listNo,
                                         const std::string& name, double x, double y, int z) {
    auto* s = new TGameSprite(parent, host, listNo, name, x, y, z);
    s->X = x - s->Width / 2.0;
    s->Y = y - s->Height / 2.0;
    return s;
}

void TGameSprite::SetImageByName(const std::string& name) {
    TImageCollection& list = ImageListNo == 2 ? host_.RaceImages : host_.MenuImages;
    TImageItem& item = list.FindImage(name);
    SetImage(&item);
    Width = item.FrameWidth();
    Height = item.FrameHeight();
    FramePos = FramePosBeforeMove = 0;
    FrameCount = item.PatternTotal();
}

void TGameSprite::SetAnimation(const std::string& name, int pace) {
    SetImageByName(name);
    FramePos = FramePosBeforeMove = 0;
    FrameLooped = true;
    FrameCount = Image()->PatternTotal();
    FramePace = pace;
}

void TGameSprite::SetImageCentered(const std::string& name, double cx, double cy) {
    SetImageByName(name);
    X = cx - Width / 2.0;
    Y = cy - Height / 2.0;
}

void TGameSprite::KillOnce() {
    if (KillRequested) return;
    Kill();
    KillRequested = true;
}

void TGameSprite::MoveStep(int moveCount) {
    FramePosBeforeMove = FramePos;
    TImageSprite::MoveStep(moveCount);
    // The drawing rounds FramePos to the nearest pattern: wrap before it would reach
    // the pattern one past the last.
    if (FramePos > FrameCount - 0.5) FramePos = 0;
    // The move count is the frame's lag in milliseconds, so this speed advances
    // FramePace hundredths of a pattern per frame at any frame rate.
    if (FramePace > 0 && host_.Stats.FrameMs > 0) FrameSpeed = FramePace / (100.0 * host_.Stats.FrameMs);
}

void TGameSprite::DrawStep() {
    if (!Visible) return;
    if (Blended && Alpha != 255) {
        if (Image() == nullptr || Engine() == nullptr || Engine()->Surface() == nullptr) return;
        // This path takes the pattern's integer part and adds no FrameStart.
        const Rect dst{int(std::trunc(X)), int(std::trunc(Y)), int(std::trunc(X + Width)),
                       int(std::trunc(Y + Height))};
        Image()->DrawPatternAlpha(*Engine()->Surface(), dst, int(std::trunc(FramePos)), Alpha);
        return;
    }
    TImageSprite::DrawStep();
}

TPointer::TPointer(TSprite* parent, const TSpriteHost& host, int listNo, const std::string& name,
                   double pivotFracX, double pivotFracY, int x, int y)
    : TGameSprite(parent, host, listNo, name, x, y, 12), PivotFracX(pivotFracX), PivotFracY(pivotFracY),
      AnchorX(x), AnchorY(y) {}

void TPointer::DrawStep() {
    if (Image() == nullptr || Engine() == nullptr || Engine()->Surface() == nullptr) return;
    const int w = Image()->FrameWidth();
    const int h = Image()->FrameHeight();
    Image()->DrawPatternRotated(*Engine()->Surface(), AnchorX + w, AnchorY + h, w, h, 0, PivotFracX,
                                PivotFracY, Angle);
}

} // namespace vorlane
