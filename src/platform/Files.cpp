// Whole-file access with Windows-style relative paths and atomic replacement.
#include "platform/Files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace vorlane {

namespace fs = std::filesystem;

std::string NativePath(const std::string& path) {
    std::string out = path;
    const char separator = char(fs::path::preferred_separator);
    for (char& c : out)
        if (c == '\\' || c == '/') c = separator;
    return out;
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return std::nullopt;
    in.seekg(0, std::ios::beg);
    bytes.resize(size_t(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
    return bytes;
}

namespace {

bool WriteAll(const fs::path& file, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(fileno(f)) == 0 && ok; // on disk before the rename makes it the file
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

bool WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
    const fs::path target(NativePath(path));
    std::error_code ec;
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) return false;
    }
    fs::path temp = target;
    temp += ".tmp" + std::to_string(::getpid());
    if (!WriteAll(temp, data, size)) {
        fs::remove(temp, ec);
        return false;
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteBytes(path, bytes.data(), bytes.size());
}

bool WriteFileAtomically(const std::string& path, const std::string& text) {
    return WriteBytes(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(NativePath(path)), ec);
}

} // namespace vorlane
