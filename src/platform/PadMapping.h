#pragma once
// A game pad as the game sees it: its buttons and axes turned into the keys of the
// keyboard, so that the race and the menus read "Up held" the same from either.
// Nothing here talks to SDL: the real pad and the headless player's virtual pad fill
// the same PadState and go through the same mapping.
#include "platform/Events.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// The pad's buttons, numbered as SDL's game controller numbers them.
enum class PadButton : int {
    A,
    B,
    X,
    Y,
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    Misc1,
    Paddle1,
    Paddle2,
    Paddle3,
    Paddle4,
    Touchpad,
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

// One of the pad's buttons, or one way of one of its axes (a trigger pulled, a stick
// pushed left or right, up or down), past the dead zone.
struct PadInput {
    bool axis = false;
    int index = 0; // PadButton or PadAxis
    int sign = 1;  // the axis's way: 1 or -1
    bool operator==(const PadInput&) const = default;
};
bool IsDown(const PadState& pad, PadInput input);
// Turns a pad input's name into the input (GamePads.h has SDL's names).
using PadInputLookup = std::optional<PadInput> (*)(const std::string& name);

// Which pad inputs hold which key, in the race and in the menus and dialogs.
struct PadBinding {
    PadInput input;
    int key = 0;
};
struct PadBindings {
    std::vector<PadBinding> race;
    std::vector<PadBinding> menus;
};
// The game's own: left stick or D-pad steers, right trigger or A accelerates, left
// trigger or B brakes, X fires, right shoulder nitro, left shoulder handbrake, Y
// horn, Start pauses, Back leaves; in the menus the stick or the D-pad moves, A
// chooses, B goes back.
PadBindings DefaultPadBindings();

// The keys the pad holds down in a context. In a text field A and Start accept
// (Enter), B takes back (Backspace) and the directions belong to the letter picker.
HeldKeys PadKeys(const PadState& pad, PadContext context, const PadBindings& bindings);

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
    // The pad's buttons and axes for the race and the menus (the controls file's).
    void SetBindings(PadBindings bindings) { bindings_ = std::move(bindings); }
    // The events of this frame's pad state; Held() is up to date afterwards.
    std::vector<InputEvent> Update(const PadState& pad, PadContext context);
    const HeldKeys& Held() const { return held_; }
    // The picker moves of this frame (text entry only; each move once per push).
    PickerMove Picker() const { return picker_; }

  private:
    PadBindings bindings_ = DefaultPadBindings();
    HeldKeys held_;
    PadContext context_ = PadContext::Menus;
    std::array<bool, PadButtonCount> blocked_{};
    PickerMove picker_ = PickerMove::None;
    int pickerDirection_ = 0; // which way the picker was pushed last frame (0 none)
};

} // namespace vorlane
