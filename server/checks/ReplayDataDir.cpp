#include "checks/ReplayDataDir.h"

namespace vorlane::scores {

std::filesystem::path ReplayDataDir(const std::function<const char*(const char*)>& getEnvironment) {
    const char* chosen = getEnvironment(kDataDirVariable);
    if (chosen != nullptr && *chosen != '\0') return chosen;
    return VORLANE_SCORES_DEFAULT_DATA_DIR;
}

} // namespace vorlane::scores
