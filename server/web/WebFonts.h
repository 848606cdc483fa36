#pragma once
// The fonts the pages are set in, served by the server itself from the font files
// the game's own packages install (fonts-roboto-unhinted, fonts-dseg), so that
// every visitor sees the game's letters and its display digits, not whatever the
// browser falls back to.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::scores {

inline constexpr std::string_view kWebFontsPath = "/fonts/";

struct WebFont {
    std::string name;  // as served: /fonts/NAME
    std::string bytes; // the TrueType file
};

// Reads every font the style sheet names; a file that is not installed is left out
// and named in `missing` (the pages then fall back to the visitor's fonts).
std::vector<WebFont> LoadWebFonts(std::vector<std::string>& missing);

} // namespace vorlane::scores
