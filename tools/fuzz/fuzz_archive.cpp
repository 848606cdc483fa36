// Feeds arbitrary bytes to the archive readers. Every malformed input must end in an
// EngineError: any other exception, crash, sanitizer report, hang or huge allocation
// is a finding.
#include "engine/ArchiveReader.h"
#include "engine/Images.h"
#include "engine/Picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// The pattern cut of every item must stay inside its picture.
void CheckPatterns(vorlane::TImageCollection& list) {
    for (size_t i = 0; i < list.Count(); ++i) {
        vorlane::TImageItem& item = list.Item(i);
        int total = item.PatternTotal();
        for (int n : {0, 1, total / 2, total - 2, total - 1}) {
            if (n < 0 || n >= total) continue;
            vorlane::Rect r = item.PatternRect(n);
            if (r.left < 0 || r.top < 0 || r.right > item.Picture.width || r.bottom > item.Picture.height ||
                r.Empty())
                __builtin_trap();
        }
        if (item.HasPicture &&
            item.Picture.pixels.size() != size_t(item.Picture.width) * size_t(item.Picture.height))
            __builtin_trap();
        (void)item.KeyedPicture();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    try {
        vorlane::TImageCollection list;
        list.LoadFromBytes(bytes, "fuzz.gfx");
        CheckPatterns(list);
    } catch (const vorlane::EngineError&) {
    }
    try {
        vorlane::ReadSoundArchive(bytes);
    } catch (const vorlane::EngineError&) {
    }
    // The picture payload on its own, so that the picture kinds get explored without
    // the container around them.
    try {
        vorlane::DecodePicture(bytes);
    } catch (const vorlane::EngineError&) {
    }
    return 0;
}
