// The main menu: six picture buttons, faded in one after another when the game starts.
#include "core/Game.h"
#include "menus/ItemSelection.h"
#include "menus/MenuBackdrop.h"
#include "menus/MenuButton.h"
#include "menus/MenuConsts.h"
#include "menus/Screens.h"
#include "sim/Helpers.h"

#include <string>

namespace vorlane {

namespace {

TMenuButton& MenuButton(TGame& form, int item) {
    return *static_cast<TMenuButton*>(form.Screen.Buttons[item]);
}

// A faded-in button becomes opaque and takes its after-intro look as its normal one.
void FinishFade(TGame& form, int item) {
    TMenuButton& b = MenuButton(form, item);
    b.Blended = false;
    b.NormalImage = std::string(menu::kMainMenuButtons[item - 1].AfterIntro);
    b.ShowNormal();
}

// One frame of the intro: each button fades in over ten frames, the next one starts
// when the previous is done; options and help fade together; the exit comes last.
void IntroStep(TGame& form) {
    auto alpha = [&form](int item) -> int& { return MenuButton(form, item).Alpha; };
    alpha(1) += 15;
    if (alpha(1) >= 150) {
        FinishFade(form, 1);
        alpha(2) += 15;
    }
    if (alpha(2) >= 150) {
        FinishFade(form, 2);
        alpha(3) += 15;
    }
    if (alpha(3) >= 150) {
        FinishFade(form, 3);
        alpha(4) += 15;
        alpha(5) += 15;
    }
    if (alpha(4) >= 150) {
        FinishFade(form, 4);
        FinishFade(form, 5);
        alpha(6) += 15;
    }
    if (alpha(6) >= 150) {
        FinishFade(form, 6);
        form.Screen.MenuIntro = 0;
    }
}

constexpr int kRace = ItemNo(MainMenuItem::Race);
constexpr int kHighScores = ItemNo(MainMenuItem::HighScores);
constexpr int kHomePage = ItemNo(MainMenuItem::HomePage);
constexpr int kOptions = ItemNo(MainMenuItem::Options);
constexpr int kHelp = ItemNo(MainMenuItem::Help);
constexpr int kQuit = ItemNo(MainMenuItem::Quit);

// Up and Down walk the menu's two columns of three, Left and Right cross between
// options and help, Esc asks whether to leave the game.
void MainMenuKeys(TGame& form) {
    int& sel = form.Screen.SelectedItem;
    const TKeyState& k = form.Keys;
    if (k.UpPressed) {
        if (sel == kOptions || sel == kHelp)
            sel = kHomePage;
        else if (sel == kQuit)
            sel = kHelp;
        else
            CyclePrev(sel, form.Screen.FirstItem, form.Screen.LastItem);
    }
    if (k.DownPressed) {
        if (sel == kOptions || sel == kHelp)
            sel = kQuit;
        else if (sel == kHomePage)
            sel = kHelp;
        else
            CycleNext(sel, form.Screen.FirstItem, form.Screen.LastItem);
    }
    if (k.EscPressed) form.RequestDialog(DialogKind::LeaveGame);
    if (k.LeftPressed && sel == kHelp) sel = kOptions;
    if (k.RightPressed && sel == kOptions) sel = kHelp;
}

} // namespace

void OpenMainMenu(TGame& form, int intro, int item, bool playMusic) {
    TScreenState& s = form.Screen;
    s.ActiveScreen = ScreenKind::MainMenu;
    if (playMusic) form.PlayScreenMusic();
    form.ShowPointer();
    s.FirstItem = 1;
    s.LastItem = 6;
    s.SelectedItem = item;
    s.MenuIntro = intro;
    CreateMenuBackground(form);
    for (int i = 1; i <= 6; ++i) {
        const auto& def = menu::kMainMenuButtons[i - 1];
        auto* b = form.SpriteEngine.Add<TMenuButton>(form, 1, std::string(def.Highlight),
                                                     std::string(def.Normal), 0, 0, def.X, def.Y);
        b->SetZ(4);
        s.Buttons[i] = b;
        if (intro == 0) {
            b->Blended = false;
            b->Alpha = 255;
        } else if (intro == 1) {
            b->Blended = true;
            b->Alpha = 0;
        }
    }
    if (intro == 1) form.PlayEffect("MenuBegin");
}

void CloseMainMenu(TGame& form) {
    form.Screen.ActiveScreen = ScreenKind::None;
    KillMenuBackground(form);
    KillButtons(form);
}

void UpdateMainMenu(TGame& form) {
    if (form.Screen.MenuIntro == 1) {
        if (form.Display().CanDraw()) IntroStep(form);
        return;
    }
    UpdateHighlight(form);
    MainMenuKeys(form);
}

} // namespace vorlane
