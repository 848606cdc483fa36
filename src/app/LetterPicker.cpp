#include "app/LetterPicker.h"

#include "app/KeyEdges.h"

#include <cstring>

namespace vorlane {

namespace {

// The letter step places away from c in the picking order; a character not in it
// (a small letter typed on the keyboard) counts as standing before "A".
char Step(char c, int step) {
    const int count = int(std::strlen(LetterPicker::Letters));
    const char* at = c ? std::strchr(LetterPicker::Letters, c) : nullptr;
    const int index =
        at ? int(at - LetterPicker::Letters) : (step > 0 ? -1 : 26); // down from nothing gives "Z"
    return LetterPicker::Letters[((index + step) % count + count) % count];
}

} // namespace

void LetterPicker::Apply(PickerMove move, std::string& text, bool canAdd) {
    switch (move) {
    case PickerMove::None:
        return;
    case PickerMove::NextLetter:
    case PickerMove::PreviousLetter: {
        const int step = move == PickerMove::NextLetter ? 1 : -1;
        if (picking_ && !text.empty()) {
            text.back() = Step(text.back(), step);
        } else if (canAdd) {
            text += Step(0, step);
            picking_ = true;
        }
        return;
    }
    case PickerMove::MoveOn:
        picking_ = false;
        return;
    case PickerMove::TakeBack:
        DeleteLastChar(text);
        picking_ = false;
        return;
    }
}

} // namespace vorlane
