#pragma once
// Where the server finds the game's data folder (the folder holding Data/Res and
// Data/Music) to play replays through: the environment variable VORLANE_DATA_DIR,
// else the folder this build generated its data into (or the installed one).
#include <filesystem>
#include <functional>

namespace vorlane::scores {

inline constexpr const char* kDataDirVariable = "VORLANE_DATA_DIR";

std::filesystem::path ReplayDataDir(const std::function<const char*(const char*)>& getEnvironment);

} // namespace vorlane::scores
