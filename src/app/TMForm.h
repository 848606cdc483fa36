#pragma once
// The main form: the shell that lives for the whole run. It builds the game (the
// shared state and services of core/Game.h), runs its frames, hands the window's key
// and mouse events to the screens, dispatches Enter and clicks to the actions of the
// screens and dialogs, and owns the dialogs. A test or the headless player builds a
// fresh TMForm with its own clock, keys, data folder and seed.
#include "app/DialogState.h"
#include "app/LetterPicker.h"
#include "app/RaceRecording.h"
#include "core/Game.h"

#include <functional>
#include <memory>
#include <vector>

namespace vorlane {

class IDisplayListener;
class TEntryReplayWatch;
using TMFormServices = TGameServices;

class TMForm final : public TGame {
  public:
    // StartUp runs inside: everything is loaded and the main menu is open when the
    // constructor returns. Throws EngineError naming the file when data is missing or bad.
    explicit TMForm(TMFormServices services = {});
    ~TMForm() override;

    TDialogState Dialog;
    bool Terminated = false;  // ShutDown ran: the message loop ends
    TRaceRecording Recording; // every race, from StartRace to its end

    // ---- start-up, frame, shut-down ----
    void StartUp();
    // One frame: the move count is the milliseconds since the previous tick.
    void RunFrame(int lagCount);
    void ShutDown();
    // The window's close request: never closes directly, asks instead.
    bool CloseRequested();

    // ---- input events ----
    // alt: the Alt key was held (Alt+Enter switches the screen mode).
    void KeyDown(int key, bool alt = false);
    void KeyUp(int key);
    void KeyTyped(char ch);
    void MouseMoved(int x, int y);
    void Clicked();
    void UpdateKeyEdges();
    // Hands one platform event to the handlers above (and the timer's activation).
    void HandleEvent(const InputEvent& event);
    // Before each frame: the game pad's key events and letter picks.
    void PollPad();
    // What the pad drives now: the race, a text field or the menus and dialogs.
    PadContext PadContextNow() const;

    // ---- a high-score entry's race watched from the high-score screen (R) ----
    TEntryReplayWatch& EntryReplay() { return *entryReplay_; }
    bool WatchingReplay() const;

    // ---- screen and dialog dispatch ----
    void ActivateSelection();
    void ActivateItem(int item) override;
    void RequestDialog(DialogKind dialog) override;
    void ReportRace(RaceEvent event) override;

    // ---- observation (the headless player's dump; no effect on the game) ----
    // Called when a frame is drawn completely, just before it is flipped (screenshots).
    std::function<void()> OnFrameDrawn;

    // ---- showing frames ----
    // Off while a watched replay plays several recorded frames on one displayed frame:
    // each is drawn, and only the last is shown (ShowFrame).
    bool ShowEachFrame = true;
    // Shows the frame drawn last (again, when nothing new was drawn since).
    void ShowFrame();

  private:
    void Dispatch(const InputEvent& event);
    // The frame timer's tick: a frame of the game, or of the replay being watched.
    void Tick(int lagCount);
    void RunFrameSteps(int lagCount);
    void BindDisplay();
    void UnbindDisplay();

    bool fileFullScreen_ = false; // the options file's mode under a FullScreenOverride
    // The text field the keyboard and the picker type into now (nullptr for none),
    // and whether one more character fits it.
    std::string* PickerField();
    bool FieldTakesMore(const std::string& text);

    // The controls file: key table, pad bindings, the keys that choose.
    void ApplyControlsFile();

    std::unique_ptr<IDisplayListener> displayListener_;
    std::unique_ptr<TEntryReplayWatch> entryReplay_;
    std::vector<int> chooseKeys_;
    LetterPicker picker_;
    PadContext padContext_ = PadContext::Menus;
};

} // namespace vorlane
