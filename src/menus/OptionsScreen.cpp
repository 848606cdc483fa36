// The options screen: screen mode, music and sound switches, and the player's country.
#include "core/Game.h"
#include "menus/BlinkingCursor.h"
#include "menus/ItemSelection.h"
#include "menus/MenuBackdrop.h"
#include "menus/MenuButton.h"
#include "menus/MenuConsts.h"
#include "menus/Screens.h"
#include "sim/Helpers.h"

#include <string>

namespace vorlane {

namespace {

constexpr int kScreenModeSlot = 13;
constexpr int kMusicSlot = 14;
constexpr int kSoundSlot = 15;
constexpr int kCountryX = 380;

// The three state pictures: where each stands and the picture for each value.
struct TStatePicture {
    int Slot;
    int X;
    int Y;
    const char* On;
    const char* Off;
};
constexpr TStatePicture kStatePictures[] = {
    {kScreenModeSlot, 118, 255, "OptFullScreen", "OptWindow"},
    {kMusicSlot, 118, 320, "OptMusicOn", "OptMusicOff"},
    {kSoundSlot, 115, 383, "OptSoundOn", "OptSoundOff"},
};

bool StateValue(const TGameOptions& o, int slot) {
    if (slot == kScreenModeSlot) return o.FullScreenMode;
    if (slot == kMusicSlot) return o.MusicOn;
    return o.SoundOn;
}

TGameSprite* StateSprite(TGame& form, int slot) {
    return static_cast<TGameSprite*>(form.Screen.Buttons[slot]);
}

} // namespace

void OpenOptions(TGame& form) {
    TScreenState& s = form.Screen;
    TMenuState& m = form.Menu;
    TSprite* engine = &form.SpriteEngine;
    s.ActiveScreen = ScreenKind::Options;
    s.FirstItem = 1;
    s.LastItem = 5;
    s.SelectedItem = ItemNo(OptionsItem::Back);
    CreateMenuBackground(form);
    m.CountryEditBg = engine->Add<TGameSprite>(form.SpriteHost, 1, "CountryEditBg", 361, 442, 3);
    for (int i = 1; i <= 4; ++i) {
        const auto& row = menu::kOptionRows[i - 1];
        auto* b = engine->Add<TMenuButton>(form, 1, std::string(row.Highlight), "Null", 0, 0,
                                           menu::kOptionRowX, row.Y);
        b->SetZ(4);
        b->HitWidth = row.HitWidth;
        b->HitHeight = row.HitHeight;
        s.Buttons[i] = b;
    }
    auto* back = engine->Add<TMenuButton>(form, 1, "Opt_Bk", "Opt_Bk", 0, 1, 345, 513);
    back->SetZ(4);
    s.Buttons[ItemNo(OptionsItem::Back)] = back;
    for (const TStatePicture& p : kStatePictures)
        s.Buttons[p.Slot] = engine->Add<TGameSprite>(
            form.SpriteHost, 1, StateValue(form.Options(), p.Slot) ? p.On : p.Off, p.X, p.Y, 3);
    m.CountryCursor = engine->Add<TBlinkingCursor>(form, 1, "Cursor", kCountryX, 491, 5, 1000);
    m.CountryEditing = false;
}

void CloseOptions(TGame& form) {
    TScreenState& s = form.Screen;
    TMenuState& m = form.Menu;
    s.ActiveScreen = ScreenKind::None;
    KillButtons(form);
    KillMenuBackground(form);
    for (const TStatePicture& p : kStatePictures) {
        if (TGameSprite* sprite = StateSprite(form, p.Slot)) sprite->KillOnce();
        s.Buttons[p.Slot] = nullptr;
    }
    if (m.CountryEditBg != nullptr) m.CountryEditBg->KillOnce();
    if (m.CountryCursor != nullptr) m.CountryCursor->KillOnce();
    m.CountryEditBg = nullptr;
    m.CountryCursor = nullptr;
    m.CountryEditing = false;
}

void DrawOptionsState(TGame& form) {
    const TGameOptions& o = form.Options();
    for (const TStatePicture& p : kStatePictures)
        if (TGameSprite* sprite = StateSprite(form, p.Slot))
            sprite->SetImageByName(StateValue(o, p.Slot) ? p.On : p.Off);
    form.UseFont(13);
    form.DrawText("Your country:", 116, 447, false, false);
    form.UseFont(4);
    // An empty country shows the line to write on, except while it is being typed.
    const bool placeholder = o.Country.empty() && !form.Menu.CountryEditing;
    form.DrawText(placeholder ? std::string(kNoCountry) : o.Country, kCountryX, 450, false, false);
}

void UpdateOptions(TGame& form, int lagCount) {
    TScreenState& s = form.Screen;
    UpdateHighlight(form);
    if (!form.Menu.CountryEditing) {
        if (form.Keys.UpPressed) StepDown(s.SelectedItem, s.FirstItem, 1);
        if (form.Keys.DownPressed) StepUp(s.SelectedItem, s.LastItem, 1);
    }
    if (form.Keys.EscPressed)
        form.ActivateItem(ItemNo(form.Menu.CountryEditing ? OptionsItem::Country : OptionsItem::Back));
    if (s.ActiveScreen != ScreenKind::Options)
        return; // back to the main menu: this screen's sprites are gone
    // The cursor blinks exactly while the country is being typed, however the typing
    // ended (the country item, Esc, or the highlight moving off the country row).
    if (form.Menu.CountryCursor != nullptr) form.Menu.CountryCursor->Blinking = form.Menu.CountryEditing;
    form.SpriteEngine.MoveAll(lagCount);
    form.UseFont(15);
    form.DrawText("OPTIONS", 563, 148, true, true);
    DrawOptionsState(form);
    // The cursor stands right after the last character (text style 4 is still in use).
    // Under a dialog it stays where it stood.
    if (form.Menu.CountryCursor != nullptr)
        form.Menu.CountryCursor->X = kCountryX + form.MeasureText(form.Options().Country);
}

void ToggleCountryEditing(TGame& form) {
    TMenuState& m = form.Menu;
    m.CountryEditing = !m.CountryEditing;
    if (m.CountryCursor != nullptr) m.CountryCursor->Blinking = m.CountryEditing;
}

} // namespace vorlane
