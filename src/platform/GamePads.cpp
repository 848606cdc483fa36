// SDL's game controllers behind GamePads.
#include "platform/GamePads.h"

#include "platform/detail/SdlHandles.h"

#include <SDL.h>

#include <algorithm>

namespace vorlane {

static_assert(int(PadButton::A) == SDL_CONTROLLER_BUTTON_A);
static_assert(int(PadButton::DpadRight) == SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
static_assert(int(PadButton::Touchpad) == SDL_CONTROLLER_BUTTON_TOUCHPAD);
static_assert(PadButtonCount == SDL_CONTROLLER_BUTTON_MAX);
static_assert(int(PadAxis::RightTrigger) == SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
static_assert(PadAxisCount == SDL_CONTROLLER_AXIS_MAX);

struct GamePads::Real {
    detail::SdlSubsystem subsystem{SDL_INIT_GAMECONTROLLER};
    SDL_GameController* pad = nullptr;
    SDL_JoystickID id = -1;

    ~Real() { Close(); }
    void Close() {
        if (pad) SDL_GameControllerClose(pad);
        pad = nullptr;
        id = -1;
    }
    void Open(int deviceIndex) {
        if (pad || !SDL_IsGameController(deviceIndex)) return;
        pad = SDL_GameControllerOpen(deviceIndex);
        if (pad) id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    }
};

GamePads::GamePads(bool realPads) {
    if (!realPads) return;
    real_ = std::make_unique<Real>();
    if (!real_->subsystem.Ok()) {
        real_.reset();
        return;
    }
    // A pad plugged in before the start also announces itself as added; open the
    // first one now anyway so that the first frame can use it.
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        real_->Open(i);
}

GamePads::~GamePads() = default;

void GamePads::DeviceAdded(int deviceIndex) {
    if (real_) real_->Open(deviceIndex);
}

bool GamePads::DeviceRemoved(int32_t instanceId) {
    if (!real_ || !real_->pad || real_->id != instanceId) return false;
    real_->Close();
    // Another pad still plugged in takes over.
    for (int i = 0; i < SDL_NumJoysticks() && !real_->pad; ++i)
        real_->Open(i);
    return true;
}

void GamePads::ConnectVirtual() {
    virtual_.connected = true;
}

bool GamePads::DisconnectVirtual() {
    const bool was = virtual_.connected;
    virtual_ = PadState{};
    return was;
}

void GamePads::SetVirtualButton(PadButton button, bool down) {
    virtual_.buttons[std::size_t(button)] = down;
}

void GamePads::SetVirtualAxis(PadAxis axis, int value) {
    virtual_.axes[std::size_t(axis)] = int16_t(std::clamp(value, -32768, 32767));
}

PadState GamePads::Read() const {
    if (virtual_.connected || !real_ || !real_->pad) return virtual_;
    PadState state;
    state.connected = true;
    for (int b = 0; b < PadButtonCount; ++b)
        state.buttons[std::size_t(b)] =
            SDL_GameControllerGetButton(real_->pad, SDL_GameControllerButton(b)) != 0;
    for (int a = 0; a < PadAxisCount; ++a)
        state.axes[std::size_t(a)] = SDL_GameControllerGetAxis(real_->pad, SDL_GameControllerAxis(a));
    return state;
}

int PadButtonByName(const std::string& name) {
    return int(SDL_GameControllerGetButtonFromString(name.c_str()));
}

int PadAxisByName(const std::string& name) {
    return int(SDL_GameControllerGetAxisFromString(name.c_str()));
}

std::string PadButtonName(PadButton button) {
    const char* name = SDL_GameControllerGetStringForButton(SDL_GameControllerButton(int(button)));
    return name ? name : "";
}

} // namespace vorlane

namespace vorlane {

std::optional<PadInput> PadInputByName(const std::string& name) {
    const int button = PadButtonByName(name);
    if (button >= 0 && button < PadButtonCount) return PadInput{false, button, 1};
    if (name.empty()) return std::nullopt;
    const char way = name.back();
    const bool signed_ = way == '+' || way == '-';
    const int axis = PadAxisByName(signed_ ? name.substr(0, name.size() - 1) : name);
    if (axis < 0 || axis >= PadAxisCount) return std::nullopt;
    const bool trigger = axis == int(PadAxis::LeftTrigger) || axis == int(PadAxis::RightTrigger);
    // A trigger only pulls one way; a stick needs its way said.
    if (trigger)
        return signed_ && way == '-' ? std::nullopt : std::optional<PadInput>(PadInput{true, axis, 1});
    if (!signed_) return std::nullopt;
    return PadInput{true, axis, way == '-' ? -1 : 1};
}

std::string PadInputName(PadInput input) {
    if (!input.axis) return PadButtonName(PadButton(input.index));
    const char* name = SDL_GameControllerGetStringForAxis(SDL_GameControllerAxis(input.index));
    std::string text = name ? name : "";
    const bool trigger =
        input.index == int(PadAxis::LeftTrigger) || input.index == int(PadAxis::RightTrigger);
    if (!trigger) text += input.sign < 0 ? '-' : '+';
    return text;
}

} // namespace vorlane
