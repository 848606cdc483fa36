#include "persist/TextFile.h"

#include "engine/MessageText.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#define VORLANE_HAVE_FSYNC 1
#endif

namespace vorlane {

namespace fs = std::filesystem;

namespace {

#if defined(__unix__) || defined(__APPLE__)
// Why a file that is not a regular one is refused, for the message.
std::string NotAFile(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a folder, not a file";
    if (S_ISFIFO(mode)) return "it is a pipe, not a file";
    if (S_ISSOCK(mode)) return "it is a socket, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
    return "it is not a regular file";
}
#endif

std::string MoreThan(uintmax_t limit) {
    return "more than the " + std::to_string(limit) + " bytes such a file may hold";
}

// At most `limit` + 1 bytes of the file (one more tells that it goes on); nothing,
// with the reason, when it cannot be opened or read or is not a regular file.
// A regular file whose size is already past the limit is not read at all.
BoundedFileRead ReadAtMost(const fs::path& file, uintmax_t limit) {
#if defined(__unix__) || defined(__APPLE__)
    // Opened without waiting: a pipe with no writer would hold open() for ever.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        return {std::nullopt, err == ENOENT
                                  ? std::string("there is no such file")
                                  : "it cannot be opened (" + std::string(std::strerror(err)) + ")"};
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return {std::nullopt, "it cannot be read (" + std::string(std::strerror(errno)) + ")"};
    if (!S_ISREG(info.st_mode)) return {std::nullopt, NotAFile(info.st_mode)};
    if (uintmax_t(info.st_size) > limit)
        return {std::nullopt,
                "it is " + std::to_string(uintmax_t(info.st_size)) + " bytes long, " + MoreThan(limit)};
    // Room for the size the file has now and one byte more; more only if it grows.
    const size_t most = size_t(limit) + 1;
    std::string contents(std::min(size_t(info.st_size) + 1, most), '\0');
    size_t got = 0;
    while (got < most) {
        if (got == contents.size()) contents.resize(std::min(contents.size() * 2, most));
        const ssize_t n = ::read(fd, contents.data() + got, contents.size() - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return {std::nullopt, "it cannot be read (" + std::string(std::strerror(errno)) + ")"};
        }
        got += size_t(n);
    }
    contents.resize(got);
    return {std::move(contents), {}};
#else
    std::error_code ec;
    if (!fs::exists(file, ec)) return {std::nullopt, "there is no such file"};
    if (!fs::is_regular_file(file, ec)) return {std::nullopt, "it is not a regular file"};
    std::ifstream in(file, std::ios::binary);
    if (!in) return {std::nullopt, "it cannot be opened"};
    std::string contents(size_t(limit) + 1, '\0');
    in.read(contents.data(), std::streamsize(contents.size()));
    if (in.bad()) return {std::nullopt, "it cannot be read"};
    contents.resize(size_t(in.gcount()));
    return {std::move(contents), {}};
#endif
}

std::string TooLarge(uintmax_t bytes) {
    return "it is " + std::to_string(bytes) + " bytes long, far more than a save file holds (at most " +
           std::to_string(kMaxSaveFileBytes) + ")";
}

} // namespace

BoundedFileRead ReadFileWithin(const fs::path& file, uintmax_t limit) {
    BoundedFileRead read = ReadAtMost(file, limit);
    if (read.contents && read.contents->size() > limit) {
        read.contents.reset();
        read.problem = "it holds " + MoreThan(limit);
    }
    return read;
}

std::optional<std::string> ReadWholeFile(const fs::path& file, uintmax_t limit) {
    return ReadFileWithin(file, limit).contents;
}

SaveFileLines ReadSaveFileLines(const fs::path& file, size_t lineCount) {
    SaveFileLines out;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return {FileStatus::Missing, "cannot be read", {}};
    // The size first: a huge file is judged without reading a byte of it.
    const uintmax_t size = fs::file_size(file, ec);
    if (!ec && size > kMaxSaveFileBytes) return {FileStatus::Damaged, TooLarge(size), {}};

    const std::optional<std::string> contents = ReadAtMost(file, kMaxSaveFileBytes).contents;
    if (!contents) return {FileStatus::Missing, "cannot be read", {}};
    if (contents->size() > kMaxSaveFileBytes) return {FileStatus::Damaged, TooLarge(contents->size()), {}};

    out.lines = SplitLines(*contents);
    for (size_t i = 0; i < out.lines.size(); ++i) {
        if (out.lines[i].size() > kMaxSaveLineBytes) {
            return {FileStatus::Damaged,
                    "line " + std::to_string(i + 1) + " is " + std::to_string(out.lines[i].size()) +
                        " bytes long (at most " + std::to_string(kMaxSaveLineBytes) + ")",
                    {}};
        }
    }
    if (out.lines.size() < lineCount) {
        return {FileStatus::Damaged, "line " + std::to_string(out.lines.size() + 1) + " is missing", {}};
    }
    if (out.lines.size() > lineCount) {
        return {FileStatus::Damaged,
                "it has " + std::to_string(out.lines.size()) + " lines, more than the " +
                    std::to_string(lineCount) + " it should have",
                {}};
    }
    return out;
}

std::string LineIsNotANumber(size_t lineNumber, std::string_view line) {
    return "line " + std::to_string(lineNumber) + " \"" + ExcerptForMessage(line) + "\" is not a number";
}

std::vector<std::string> SplitLines(std::string_view contents) {
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

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<int32_t> ParseIntegerLine(std::string_view line) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t pos = 0;
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    size_t end = pos;
    while (end < line.size() && !isBlank(line[end]))
        ++end;
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

FileReport Failure(const fs::path& file, const std::string& what) {
    return {FileStatus::Failed, file.generic_string() + ": " + what};
}

#ifdef VORLANE_HAVE_FSYNC
// Makes the rename itself survive a power cut.
void SyncFolder(const fs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
#endif

// The file a save through `file` must replace: `file` itself, or, when it is a
// symbolic link, the file the link leads to (through every link on the way, a
// relative one read from its own folder), so that the link stays a link. A loop of
// links is saved over as the plain file it cannot lead anywhere from.
fs::path SaveTarget(const fs::path& file) {
    constexpr int kMostLinks = 40; // as many as the system itself follows
    fs::path target = file;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec)) || ec) return target;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) return target;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return file;
}

} // namespace

FileReport WriteFileAtomically(const fs::path& file, std::string_view contents) {
    std::error_code ec;
    // The temporary file goes beside the file really replaced, so that the rename is
    // one step within its folder.
    const fs::path target = SaveTarget(file);
    const fs::path folder = target.parent_path();
    if (!folder.empty()) {
        fs::create_directories(folder, ec);
        if (ec)
            return Failure(file,
                           "cannot create the folder " + folder.generic_string() + " (" + ec.message() + ")");
    }

    fs::path temp = target;
    temp += ".tmp";
    std::FILE* out = std::fopen(temp.string().c_str(), "wb");
    if (!out)
        return Failure(file, "cannot create " + temp.generic_string() + " (" + std::strerror(errno) + ")");

    bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    written = std::fflush(out) == 0 && written;
#ifdef VORLANE_HAVE_FSYNC
    written = ::fsync(::fileno(out)) == 0 && written;
#endif
    const int writeErrno = errno;
    written = std::fclose(out) == 0 && written;
    if (!written) {
        fs::remove(temp, ec);
        return Failure(file, std::string("cannot write ") + temp.generic_string() + " (" +
                                 std::strerror(writeErrno) + ")");
    }

    fs::rename(temp, target, ec);
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

namespace {

// Renames `from` to `to` unless `to` exists; answers false with errno EEXIST when it
// does. The check and the rename are one step where the system offers it.
bool RenameWithoutReplacing(const fs::path& from, const fs::path& to) {
#if defined(__linux__)
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
#if defined(__unix__) || defined(__APPLE__)
    // A second name that cannot replace anything, then the old name let go.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST) return false;
#endif
    std::error_code ec;
    if (fs::exists(to, ec) || ec) {
        errno = EEXIST;
        return false;
    }
    fs::rename(from, to, ec);
    return !ec;
}

} // namespace

std::optional<fs::path> KeepFileAside(const fs::path& file, KeepReason reason) {
    const std::string suffix = reason == KeepReason::Rejected ? ".rejected" : ".damaged";
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) return std::nullopt;
    for (int n = 1; n <= 1000; ++n) {
        std::string name = suffix;
        if (n > 1) {
            name += '-';
            name += std::to_string(n);
        }
        fs::path target = file;
        target += name;
        if (RenameWithoutReplacing(file, target)) return target;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

FileReport ReportDamagedFile(const fs::path& file, const std::string& problem,
                             std::string_view defaultsInUse) {
    std::string message =
        file.generic_string() + ": " + problem + "; " + std::string(defaultsInUse) + " in use";
    if (const auto kept = KeepFileAside(file, KeepReason::Damaged)) {
        message += ", the damaged file kept as " + kept->generic_string();
    } else {
        message += ", the damaged file could not be moved aside";
    }
    return {FileStatus::Damaged, message};
}

} // namespace vorlane
