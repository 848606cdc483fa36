#pragma once
// SDL's event queue turned into the game's window events.
#include "platform/Events.h"

#include <deque>

namespace vorlane {

class SdlDisplay;
class GamePads;

class SdlEventPump final : public IEventSource {
  public:
    // The display and the pads must outlive the pump; the display's renderer resets
    // and the pads coming and going are handled here too (without pads, pads are
    // not followed).
    explicit SdlEventPump(SdlDisplay& display, GamePads* pads = nullptr) : display_(display), pads_(pads) {}
    bool Poll(InputEvent& event) override;

  private:
    SdlDisplay& display_;
    GamePads* pads_;
    std::deque<InputEvent> pending_; // one SDL event may give several of ours
    bool clickArmed_ = false;        // a press on the drawing area waits for its release
};

// The virtual-key code of an SDL key code (SDL_Keycode), 0 for keys the game has no
// code for.
int VirtualKeyFromSdlKey(int32_t sdlKey);

} // namespace vorlane
