// The high-score screen: the local table of the ten best, clear, view online, back.
#include "core/Game.h"
#include "core/Helpers.h"
#include "menus/ItemSelection.h"
#include "menus/MenuBackdrop.h"
#include "menus/MenuButton.h"
#include "menus/MenuConsts.h"
#include "menus/Screens.h"

#include <string>

namespace vorlane {

namespace {

constexpr int kCaptionSlot = 16;
constexpr int kTableSlot = 17;

// Names (style 2) centred at x 530 and scores (style 17) centred at x 720, rows 36
// pixels apart, each score 4 pixels above its name. A name wider than its column
// sticks out on both sides. Names are the table's bytes, drawn as Latin-1.
void DrawTable(TGame& form) {
    for (int i = 1; i <= THighScoreTable::kSize; ++i) {
        const THighScore& entry = form.HighScores.Entry(i);
        form.UseFont(2);
        form.DrawText(entry.Name, 530, 220 + 36 * i, true, true);
        form.UseFont(17);
        form.DrawText(std::to_string(entry.Score), 720, 216 + 36 * i, true, true);
    }
}

} // namespace

void OpenHighScores(TGame& form) {
    TScreenState& s = form.Screen;
    TSprite* engine = &form.SpriteEngine;
    s.ActiveScreen = ScreenKind::HighScores;
    s.FirstItem = 1;
    s.LastItem = 3;
    s.SelectedItem = ItemNo(HighScoresItem::Back);
    CreateMenuBackground(form);
    s.Buttons[kCaptionSlot] = engine->Add<TGameSprite>(form.SpriteHost, 1, "HSCaption", 364, 102, 3);
    s.Buttons[kTableSlot] = engine->Add<TGameSprite>(form.SpriteHost, 1, "HSTable", 274, 199, 3);
    for (int i = 1; i <= 3; ++i) {
        const auto& def = menu::kHighScoreButtons[i - 1];
        const std::string image(def.Image);
        auto* b = engine->Add<TMenuButton>(form, 1, image, image, 0, 1, def.X, def.Y);
        b->SetZ(4);
        s.Buttons[i] = b;
    }
}

void CloseHighScores(TGame& form) {
    TScreenState& s = form.Screen;
    s.ActiveScreen = ScreenKind::None;
    KillMenuBackground(form);
    KillButtons(form);
    for (int slot : {kCaptionSlot, kTableSlot}) {
        if (auto* picture = static_cast<TGameSprite*>(s.Buttons[slot])) picture->KillOnce();
        s.Buttons[slot] = nullptr;
    }
}

void UpdateHighScores(TGame& form, int lagCount) {
    TScreenState& s = form.Screen;
    UpdateHighlight(form);
    if (form.Keys.UpPressed) StepDown(s.SelectedItem, s.FirstItem, 1);
    if (form.Keys.DownPressed) StepUp(s.SelectedItem, s.LastItem, 1);
    if (form.Keys.EscPressed) form.ActivateItem(ItemNo(HighScoresItem::Back));
    if (s.ActiveScreen != ScreenKind::HighScores)
        return; // back to the main menu: this screen's sprites are gone
    form.SpriteEngine.MoveAll(lagCount);
    DrawTable(form);
}

} // namespace vorlane
