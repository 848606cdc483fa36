#pragma once
// Whole-file reading and writing relative to the working folder. Paths may be written
// the Windows way ("Data\Save\options"); they are mapped to this system's separator.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// "Data\Res\Res1.gfx" -> "Data/Res/Res1.gfx" where the separator is '/'.
std::string NativePath(const std::string& path);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path);

// Replaces the file in one step: the bytes go to a temporary file in the same folder,
// which is then renamed over the old one, so a crash never leaves half a file. Missing
// folders are created. False (and the old file untouched) when anything fails.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteFileAtomically(const std::string& path, const std::string& text);

// A regular file exists at path.
bool FileExists(const std::string& path);

} // namespace vorlane
