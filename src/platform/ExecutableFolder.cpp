#include "platform/ExecutableFolder.h"

#include <SDL.h>

namespace vorlane {

std::filesystem::path ExecutableFolder() {
    char* base = SDL_GetBasePath(); // needs no SDL_Init; ends with a separator
    if (!base) return {};
    std::filesystem::path folder(base);
    SDL_free(base);
    return folder.parent_path();
}

} // namespace vorlane
