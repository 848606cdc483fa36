// Keyboard states: the key table, the poll, and the rule that a state taken out of
// States stays out until its key is pressed again.
#include "engine/Input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace vorlane {
namespace {

class FakeKeys : public IKeySource {
  public:
    bool foreground = true;
    std::set<int> held;
    int snapshots = 0;
    bool IsForeground() override { return foreground; }
    void Snapshot(uint8_t keys[256]) override {
        ++snapshots;
        std::memset(keys, 0, 256);
        for (int code : held)
            keys[code & 0xFF] = 0x80;
    }
};

class KeyboardTest : public ::testing::Test {
  protected:
    KeyboardTest() : input(keys) {
        input.Assigns = GameKeyAssigns();
        input.Initialize();
    }
    TInputStates Poll() {
        input.PollInput();
        return input.States;
    }
    FakeKeys keys;
    TInputDevice input;
};

TEST_F(KeyboardTest, GameKeyTableBindsEachKeyToItsState) {
    struct Case {
        int code;
        TInputState state;
    };
    const Case cases[] = {
        {38, isUp},       {40, isDown},     {37, isLeft},     {39, isRight},    {72, isButton5},
        {80, isButton6},  {89, isButton7},  {78, isButton8},  {27, isButton9},  {32, isButton10},
        {13, isButton11}, {90, isButton12}, {88, isButton13}, {67, isButton14}, {86, isButton15},
        {66, isButton16}, {49, isButton17}, {57, isButton25}, {48, isButton26},
    };
    for (const Case& c : cases) {
        keys.held = {c.code};
        EXPECT_EQ(Poll(), StateBit(c.state)) << "key " << c.code;
        keys.held.clear();
        EXPECT_EQ(Poll(), 0u);
    }
    // Buttons 1 to 4 and 27 to 32 have no key.
    for (int s : {int(isButton1), int(isButton4), int(isButton27), int(isButton32)}) {
        EXPECT_EQ(GameKeyAssigns()[size_t(s)], (TKeyAssign{0, 0, 0})) << "state " << s;
    }
}

TEST_F(KeyboardTest, OneKeyListedForTwoStatesHoldsBoth) {
    input.Assigns[isButton1] = {0, 0, 38}; // Up arrow again, in the third slot
    keys.held = {38};
    EXPECT_EQ(Poll(), StateBit(isUp) | StateBit(isButton1));
}

TEST_F(KeyboardTest, OnlyCodesOneTo255EverMatch) {
    input.Assigns[isButton1] = {0, 0, 0};
    input.Assigns[isButton2] = {256 + 38, -1, 0}; // would alias Up if cut to a byte
    keys.held = {0, 38};                          // even a "held" code 0
    EXPECT_EQ(Poll(), StateBit(isUp));
}

TEST_F(KeyboardTest, BackgroundWindowReadsEverythingReleased) {
    keys.held = {38, 72};
    keys.foreground = false;
    EXPECT_EQ(Poll(), 0u);
    EXPECT_EQ(keys.snapshots, 0);
    input.ActiveOnly = false;
    EXPECT_EQ(Poll(), StateBit(isUp) | StateBit(isButton5));
}

TEST_F(KeyboardTest, DeviceThatIsNotReadyReportsNoKeys) {
    keys.held = {38};
    input.Finalize();
    EXPECT_EQ(Poll(), 0u);
    input.KeyboardEnabled = false;
    input.Initialize(); // a disabled keyboard is never brought up
    EXPECT_EQ(Poll(), 0u);
    input.KeyboardEnabled = true;
    input.Initialize();
    input.KeyboardBindInput = false; // read, but not bound into States
    EXPECT_EQ(Poll(), 0u);
    EXPECT_EQ(input.KeyboardStates(), StateBit(isUp));
}

TEST_F(KeyboardTest, StateTakenOutStaysOutUntilTheKeyIsPressedAgain) {
    keys.held = {38};
    EXPECT_TRUE(Poll() & StateBit(isUp));
    input.States &= ~StateBit(isUp); // a reader takes the state
    keys.held = {38, 40};
    EXPECT_EQ(Poll(), StateBit(isDown)); // Up still held: stays out; Down is new
    keys.held = {40};
    EXPECT_EQ(Poll(), StateBit(isDown));
    keys.held = {38, 40};
    EXPECT_EQ(Poll(), StateBit(isUp) | StateBit(isDown));
    keys.held = {};
    EXPECT_EQ(Poll(), 0u);
}

} // namespace
} // namespace vorlane
