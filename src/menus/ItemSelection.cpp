#include "menus/ItemSelection.h"

#include "core/Game.h"
#include "menus/MenuButton.h"
#include "menus/Screens.h"

namespace vorlane {

namespace {

TMenuButton* ButtonAt(TScreenState& s, int item) {
    if (item < 1 || item >= int(s.Buttons.size())) return nullptr;
    return dynamic_cast<TMenuButton*>(s.Buttons[size_t(item)]);
}

} // namespace

void HitTestItems(TGame& game, bool keep) {
    TScreenState& screen = game.Screen;
    if (!keep) screen.SelectedItem = 0;
    for (int i = screen.FirstItem; i <= screen.LastItem; ++i) {
        const TMenuButton* b = ButtonAt(screen, i);
        if (!b) continue;
        const double mx = game.Keys.MouseX, my = game.Keys.MouseY;
        if (b->X <= mx && mx <= b->X + b->HitBoxWidth() && b->Y <= my && my <= b->Y + b->HitBoxHeight()) {
            screen.SelectedItem = i;
            return;
        }
    }
}

void UpdateHighlight(TGame& game) {
    TScreenState& screen = game.Screen;
    for (int i = screen.FirstItem; i <= screen.LastItem; ++i) {
        if (i == screen.SelectedItem) continue;
        if (TMenuButton* b = ButtonAt(screen, i)) {
            b->ShowNormal();
            b->Highlighted = false;
        }
    }
    if (screen.SelectedItem == 0) return;
    TMenuButton* selected = ButtonAt(screen, screen.SelectedItem);
    if (!selected || selected->Highlighted) return;
    selected->ShowHighlighted();
    selected->Highlighted = true;
    // Moving the highlight off the country row ends typing the country.
    if (screen.ActiveScreen == ScreenKind::Options && screen.SelectedItem != ItemNo(OptionsItem::Country) &&
        game.Menu.CountryEditing)
        ToggleCountryEditing(game);
}

void KillButtons(TGame& game) {
    TScreenState& screen = game.Screen;
    for (int i = screen.FirstItem; i <= screen.LastItem; ++i) {
        if (i < 1 || i >= int(screen.Buttons.size())) continue;
        if (auto* b = dynamic_cast<TGameSprite*>(screen.Buttons[size_t(i)])) b->KillOnce();
        screen.Buttons[size_t(i)] = nullptr;
    }
}

} // namespace vorlane
