#pragma once
// The headless player's script: one event per line, "FRAME EVENT [ARGS]", applied
// before that frame runs; "#" starts a comment.
//
//   down KEY | up KEY | press KEY (down now, up one frame later) | text STRING |
//   mouse X Y | click | dblclick | close | focus off | focus on |
//   pad press|down|up BUTTON | pad axis AXIS VALUE | pad connect | pad remove
//
// KEY: Up Down Left Right Space Enter Esc Shift Ctrl Alt Backspace, letters A-Z,
// digits 0-9 (names in any case).
// BUTTON and AXIS: SDL's game controller names (a, b, x, y, back, start, dpup,
// dpdown, dpleft, dpright, leftshoulder, rightshoulder; leftx, lefty, rightx, righty,
// lefttrigger, righttrigger); VALUE -32768..32767. The first button or axis plugs the
// virtual pad in; "pad remove" pulls it out (a race pauses).
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlane::play {

enum class ScriptAction {
    Down,
    Up,
    Text,
    Mouse,
    Click,
    DoubleClick,
    Close,
    FocusOff,
    FocusOn,
    PadDown,
    PadUp,
    PadAxis,
    PadConnect,
    PadRemove,
};

struct ScriptEvent {
    int frame = 0;
    ScriptAction action = ScriptAction::Click;
    int key = 0;       // virtual-key code of Down / Up
    std::string text;  // Latin-1 characters of Text
    int x = 0, y = 0;  // Mouse
    int padButton = 0; // PadDown / PadUp: SDL's button number
    int padAxis = 0;   // PadAxis: SDL's axis number, and its value
    int padValue = 0;
    int line = 0; // where it was written
};

// A script line the player does not understand: the message names the line.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The events in frame order (the order of the file within a frame); "press" gives a
// Down at its frame and an Up one frame later. Throws ScriptError.
std::vector<ScriptEvent> ParseScript(std::istream& in);

// The virtual-key code of a key name, 0 for an unknown name.
int KeyByName(const std::string& name);

} // namespace vorlane::play
