// The window's key and mouse events. None of them draws or moves anything: they set
// state that the next frame and the dispatcher act on.
#include "app/KeyEdges.h"
#include "app/TMForm.h"

#include "app/Dialogs.h"
#include "app/EntryReplayWatch.h"
#include "menus/ItemSelection.h"
#include "platform/GamePads.h"
#include "platform/KeyCodes.h"

#include <algorithm>

namespace vorlane {

namespace {

// Widest texts still taking one more character: the country line in text style 4
// and the player's name in text style 10. The test is made before the character is
// added, so the last one accepted may carry the text past the limit.
constexpr int CountryWidthLimit = 345;
constexpr int NameWidthLimit = 240;
constexpr int CountryMaxLength = 16;
constexpr int NameMaxLength = 12;

} // namespace

void TMForm::UpdateKeyEdges() {
    vorlane::UpdateKeyEdges(Keys, *Input);
}

void TMForm::KeyDown(int key, bool alt) {
    if (key == vk::Shift) Keys.ShiftHeld = true;
    if (key == vk::Ctrl) Keys.CtrlHeld = true;
    // A key the controls file gives to "choose" chooses as Enter does.
    if (key != vk::Enter && std::find(chooseKeys_.begin(), chooseKeys_.end(), key) != chooseKeys_.end())
        KeyTyped(13);
    // Alt+Enter: the one way to switch the screen mode outside the options screen.
    // A race pauses first (a dialog already open stays as it is).
    if (alt && key == vk::Enter) {
        Options().FullScreenMode = !Options().FullScreenMode;
        if (Screen.ActiveScreen == ScreenKind::Race) OpenDialog(*this, DialogKind::Pause);
        ApplyDisplayMode();
    }
}

void TMForm::KeyUp(int key) {
    if (key == vk::Shift) Keys.ShiftHeld = false;
    if (key == vk::Ctrl) Keys.CtrlHeld = false;
}

void TMForm::KeyTyped(char ch) {
    const bool nameEntry = Screen.ActiveDialog == DialogKind::NameEntry;
    // 1. The name entry remembers the last key typed (Enter there accepts the name).
    if (nameEntry) Dialog.DialogKey = ch;
    // 2. The country line, while it is being edited (even under a dialog); 3. the
    //    player's name in the name entry.
    std::string* fields[] = {
        Screen.ActiveScreen == ScreenKind::Options && Menu.CountryEditing ? &Options().Country : nullptr,
        nameEntry ? &Dialog.PlayerName : nullptr};
    for (std::string* field : fields) {
        if (!field) continue;
        if (ch == 8)
            DeleteLastChar(*field);
        else if (IsNameChar(ch) && FieldTakesMore(*field))
            *field += ch;
    }
    // 4. Enter activates the selection.
    if (ch == 13) ActivateItem(Screen.SelectedItem);
}

std::string* TMForm::PickerField() {
    if (Screen.ActiveDialog == DialogKind::NameEntry) return &Dialog.PlayerName;
    if (Screen.ActiveScreen == ScreenKind::Options && Menu.CountryEditing) return &Options().Country;
    return nullptr;
}

// The width is measured before the character goes in, so the last one accepted may
// carry the text past the limit; the length limit is exact.
bool TMForm::FieldTakesMore(const std::string& text) {
    if (&text == &Dialog.PlayerName)
        return MeasureTextIn(text, 10) <= NameWidthLimit && int(text.size()) < NameMaxLength;
    return MeasureTextIn(text, 4) <= CountryWidthLimit && int(text.size()) < CountryMaxLength;
}

PadContext TMForm::PadContextNow() const {
    const bool noDialog = Screen.ActiveDialog == DialogKind::None;
    if (Screen.ActiveDialog == DialogKind::NameEntry) return PadContext::TextEntry;
    if (Screen.ActiveScreen == ScreenKind::Options && Menu.CountryEditing && noDialog)
        return PadContext::TextEntry;
    if (Screen.ActiveScreen == ScreenKind::Race && noDialog) return PadContext::Race;
    return PadContext::Menus;
}

void TMForm::PollPad() {
    GamePads& pads = PlatformServices->Pads();
    const PadContext context = PadContextNow();
    if (context != padContext_) picker_.Reset();
    padContext_ = context;
    for (const InputEvent& e : pads.Translator().Update(pads.Read(), context))
        HandleEvent(e);
    if (const PickerMove move = pads.Translator().Picker(); move != PickerMove::None) {
        if (std::string* field = PickerField()) picker_.Apply(move, *field, FieldTakesMore(*field));
    }
}

// Only a real move picks an item: an event at the position last seen (the window
// mapped or raised under a resting pointer, a focus change) or the first event that
// tells where the pointer rests leaves the selection alone.
void TMForm::MouseMoved(int x, int y) {
    const bool moved = Keys.MouseKnown && (x != Keys.MouseX || y != Keys.MouseY);
    Keys.MouseX = x;
    Keys.MouseY = y;
    Keys.MouseKnown = true;
    if (!moved) return;
    const int before = Screen.SelectedItem;
    HitTestItems(*this, true);
    // The hover click, except while the main menu's buttons fade in.
    const bool introRunning = Screen.ActiveScreen == ScreenKind::MainMenu && Screen.MenuIntro == 1;
    if (Screen.SelectedItem != before && !introRunning) PlayEffect("Button");
}

// Any mouse button clicks; bound to the double click too, so a double click
// activates twice.
void TMForm::Clicked() {
    ActivateSelection();
}

void TMForm::HandleEvent(const InputEvent& event) {
    // While an entry's race is watched the window's events are the watcher's; the
    // replay's own go to the game.
    if (entryReplay_->Active() && !entryReplay_->Feeding()) {
        entryReplay_->WindowEvent(event);
        return;
    }
    // An event is recorded before it is handled, so the key that starts a race is not
    // part of it, and the one that ends it is.
    Recording.Event(event);
    Dispatch(event);
    Recording.Settle(*this);
}

void TMForm::Dispatch(const InputEvent& event) {
    switch (event.kind) {
    case EventKind::KeyDown:
        KeyDown(event.key, event.alt);
        // R on the high-score screen: the race of the row picked there.
        if (event.key == 'R' && !event.alt && !event.repeat &&
            Screen.ActiveScreen == ScreenKind::HighScores && Screen.ActiveDialog == DialogKind::None)
            entryReplay_->Begin(Menu.Replays.Rank);
        break;
    case EventKind::KeyUp:
        KeyUp(event.key);
        break;
    case EventKind::Char:
        KeyTyped(event.ch);
        break;
    case EventKind::MouseMove:
        MouseMoved(event.x, event.y);
        break;
    case EventKind::Click:
    case EventKind::DoubleClick:
        Clicked();
        break;
    case EventKind::CloseRequest:
        CloseRequested();
        break;
    case EventKind::Activate:
        FrameTimer->Activate();
        break;
    case EventKind::Deactivate:
        FrameTimer->Deactivate();
        break;
    case EventKind::PadLost:
        // A pad pulled out in the middle of a race pauses it, as P does.
        if (Screen.ActiveScreen == ScreenKind::Race && Screen.ActiveDialog == DialogKind::None)
            ReportRace(RaceEvent::PauseAsked);
        break;
    case EventKind::MouseDown:
    case EventKind::MouseUp:
        break;
    }
}

} // namespace vorlane
