// The main menu: the fade-in intro at start-up, the two-column key navigation, and
// a menu opened again without the intro.
#include "menus_fixture.h"

#include "menus/MenuConsts.h"

namespace vorlane {
namespace {

using test::MenuTest;

TEST_F(MenuTest, TheIntroFadesTheButtonsInOneAfterAnother) {
    // Start-up opened the menu with the intro: all six transparent, the chime played.
    ASSERT_EQ(Screen().MenuIntro, 1);
    EXPECT_EQ(game_.Effects(), std::vector<std::string>{"MenuBegin"});
    for (int i = 1; i <= 6; ++i) {
        EXPECT_TRUE(Button(i)->Blended) << i;
        EXPECT_EQ(Button(i)->Alpha, 0) << i;
    }
    // Fifteen alpha steps a frame, done at 150: items 1, 2, 3 one after another,
    // options and help together, the exit last.
    const int doneAt[7] = {0, 10, 19, 28, 37, 37, 46};
    int finished[7] = {};
    for (int frame = 1; frame <= 50; ++frame) {
        game_.RunFrames(1);
        for (int i = 1; i <= 6; ++i)
            if (finished[i] == 0 && !Button(i)->Blended) finished[i] = frame;
        if (frame == 45) {
            EXPECT_EQ(Screen().MenuIntro, 1);
        }
        if (frame == 46) {
            EXPECT_EQ(Screen().MenuIntro, 0);
        }
    }
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(finished[i], doneAt[i]) << "item " << i;
        EXPECT_EQ(Button(i)->NormalImage, std::string(menu::kMainMenuButtons[i - 1].AfterIntro));
    }
    // Once the intro is over the selection is highlighted.
    EXPECT_TRUE(Button(1)->Highlighted);
    EXPECT_TRUE(Shows(Button(1), "MM_1_A"));
    EXPECT_TRUE(Shows(Button(2), "MM_2_I"));
}

TEST_F(MenuTest, DuringTheIntroKeysDoNothingAndEnterOnlyClicks) {
    game_.RunFrames(5);
    game_.ClearEffects();
    Press(vk::Down);
    Press(vk::Esc);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Screen().ActiveDialog, DialogKind::None);
    Press(vk::Enter);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::MainMenu);
    EXPECT_EQ(game_.Effects(), std::vector<std::string>{"Button"});
    EXPECT_EQ(Screen().MenuIntro, 1);
}

TEST_F(MenuTest, ArrowsWalkTheTwoColumns) {
    MenuReady();
    struct Case {
        int from;
        int key;
        int to;
    };
    const Case cases[] = {
        {1, vk::Up, 6},   {6, vk::Down, 1},  {6, vk::Up, 5},   {3, vk::Down, 5},
        {4, vk::Up, 3},   {5, vk::Up, 3},    {4, vk::Down, 6}, {5, vk::Down, 6},
        {2, vk::Up, 1},   {2, vk::Down, 3},  {5, vk::Left, 4}, {4, vk::Right, 5},
        {4, vk::Left, 4}, {5, vk::Right, 5}, {1, vk::Left, 1}, {3, vk::Right, 3},
    };
    for (const Case& c : cases) {
        Screen().SelectedItem = c.from;
        game_.RunFrames(1);
        game_.ClearEffects();
        Press(c.key);
        EXPECT_EQ(Selected(), c.to) << "from " << c.from << " key " << c.key;
        // A move clicks once; staying put is silent.
        EXPECT_EQ(game_.Effects().size(), c.from != c.to ? 1u : 0u) << "from " << c.from << " key " << c.key;
        EXPECT_TRUE(Button(c.to)->Highlighted);
    }
}

TEST_F(MenuTest, EscAsksWhetherToLeave) {
    MenuReady();
    Press(vk::Esc);
    EXPECT_EQ(Screen().ActiveDialog, DialogKind::LeaveGame);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::MainMenu);
}

TEST_F(MenuTest, ReopenedWithoutTheIntroTheButtonsAreOpaqueAtOnce) {
    MenuReady();
    CloseMainMenu(Form());
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::None);
    OpenMainMenu(Form(), 0, 4, false);
    EXPECT_EQ(Selected(), 4);
    for (int i = 1; i <= 6; ++i) {
        EXPECT_FALSE(Button(i)->Blended);
        EXPECT_EQ(Button(i)->Alpha, 255);
        EXPECT_EQ(Button(i)->NormalImage, std::string(menu::kMainMenuButtons[i - 1].Normal));
    }
    game_.RunFrames(1);
    EXPECT_TRUE(Shows(Button(4), "MM_4_A"));
    EXPECT_TRUE(Shows(Button(1), "MM_1_0"));
    // Keys work on the first frame.
    Press(vk::Right);
    EXPECT_EQ(Selected(), 5);
}

// Every screen takes down what it built: going there and back leaves as many sprites
// as before.
TEST_F(MenuTest, EachScreenKillsEverythingItMade) {
    MenuReady();
    CloseMainMenu(Form());
    Form().SpriteEngine.SweepDead();
    const int empty = Form().SpriteEngine.AllCount();
    struct ScreenOps {
        void (*open)(TGame&);
        void (*close)(TGame&);
    };
    const ScreenOps screens[] = {{OpenCarSelect, CloseCarSelect},
                                 {OpenOptions, CloseOptions},
                                 {OpenHighScores, CloseHighScores},
                                 {OpenHelp, CloseHelp},
                                 {[](TGame& f) { OpenMainMenu(f, 0, 1, false); }, CloseMainMenu}};
    for (const ScreenOps& s : screens) {
        s.open(Form());
        EXPECT_GT(Form().SpriteEngine.AllCount(), empty);
        s.close(Form());
        EXPECT_EQ(Form().Screen.ActiveScreen, ScreenKind::None);
        Form().SpriteEngine.SweepDead();
        EXPECT_EQ(Form().SpriteEngine.AllCount(), empty);
        EXPECT_EQ(Form().Menu.Background, nullptr);
        for (size_t i = 1; i < Form().Screen.Buttons.size(); ++i)
            EXPECT_EQ(Form().Screen.Buttons[i], nullptr) << i;
    }
}

} // namespace
} // namespace vorlane
