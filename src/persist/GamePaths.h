#pragma once
// The game names its files the way they were always named, relative to its data
// root with backslashes ("Data\Save\hs"). This turns such a name into a path of the
// platform the game runs on.
#include <filesystem>
#include <string_view>

namespace vorlane {

std::filesystem::path GamePath(const std::filesystem::path& dataRoot, std::string_view relativeName);

inline constexpr std::string_view kOptionsFileName = "Data\\Save\\options";
inline constexpr std::string_view kHighScoreFileName = "Data\\Save\\hs";
inline constexpr std::string_view kLinkFileName = "play.url";

} // namespace vorlane
