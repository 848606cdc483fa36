// The frame written out for comparison by tests.
#include "platform/FrameDump.h"

#include <filesystem>
#include <fstream>

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
    if (frame.width == last_.width && frame.height == last_.height && frame.pixels == last_.pixels)
        return true;
    // Replaced in one step (a reader never sees half a frame), but not forced to disk:
    // a frame a minute old is worth nothing, and the game must not wait on the disk.
    const std::string bytes = PpmBytes(frame);
    const std::string temp = path_ + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), std::streamsize(bytes.size())) || !out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path_, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    last_ = frame;
    return true;
}

} // namespace vorlane
