#pragma once
// Where the menu screens put the generated pictures and the game's own text, in screen
// pixels, for the pictures that must leave room for that text.
namespace vorlane::datagen::layout {

// High-score table: "HSTable" at (274, 185), its frame whole inside the screen with a
// margin to the right and bottom edges; the game centres entry i's name on
// (530, 206 + 36 i) in text style 2 and ends its score at x 766, centred on y 202 + 36 i,
// in style 17.
constexpr int kTableX = 274, kTableY = 185;
constexpr int kTableWidth = 516, kTableHeight = 401;
constexpr int kNameCentreX = 530, kScoreRightX = 766;
constexpr int kNameColumnLeft = 408, kNameColumnRight = 653;   // the name column's rules
constexpr int kScoreColumnLeft = 653, kScoreColumnRight = 778; // to the frame's inner edge
constexpr int kScoreHeadX = (kScoreColumnLeft + kScoreColumnRight) / 2;
constexpr int kRankCentreX = 344;
constexpr int kNameRowY(int i) {
    return 206 + 36 * i;
}

// Options: the country line in text style 4 starts at x 380 on the light field
// "CountryEditBg" at (361, 442), 368 wide; up to 16 characters must fit 345 pixels.
constexpr int kCountryTextX = 380;
constexpr int kCountryFieldX = 361, kCountryFieldWidth = 368;
constexpr int kCountryMaxWidth = 345;

// Name entry: the typed name (style 10) centred on (348, 345) in "SendTable" at (127, 135).
constexpr int kSendTableX = 127, kSendTableY = 135;
constexpr int kNameFieldLeft = 127 + 51, kNameFieldRight = 127 + 391;

} // namespace vorlane::datagen::layout
