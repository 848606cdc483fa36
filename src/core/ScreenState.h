#pragma once
// Which screen and dialog are showing and which of their items can be chosen.
#include <array>
#include <cstdint>

namespace vorlane {

class TSprite;

struct TScreenState {
    // 0 none (between two screens), 1 main menu, 2 car selection, 3 options,
    // 4 high scores, 5 help, 6 race.
    uint8_t ActiveScreen = 0;
    // 0 none; 1 leave the game, 2 leave the race, 3 time over, 4 clear the high
    // scores, 5 pause, 6 level banner, 7 game over, 8 name entry, 9 sending results.
    uint8_t ActiveDialog = 0;
    // The selected item's number; 0 = none.
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
