#include "persist/TextFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define VORLANE_HAVE_FSYNC 1
#endif

namespace vorlane {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const fs::path& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return contents;
}

std::vector<std::string> SplitLines(std::string_view contents)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < contents.size()) {
        size_t end = contents.find('\n', start);
        const bool ended = end != std::string_view::npos;
        if (!ended) end = contents.size();
        std::string_view line = contents.substr(start, end - start);
        if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = ended ? end + 1 : end;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<int32_t> ParseIntegerLine(std::string_view line)
{
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t pos = 0;
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    size_t end = pos;
    while (end < line.size() && !isBlank(line[end])) ++end;
    std::string_view token = line.substr(pos, end - pos);
    if (!token.empty() && token.front() == '+') {
        token.remove_prefix(1);
        if (!token.empty() && token.front() == '-') return std::nullopt;
    }
    if (token.empty()) return std::nullopt;
    int32_t value = 0;
    auto [ptr, err] = std::from_chars(token.data(), token.data() + token.size(), value, 10);
    if (err != std::errc() || ptr != token.data() + token.size()) return std::nullopt;
    return value;
}

namespace {

FileReport Failure(const fs::path& file, const std::string& what)
{
    return {FileStatus::Failed, file.generic_string() + ": " + what};
}

#ifdef VORLANE_HAVE_FSYNC
// Makes the rename itself survive a power cut.
void SyncFolder(const fs::path& folder)
{
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
#endif

} // namespace

FileReport WriteFileAtomically(const fs::path& file, std::string_view contents)
{
    std::error_code ec;
    const fs::path folder = file.parent_path();
    if (!folder.empty()) {
        fs::create_directories(folder, ec);
        if (ec) return Failure(file, "cannot create the folder " + folder.generic_string() + " (" + ec.message() + ")");
    }

    fs::path temp = file;
    temp += ".tmp";
    std::FILE* out = std::fopen(temp.string().c_str(), "wb");
    if (!out) return Failure(file, "cannot create " + temp.generic_string() + " (" + std::strerror(errno) + ")");

    bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    written = std::fflush(out) == 0 && written;
#ifdef VORLANE_HAVE_FSYNC
    written = ::fsync(::fileno(out)) == 0 && written;
#endif
    const int writeErrno = errno;
    written = std::fclose(out) == 0 && written;
    if (!written) {
        fs::remove(temp, ec);
        return Failure(file, std::string("cannot write ") + temp.generic_string() + " (" + std::strerror(writeErrno) + ")");
    }

    fs::rename(temp, file, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return Failure(file, "cannot replace it with " + temp.generic_string() + " (" + ec.message() + ")");
    }
#ifdef VORLANE_HAVE_FSYNC
    SyncFolder(folder);
#endif
    return {};
}

std::optional<fs::path> KeepDamagedFile(const fs::path& file)
{
    std::error_code ec;
    fs::path target = file;
    target += ".damaged";
    for (int n = 2; fs::exists(target, ec) || ec; ++n) {
        if (n > 1000) return std::nullopt;
        target = file;
        target += ".damaged-" + std::to_string(n);
    }
    fs::rename(file, target, ec);
    if (ec) return std::nullopt;
    return target;
}

} // namespace vorlane
