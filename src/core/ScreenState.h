#pragma once
// Which screen and dialog are showing and which of their items can be chosen.
#include <array>
#include <cstdint>

namespace vorlane {

class TSprite;

// The screens. The numbers are the ones the headless player's dump writes.
enum class ScreenKind : uint8_t {
    None = 0, // between two screens
    MainMenu = 1,
    CarSelect = 2,
    Options = 3,
    HighScores = 4,
    Help = 5,
    Race = 6,
};

// The dialogs that open over a screen (numbered as in the dump, like the screens).
enum class DialogKind : uint8_t {
    None = 0,
    LeaveGame = 1,       // "leave the game?"
    LeaveRace = 2,       // "leave the race?"
    TimeOver = 3,        // the time ran out, lives left: the level again
    ClearHighScores = 4, // "clear the high scores?"
    Pause = 5,
    LevelBanner = 6, // the level's number before it starts
    GameOver = 7,
    NameEntry = 8,      // a place in the high scores: the player's name
    SendingResults = 9, // the score goes to the online table
};

struct TScreenState {
    ScreenKind ActiveScreen = ScreenKind::None;
    DialogKind ActiveDialog = DialogKind::None;
    // The selected item's number (see core/MenuItems.h); 0 = none.
    int SelectedItem = 0;
    // The item numbers that can be selected now; 1..0 (empty) during a race.
    int FirstItem = 0;
    int LastItem = 0;
    // The item sprites by item number 1..17 (slot 0 unused). The sprite engine owns
    // them; these are plain references that the screens clear when they kill them.
    std::array<TSprite*, 18> Buttons{};
    // 1 while the main menu's fade-in intro runs, else 0.
    int MenuIntro = 0;
};

} // namespace vorlane
