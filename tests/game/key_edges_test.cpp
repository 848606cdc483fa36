// The one-frame key edges read through the real keyboard poll, and the text helpers.
#include "app/KeyEdges.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace vorlane {
namespace {

class FakeKeys : public IKeySource {
  public:
    std::set<int> held;
    bool IsForeground() override { return true; }
    void Snapshot(uint8_t keys[256]) override {
        std::memset(keys, 0, 256);
        for (int code : held)
            keys[code & 0xFF] = 0x80;
    }
};

class KeyEdgesTest : public ::testing::Test {
  protected:
    KeyEdgesTest() : input(keys) {
        input.Assigns = GameKeyAssigns();
        input.Initialize();
    }
    FakeKeys keys;
    TInputDevice input;
    TKeyState state;
};

TEST_F(KeyEdgesTest, HeldKeyGivesExactlyOneTrueFrameAndEachNewPressOneMore) {
    keys.held = {38}; // Up
    UpdateKeyEdges(state, input);
    EXPECT_TRUE(state.UpPressed);
    for (int frame = 0; frame < 5; ++frame) {
        UpdateKeyEdges(state, input);
        EXPECT_FALSE(state.UpPressed) << "held frame " << frame;
    }
    keys.held.clear();
    UpdateKeyEdges(state, input);
    EXPECT_FALSE(state.UpPressed);
    keys.held = {38};
    UpdateKeyEdges(state, input);
    EXPECT_TRUE(state.UpPressed);
}

TEST_F(KeyEdgesTest, EachFlagFollowsItsOwnKey) {
    struct Case {
        int code;
        bool TKeyState::*flag;
    };
    const Case cases[] = {
        {38, &TKeyState::UpPressed},    {40, &TKeyState::DownPressed},  {37, &TKeyState::LeftPressed},
        {39, &TKeyState::RightPressed}, {80, &TKeyState::PausePressed}, {89, &TKeyState::YesPressed},
        {78, &TKeyState::NoPressed},    {27, &TKeyState::EscPressed},
    };
    for (const Case& c : cases) {
        keys.held = {c.code};
        UpdateKeyEdges(state, input);
        for (const Case& other : cases)
            EXPECT_EQ(state.*other.flag, other.code == c.code)
                << "key " << c.code << ", flag of " << other.code;
        keys.held.clear();
        UpdateKeyEdges(state, input);
    }
    // Keys without an edge flag set none.
    keys.held = {72, 32, 13, 90};
    UpdateKeyEdges(state, input);
    for (const Case& c : cases)
        EXPECT_FALSE(state.*c.flag);
}

TEST(NameText, CharactersAllowedInNames) {
    for (char c : std::string("09AZaz m"))
        EXPECT_TRUE(IsNameChar(c)) << c;
    for (char c : std::string("/:@[`{-._\t\r\b\x7f\xe9\xc4"))
        EXPECT_FALSE(IsNameChar(c)) << int(c);
    EXPECT_FALSE(IsNameChar('\0'));
}

TEST(NameText, LengthLimitIsExactAndBackspaceOnEmptyDoesNothing) {
    std::string country(15, 'a');
    AppendChar(country, 'B', 16);
    EXPECT_EQ(country, std::string(15, 'a') + "B"); // the 16th is accepted
    AppendChar(country, 'C', 16);
    EXPECT_EQ(country.size(), 16u); // the 17th is refused
    EXPECT_EQ(country.back(), 'B');

    std::string name(11, 'x');
    AppendChar(name, 'y', 12);
    AppendChar(name, 'z', 12);
    EXPECT_EQ(name, std::string(11, 'x') + "y");

    DeleteLastChar(name);
    EXPECT_EQ(name, std::string(11, 'x'));
    std::string empty;
    DeleteLastChar(empty);
    EXPECT_EQ(empty, "");
    AppendChar(empty, 'q', 0);
    EXPECT_EQ(empty, "");
}

} // namespace
} // namespace vorlane
