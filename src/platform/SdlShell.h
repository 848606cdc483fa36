#pragma once
// IShell over SDL_OpenURL.
#include "platform/Shell.h"

#include <string>

namespace vorlane {

// Web addresses go to the system as they are; anything else is taken as a file
// relative to the working folder and handed over as a file:// address.
class SdlShell final : public IShell {
  public:
    void Open(const std::string& target) override;
};

// The address SdlShell hands to the system for target: web and file addresses stay,
// a path becomes file:// with the absolute path (spaces and such percent-encoded).
std::string ShellAddress(const std::string& target);

} // namespace vorlane
