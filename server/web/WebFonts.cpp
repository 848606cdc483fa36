#include "web/WebFonts.h"

#include <array>
#include <fstream>
#include <sstream>

namespace vorlane::scores {
namespace {

struct FontFile {
    std::string_view name;
    std::string_view path;
};

// Where Debian's packages put them.
constexpr std::array<FontFile, 3> kFontFiles{{
    {"roboto-condensed.ttf", "/usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Regular.ttf"},
    {"roboto-condensed-bold.ttf", "/usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Bold.ttf"},
    {"dseg14-classic.ttf", "/usr/share/fonts/truetype/dseg/DSEG14Classic-Regular.ttf"},
}};

} // namespace

std::vector<WebFont> LoadWebFonts(std::vector<std::string>& missing) {
    std::vector<WebFont> fonts;
    for (const FontFile& file : kFontFiles) {
        std::ifstream in{std::string(file.path), std::ios::binary};
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in || bytes.str().empty()) {
            missing.emplace_back(file.path);
            continue;
        }
        fonts.push_back(WebFont{std::string(file.name), bytes.str()});
    }
    return fonts;
}

} // namespace vorlane::scores
