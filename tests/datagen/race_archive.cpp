#include "race_archive.h"

#include "datagen/Families.h"
#include "engine/ArchiveWriter.h"

namespace vorlane::datagen::test {

const std::vector<uint8_t>& RaceArchiveBytes() {
    static const std::vector<uint8_t> bytes = WriteImageArchive("MImageList2", BuildRaceImages());
    return bytes;
}

TImageCollection& RaceImages() {
    static TImageCollection images;
    static const bool loaded = (images.LoadFromBytes(RaceArchiveBytes(), "Res2.gfx"), true);
    (void)loaded;
    return images;
}

RgbaImage PatternOf(const TImageItem& item, int n) {
    const Rect r = item.PatternRect(n);
    RgbaImage out(r.Width(), r.Height());
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            out.At(x, y) = item.Picture.At(r.left + x, r.top + y);
    return out;
}

} // namespace vorlane::datagen::test
