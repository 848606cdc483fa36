// The help pages in their ring with the pictures of pages 2 and 5, the help and
// high-score screens' keys, and the way back to the main menu from each.
#include "menus_fixture.h"

#include "core/Helpers.h"

namespace vorlane {
namespace {

class HelpScreen : public test::MenuTest {
  protected:
    void Open() {
        EnterMenuItem(5);
        ASSERT_EQ(Screen().ActiveScreen, ScreenKind::Help);
        ASSERT_EQ(Selected(), 3);
        ASSERT_EQ(Menu().HelpPage, 1);
    }
    int PicturesShown() {
        int n = 0;
        for (const TGameSprite* p : Menu().HelpBonuses)
            n += p->Visible ? 1 : 0;
        return n;
    }
};

TEST_F(HelpScreen, PagesTurnInARingAndShowTheirPictures) {
    Open();
    // Next: 2, 3, 4, 5, 1; previous: 5, 4, 3, 2, 1. The bonus pictures show on page
    // 2 only and the emblem on page 5 only, from the frame the page is drawn.
    const int forward[] = {2, 3, 4, 5, 1};
    for (int page : forward) {
        Form().ActivateItem(2);
        EXPECT_EQ(Menu().HelpPage, page);
        game_.RunFrames(1);
        EXPECT_EQ(PicturesShown(), page == 2 ? 8 : 0) << page;
        EXPECT_EQ(Menu().HelpLogo->Visible, page == 5) << page;
    }
    const int back[] = {5, 4, 3, 2, 1};
    for (int page : back) {
        Form().ActivateItem(1);
        EXPECT_EQ(Menu().HelpPage, page);
    }
}

TEST_F(HelpScreen, Keys) {
    Open();
    struct Case {
        int from;
        int key;
        int to;
        int pageStep; // +1 next page, -1 previous, 0 none
    };
    // Up and Down turn the page from any button, "back" too (where the help opens),
    // and the selection goes to the arrow of that way.
    const Case cases[] = {
        {2, vk::Up, 2, +1},   {1, vk::Up, 2, +1},   {3, vk::Up, 2, +1},   {1, vk::Down, 1, -1},
        {2, vk::Down, 1, -1}, {3, vk::Down, 1, -1}, {2, vk::Left, 3, 0},  {1, vk::Left, 3, 0},
        {3, vk::Left, 3, 0},  {3, vk::Right, 1, 0}, {1, vk::Right, 1, 0}, {2, vk::Right, 2, 0},
    };
    for (const Case& c : cases) {
        Screen().SelectedItem = c.from;
        int page = Menu().HelpPage;
        Press(c.key);
        EXPECT_EQ(Selected(), c.to) << "from " << c.from << " key " << c.key;
        if (c.pageStep > 0) CycleNext(page, 1, 5);
        if (c.pageStep < 0) CyclePrev(page, 1, 5);
        EXPECT_EQ(Menu().HelpPage, page) << "from " << c.from << " key " << c.key;
    }
    Press(vk::Esc);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::MainMenu);
    EXPECT_EQ(Selected(), 5);
    // The help always opens on its first page.
    Form().ActivateItem(5);
    EXPECT_EQ(Menu().HelpPage, 1);
}

class HighScoreScreen : public test::MenuTest {
  protected:
    void Open() {
        EnterMenuItem(2);
        ASSERT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);
        ASSERT_EQ(Selected(), 3);
    }
};

TEST_F(HighScoreScreen, UpAndDownStopAtTheEndsAndEscGoesBackKeepingTheMusic) {
    Open();
    const std::string song = Form().MusicFile();
    ASSERT_NE(song, "");
    EXPECT_TRUE(Shows(dynamic_cast<TImageSprite*>(Screen().Buttons[16]), "HSCaption"));
    EXPECT_TRUE(Shows(dynamic_cast<TImageSprite*>(Screen().Buttons[17]), "HSTable"));
    Press(vk::Down);
    EXPECT_EQ(Selected(), 3);
    for (int to : {2, 1, 1}) {
        Press(vk::Up);
        EXPECT_EQ(Selected(), to);
    }
    Press(vk::Down);
    EXPECT_EQ(Selected(), 2);
    Press(vk::Esc);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::MainMenu);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Form().MusicFile(), song);
}

TEST_F(HighScoreScreen, ViewOnlineOpensTheTableAndStays) {
    Open();
    Form().ActivateItem(2);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);
    ASSERT_EQ(game_.Game().Shell.Opened.size(), 1u);
    EXPECT_NE(game_.Game().Shell.Opened[0].find("show"), std::string::npos);
}

} // namespace
} // namespace vorlane
