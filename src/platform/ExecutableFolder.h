#pragma once
// The folder the running program was started from (its executable's folder, links
// resolved), whatever the working folder is.
#include <filesystem>

namespace vorlane {

// Empty when the system cannot tell.
std::filesystem::path ExecutableFolder();

} // namespace vorlane
