#pragma once
// Where the menu screens put the generated pictures and the game's own text, in screen
// pixels, for the pictures that must leave room for that text.
namespace vorlane::datagen::layout {

// High-score table: "HSTable" at (274, 199); the game centres entry i's name on
// (530, 220 + 36 i) in text style 2 and its score on (720, 216 + 36 i) in style 17.
constexpr int kTableX = 274, kTableY = 199;
constexpr int kTableWidth = 526, kTableHeight = 401;
constexpr int kNameCentreX = 530, kScoreCentreX = 720;
constexpr int kNameColumnLeft = 408, kNameColumnRight = 653;   // the name column's rules
constexpr int kScoreColumnLeft = 653, kScoreColumnRight = 794; // to the frame's inner edge
constexpr int kRankCentreX = 344;
constexpr int kNameRowY(int i) {
    return 220 + 36 * i;
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
