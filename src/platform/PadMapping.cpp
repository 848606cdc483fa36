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
bool DirectionUp(const PadState& p) {
    return p.Button(PadButton::DpadUp) || Pushed(p, PadAxis::LeftY, -1);
}
bool DirectionDown(const PadState& p) {
    return p.Button(PadButton::DpadDown) || Pushed(p, PadAxis::LeftY, 1);
}
bool DirectionLeft(const PadState& p) {
    return p.Button(PadButton::DpadLeft) || Pushed(p, PadAxis::LeftX, -1);
}
bool DirectionRight(const PadState& p) {
    return p.Button(PadButton::DpadRight) || Pushed(p, PadAxis::LeftX, 1);
}

// The character a key types when it goes down (0 for none).
char TypedBy(int key) {
    switch (key) {
    case vk::Enter:
        return 13;
    case vk::Esc:
        return 27;
    case vk::Backspace:
        return 8;
    default:
        return 0;
    }
}

} // namespace

bool IsDown(const PadState& pad, PadInput input) {
    if (!input.axis)
        return input.index >= 0 && input.index < PadButtonCount && pad.buttons[std::size_t(input.index)];
    return input.index >= 0 && input.index < PadAxisCount && Pushed(pad, PadAxis(input.index), input.sign);
}

PadBindings DefaultPadBindings() {
    const auto button = [](PadButton b) { return PadInput{false, int(b), 1}; };
    const auto axis = [](PadAxis a, int sign) { return PadInput{true, int(a), sign}; };
    using B = PadButton;
    PadBindings d;
    d.race = {
        {axis(PadAxis::LeftX, -1), vk::Left},
        {button(B::DpadLeft), vk::Left},
        {axis(PadAxis::LeftX, 1), vk::Right},
        {button(B::DpadRight), vk::Right},
        {axis(PadAxis::RightTrigger, 1), vk::Up},
        {button(B::A), vk::Up},
        {button(B::DpadUp), vk::Up},
        {axis(PadAxis::LeftTrigger, 1), vk::Down},
        {button(B::B), vk::Down},
        {button(B::DpadDown), vk::Down},
        {button(B::X), vk::Letter('Z')},             // fire
        {button(B::RightShoulder), vk::Letter('X')}, // nitro
        {button(B::LeftShoulder), vk::Space},        // handbrake
        {button(B::Y), vk::Letter('H')},             // horn
        {button(B::Start), vk::Letter('P')},         // pause
        {button(B::Back), vk::Esc},                  // leave the race?
    };
    d.menus = {
        {axis(PadAxis::LeftY, -1), vk::Up},
        {button(B::DpadUp), vk::Up},
        {axis(PadAxis::LeftY, 1), vk::Down},
        {button(B::DpadDown), vk::Down},
        {axis(PadAxis::LeftX, -1), vk::Left},
        {button(B::DpadLeft), vk::Left},
        {axis(PadAxis::LeftX, 1), vk::Right},
        {button(B::DpadRight), vk::Right},
        {button(B::A), vk::Enter},
        {button(B::B), vk::Esc},
        {button(B::Back), vk::Esc},
        {button(B::Start), vk::Letter('P')}, // closes the pause dialog
    };
    return d;
}

HeldKeys PadKeys(const PadState& pad, PadContext context, const PadBindings& bindings) {
    HeldKeys keys;
    if (!pad.connected) return keys;
    if (context == PadContext::TextEntry) {
        if (pad.Button(PadButton::A) || pad.Button(PadButton::Start)) keys.set(vk::Enter);
        if (pad.Button(PadButton::B)) keys.set(vk::Backspace);
        return keys;
    }
    for (const PadBinding& b : context == PadContext::Race ? bindings.race : bindings.menus)
        if (b.key > 0 && b.key < 256 && IsDown(pad, b.input)) keys.set(std::size_t(b.key));
    return keys;
}

std::vector<InputEvent> PadTranslator::Update(const PadState& pad, PadContext context) {
    if (context != context_) {
        for (int b = 0; b < PadButtonCount; ++b)
            blocked_[std::size_t(b)] = pad.buttons[std::size_t(b)];
        context_ = context;
    }
    PadState effective = pad;
    for (int b = 0; b < PadButtonCount; ++b) {
        auto& blocked = blocked_[std::size_t(b)];
        if (!pad.buttons[std::size_t(b)]) blocked = false;
        if (blocked) effective.buttons[std::size_t(b)] = false;
    }

    const HeldKeys now = PadKeys(effective, context, bindings_);
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
        if (DirectionUp(effective))
            direction = 1;
        else if (DirectionDown(effective))
            direction = 2;
        else if (DirectionRight(effective))
            direction = 3;
        else if (DirectionLeft(effective))
            direction = 4;
    }
    static constexpr PickerMove moves[] = {PickerMove::None, PickerMove::NextLetter,
                                           PickerMove::PreviousLetter, PickerMove::MoveOn,
                                           PickerMove::TakeBack};
    picker_ = direction != pickerDirection_ ? moves[direction] : PickerMove::None;
    pickerDirection_ = direction;
    return events;
}

} // namespace vorlane
