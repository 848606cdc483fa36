// The real pad path: SDL's own virtual joystick, which SDL takes for a game
// controller, plugged in and pulled out while the event pump runs. The pad is picked
// up, read through the same mapping as any pad, and losing it gives PadLost.
#include "platform/GamePads.h"
#include "platform/KeyCodes.h"
#include "platform/SdlDisplay.h"
#include "platform/SdlEventPump.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace vorlane {
namespace {

DisplayOptions HiddenWindow() {
    DisplayOptions o;
    o.hidden = true;
    o.software = true;
    o.vsync = false;
    return o;
}

std::vector<InputEvent> Drain(SdlEventPump& pump) {
    std::vector<InputEvent> out;
    InputEvent e;
    while (pump.Poll(e))
        out.push_back(e);
    return out;
}

TEST(GamePads, AVirtualSdlPadIsPickedUpReadAndLost) {
    // The hidden window never has the focus, and SDL keeps a pad's input from a game
    // without it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SdlDisplay display(HiddenWindow());
    GamePads pads(true);
    SdlEventPump pump(display, &pads);
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) GTEST_SKIP() << "no game controller subsystem here";

    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) GTEST_SKIP() << "SDL cannot attach a virtual joystick: " << SDL_GetError();

    Drain(pump); // the device-added event opens it
    EXPECT_TRUE(pads.Read().connected);
    SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(stick, nullptr);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 30000);
    Drain(pump);
    const PadState state = pads.Read();
    EXPECT_TRUE(state.Button(PadButton::A));
    EXPECT_GT(state.Axis(PadAxis::RightTrigger), PadDeadZone);
    pads.Translator().Update(state, PadContext::Race);
    EXPECT_TRUE(pads.Translator().Held().test(vk::Up));

    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    const std::vector<InputEvent> events = Drain(pump);
    int lost = 0;
    for (const InputEvent& e : events)
        lost += e.kind == EventKind::PadLost ? 1 : 0;
    EXPECT_EQ(lost, 1);
    EXPECT_FALSE(pads.Read().connected);
}

} // namespace
} // namespace vorlane
