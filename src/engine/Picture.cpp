// The stored picture of an image item: its kind's name, then the kind's own data.
#include "engine/Picture.h"

#include "engine/ArchiveReader.h"

namespace vorlane {

namespace {

bool SameKind(const std::string& kind, const char* name) {
    if (kind.size() != std::char_traits<char>::length(name)) return false;
    for (size_t i = 0; i < kind.size(); ++i) {
        char a = kind[i], b = name[i];
        if (a >= 'a' && a <= 'z') a = char(a - 32);
        if (b >= 'a' && b <= 'z') b = char(b - 32);
        if (a != b) return false;
    }
    return true;
}

} // namespace

DecodedPicture DecodePicture(std::span<const uint8_t> payload) {
    DecodedPicture picture;
    if (payload.empty()) return picture;
    ByteReader r(payload);
    uint8_t length = r.ReadByte();
    auto name = r.ReadBytes(length);
    picture.kind.assign(name.begin(), name.end());

    if (SameKind(picture.kind, "DIB")) {
        picture.image = DecodeDib(r.ReadBytes(r.Remaining()));
    } else if (SameKind(picture.kind, "TBitmap")) {
        picture.image = DecodeBitmapFile(r.ReadBytes(r.ReadU32()));
    } else if (SameKind(picture.kind, "PNG")) {
        picture.image = DecodePng(r.ReadBytes(r.ReadU32()));
    } else {
        return picture; // a kind this game does not draw
    }
    picture.hasPicture = !picture.image.Empty();
    return picture;
}

} // namespace vorlane
