#include "persist/WebLinks.h"

#include <system_error>

#include "persist/GamePaths.h"

namespace vorlane {

std::string HomePageUrl(std::string_view serverUrl) {
    return std::string(serverUrl) + "/";
}

std::string OnlineTableUrl(std::string_view serverUrl) {
    return std::string(serverUrl) + kOnlineTablePath;
}

void OpenUrl(IShell& shell, const std::string& address) noexcept {
    try {
        shell.Open(address);
    } catch (...) {
        // Nothing opened; the game goes on.
    }
}

bool GoToLink(IShell& shell, const std::filesystem::path& dataRoot) noexcept {
    try {
        const std::filesystem::path link = GamePath(dataRoot, kLinkFileName);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(link, ec)) return false;
        OpenUrl(shell, link.string());
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace vorlane
