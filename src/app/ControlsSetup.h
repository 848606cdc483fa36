#pragma once
// The controls file put to work: the keyboard's key table, the pad's bindings and
// the keys that choose in the menus.
#include "engine/Input.h"
#include "persist/Controls.h"
#include "platform/PadMapping.h"

#include <string>
#include <vector>

namespace vorlane {

struct AppliedControls {
    TKeyAssignList keyTable;     // the input component's table
    PadBindings pad;             // race and menus
    std::vector<int> chooseKeys; // keys other than Enter that choose like Enter
    std::vector<std::string> problems;
};

// The pad holds a state through a code of its own in the state's third slot, so an
// action bound to pad inputs alone still works and a keyboard key never stands in
// for the pad.
constexpr int PadStateCode(int state) {
    return 200 + state;
}

// Builds the tables from the bindings. The race and the menus share the four
// direction states and Esc: keys given to accelerate also move a selection up, and
// a state holds at most two keys, the race's first.
AppliedControls ApplyControls(const ControlBindings& bindings, const PadInputLookup& padInput);

} // namespace vorlane
