#include "sim/PictureBackground.h"

namespace vorlane {

TPictureBackground::TPictureBackground(TSprite* parent, const TSpriteHost& host, int listNo,
                                       const std::string& name, int chipColumns, int chipRows)
    : TBackgroundSprite(parent), host_(host) {
    SetMapSize(chipColumns, chipRows);
    SetImageByName(listNo, name);
    X = 0;
    Y = 0;
    SetZ(2);
    KillRequested = false;
}

void TPictureBackground::SetImageByName(int listNo, const std::string& name) {
    ImageListNo = listNo;
    TImageCollection& list = listNo == 2 ? host_.RaceImages : host_.MenuImages;
    TImageItem& item = list.FindImage(name);
    SetImage(&item);
    PatternWidth = item.FrameWidth();
    PatternHeight = item.FrameHeight();
}

void TPictureBackground::KillOnce() {
    if (KillRequested) return;
    Kill();
    KillRequested = true;
}

} // namespace vorlane
