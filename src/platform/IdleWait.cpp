#include "platform/IdleWait.h"

#include <SDL.h>

namespace vorlane {

void WaitForEventOrTimeout(uint32_t milliseconds) {
    // Looking at the queue without taking the event: the event pump reads it next.
    SDL_WaitEventTimeout(nullptr, int(milliseconds));
}

} // namespace vorlane
