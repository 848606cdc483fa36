#pragma once
// A game pad as the game sees it: its buttons and axes turned into the keys of the
// keyboard, so that the race and the menus read "Up held" the same from either.
// Nothing here talks to SDL: the real pad and the headless player's virtual pad fill
// the same PadState and go through the same mapping.
#include "platform/Events.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane {

// The pad's buttons, numbered as SDL's game controller numbers them.
enum class PadButton : int {
    A, B, X, Y, Back, Guide, Start, LeftStick, RightStick, LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight, Misc1, Paddle1, Paddle2, Paddle3, Paddle4, Touchpad,
};
constexpr int PadButtonCount = 21;

// The pad's axes, numbered as SDL numbers them: sticks -32768..32767 (y grows
// downwards), triggers 0..32767.
enum class PadAxis : int { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };
constexpr int PadAxisCount = 6;

// Sticks and triggers closer to rest than this count as at rest (a worn stick never
// quite centres).
constexpr int PadDeadZone = 8000;

struct PadState {
    bool connected = false;
    std::array<bool, PadButtonCount> buttons{};
    std::array<int16_t, PadAxisCount> axes{};

    bool Button(PadButton b) const { return buttons[std::size_t(b)]; }
    int Axis(PadAxis a) const { return axes[std::size_t(a)]; }
};

// Which part of the game the pad is driving: A accelerates in the race, chooses in
// the menus; in a text field the D-pad picks letters.
enum class PadContext { Race, Menus, TextEntry };

using HeldKeys = std::bitset<256>; // by virtual-key code

// The keys the pad holds down in a context.
HeldKeys PadKeys(const PadState& pad, PadContext context);

// The letter picker's moves, from the D-pad or the stick in a text field.
enum class PickerMove { None, NextLetter, PreviousLetter, MoveOn, TakeBack };

// Follows the pad from frame to frame: the keys it holds (for the polled keyboard
// snapshot) and the key events of the keys that went down or up since the previous
// frame (Enter, Esc and Backspace also type their character, as a keyboard does).
// A button already held when the context changes does nothing in the new context
// until it is let go: the A that ends a race does not also choose in the menu that
// follows, and the A that starts one does not also accelerate.
class PadTranslator {
public:
    // The events of this frame's pad state; Held() is up to date afterwards.
    std::vector<InputEvent> Update(const PadState& pad, PadContext context);
    const HeldKeys& Held() const { return held_; }
    // The picker moves of this frame (text entry only; each move once per push).
    PickerMove Picker() const { return picker_; }

private:
    HeldKeys held_;
    PadContext context_ = PadContext::Menus;
    std::array<bool, PadButtonCount> blocked_{};
    PickerMove picker_ = PickerMove::None;
    int pickerDirection_ = 0; // which way the picker was pushed last frame (0 none)
};

} // namespace vorlane
