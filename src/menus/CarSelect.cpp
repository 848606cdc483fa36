// The car selection: one of six cars in the showroom frame, changed with a cross-fade.
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

std::string CarPicture(int car) {
    return std::string(menu::kCarPictures[car - 1]);
}

// Starts the fade: the new car appears beneath the shown one, which fades out.
void StartSwitch(TGame& form, bool following) {
    TMenuState& m = form.Menu;
    m.CarSwitchPhase = 1;
    m.NextCar = m.SelectedCar;
    if (following)
        CycleNext(m.NextCar, 1, 6);
    else
        CyclePrev(m.NextCar, 1, 6);
    m.CarB->SetImageByName(CarPicture(m.NextCar));
    m.CarB->Visible = true;
}

constexpr int kPrecedingCar = ItemNo(CarSelectItem::PrecedingCar);
constexpr int kFollowingCar = ItemNo(CarSelectItem::FollowingCar);
constexpr int kRace = ItemNo(CarSelectItem::Race);
constexpr int kBack = ItemNo(CarSelectItem::Back);

// Left and Right on an arrow switch the car, elsewhere they cross between the two
// columns; Up and Down move between the arrows and the buttons below them.
void CarSelectKeys(TGame& form) {
    int& sel = form.Screen.SelectedItem;
    const TKeyState& k = form.Keys;
    if (k.LeftPressed) {
        if (sel == kPrecedingCar) form.ActivateItem(kPrecedingCar);
        if (sel == kFollowingCar) sel = kPrecedingCar;
        if (sel == kBack) sel = kRace;
    }
    if (k.RightPressed) {
        if (sel == kFollowingCar) form.ActivateItem(kFollowingCar);
        if (sel == kPrecedingCar) sel = kFollowingCar;
        if (sel == kRace) sel = kBack;
    }
    if (k.UpPressed) {
        if (sel == kRace) sel = kPrecedingCar;
        if (sel == kBack) sel = kFollowingCar;
    }
    if (k.DownPressed) {
        if (sel == kPrecedingCar) sel = kRace;
        if (sel == kFollowingCar) sel = kBack;
    }
}

} // namespace

void OpenCarSelect(TGame& form) {
    TScreenState& s = form.Screen;
    TMenuState& m = form.Menu;
    s.ActiveScreen = ScreenKind::CarSelect;
    m.CarSwitchPhase = 0;
    s.FirstItem = 1;
    s.LastItem = 4;
    s.SelectedItem = kRace;
    CreateMenuBackground(form);
    TSprite* engine = &form.SpriteEngine;
    m.CarFrame = engine->Add<TGameSprite>(form.SpriteHost, 1, "SG_Bk", 198, 218, 3);
    // B is made after A at the same depth, so it lies beneath A.
    m.CarA = engine->Add<TGameSprite>(form.SpriteHost, 1, CarPicture(m.SelectedCar), 231, 259, 4);
    m.CarB = engine->Add<TGameSprite>(form.SpriteHost, 1, CarPicture(m.SelectedCar), 231, 259, 4);
    m.CarB->Visible = false;
    for (int i = 1; i <= 4; ++i) {
        const auto& def = menu::kCarSelectButtons[i - 1];
        const std::string image(def.Image);
        auto* b = engine->Add<TMenuButton>(form, 1, image, image, 0, 1, def.X, def.Y);
        b->SetZ(5);
        s.Buttons[i] = b;
    }
}

void CloseCarSelect(TGame& form) {
    TMenuState& m = form.Menu;
    KillButtons(form);
    KillMenuBackground(form);
    for (TGameSprite** p : {&m.CarFrame, &m.CarA, &m.CarB}) {
        if (*p != nullptr) (*p)->KillOnce();
        *p = nullptr;
    }
    form.Screen.ActiveScreen = ScreenKind::None;
}

void UpdateCarSelect(TGame& form) {
    UpdateHighlight(form);
    CarSelectKeys(form);
    if (form.Screen.ActiveScreen != ScreenKind::CarSelect) return;
    TMenuState& m = form.Menu;
    TGameSprite& a = *m.CarA;
    TGameSprite& b = *m.CarB;
    if (m.CarSwitchPhase == 0) {
        a.Blended = b.Blended = false;
        a.Alpha = b.Alpha = 255;
        a.Visible = true;
        b.Visible = false;
    }
    if (m.CarSwitchPhase == 1) {
        a.Blended = b.Blended = true;
        a.Alpha -= 20;
        if (a.Alpha <= 0) {
            a.SetImageByName(CarPicture(m.NextCar));
            m.CarSwitchPhase = 0;
            m.SelectedCar = m.NextCar;
        }
    }
}

void SwitchToPrecedingCar(TGame& form) {
    StartSwitch(form, false);
}

void SwitchToFollowingCar(TGame& form) {
    StartSwitch(form, true);
}

} // namespace vorlane
