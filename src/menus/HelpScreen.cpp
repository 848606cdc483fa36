// The help screen: five pages in a ring - overview, bonuses, menu keys, race keys
// and the about page.
#include "core/Game.h"
#include "menus/ItemSelection.h"
#include "menus/MenuBackdrop.h"
#include "menus/MenuButton.h"
#include "menus/MenuConsts.h"
#include "menus/Screens.h"
#include "persist/WebLinks.h"
#include "sim/Helpers.h"

#include <string>

namespace vorlane {

namespace {

constexpr int kPageCount = 5;

// Page texts stand left-aligned at x, vertically centred on y.
void Line(TGame& form, std::string_view text, int x, int y) {
    form.DrawText(std::string(text), x, y, false, true);
}

template <size_t N>
void KeyPage(TGame& form, std::string_view heading, const std::array<std::string_view, N>& lines) {
    form.UseFont(21);
    Line(form, heading, 25, 300);
    form.UseFont(20);
    for (size_t k = 1; k <= N; ++k)
        Line(form, lines[k - 1], 25, 314 + 24 * int(k));
}

void DrawPage(TGame& form) {
    TMenuState& m = form.Menu;
    const int page = m.HelpPage;
    form.UseFont(19);
    if (page >= 1 && page <= kPageCount) Line(form, menu::kHelpPageTitles[page - 1], 25, 245);
    form.UseFont(20);
    if (page == 1)
        for (int k = 1; k <= 9; ++k)
            Line(form, menu::kHelpOverview[k - 1], 25, 266 + 24 * k);
    if (page == 2) {
        form.UseFont(21);
        for (const auto& bonus : menu::kHelpBonuses)
            Line(form, bonus.Label, bonus.LabelX, bonus.Y);
    }
    for (TGameSprite* picture : m.HelpBonuses)
        if (picture != nullptr) picture->Visible = page == 2;
    if (page == 3) KeyPage(form, "MENU NAVIGATIONS", menu::kHelpMenuKeys);
    if (page == 4) KeyPage(form, "GAME NAVIGATIONS", menu::kHelpRaceKeys);
    if (page == 5) {
        form.UseFont(21);
        Line(form, menu::kAboutTitle, 160, 320);
        form.UseFont(20);
        Line(form, menu::kAboutPublisher, 160, 360);
        Line(form, HomePageUrl(form.ServerUrl()), 160, 400);
    }
    if (m.HelpLogo != nullptr) m.HelpLogo->Visible = page == 5;
}

constexpr int kPreviousPage = ItemNo(HelpItem::PreviousPage);
constexpr int kNextPage = ItemNo(HelpItem::NextPage);
constexpr int kBack = ItemNo(HelpItem::Back);

// Up turns to the next page and Down to the previous one, whichever button is
// selected (the help opens on "back"); the selection goes to the arrow of that way
// ("next" is the upper one), so Enter turns on. Left and Right move between the
// arrows and back; Esc goes back.
void HelpKeys(TGame& form) {
    int& sel = form.Screen.SelectedItem;
    const TKeyState& k = form.Keys;
    if (k.UpPressed) form.ActivateItem(kNextPage);
    if (k.DownPressed) form.ActivateItem(kPreviousPage);
    if (k.LeftPressed) {
        if (sel == kNextPage) sel = kBack;
        if (sel == kPreviousPage) sel = kBack;
    }
    if (k.RightPressed && sel == kBack) sel = kPreviousPage;
    if (k.EscPressed) form.ActivateItem(kBack);
}

} // namespace

void OpenHelp(TGame& form) {
    TScreenState& s = form.Screen;
    TMenuState& m = form.Menu;
    TSprite* engine = &form.SpriteEngine;
    s.ActiveScreen = ScreenKind::Help;
    s.FirstItem = 1;
    s.LastItem = 3;
    s.SelectedItem = kBack;
    m.HelpPage = 1;
    CreateMenuBackground(form);
    for (int i = 1; i <= 3; ++i) {
        const auto& def = menu::kHelpButtons[i - 1];
        const std::string image(def.Image);
        auto* b = engine->Add<TMenuButton>(form, 1, image, image, 0, 1, def.X, def.Y);
        b->SetZ(4);
        s.Buttons[i] = b;
    }
    for (size_t i = 0; i < menu::kHelpBonuses.size(); ++i) {
        const auto& bonus = menu::kHelpBonuses[i];
        m.HelpBonuses[i] = TGameSprite::CreateCentered(engine, form.SpriteHost, 2, std::string(bonus.Image),
                                                       bonus.X, bonus.Y, 5);
        m.HelpBonuses[i]->Visible = false;
    }
    m.HelpLogo = engine->Add<TGameSprite>(form.SpriteHost, 1, "HelpLogo", 50, 318, 5);
    m.HelpLogo->Visible = false;
}

void CloseHelp(TGame& form) {
    TMenuState& m = form.Menu;
    form.Screen.ActiveScreen = ScreenKind::None;
    KillMenuBackground(form);
    KillButtons(form);
    for (TGameSprite*& picture : m.HelpBonuses) {
        if (picture != nullptr) picture->KillOnce();
        picture = nullptr;
    }
    if (m.HelpLogo != nullptr) m.HelpLogo->KillOnce();
    m.HelpLogo = nullptr;
}

void UpdateHelp(TGame& form, int lagCount) {
    UpdateHighlight(form);
    HelpKeys(form);
    if (form.Screen.ActiveScreen != ScreenKind::Help)
        return; // back to the main menu: this screen's sprites are gone
    form.UseFont(15);
    form.DrawText("HELP", 563, 148, true, true);
    DrawPage(form);
    form.SpriteEngine.MoveAll(lagCount);
}

void PrevHelpPage(TGame& form) {
    CyclePrev(form.Menu.HelpPage, 1, kPageCount);
}

void NextHelpPage(TGame& form) {
    CycleNext(form.Menu.HelpPage, 1, kPageCount);
}

} // namespace vorlane
