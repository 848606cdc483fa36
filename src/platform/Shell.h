#pragma once
// Hands an address or a file to the system's default handler (the web browser for
// the game's web links, whatever handles ".url" files for "play.url"). Served by
// the platform layer; tests may fake it.
#include <string>

namespace vorlane {

class IShell {
  public:
    virtual ~IShell() = default;
    virtual void Open(const std::string& target) = 0;
};

} // namespace vorlane
