// The letter picker over a text field: opening a place, stepping through the letters
// both ways and round the end, moving on, taking back, and a full field.
#include "app/LetterPicker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlane {
namespace {

TEST(LetterPicker, MovesSpellANameStepByStep) {
    using M = PickerMove;
    struct Step {
        M move;
        const char* text; // after the move
    };
    const std::vector<Step> steps = {
        {M::NextLetter, "GoA"}, // a new place opens with A after what was typed
        {M::NextLetter, "GoB"},
        {M::PreviousLetter, "GoA"},
        {M::PreviousLetter, "Go "}, // round the end: the space is last
        {M::PreviousLetter, "Go9"},
        {M::MoveOn, "Go9"},
        {M::PreviousLetter, "Go9Z"}, // down from nothing gives Z
        {M::MoveOn, "Go9Z"},
        {M::TakeBack, "Go9"},
        {M::TakeBack, "Go"},
        {M::NextLetter, "GoA"},
        {M::None, "GoA"},
    };
    LetterPicker picker;
    std::string text = "Go";
    for (const Step& s : steps) {
        picker.Apply(s.move, text, true);
        EXPECT_EQ(text, s.text);
    }
}

TEST(LetterPicker, AFullFieldTakesNoNewPlaceButTheLastLetterStillChanges) {
    LetterPicker picker;
    std::string text;
    picker.Apply(PickerMove::NextLetter, text, true);
    picker.Apply(PickerMove::NextLetter, text, false); // full now: the letter in place still steps
    EXPECT_EQ(text, "B");
    picker.Apply(PickerMove::MoveOn, text, false);
    picker.Apply(PickerMove::NextLetter, text, false);
    EXPECT_EQ(text, "B");
    // A small letter typed on the keyboard is not the picker's: the next push opens a place.
    std::string typed = "x";
    LetterPicker fresh;
    fresh.Apply(PickerMove::NextLetter, typed, true);
    EXPECT_EQ(typed, "xA");
    fresh.Reset();
    fresh.Apply(PickerMove::NextLetter, typed, true);
    EXPECT_EQ(typed, "xAA");
}

} // namespace
} // namespace vorlane
