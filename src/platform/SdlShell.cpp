// Opening addresses and files with the system's default handler.
#include "platform/SdlShell.h"

#include "platform/Files.h"

#include <SDL.h>

#include <cctype>
#include <filesystem>

namespace vorlane {

std::string ShellAddress(const std::string& target) {
    if (target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0) return target;
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(NativePath(target), ec);
    const std::string path = ec ? NativePath(target) : full.generic_string();
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

void SdlShell::Open(const std::string& target) {
    SDL_OpenURL(ShellAddress(target).c_str());
}

} // namespace vorlane
