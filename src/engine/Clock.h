#pragma once
// Time and held keys, as the frame timer and the input component read them. The
// platform layer gives the real ones; the headless player and tests inject their own.
#include <cstdint>

namespace vorlane {

class IClock {
  public:
    virtual ~IClock() = default;
    virtual uint32_t Milliseconds() = 0; // wraps like a 32-bit tick count
};

class IKeySource {
  public:
    virtual ~IKeySource() = default;
    virtual bool IsForeground() = 0; // the game window has the keyboard focus
    // One byte per Windows virtual-key code, high bit set while the key is held.
    virtual void Snapshot(uint8_t keys[256]) = 0;
};

} // namespace vorlane
