#pragma once
// Writing generated files: whole files, folders made on the way, replaced atomically so
// that the game never sees a half-written archive.
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane::datagen {

// Writes bytes to path (creating its folders) through a temporary file and a rename.
// Throws std::runtime_error naming the file when anything fails.
void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes);

// The whole file; throws std::runtime_error naming the file when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

} // namespace vorlane::datagen
