#pragma once
// The real clock and keyboard for the frame timer and the input component.
#include "engine/Clock.h"

namespace vorlane {

class SdlDisplay;

// SDL's millisecond tick count (wraps after 49 days like a 32-bit tick count).
class SdlClock final : public IClock {
  public:
    uint32_t Milliseconds() override;
};

// The held keys by virtual-key code, from SDL's keyboard state (which the event pump
// keeps up to date). Shift, Ctrl and Alt set both the generic code and the left/right
// one. Foreground means the game window has the keyboard focus.
class SdlKeySource final : public IKeySource {
  public:
    explicit SdlKeySource(const SdlDisplay& display) : display_(display) {}
    bool IsForeground() override;
    void Snapshot(uint8_t keys[256]) override;

  private:
    const SdlDisplay& display_;
};

} // namespace vorlane
