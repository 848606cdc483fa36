#pragma once
// The arcade letter picker: a text field filled from the game pad alone. Up shows
// the next letter in the place being picked (the first push opens a new place with
// "A"), down the previous one, right keeps the letter and moves on, left takes the
// last character back.
#include "platform/PadMapping.h"

#include <string>

namespace vorlane {

class LetterPicker {
  public:
    // The letters in picking order; after the last comes the first again.
    static constexpr const char* Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";

    // One move on text. canAdd: one more character fits the field (only asked when
    // a new place is opened).
    void Apply(PickerMove move, std::string& text, bool canAdd);
    // A field taken up afresh: the next letter opens a new place.
    void Reset() { picking_ = false; }

  private:
    bool picking_ = false; // the last character of the text is the one being picked
};

} // namespace vorlane
