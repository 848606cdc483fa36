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

// The whole file, or nothing when it cannot be opened or read (or is not a file).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

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
// folder is created when missing. On failure the old file stays as it was.
FileReport WriteFileAtomically(const std::filesystem::path& file, std::string_view contents);

// Moves a file the game could not understand out of the way, to "<name>.damaged"
// (or "<name>.damaged-2", "-3", ... when that exists), so that nothing is lost.
// Answers the new path, or nothing when the file could not be moved.
std::optional<std::filesystem::path> KeepDamagedFile(const std::filesystem::path& file);

} // namespace vorlane
