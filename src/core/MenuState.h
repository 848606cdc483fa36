#pragma once
// State of the menu screens that lives between frames: the chosen car and its
// cross-fade, the help page, and the options screen's country field, with plain
// references to the screens' own picture sprites (the sprite engine owns them).
#include "persist/HighScores.h"

#include <array>
#include <string>

namespace vorlane {

class TSprite;
class TGameSprite;
class TBlinkingCursor;

// The high-score screen's replay line: the table row whose race R plays, which rows
// have a replay on the shelf (looked up when the table differs from the one last
// looked at), and a short notice shown in the line's place.
struct THighScoreReplays {
    int Rank = 0; // 1..10; 0: none picked yet
    std::array<bool, THighScoreTable::kSize> Kept{};
    std::array<THighScore, THighScoreTable::kSize> LookedAt{};
    bool Looked = false;
    // The pointer picks a row by moving onto it: where it was last frame.
    int PointerX = -1;
    int PointerY = -1;
    std::string Notice;
    int NoticeMs = 0;
};

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
    THighScoreReplays Replays;
};

} // namespace vorlane
