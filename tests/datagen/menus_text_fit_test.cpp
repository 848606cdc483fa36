// The game's own text fits the places the menu pictures leave for it, measured in the
// text styles' face and size.
#include "datagen/common/Canvas.h"
#include "datagen/menus/Layout.h"
#include "datagen/preview/GameText.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane::datagen {
namespace {

class GameTextFit : public ::testing::Test {
  protected:
    int Width(int style, const std::string& text) { return MeasureGameText(canvas_.cr(), style, text).width; }

  private:
    Canvas canvas_{4, 4};
};

TEST_F(GameTextFit, LongestCountriesFitTheCountryField) {
    using namespace layout;
    // The field leaves the text its full allowance up to the field's inner edge.
    EXPECT_LE(kCountryTextX + kCountryMaxWidth, kCountryFieldX + kCountryFieldWidth - 4);
    // Sixteen characters, the most the country line takes, in capitals and in mixed case.
    for (const char* country :
         {"PAPUA NEW GUINEA", "MARSHALL ISLANDS", "BOSNIA HERZEGOVI", "Papua New Guinea", "Marshall Islands",
          "Solomon Islands", "United Kingdom"}) {
        EXPECT_LE(Width(4, country), kCountryMaxWidth) << country;
    }
}

TEST_F(GameTextFit, NamesAndScoresStayInTheirTableColumns) {
    using namespace layout;
    const int nameRoom = 2 * std::min(kNameCentreX - kNameColumnLeft, kNameColumnRight - kNameCentreX);
    for (const char* name : {"ANONYMOUS", "MAXIMILIAN K", "Christopher", "ALEXANDRA 12"})
        EXPECT_LE(Width(2, name), nameRoom - 8) << name;
    // Scores end at kScoreRightX and run to the left.
    EXPECT_LE(kScoreRightX, kScoreColumnRight - 8);
    const int scoreRoom = kScoreRightX - kScoreColumnLeft;
    for (const char* score : {"500", "5000", "999999", "9999999"})
        EXPECT_LE(Width(17, score), scoreRoom - 8) << score;
}

TEST_F(GameTextFit, TypedNameFitsTheNameField) {
    using namespace layout;
    for (const char* name : {"MAXIMILIAN K", "ALEXANDRA 12", "Christopher"})
        EXPECT_LE(Width(10, name), kNameFieldRight - kNameFieldLeft - 20) << name;
}

} // namespace
} // namespace vorlane::datagen
