#include "engine/Input.h"

#include <cstddef>

namespace vorlane {

TKeyAssignList GameKeyAssigns() {
    TKeyAssignList table{};
    const auto bind = [&table](int state, int32_t code) {
        table[std::size_t(state)] = TKeyAssign{code, 0, 0};
    };
    bind(isUp, 38);
    bind(isDown, 40);
    bind(isLeft, 37);
    bind(isRight, 39);
    bind(isButton5, 72);                                                 // H: horn
    bind(isButton6, 80);                                                 // P: pause
    bind(isButton7, 89);                                                 // Y
    bind(isButton8, 78);                                                 // N
    bind(isButton9, 27);                                                 // Esc
    bind(isButton10, 32);                                                // Space: handbrake
    bind(isButton11, 13);                                                // Enter
    bind(isButton12, 90);                                                // Z: fire
    bind(isButton13, 88);                                                // X: nitro
    bind(isButton14, 67);                                                // C
    bind(isButton15, 86);                                                // V
    bind(isButton16, 66);                                                // B
    const int32_t digits[10] = {49, 50, 51, 52, 53, 54, 55, 56, 57, 48}; // 1..9, then 0
    for (int i = 0; i < 10; ++i)
        bind(isButton17 + i, digits[i]);
    return table;
}

TInputDevice::TInputDevice(IKeySource& keys) : keys_(keys) {}

void TInputDevice::Initialize() {
    keyboardReady_ = KeyboardEnabled;
}

void TInputDevice::Finalize() {
    keyboardReady_ = false;
}

void TInputDevice::PollKeyboard() {
    keyboardStates_ = 0;
    if (!keyboardReady_) return;
    if (ActiveOnly && !keys_.IsForeground()) return;

    uint8_t snapshot[256] = {};
    keys_.Snapshot(snapshot);
    for (int state = 0; state < InputStateCount; ++state) {
        for (const int32_t code : Assigns[std::size_t(state)]) {
            // Only real key codes count; 0 is an empty slot.
            if (code >= 1 && code <= 255 && (snapshot[code] & 0x80) != 0) {
                keyboardStates_ |= StateBit(state);
                break;
            }
        }
    }
}

void TInputDevice::PollInput() {
    TInputStates combined = 0;
    PollKeyboard();
    if (KeyboardBindInput) combined |= keyboardStates_;

    const TInputStates pressed = combined & ~previous_;
    const TInputStates released = ~combined & previous_;
    States = (States | pressed) & ~released;
    previous_ = combined;
}

} // namespace vorlane
