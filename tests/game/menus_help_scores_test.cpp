// The help pages in their ring with the pictures of pages 2 and 5, the help and
// high-score screens' keys, and the way back to the main menu from each.
#include "menus_fixture.h"

#include "sim/Helpers.h"

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

// The texts one frame draws, with their top-left corners and widths.
struct DrawnText {
    std::string Text;
    int X, Y, Width;
};

class HighScoreTexts : public HighScoreScreen {
  protected:
    std::vector<DrawnText> NextFrame() {
        std::vector<DrawnText> drawn;
        Form().OnText = [&](const std::string& text, int x, int y) {
            drawn.push_back({text, x, y, Form().MeasureText(text)});
        };
        game_.RunFrames(1);
        Form().OnText = nullptr;
        return drawn;
    }
    static const DrawnText* Find(const std::vector<DrawnText>& drawn, const std::string& text) {
        for (const DrawnText& t : drawn)
            if (t.Text == text) return &t;
        return nullptr;
    }
};

TEST_F(HighScoreTexts, TheTableStandsInsideTheScreenWithItsScoresLinedUpOnTheRight) {
    Form().HighScores.InsertScore("ACE", 1234567);
    Open();
    const auto* table = dynamic_cast<TImageSprite*>(Screen().Buttons[17]);
    ASSERT_TRUE(table);
    // The frame with a margin to the screen's bottom and right edges.
    EXPECT_LE(table->Y + table->Height, 600 - 8);
    EXPECT_LE(table->X + table->Width, 800 - 8);
    const std::vector<DrawnText> drawn = NextFrame();
    int right = -1;
    for (int i = 1; i <= 10; ++i) {
        const THighScore& entry = Form().HighScores.Entry(i);
        const DrawnText* score = Find(drawn, std::to_string(entry.Score));
        ASSERT_TRUE(score) << i;
        SCOPED_TRACE(score->Text);
        // Every score ends where the others do, inside the frame.
        if (right < 0) right = score->X + score->Width;
        EXPECT_EQ(score->X + score->Width, right);
        EXPECT_LT(right, table->X + table->Width - 12);
        EXPECT_GT(score->X, 653) << "the name column's rule";
    }
    // The last row's texts end above the frame's bottom edge.
    const DrawnText* last = Find(drawn, Form().HighScores.Entry(10).Name);
    ASSERT_TRUE(last);
    EXPECT_LT(last->Y + Form().MeasureTextHeight(last->Text), table->Y + table->Height - 6);
}

TEST_F(HighScoreTexts, TheTableStaysInViewWhileTheClearQuestionIsOpen) {
    Form().HighScores.InsertScore("ACE", 7000);
    Open();
    Form().ActivateItem(1); // "Clear": the question
    ASSERT_EQ(Screen().ActiveDialog, DialogKind::ClearHighScores);
    const std::vector<DrawnText> asked = NextFrame();
    EXPECT_TRUE(Find(asked, "ACE")) << "the table is not cleared before the answer";
    EXPECT_TRUE(Find(asked, "7000"));
    game_.Tap(vk::Letter('y'));
    ASSERT_EQ(Screen().ActiveDialog, DialogKind::None);
    const std::vector<DrawnText> after = NextFrame();
    EXPECT_FALSE(Find(after, "ACE"));
    EXPECT_TRUE(Find(after, "5000")) << "the default table";
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
