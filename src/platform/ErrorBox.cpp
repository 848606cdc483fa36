#include "platform/ErrorBox.h"

#include "platform/TextRenderer.h"

#include <SDL.h>

#include <cstdio>

namespace vorlane {

void ShowErrorBox(const std::string& title, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    // Messages name files and images as the game knows them: Latin-1.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Latin1ToUtf8(title).c_str(), Latin1ToUtf8(message).c_str(),
                             nullptr);
}

} // namespace vorlane
