#pragma once
// Window events as the game's handlers take them: keys with Windows virtual-key
// codes, typed characters as Latin-1, the mouse in drawing-area pixels.
#include <cstdint>

namespace vorlane {

enum class EventKind {
    KeyDown,     // key, alt/shift/ctrl; repeat when the key is held down
    KeyUp,       // key, alt/shift/ctrl
    Char,        // ch: a typed Latin-1 character; Backspace 8, Tab 9, Enter 13 and Esc 27 too
    MouseMove,   // x, y
    MouseDown,   // x, y, button
    MouseUp,     // x, y, button
    Click,       // x, y, button: released after a press on the drawing area
    DoubleClick, // x, y, button: the second press of a double click
    CloseRequest,
    Activate,   // the window got the keyboard focus
    Deactivate, // the window lost it
    PadLost,    // the game pad in use was unplugged (a race pauses)
};

struct InputEvent {
    EventKind kind = EventKind::KeyDown;
    int key = 0;      // virtual-key code (KeyCodes.h)
    bool alt = false; // modifier state when the event happened
    bool shift = false;
    bool ctrl = false;
    bool repeat = false;
    char ch = 0;      // Latin-1
    int x = 0, y = 0; // 0..799, 0..599
    int button = 0;   // 1 left, 2 middle, 3 right
};

class IEventSource {
  public:
    virtual ~IEventSource() = default;
    // The next waiting event; false when there is none. Never blocks.
    virtual bool Poll(InputEvent& event) = 0;
};

} // namespace vorlane
