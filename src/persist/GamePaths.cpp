#include "persist/GamePaths.h"

#include <string>

namespace vorlane {

std::filesystem::path GamePath(const std::filesystem::path& dataRoot, std::string_view relativeName) {
    std::string name(relativeName);
    for (char& c : name) {
        if (c == '\\') c = '/';
    }
    std::filesystem::path relative(name);
    relative.make_preferred();
    return dataRoot / relative;
}

} // namespace vorlane
