// The game pad as keyboard keys: which keys each button and axis holds in the race,
// the menus and a text field; the dead zone; the key events of a frame; a button
// held across a change of context; the letter picker's one move per push.
#include "platform/PadMapping.h"
#include "platform/GamePads.h"
#include "platform/KeyCodes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vorlane {
namespace {

PadState Pad() {
    PadState p;
    p.connected = true;
    return p;
}
PadState With(PadButton b) {
    PadState p = Pad();
    p.buttons[std::size_t(b)] = true;
    return p;
}
PadState WithAxis(PadAxis a, int v) {
    PadState p = Pad();
    p.axes[std::size_t(a)] = int16_t(v);
    return p;
}

std::set<int> Keys(const PadState& pad, PadContext context) {
    std::set<int> out;
    const HeldKeys held = PadKeys(pad, context, DefaultPadBindings());
    for (int k = 0; k < 256; ++k)
        if (held.test(std::size_t(k))) out.insert(k);
    return out;
}

struct MappingCase {
    const char* what;
    PadState pad;
    PadContext context;
    std::set<int> keys;
};

TEST(PadMapping, EachButtonAndAxisHoldsItsKeysInEachContext) {
    using B = PadButton;
    using A = PadAxis;
    const auto R = PadContext::Race, M = PadContext::Menus, T = PadContext::TextEntry;
    const std::vector<MappingCase> cases = {
        {"race: A accelerates", With(B::A), R, {vk::Up}},
        {"race: right trigger accelerates", WithAxis(A::RightTrigger, 20000), R, {vk::Up}},
        {"race: B brakes", With(B::B), R, {vk::Down}},
        {"race: left trigger brakes", WithAxis(A::LeftTrigger, 32767), R, {vk::Down}},
        {"race: stick left steers", WithAxis(A::LeftX, -32768), R, {vk::Left}},
        {"race: stick right steers", WithAxis(A::LeftX, 9000), R, {vk::Right}},
        {"race: D-pad left steers", With(B::DpadLeft), R, {vk::Left}},
        {"race: D-pad right steers", With(B::DpadRight), R, {vk::Right}},
        {"race: X fires", With(B::X), R, {'Z'}},
        {"race: right shoulder nitro", With(B::RightShoulder), R, {'X'}},
        {"race: left shoulder handbrake", With(B::LeftShoulder), R, {vk::Space}},
        {"race: Y horn", With(B::Y), R, {'H'}},
        {"race: Start pauses", With(B::Start), R, {'P'}},
        {"race: Back asks to leave", With(B::Back), R, {vk::Esc}},
        {"race: stick up does not accelerate", WithAxis(A::LeftY, -32768), R, {}},
        {"race: trigger inside the dead zone", WithAxis(A::RightTrigger, PadDeadZone), R, {}},
        {"race: stick inside the dead zone", WithAxis(A::LeftX, -PadDeadZone), R, {}},
        {"menus: A chooses", With(B::A), M, {vk::Enter}},
        {"menus: B goes back", With(B::B), M, {vk::Esc}},
        {"menus: stick up", WithAxis(A::LeftY, -20000), M, {vk::Up}},
        {"menus: stick down", WithAxis(A::LeftY, 20000), M, {vk::Down}},
        {"menus: D-pad left", With(B::DpadLeft), M, {vk::Left}},
        {"menus: triggers do nothing", WithAxis(A::RightTrigger, 32767), M, {}},
        {"text: A accepts", With(B::A), T, {vk::Enter}},
        {"text: B takes back", With(B::B), T, {vk::Backspace}},
        {"text: the D-pad belongs to the picker", With(B::DpadUp), T, {}},
    };
    for (const MappingCase& c : cases)
        EXPECT_EQ(Keys(c.pad, c.context), c.keys) << c.what;

    PadState unplugged = With(B::A);
    unplugged.connected = false;
    EXPECT_TRUE(Keys(unplugged, PadContext::Race).empty()) << "a pad not plugged in holds nothing";
}

std::vector<std::string> Describe(const std::vector<InputEvent>& events) {
    std::vector<std::string> out;
    for (const InputEvent& e : events) {
        if (e.kind == EventKind::KeyDown) out.push_back("down " + std::to_string(e.key));
        if (e.kind == EventKind::KeyUp) out.push_back("up " + std::to_string(e.key));
        if (e.kind == EventKind::Char) out.push_back("char " + std::to_string(int(e.ch)));
    }
    return out;
}

TEST(PadTranslator, KeysGoDownAndUpOnceAndTypeLikeAKeyboard) {
    PadTranslator t;
    EXPECT_EQ(Describe(t.Update(With(PadButton::A), PadContext::Menus)),
              (std::vector<std::string>{"down 13", "char 13"}));
    EXPECT_TRUE(t.Held().test(vk::Enter));
    EXPECT_TRUE(t.Update(With(PadButton::A), PadContext::Menus).empty()) << "held: no repeat";
    EXPECT_EQ(Describe(t.Update(Pad(), PadContext::Menus)), (std::vector<std::string>{"up 13"}));
    EXPECT_FALSE(t.Held().test(vk::Enter));
    // The race's keys are held without a character.
    EXPECT_EQ(Describe(t.Update(WithAxis(PadAxis::LeftX, -30000), PadContext::Race)),
              (std::vector<std::string>{"down 37"}));
}

TEST(PadTranslator, AButtonHeldAcrossAChangeOfContextWaitsForItsRelease) {
    PadTranslator t;
    t.Update(With(PadButton::A), PadContext::Menus); // chooses "start"
    // The race begins with A still down: Enter comes up, and A does not accelerate
    // until pressed anew.
    EXPECT_EQ(Describe(t.Update(With(PadButton::A), PadContext::Race)), (std::vector<std::string>{"up 13"}));
    EXPECT_FALSE(t.Held().test(vk::Up));
    t.Update(Pad(), PadContext::Race);
    t.Update(With(PadButton::A), PadContext::Race);
    EXPECT_TRUE(t.Held().test(vk::Up));
    // The trigger is no button: it goes on accelerating across the change.
    PadTranslator u;
    u.Update(WithAxis(PadAxis::RightTrigger, 30000), PadContext::Menus);
    u.Update(WithAxis(PadAxis::RightTrigger, 30000), PadContext::Race);
    EXPECT_TRUE(u.Held().test(vk::Up));
}

TEST(PadTranslator, ThePickerMovesOncePerPushOnlyInATextField) {
    PadTranslator t;
    const auto move = [&t](const PadState& p, PadContext c) {
        t.Update(p, c);
        return t.Picker();
    };
    const auto T = PadContext::TextEntry;
    // The D-pad held while the field opens picks nothing until pushed again.
    EXPECT_EQ(move(With(PadButton::DpadUp), T), PickerMove::None);
    EXPECT_EQ(move(Pad(), T), PickerMove::None);
    EXPECT_EQ(move(With(PadButton::DpadUp), T), PickerMove::NextLetter);
    EXPECT_EQ(move(With(PadButton::DpadUp), T), PickerMove::None) << "held";
    EXPECT_EQ(move(Pad(), T), PickerMove::None);
    EXPECT_EQ(move(WithAxis(PadAxis::LeftY, 30000), T), PickerMove::PreviousLetter);
    EXPECT_EQ(move(With(PadButton::DpadRight), T), PickerMove::MoveOn) << "straight from down to right";
    EXPECT_EQ(move(Pad(), T), PickerMove::None);
    EXPECT_EQ(move(WithAxis(PadAxis::LeftX, -30000), T), PickerMove::TakeBack);
    EXPECT_EQ(move(WithAxis(PadAxis::LeftX, -3000), T), PickerMove::None) << "back inside the dead zone";
    EXPECT_EQ(move(With(PadButton::DpadUp), PadContext::Menus), PickerMove::None);
}

TEST(PadNames, SdlNamesOfButtonsAndAxes) {
    EXPECT_EQ(PadButtonByName("a"), int(PadButton::A));
    EXPECT_EQ(PadButtonByName("dpup"), int(PadButton::DpadUp));
    EXPECT_EQ(PadButtonByName("rightshoulder"), int(PadButton::RightShoulder));
    EXPECT_EQ(PadButtonByName("start"), int(PadButton::Start));
    EXPECT_EQ(PadButtonByName("trigger"), -1);
    EXPECT_EQ(PadAxisByName("leftx"), int(PadAxis::LeftX));
    EXPECT_EQ(PadAxisByName("righttrigger"), int(PadAxis::RightTrigger));
    EXPECT_EQ(PadAxisByName("a"), -1);
    EXPECT_EQ(PadButtonName(PadButton::Back), "back");
}

} // namespace
} // namespace vorlane
