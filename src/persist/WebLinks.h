#pragma once
// The game's web links, handed to the system's default handler: the game's home
// page (main menu), the online high-score table (high-score screen) and the link
// file "play.url" opened when the game ends. Whether the system managed to open
// them is not asked.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Shell.h"

namespace vorlane {

inline constexpr const char* kOnlineTablePath = "/cgi/version.pl?prg=Vorlane&show&type=0";

// serverUrl is the score server's address ("http://host[:port]", persist/ServerAddress.h).
std::string HomePageUrl(std::string_view serverUrl);    // "<server>/"
std::string OnlineTableUrl(std::string_view serverUrl); // "<server>/cgi/version.pl?prg=Vorlane&show&type=0"

// Asks the system to open an address or a file; every failure is ignored.
void OpenUrl(IShell& shell, const std::string& address) noexcept;

// The last step of the shut-down: opens "play.url" in the data root when that file
// exists, otherwise nothing. Answers whether it asked the shell to open it.
bool GoToLink(IShell& shell, const std::filesystem::path& dataRoot) noexcept;

} // namespace vorlane
