// The frame written out for comparison by tests.
#include "platform/FrameDump.h"

#include "platform/Files.h"

namespace vorlane {

std::string PpmBytes(const RgbaImage& frame) {
    std::string out = "P6\n" + std::to_string(frame.width) + " " + std::to_string(frame.height) + "\n255\n";
    out.reserve(out.size() + frame.pixels.size() * 3);
    for (uint32_t p : frame.pixels) {
        out.push_back(char((p >> 16) & 0xFF));
        out.push_back(char((p >> 8) & 0xFF));
        out.push_back(char(p & 0xFF));
    }
    return out;
}

bool FrameDumpFile::Offer(const RgbaImage& frame) {
    if (frame.Empty()) return true;
    if (frame.width == last_.width && frame.height == last_.height && frame.pixels == last_.pixels) return true;
    if (!WriteFileAtomically(path_, PpmBytes(frame))) return false;
    last_ = frame;
    return true;
}

} // namespace vorlane
