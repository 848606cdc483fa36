#pragma once
// State of the menu screens that lives between frames: the chosen car and its
// cross-fade, the help page, and the options screen's country field, with plain
// references to the screens' own picture sprites (the sprite engine owns them).
#include <array>

namespace vorlane {

class TSprite;
class TGameSprite;
class TBlinkingCursor;

struct TMenuState {
    int SelectedCar = 1;    // 1..6, read by the race
    int NextCar = 1;        // the car being switched to
    int CarSwitchPhase = 0; // 0 idle, 1 switching
    int HelpPage = 1;       // 1..5
    bool CountryEditing = false;
    // The screen's backdrop ("MMBG"), created and killed by each menu screen.
    TSprite* Background = nullptr;

    // Car selection: the showroom frame and the two car pictures of the cross-fade
    // (A on top shows the chosen car, B beneath it the car being switched to).
    TGameSprite* CarFrame = nullptr;
    TGameSprite* CarA = nullptr;
    TGameSprite* CarB = nullptr;
    // Options: the frame of the country line and its text cursor.
    TGameSprite* CountryEditBg = nullptr;
    TBlinkingCursor* CountryCursor = nullptr;
    // Help: the eight bonus pictures of page 2 and the emblem of page 5.
    std::array<TGameSprite*, 8> HelpBonuses{};
    TGameSprite* HelpLogo = nullptr;
};

} // namespace vorlane
