#pragma once
// A headless game for the menu screens' tests: the main menu ready (intro over),
// helpers to open a screen through its menu item and to tell which picture a sprite
// shows.
#include "FormFixture.h"

#include "menus/MenuButton.h"
#include "menus/Screens.h"
#include "sim/GameSprite.h"

#include <string>

namespace vorlane::test {

class MenuTest : public ::testing::Test {
  protected:
    FormFixture game_;

    TMForm& Form() { return game_.Form(); }
    TScreenState& Screen() { return Form().Screen; }
    TMenuState& Menu() { return Form().Menu; }
    int Selected() { return Screen().SelectedItem; }

    void MenuReady() {
        game_.RunFrames(46);
        ASSERT_EQ(Screen().MenuIntro, 0);
        ASSERT_EQ(Screen().ActiveScreen, ScreenKind::MainMenu);
    }
    // Chooses a main-menu item with Enter, as a player would.
    void EnterMenuItem(int item) {
        MenuReady();
        Screen().SelectedItem = item;
        game_.Tap(vk::Enter);
    }
    // A key tapped (down for one frame) and a frame with it up again, so that the
    // next tap of the same key is a new press.
    void Press(int key) {
        game_.Tap(key);
        game_.RunFrames(1);
    }
    TMenuButton* Button(int item) { return dynamic_cast<TMenuButton*>(Screen().Buttons[size_t(item)]); }
    // Whether the sprite shows the named picture of image list 1 (or 2).
    bool Shows(const TImageSprite* sprite, const std::string& name, int list = 1) {
        TImageCollection& images = list == 2 ? Form().RaceImages : Form().MenuImages;
        return sprite != nullptr && sprite->Image() == images.Find(name);
    }
};

} // namespace vorlane::test
