#pragma once
// Reading and writing the game's small line-based text files (options, high
// scores). Lines are written ended by CR LF; on reading, LF alone is accepted too.
// Contents are bytes: names and the country may hold any 8-bit characters.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "persist/FileReport.h"

namespace vorlane {

// The game's save files are a few hundred bytes; anything far beyond that is not
// one of them and is never read whole.
inline constexpr uintmax_t kMaxSaveFileBytes = 64 * 1024;
inline constexpr size_t kMaxSaveLineBytes = 1024;

// A replay of even a very long game is a few hundred kilobytes; a bigger file is not
// one of ours and is never read whole.
inline constexpr uintmax_t kMaxReplayFileBytes = 4 * 1024 * 1024;

// The lines of a save file that must have exactly `lineCount` of them.
struct SaveFileLines {
    FileStatus status = FileStatus::Ok; // Ok, Missing or Damaged
    std::string problem;                // what is wrong, when not Ok
    std::vector<std::string> lines;     // `lineCount` lines when Ok
};

// What reading a whole file of a bounded size came to.
struct BoundedFileRead {
    std::optional<std::string> contents; // the whole file, when it was read
    std::string problem;                 // why it was not, when not: "it is a directory, not a file"
};

// The whole file when it is a regular file of at most `limit` bytes. Anything else
// is refused without reading a byte of it: a folder, a pipe or a device (never
// waited on), a file whose size is larger; a file that grows past the limit while it
// is read is refused too. The problem says which.
BoundedFileRead ReadFileWithin(const std::filesystem::path& file, uintmax_t limit);

// The same, the contents only: nothing when the file cannot be read, is not a
// regular file or is larger than `limit`.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, uintmax_t limit);

// Reads a save file of exactly `lineCount` lines. Missing: it cannot be opened (or
// is not a file). Damaged, and not read at all: larger than kMaxSaveFileBytes.
// Damaged: a line longer than kMaxSaveLineBytes, fewer or more lines than asked.
SaveFileLines ReadSaveFileLines(const std::filesystem::path& file, size_t lineCount);

// "line 3 \"abc\" is not a number": a line quoted short and with every byte shown.
std::string LineIsNotANumber(size_t lineNumber, std::string_view line);

// The lines of a file's contents, without their CR LF or LF. A last line without
// an ending counts when it is not empty.
std::vector<std::string> SplitLines(std::string_view contents);

// The lines joined, each ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Reads a decimal integer the way the game's files always held them: blanks before
// it are skipped, an optional sign, digits, then a blank or the end of the line;
// whatever follows the blank is ignored. Nothing when the line holds no such
// number or it does not fit in 32 bits.
std::optional<int32_t> ParseIntegerLine(std::string_view line);

// Writes the file without ever leaving a half-written one: the contents go to a
// temporary file beside it, which then replaces the old file in one step. The
// folder is created when missing. On failure the old file stays as it was. A file
// that is a symbolic link is saved through it: the file it leads to is replaced (its
// temporary file beside it) and the link stays.
FileReport WriteFileAtomically(const std::filesystem::path& file, std::string_view contents);

// Why a file is kept aside: it could not be understood (".damaged"), or it was
// understood but the game will not use it (".rejected", a table failing its check).
enum class KeepReason { Damaged, Rejected };

// Moves a file out of the way, to "<name>.damaged" or "<name>.rejected" (or
// "-2", "-3", ... after it when that exists), so that nothing is lost. It is a
// rename, whatever the file's size, and it never replaces a file kept earlier.
// Answers the new path, or nothing when the file could not be moved.
std::optional<std::filesystem::path> KeepFileAside(const std::filesystem::path& file,
                                                   KeepReason reason = KeepReason::Damaged);

// The report of a damaged save file: moved aside, and the message naming the file,
// what is wrong, what is used instead ("default options") and where it was kept.
FileReport ReportDamagedFile(const std::filesystem::path& file, const std::string& problem,
                             std::string_view defaultsInUse);

} // namespace vorlane
