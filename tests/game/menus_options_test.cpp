// The options screen: the switches and their pictures, the music switch, the country
// line with its editing, limits and cursor, and the way back.
#include "menus_fixture.h"

#include "menus/BlinkingCursor.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace vorlane {
namespace {

class OptionsScreen : public test::MenuTest {
  protected:
    void Open() {
        EnterMenuItem(4);
        ASSERT_EQ(Screen().ActiveScreen, ScreenKind::Options);
        ASSERT_EQ(Selected(), 5);
        game_.RunFrames(1);
    }
    TBlinkingCursor& Cursor() { return *Menu().CountryCursor; }
    const TImageSprite* State(int slot) {
        return dynamic_cast<TImageSprite*>(Screen().Buttons[size_t(slot)]);
    }
    std::string& Country() { return Form().Options().Country; }
    void StartEditing() {
        Form().ActivateItem(4);
        ASSERT_TRUE(Menu().CountryEditing);
        game_.RunFrames(1);
    }
};

TEST_F(OptionsScreen, EachSwitchFlipsItsOptionAndItsPictureFollows) {
    Open();
    EXPECT_TRUE(Shows(State(13), "OptWindow"));
    EXPECT_TRUE(Shows(State(14), "OptMusicOn"));
    EXPECT_TRUE(Shows(State(15), "OptSoundOn"));

    Form().ActivateItem(3);
    EXPECT_FALSE(Form().Options().SoundOn);
    game_.RunFrames(1);
    EXPECT_TRUE(Shows(State(15), "OptSoundOff"));

    // Music off is silent at once; on again starts the menu song from the beginning.
    ASSERT_NE(Form().MusicFile(), "");
    Form().ActivateItem(2);
    EXPECT_FALSE(Form().Options().MusicOn);
    EXPECT_EQ(Form().MusicFile(), "");
    game_.RunFrames(1);
    EXPECT_TRUE(Shows(State(14), "OptMusicOff"));
    Form().ActivateItem(2);
    EXPECT_NE(Form().MusicFile().find("Menu.xm"), std::string::npos);
    game_.RunFrames(1);
    EXPECT_TRUE(Shows(State(14), "OptMusicOn"));

    Form().ActivateItem(1);
    EXPECT_TRUE(Form().Options().FullScreenMode);
    game_.RunFrames(1);
    EXPECT_TRUE(Shows(State(13), "OptFullScreen"));
}

TEST_F(OptionsScreen, UpAndDownStepWithoutWrappingAndEscGoesBack) {
    Open();
    Press(vk::Down);
    EXPECT_EQ(Selected(), 5);
    for (int to : {4, 3, 2, 1, 1}) {
        Press(vk::Up);
        EXPECT_EQ(Selected(), to);
    }
    Press(vk::Left);
    Press(vk::Right);
    EXPECT_EQ(Selected(), 1);
    Press(vk::Esc);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::MainMenu);
    EXPECT_EQ(Selected(), 4);
}

TEST_F(OptionsScreen, WhileTypingTheCountryUpDownAreDeadAndEscOnlyEndsTyping) {
    Open();
    Screen().SelectedItem = 4;
    StartEditing();
    EXPECT_TRUE(Cursor().Blinking);
    EXPECT_TRUE(Cursor().Visible);
    Press(vk::Up);
    Press(vk::Down);
    EXPECT_EQ(Selected(), 4);
    Press(vk::Esc);
    EXPECT_FALSE(Menu().CountryEditing);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::Options);
    EXPECT_FALSE(Cursor().Blinking);
    game_.RunFrames(1);
    EXPECT_FALSE(Cursor().Visible);
    // Typing is over: letters no longer reach the country.
    const std::string before = Country();
    game_.Type("abc");
    EXPECT_EQ(Country(), before);
}

TEST_F(OptionsScreen, MovingTheMouseOffTheCountryEndsTypingAndHidesTheCursor) {
    Open();
    Screen().SelectedItem = 4;
    StartEditing();
    game_.MouseMove(130, 330); // the music row
    EXPECT_EQ(Selected(), 2);
    game_.RunFrames(1);
    EXPECT_FALSE(Menu().CountryEditing);
    game_.RunFrames(1);
    EXPECT_FALSE(Cursor().Blinking);
    EXPECT_FALSE(Cursor().Visible);
    // Back on the row, item 4 starts typing again with the cursor blinking.
    game_.MouseMove(400, 460);
    EXPECT_EQ(Selected(), 4);
    game_.Click();
    EXPECT_TRUE(Menu().CountryEditing);
    EXPECT_TRUE(Cursor().Blinking);
}

// A first start has no country: the line shows where to write it, and what the player
// types is the country, without the line's underscores before it.
TEST_F(OptionsScreen, NoCountryShowsTheLineToWriteOnAndTypingReplacesIt) {
    Open();
    EXPECT_EQ(Country(), "");
    std::vector<std::string> drawn;
    Form().OnText = [&](const std::string& text, int, int) { drawn.push_back(text); };
    game_.RunFrames(1);
    EXPECT_THAT(drawn, testing::Contains("_______"));
    Screen().SelectedItem = 4;
    StartEditing();
    drawn.clear();
    game_.RunFrames(1);
    EXPECT_THAT(drawn, testing::Not(testing::Contains("_______"))) << "while typing, only what is typed";
    game_.Type("Norway");
    EXPECT_EQ(Country(), "Norway");
    game_.Type("\b\b\b\b\b\b");
    Form().ActivateItem(4); // typing ends with the line empty again
    drawn.clear();
    game_.RunFrames(1);
    Form().OnText = nullptr;
    EXPECT_EQ(Country(), "");
    EXPECT_THAT(drawn, testing::Contains("_______"));
}

TEST_F(OptionsScreen, TheCountryTakesSixteenNameCharactersAndTheCursorFollowsItsEnd) {
    Open();
    Screen().SelectedItem = 4;
    StartEditing();
    for (int i = 0; i < 8; ++i)
        game_.Game().TypeChar(8);
    EXPECT_EQ(Country(), "");
    game_.Game().TypeChar(8); // nothing left to delete
    EXPECT_EQ(Country(), "");
    game_.Type("a-b.c!1 \xe9");
    EXPECT_EQ(Country(), "abc1 ");
    game_.Type("11111111111111111111");
    EXPECT_EQ(Country(), "abc1 11111111111");
    EXPECT_EQ(Country().size(), 16u);
    game_.RunFrames(1);
    EXPECT_EQ(Cursor().X, 380 + Form().MeasureTextIn(Country(), 4));
    game_.Game().TypeChar(8);
    game_.RunFrames(1);
    EXPECT_EQ(Cursor().X, 380 + Form().MeasureTextIn(Country(), 4));
    // Wide letters meet the 345-pixel limit first; the last one accepted may pass it.
    game_.Type(std::string(20, 8));
    game_.Type(std::string(16, 'W'));
    EXPECT_LT(Country().size(), 16u);
    EXPECT_GT(Form().MeasureTextIn(Country(), 4), 345);
    EXPECT_LE(Form().MeasureTextIn(Country().substr(0, Country().size() - 1), 4), 345);
}

// The cursor shows on its first move once it blinks, then toggles every 1000 ms of
// frame time (11 ms frames at 85 Hz: 91 frames on, 91 off).
TEST_F(OptionsScreen, TheCursorBlinksEverySecondOfFrameTime) {
    Open();
    ASSERT_EQ(Form().Stats.FrameMs, 11);
    Screen().SelectedItem = 4;
    Form().ActivateItem(4);
    std::vector<int> toggles;
    bool visible = Cursor().Visible;
    for (int frame = 1; frame <= 200; ++frame) {
        game_.RunFrames(1);
        if (Cursor().Visible != visible) toggles.push_back(frame);
        visible = Cursor().Visible;
    }
    EXPECT_EQ(toggles, (std::vector<int>{1, 92, 183}));
}

} // namespace
} // namespace vorlane
