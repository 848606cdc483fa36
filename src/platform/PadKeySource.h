#pragma once
// The held keys of the keyboard with the keys the game pad holds added, so that the
// race's polled snapshot sees "Up held" from either.
#include "engine/Clock.h"
#include "platform/PadMapping.h"

namespace vorlane {

class PadKeySource final : public IKeySource {
  public:
    PadKeySource(IKeySource& keyboard, const PadTranslator& pad) : keyboard_(keyboard), pad_(pad) {}
    bool IsForeground() override { return keyboard_.IsForeground(); }
    void Snapshot(uint8_t keys[256]) override {
        keyboard_.Snapshot(keys);
        const HeldKeys& held = pad_.Held();
        for (int key = 1; key < 256; ++key)
            if (held.test(std::size_t(key))) keys[key] |= 0x80;
    }

  private:
    IKeySource& keyboard_;
    const PadTranslator& pad_;
};

} // namespace vorlane
