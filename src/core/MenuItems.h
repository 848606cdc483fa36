#pragma once
// The selectable items of each screen and of the question dialogs. An item's number
// is its slot in TScreenState::Buttons and the number the dump writes as SelectedItem.

namespace vorlane {

enum class MainMenuItem { Race = 1, HighScores = 2, HomePage = 3, Options = 4, Help = 5, Quit = 6 };
enum class CarSelectItem { PrecedingCar = 1, FollowingCar = 2, Race = 3, Back = 4 };
enum class OptionsItem { ScreenMode = 1, Music = 2, Sound = 3, Country = 4, Back = 5 };
enum class HighScoresItem { Clear = 1, OnlineTable = 2, Back = 3 };
enum class HelpItem { PreviousPage = 1, NextPage = 2, Back = 3 };
// The two buttons of the question dialogs, above every screen's own items.
enum class DialogItem { Yes = 11, No = 12 };

// The item's number (its button slot).
template <typename Item> constexpr int ItemNo(Item item) {
    return static_cast<int>(item);
}

} // namespace vorlane
