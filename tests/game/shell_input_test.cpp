// The form's own input rules on a whole headless game: the two text fields with their
// length and width limits, Enter in the name entry, Alt+Enter, the held modifier
// flags, the close request in a race and the frame's "Button" rule.
#include "FormFixture.h"
#include "recording_audio.h"

#include "app/Dialogs.h"
#include "menus/Screens.h"
#include "platform/KeyCodes.h"
#include "sim/RaceState.h"

namespace vorlane {
namespace {

class ShellInput : public ::testing::Test {
  protected:
    ShellInput() { game.RunFrames(46); } // the main menu's intro is over
    TMForm& F() { return game.Form(); }
    void Key(char c) { F().KeyTyped(c); }
    void Keys(const std::string& s) {
        for (char c : s)
            Key(c);
    }
    // The player's name entry, as after a race (no race needed to type).
    void OpenNameEntry() {
        OpenDialog(F(), DialogKind::NameEntry);
        ASSERT_EQ(F().Screen.ActiveDialog, DialogKind::NameEntry);
    }
    // The options screen with the country line being edited and emptied.
    void EditCountry() {
        CloseMainMenu(F());
        OpenOptions(F());
        F().ActivateItem(4);
        ASSERT_TRUE(F().Menu.CountryEditing);
        F().Options().Country.clear();
    }
    test::FormFixture game;
};

TEST_F(ShellInput, TheNameTakesTwelveCharactersOfLettersDigitsAndSpaces) {
    OpenNameEntry();
    F().Dialog.PlayerName.clear();
    Keys("a.b-c!d\xE9"
         "e\t1 2");
    EXPECT_EQ(F().Dialog.PlayerName, "abcde1 2");
    Keys("iiiiii");
    EXPECT_EQ(F().Dialog.PlayerName, "abcde1 2iiii"); // the 13th is refused
    Key(8);
    EXPECT_EQ(F().Dialog.PlayerName, "abcde1 2iii");
    F().Dialog.PlayerName.clear();
    Key(8); // nothing to take off
    EXPECT_EQ(F().Dialog.PlayerName, "");
}

TEST_F(ShellInput, TheCountryWidthIsTestedBeforeTheCharacterIsAdded) {
    // Wide letters: the country stops at the first character typed once the line is
    // wider than 345 pixels in text style 4, so that last one sticks out past it.
    // (The name's 240 pixels in style 10 follow the same code; with the fonts on this
    // system twelve letters never reach it.)
    EditCountry();
    Keys("WWWWWWWWWWWWWWWW");
    const std::string text = F().Options().Country;
    ASSERT_LT(text.size(), 16u) << "the limit must come from the width here";
    EXPECT_LE(F().MeasureTextIn(text.substr(0, text.size() - 1), 4), 345);
    EXPECT_GT(F().MeasureTextIn(text, 4), 345);
    Keys("ii");
    EXPECT_EQ(F().Options().Country, text);
}

TEST_F(ShellInput, TheCountryTakesSixteenAndOnlyWhileItIsEdited) {
    CloseMainMenu(F());
    OpenOptions(F());
    const std::string before = F().Options().Country;
    Keys("abc");
    EXPECT_EQ(F().Options().Country, before); // not being edited
    F().ActivateItem(4);
    F().Options().Country.clear();
    Keys("iiiiiiiiiiiiiiiiii");
    EXPECT_EQ(F().Options().Country, std::string(16, 'i'));
    // Typing reaches the country line under a dialog too.
    OpenDialog(F(), DialogKind::LeaveGame);
    Key(8);
    EXPECT_EQ(F().Options().Country, std::string(15, 'i'));
}

TEST_F(ShellInput, EnterInTheNameEntryAcceptsTheNameAndAClickOnlyTicksTheBox) {
    OpenNameEntry();
    F().Dialog.PlayerName = "ZED";
    ASSERT_NE(F().Dialog.SendBox, nullptr);
    EXPECT_EQ(std::lround(F().Dialog.SendBox->FramePos), 1); // ticked at first
    // A click outside the box does nothing; on the box it unticks it.
    F().MouseMoved(100, 100);
    F().Clicked();
    EXPECT_EQ(F().Screen.ActiveDialog, DialogKind::NameEntry);
    EXPECT_EQ(std::lround(F().Dialog.SendBox->FramePos), 1);
    F().MouseMoved(170, 380);
    F().Clicked();
    EXPECT_EQ(std::lround(F().Dialog.SendBox->FramePos), 0);
    // A typed letter then a click: still a click, not Enter.
    Key('Q');
    F().MouseMoved(100, 100);
    F().Clicked();
    EXPECT_EQ(F().Screen.ActiveDialog, DialogKind::NameEntry);
    EXPECT_EQ(F().Dialog.PlayerName, "ZEDQ");
    // Enter: the key is remembered first, so the dispatcher stores the entry (the
    // box unticked: straight on to the table).
    Key(13);
    EXPECT_EQ(F().Screen.ActiveDialog, DialogKind::None);
    EXPECT_EQ(F().Screen.ActiveScreen, ScreenKind::HighScores);
    EXPECT_EQ(F().Dialog.DialogKey, 0);
}

TEST_F(ShellInput, AltEnterPausesARaceFirstAndOnlySwitchesUnderAnotherDialog) {
    game.Tap(vk::Enter); // the car selection
    game.RunFrames(1);
    game.Tap(vk::Enter); // start: the level banner is open
    ASSERT_EQ(F().Screen.ActiveScreen, ScreenKind::Race);
    ASSERT_EQ(F().Screen.ActiveDialog, DialogKind::LevelBanner);
    F().KeyDown(vk::Enter, true);
    EXPECT_EQ(F().Screen.ActiveDialog, DialogKind::LevelBanner); // still the banner
    EXPECT_TRUE(F().Options().FullScreenMode);
    EXPECT_TRUE(F().Display().IsFullScreen());
    game.RunFrames(200); // the banner closes
    ASSERT_EQ(F().Screen.ActiveDialog, DialogKind::None);
    F().KeyDown(vk::Enter, true);
    EXPECT_EQ(F().Screen.ActiveDialog, DialogKind::Pause); // paused
    EXPECT_FALSE(F().Display().IsFullScreen());
    // The close button in a race asks about leaving the race, once a dialog is gone.
    game.Tap('P');
    game.RunFrames(1);
    ASSERT_EQ(F().Screen.ActiveDialog, DialogKind::None);
    EXPECT_FALSE(F().CloseRequested());
    EXPECT_EQ(F().Screen.ActiveDialog, DialogKind::LeaveRace);
}

TEST_F(ShellInput, ShiftAndCtrlFollowTheirKeyEvents) {
    F().KeyDown(vk::Shift);
    F().KeyDown(vk::Ctrl);
    game.RunFrames(3);
    EXPECT_TRUE(F().Keys.ShiftHeld);
    EXPECT_TRUE(F().Keys.CtrlHeld);
    F().KeyUp(vk::Shift);
    EXPECT_FALSE(F().Keys.ShiftHeld);
    EXPECT_TRUE(F().Keys.CtrlHeld);
}

TEST_F(ShellInput, OnlyTheMouseHandlerClicksForAMouseMove) {
    game.ClearEffects();
    game.MouseMove(400, 160); // onto "High scores"
    EXPECT_EQ(F().Screen.SelectedItem, 2);
    EXPECT_EQ(game.Effects(), std::vector<std::string>{"Button"});
    game.RunFrames(1); // the frame loop saw no change of its own
    EXPECT_EQ(game.Effects(), std::vector<std::string>{"Button"});
    game.Tap(vk::Down); // a change made in the frame clicks there
    EXPECT_EQ(F().Screen.SelectedItem, 3);
    EXPECT_EQ(game.Effects(), (std::vector<std::string>{"Button", "Button"}));
}

// A window opens without knowing where the pointer is: it may map under a pointer
// resting on "web site" (the screen's centre). Only a move picks an item, so Enter
// there starts a game instead of opening the browser.
TEST_F(ShellInput, OnlyARealMoveOfThePointerPicksAnItem) {
    F().Keys.MouseKnown = false; // as the window game starts
    game.ClearEffects();
    game.MouseMove(400, 300); // where the pointer rests when the window maps
    EXPECT_EQ(F().Screen.SelectedItem, 1);
    game.MouseMove(400, 300); // told again (the window raised, a focus change)
    EXPECT_EQ(F().Screen.SelectedItem, 1);
    EXPECT_TRUE(game.Effects().empty());

    game.MouseMove(401, 300); // now it moves: "web site"
    EXPECT_EQ(F().Screen.SelectedItem, 3);
    game.Tap(vk::Up); // the keys take the selection elsewhere...
    game.RunFrames(1);
    ASSERT_EQ(F().Screen.SelectedItem, 2);
    game.MouseMove(401, 300); // ...and the same place again is no move
    EXPECT_EQ(F().Screen.SelectedItem, 2);

    // Enter after a resting pointer goes where the keys say.
    F().Screen.SelectedItem = 1;
    F().Keys.MouseKnown = false;
    game.MouseMove(400, 300);
    game.Tap(vk::Enter);
    EXPECT_EQ(F().Screen.ActiveScreen, ScreenKind::CarSelect);
    EXPECT_TRUE(game.Game().Shell.Opened.empty());
}

// Menu moves, then a race started and driven with the horn sounded and let go: the
// menus click, the engine sounds change and the horn and nitro are stopped every frame.
void MenuMovesAndAShortDrive(test::FormFixture& game) {
    game.MouseMove(400, 160);
    game.Tap(vk::Down);
    game.RunFrames(1);
    game.Tap(vk::Up);
    game.RunFrames(1); // a frame without the key, so that the next press is a new one
    game.Tap(vk::Up);  // back on "New game"
    ASSERT_EQ(game.Form().Screen.SelectedItem, 1);
    game.Tap(vk::Enter);
    game.RunFrames(20);
    game.Tap(vk::Enter); // the car selection's start button
    ASSERT_TRUE(game.Form().Race);
    for (int i = 0; i < 400 && game.Form().Screen.ActiveDialog != DialogKind::None; ++i)
        game.RunFrames(1);
    ASSERT_EQ(game.Form().Screen.ActiveDialog, DialogKind::None) << "the level banner did not close";
    game.Down(vk::Up);
    game.RunFrames(60);
    game.Down('H');
    game.RunFrames(10);
    game.Up('H');
    game.Up(vk::Up);
    game.RunFrames(20);
}

TEST_F(ShellInput, WithSoundOnTheDeviceIsAskedToPlayAndToStop) {
    // The other half of the next test: the same run with sound on does reach the device.
    test::RecordingAudioDevice device;
    F().Sounds->SetDevice(&device);
    game.ClearEffects();
    MenuMovesAndAShortDrive(game);
    EXPECT_FALSE(game.Effects().empty());
    EXPECT_GT(device.Count(test::RecordingAudioDevice::Call::Play), 0);
    EXPECT_GT(device.Count(test::RecordingAudioDevice::Call::Stop), 0);
}

TEST_F(ShellInput, WithSoundOffNothingIsPlayedOrStopped) {
    test::RecordingAudioDevice device;
    F().Sounds->SetDevice(&device);
    F().Options().SoundOn = false;
    game.ClearEffects();
    MenuMovesAndAShortDrive(game);
    EXPECT_TRUE(game.Effects().empty());
    EXPECT_EQ(device.Count(test::RecordingAudioDevice::Call::Play), 0);
    EXPECT_EQ(device.Count(test::RecordingAudioDevice::Call::Stop), 0);
}

} // namespace
} // namespace vorlane
