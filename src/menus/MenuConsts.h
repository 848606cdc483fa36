#pragma once
// The menu screens' fixed tables: the pictures of every button and where they stand,
// the car pictures, the option rows, the help screen's bonus pictures and its texts.
#include <array>
#include <string_view>

namespace vorlane::menu {

// A button whose normal and highlighted looks are two patterns of one picture.
struct TPlainButton {
    std::string_view Image;
    int X;
    int Y;
};

// Main menu, items 1..6 (index 0..5).
struct TMainMenuButton {
    std::string_view Normal; // the look of a menu opened without the intro
    std::string_view Highlight;
    std::string_view AfterIntro; // the normal look once the intro has faded it in
    int X;
    int Y;
};
extern const std::array<TMainMenuButton, 6> kMainMenuButtons;

// Car pictures by car number 1..6 (index 0..5).
extern const std::array<std::string_view, 6> kCarPictures;
// Car selection, items 1..4: preceding car, following car, start, back.
extern const std::array<TPlainButton, 4> kCarSelectButtons;

// Options, items 1..4: the rows of screen mode, music, sound effects and country.
struct TOptionRow {
    int Y;
    std::string_view Highlight;
    int HitWidth;
    int HitHeight;
};
inline constexpr int kOptionRowX = 118;
extern const std::array<TOptionRow, 4> kOptionRows;

// High scores, items 1..3: clear, view online, back.
extern const std::array<TPlainButton, 3> kHighScoreButtons;

// Help, items 1..3: previous page, next page, back.
extern const std::array<TPlainButton, 3> kHelpButtons;

// Help page 2: a bonus picture (image list 2, placed by its centre) and its label.
struct THelpBonus {
    std::string_view Image;
    int X;
    int Y;
    std::string_view Label;
    int LabelX;
};
extern const std::array<THelpBonus, 8> kHelpBonuses;

// Help page titles by page 1..5 (index 0..4).
extern const std::array<std::string_view, 5> kHelpPageTitles;
// Page 1, page 3 and page 4 texts, one string a line.
extern const std::array<std::string_view, 9> kHelpOverview;
extern const std::array<std::string_view, 5> kHelpMenuKeys;
extern const std::array<std::string_view, 8> kHelpRaceKeys;
// Page 5: the game's name, then the year with the publisher, then the web address.
inline constexpr std::string_view kAboutTitle = "  VORLANE";
extern const std::string_view kAboutPublisher;

} // namespace vorlane::menu
