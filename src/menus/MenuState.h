#pragma once
// State of the menu screens that lives between frames: the chosen car and its
// cross-fade, the help page, and the options screen's country field.

namespace vorlane {

class TSprite;
class TMyImageSprite;

struct TMenuState {
    int SelectedCar = 1;    // 1..6, read by the race
    int NextCar = 1;        // the car being switched to
    int CarSwitchPhase = 0; // 0 idle, 1 switching
    int HelpPage = 1;       // 1..5
    bool CountryEditing = false;
    // The screen's backdrop ("MMBG"), created and killed by each menu screen.
    TSprite* Background = nullptr;
};

} // namespace vorlane
