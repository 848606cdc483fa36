#include "app/ControlsSetup.h"

#include "platform/KeyCodes.h"

#include <algorithm>

namespace vorlane {

namespace {

// The input state each action drives; Choose has none (it is Enter's typed key).
constexpr int NoState = -1;
constexpr int kActionState[ControlActionCount] = {
    isLeft,    isRight,   isUp, isDown, isButton12, isButton13, isButton10, isButton5,
    isButton6, isButton9, isUp, isDown, isLeft,     isRight,    NoState,    isButton9,
};
constexpr bool IsMenuAction(int action) {
    return action >= int(ControlAction::MenuUp);
}

} // namespace

AppliedControls ApplyControls(const ControlBindings& bindings, const PadInputLookup& padInput) {
    AppliedControls out;
    out.keyTable = GameKeyAssigns();
    std::array<std::vector<int>, InputStateCount> keys;
    for (int a = 0; a < ControlActionCount; ++a) {
        const ControlBinding& b = bindings[std::size_t(a)];
        const int state = kActionState[a];
        if (state == NoState) {
            for (int key : b.keys)
                if (key != vk::Enter) out.chooseKeys.push_back(key);
        } else {
            std::vector<int>& held = keys[std::size_t(state)];
            for (int key : b.keys) {
                if (std::find(held.begin(), held.end(), key) != held.end()) continue;
                if (int(held.size()) < MaxKeysPerAction)
                    held.push_back(key);
                else
                    out.problems.push_back(std::string(ControlActionName(ControlAction(a))) +
                                           ": its state already has two keys, the race's first");
            }
        }
        const int padKey = state == NoState ? vk::Enter : PadStateCode(state);
        for (const std::string& name : b.padInputs) {
            const std::optional<PadInput> input = padInput(name);
            if (!input) continue; // the parser let only known names through
            auto& list = IsMenuAction(a) ? out.pad.menus : out.pad.race;
            list.push_back({*input, padKey});
            // Pause works in the menus too: it closes the pause dialog.
            if (a == int(ControlAction::Pause)) out.pad.menus.push_back({*input, padKey});
        }
    }
    for (int state = 0; state < InputStateCount; ++state) {
        const std::vector<int>& held = keys[std::size_t(state)];
        TKeyAssign& slots = out.keyTable[std::size_t(state)];
        const bool bound = std::any_of(std::begin(kActionState), std::end(kActionState),
                                       [state](int s) { return s == state; });
        if (!bound) continue;
        slots = TKeyAssign{0, 0, PadStateCode(state)};
        for (size_t i = 0; i < held.size(); ++i)
            slots[i] = held[i];
    }
    return out;
}

} // namespace vorlane
