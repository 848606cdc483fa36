// The game pad's buttons and axes as keyboard keys.
#include "platform/PadMapping.h"

#include "platform/KeyCodes.h"

namespace vorlane {

namespace {

bool Pushed(const PadState& pad, PadAxis axis, int sign) {
    const int v = pad.Axis(axis) * sign;
    return v > PadDeadZone;
}

// Up, down, left and right from the D-pad or the left stick.
bool DirectionUp(const PadState& p) { return p.Button(PadButton::DpadUp) || Pushed(p, PadAxis::LeftY, -1); }
bool DirectionDown(const PadState& p) { return p.Button(PadButton::DpadDown) || Pushed(p, PadAxis::LeftY, 1); }
bool DirectionLeft(const PadState& p) { return p.Button(PadButton::DpadLeft) || Pushed(p, PadAxis::LeftX, -1); }
bool DirectionRight(const PadState& p) { return p.Button(PadButton::DpadRight) || Pushed(p, PadAxis::LeftX, 1); }

// The character a key types when it goes down (0 for none).
char TypedBy(int key) {
    switch (key) {
    case vk::Enter: return 13;
    case vk::Esc: return 27;
    case vk::Backspace: return 8;
    default: return 0;
    }
}

} // namespace

HeldKeys PadKeys(const PadState& pad, PadContext context) {
    HeldKeys keys;
    if (!pad.connected) return keys;
    const auto hold = [&keys](int key, bool down) {
        if (down) keys.set(std::size_t(key));
    };
    const auto button = [&pad](PadButton b) { return pad.Button(b); };
    switch (context) {
    case PadContext::Race:
        // Steering from the stick or the D-pad; the D-pad's up and down drive too.
        hold(vk::Left, DirectionLeft(pad));
        hold(vk::Right, DirectionRight(pad));
        hold(vk::Up, button(PadButton::DpadUp) || button(PadButton::A) || Pushed(pad, PadAxis::RightTrigger, 1));
        hold(vk::Down, button(PadButton::DpadDown) || button(PadButton::B) || Pushed(pad, PadAxis::LeftTrigger, 1));
        hold(vk::Letter('Z'), button(PadButton::X));            // fire
        hold(vk::Letter('X'), button(PadButton::RightShoulder)); // nitro
        hold(vk::Space, button(PadButton::LeftShoulder));        // handbrake
        hold(vk::Letter('H'), button(PadButton::Y));             // horn
        hold(vk::Letter('P'), button(PadButton::Start));         // pause
        hold(vk::Esc, button(PadButton::Back));                  // leave the race?
        break;
    case PadContext::Menus:
        hold(vk::Up, DirectionUp(pad));
        hold(vk::Down, DirectionDown(pad));
        hold(vk::Left, DirectionLeft(pad));
        hold(vk::Right, DirectionRight(pad));
        hold(vk::Enter, button(PadButton::A));
        hold(vk::Esc, button(PadButton::B) || button(PadButton::Back));
        hold(vk::Letter('P'), button(PadButton::Start)); // closes the pause dialog
        break;
    case PadContext::TextEntry:
        // The directions belong to the letter picker.
        hold(vk::Enter, button(PadButton::A) || button(PadButton::Start));
        hold(vk::Backspace, button(PadButton::B));
        break;
    }
    return keys;
}

std::vector<InputEvent> PadTranslator::Update(const PadState& pad, PadContext context) {
    if (context != context_) {
        for (int b = 0; b < PadButtonCount; ++b) blocked_[std::size_t(b)] = pad.buttons[std::size_t(b)];
        context_ = context;
    }
    PadState effective = pad;
    for (int b = 0; b < PadButtonCount; ++b) {
        auto& blocked = blocked_[std::size_t(b)];
        if (!pad.buttons[std::size_t(b)]) blocked = false;
        if (blocked) effective.buttons[std::size_t(b)] = false;
    }

    const HeldKeys now = PadKeys(effective, context);
    std::vector<InputEvent> events;
    for (int key = 1; key < 256; ++key) {
        const bool was = held_.test(std::size_t(key)), is = now.test(std::size_t(key));
        if (was == is) continue;
        InputEvent e;
        e.kind = is ? EventKind::KeyDown : EventKind::KeyUp;
        e.key = key;
        events.push_back(e);
        if (is && TypedBy(key)) {
            e.kind = EventKind::Char;
            e.ch = TypedBy(key);
            events.push_back(e);
        }
    }
    held_ = now;

    // The picker: one move per push of the D-pad or the stick.
    int direction = 0;
    if (context == PadContext::TextEntry && effective.connected) {
        if (DirectionUp(effective)) direction = 1;
        else if (DirectionDown(effective)) direction = 2;
        else if (DirectionRight(effective)) direction = 3;
        else if (DirectionLeft(effective)) direction = 4;
    }
    static constexpr PickerMove moves[] = {PickerMove::None, PickerMove::NextLetter, PickerMove::PreviousLetter,
                                           PickerMove::MoveOn, PickerMove::TakeBack};
    picker_ = direction != pickerDirection_ ? moves[direction] : PickerMove::None;
    pickerDirection_ = direction;
    return events;
}

} // namespace vorlane
