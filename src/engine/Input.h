#pragma once
// The input component: the held keyboard keys turned into 36 named input states (up,
// down, left, right, buttons 1 to 32), polled once at the start of every frame. Each
// state has three key slots holding Windows virtual-key codes; 0 means no key.
#include "engine/Clock.h"

#include <array>
#include <cstdint>

namespace vorlane {

enum TInputState : int {
    isUp,
    isDown,
    isLeft,
    isRight,
    isButton1,
    isButton2,
    isButton3,
    isButton4,
    isButton5,
    isButton6,
    isButton7,
    isButton8,
    isButton9,
    isButton10,
    isButton11,
    isButton12,
    isButton13,
    isButton14,
    isButton15,
    isButton16,
    isButton17,
    isButton18,
    isButton19,
    isButton20,
    isButton21,
    isButton22,
    isButton23,
    isButton24,
    isButton25,
    isButton26,
    isButton27,
    isButton28,
    isButton29,
    isButton30,
    isButton31,
    isButton32,
};
constexpr int InputStateCount = 36;

// A set of input states: bit i is state i.
using TInputStates = uint64_t;
constexpr TInputStates StateBit(int state) {
    return TInputStates(1) << state;
}
constexpr TInputStates AllInputStates = (TInputStates(1) << InputStateCount) - 1;

// Per state, in state order, three virtual-key codes.
using TKeyAssign = std::array<int32_t, 3>;
using TKeyAssignList = std::array<TKeyAssign, InputStateCount>;

// The game's own key table: arrows, H (horn), P, Y, N, Esc, Space (handbrake), Enter,
// Z (fire), X (nitro), C, V, B and the digit keys.
TKeyAssignList GameKeyAssigns();

class TInputDevice {
  public:
    explicit TInputDevice(IKeySource& keys);

    // Report nothing while the game window is not the foreground window.
    bool ActiveOnly = true;
    // The keyboard device: enabled and bound into States. (Joystick and mouse are
    // not used by the game and contribute nothing.)
    bool KeyboardEnabled = true;
    bool KeyboardBindInput = true;
    // Keyboard.Assigns: the key table, all codes 0 until set.
    TKeyAssignList Assigns{};

    // Bring the devices up (when the owner is loaded): an enabled keyboard becomes
    // ready. A device that is not ready reports no keys.
    void Initialize();
    void Finalize();
    bool KeyboardReady() const { return keyboardReady_; }

    // The frame's poll: reads the keyboard, then adds to States the states that went
    // down since the previous poll and removes those that came up.
    void PollInput();

    // The states the game reads. A state the reader removes stays out until its key is
    // released and pressed again.
    TInputStates States = 0;
    bool Held(TInputState s) const { return (States & StateBit(s)) != 0; }

    // The keyboard's own states of the last poll.
    TInputStates KeyboardStates() const { return keyboardStates_; }

  private:
    void PollKeyboard();

    IKeySource& keys_;
    bool keyboardReady_ = false;
    TInputStates keyboardStates_ = 0;
    TInputStates previous_ = 0;
};

} // namespace vorlane
