#pragma once
// The controls file: which keys and pad inputs drive each action of the race and the
// menus. A plain text file in the save folder, one action a line:
//
//   # comment
//   accelerate = Up, pad:righttrigger, pad:a
//
// Keys by name (Up, Down, Left, Right, Space, Enter, Esc, Tab, Backspace, Shift,
// Ctrl, Alt, Insert, Delete, Home, End, PageUp, PageDown, F1..F12, A..Z, 0..9), at
// most two per action; pad inputs as "pad:" and SDL's name of a button, a trigger
// or one way of a stick axis ("pad:leftx-"). A line that is not understood is
// reported and its action keeps the game's own binding.
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

enum class ControlAction {
    SteerLeft,
    SteerRight,
    Accelerate,
    Brake,
    Fire,
    Nitro,
    Handbrake,
    Horn,
    Pause,
    Leave,
    MenuUp,
    MenuDown,
    MenuLeft,
    MenuRight,
    Choose,
    Back,
};
constexpr int ControlActionCount = 16;
constexpr int MaxKeysPerAction = 2; // the third slot of a state is the pad's

// The action's word in the file ("steer_left", "menu_up", ...).
std::string_view ControlActionName(ControlAction action);

struct ControlBinding {
    std::vector<int> keys;              // virtual-key codes
    std::vector<std::string> padInputs; // SDL's names, without "pad:"
};
using ControlBindings = std::array<ControlBinding, ControlActionCount>;

// Bad lines named one by one; a file with more is summed up after them.
inline constexpr size_t kMostControlsProblemsNamed = 5;

struct ControlsRead {
    ControlBindings bindings;
    // One per bad line, its number and the line quoted short, for the first
    // kMostControlsProblemsNamed; then one line counting the rest.
    std::vector<std::string> problems;
};

// Tells whether a name is a pad input the game knows (the platform's names).
using PadInputCheck = std::function<bool(const std::string&)>;

// The game's own bindings.
ControlBindings DefaultControls();
// The file's text as written on the first start: a comment and every default line.
std::string DefaultControlsText();
// Reads the file's text: every action starts from its default; each good line
// replaces its action's binding; a bad line (unknown action or key or pad input, a
// second line for the same action, no "=", nothing bound, too many keys) is named
// in problems and changes nothing.
ControlsRead ParseControls(std::string_view text, const PadInputCheck& isPadInput);

inline constexpr std::string_view kControlsFileName = "Data\\Save\\controls";

// The controls file among the player's saves (saveRoot holds "Data\Save", as for the
// options and the table): read, or written with the defaults when there is none yet
// (its problems then tell when that failed). A file too large to be a controls file
// is not read: the defaults apply.
ControlsRead LoadControls(const std::filesystem::path& saveRoot, const PadInputCheck& isPadInput);

// A key's name in the file, and back (0 for a name that is no key).
std::string KeyName(int key);
int KeyFromName(std::string_view name);

} // namespace vorlane
