#pragma once
// State of the open dialog window.
#include <string>

namespace vorlane {

class TGameSprite;
class TBlinkingCursor;

struct TDialogState {
    // The selection of the screen beneath, saved while the dialog is open.
    int SavedSelectedItem = 0;
    int SavedFirstItem = 0;
    int SavedLastItem = 0;
    int DialogTimer = 0;         // ms left of the time-over, level and game-over dialogs
    bool SendingStarted = false; // the sending dialog was drawn once
    char DialogKey = 0;          // the name entry's last typed key
    int SendChoice = 0;
    std::string PlayerName; // at most 12 characters, kept between entries
    TGameSprite* DialogWindow = nullptr;
    TGameSprite* DialogCaption = nullptr;
    TGameSprite* SendBox = nullptr;
    TBlinkingCursor* Cursor = nullptr;
};

} // namespace vorlane
