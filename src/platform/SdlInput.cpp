// The clock and the held-key snapshot over SDL.
#include "platform/SdlInput.h"

#include "platform/KeyCodes.h"
#include "platform/SdlDisplay.h"
#include "platform/SdlEventPump.h"

#include <SDL.h>

#include <cstring>

namespace vorlane {

uint32_t SdlClock::Milliseconds() {
    return SDL_GetTicks();
}

bool SdlKeySource::IsForeground() {
    return display_.HasKeyboardFocus();
}

void SdlKeySource::Snapshot(uint8_t keys[256]) {
    std::memset(keys, 0, 256);
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (int sc = 0; sc < count; ++sc) {
        if (!state[sc]) continue;
        const auto scancode = SDL_Scancode(sc);
        const int code = VirtualKeyFromSdlKey(SDL_GetKeyFromScancode(scancode));
        if (code > 0 && code < 256) keys[code] = 0x80;
        // Windows also keeps the left/right codes of the modifier keys.
        switch (scancode) {
        case SDL_SCANCODE_LSHIFT:
            keys[vk::LeftShift] = 0x80;
            break;
        case SDL_SCANCODE_RSHIFT:
            keys[vk::RightShift] = 0x80;
            break;
        case SDL_SCANCODE_LCTRL:
            keys[vk::LeftCtrl] = 0x80;
            break;
        case SDL_SCANCODE_RCTRL:
            keys[vk::RightCtrl] = 0x80;
            break;
        case SDL_SCANCODE_LALT:
            keys[vk::LeftAlt] = 0x80;
            break;
        case SDL_SCANCODE_RALT:
            keys[vk::RightAlt] = 0x80;
            break;
        default:
            break;
        }
    }
}

} // namespace vorlane
