// The dialog windows: opening, the per-frame update with its drawing and timing,
// and closing. What "Yes", "No" and Enter do is the dispatcher's (the form).
#include "app/Dialogs.h"

#include "app/DialogFlow.h"
#include "app/TMForm.h"
#include "menus/BlinkingCursor.h"
#include "menus/ItemSelection.h"
#include "menus/MenuButton.h"
#include "persist/OnlineScore.h"
#include "race/Race.h"
#include "sim/Helpers.h"
#include "sim/RaceState.h"

#include <string>

namespace vorlane {
namespace {

constexpr int kYes = ItemNo(DialogItem::Yes);
constexpr int kNo = ItemNo(DialogItem::No);

bool IsQuestion(DialogKind dialog) {
    return dialog == DialogKind::LeaveGame || dialog == DialogKind::LeaveRace ||
           dialog == DialogKind::ClearHighScores;
}

// The question window is laid out around x 348, where the race centres its messages
// (left of the race's panel). The questions asked over the menus (leave the game,
// clear the table) move to the middle of the frame, x 400; the race's own question
// stays with the race's messages.
int QuestionShiftX(DialogKind dialog) {
    return dialog == DialogKind::LeaveRace ? 0 : 400 - 348;
}

// Every dialog message is centred on its point both ways.
void DrawCentred(TMForm& form, const std::string& text, int x, int y) {
    form.DrawText(text, x, y, true, true);
}

TMenuButton* Button(TMForm& form, int item) {
    return static_cast<TMenuButton*>(form.Screen.Buttons[item]);
}

void CreateQuestion(TMForm& form, DialogKind dialog) {
    TDialogState& d = form.Dialog;
    TScreenState& s = form.Screen;
    TSprite* engine = &form.SpriteEngine;
    const int dx = QuestionShiftX(dialog);
    switch (dialog) {
    case DialogKind::LeaveGame:
        d.DialogCaption = engine->Add<TGameSprite>(form.SpriteHost, 1, "Win_EG", 295 + dx, 248, 16);
        break;
    case DialogKind::LeaveRace:
        d.DialogCaption = engine->Add<TGameSprite>(form.SpriteHost, 1, "Win_ExitToMenu", 276 + dx, 248, 16);
        break;
    default:
        d.DialogCaption = engine->Add<TGameSprite>(form.SpriteHost, 1, "Win_ClearHS", 268 + dx, 237, 16);
        break;
    }
    form.ShowPointer();
    s.FirstItem = kYes;
    s.LastItem = kNo;
    s.SelectedItem = kNo; // "No" first: Enter right away answers no
    auto* yes = engine->Add<TMenuButton>(form, 1, "Yes", "Yes", 0, 1, 237 + dx, 296);
    auto* no = engine->Add<TMenuButton>(form, 1, "No", "No", 0, 1, 386 + dx, 296);
    for (TMenuButton* b : {yes, no}) {
        b->SetZ(15);
        b->RaiseWhenHighlighted = dialog == DialogKind::LeaveGame;
    }
    s.Buttons[kYes] = yes;
    s.Buttons[kNo] = no;
}

// The question dialogs' own keys: Y answers yes, N answers no, Left and Right move
// between the two buttons. Answering may close the dialog; the keys after that
// belong to whatever comes next and are left alone.
void QuestionKeys(TMForm& form, DialogKind dialog) {
    TScreenState& s = form.Screen;
    const TKeyState& k = form.Keys;
    if (k.YesPressed) form.ActivateItem(kYes);
    if (s.ActiveDialog != dialog) return;
    if (k.NoPressed) form.ActivateItem(kNo);
    if (s.ActiveDialog != dialog) return;
    if (k.LeftPressed) {
        ResetLowIfOut(s.SelectedItem, s.FirstItem, s.LastItem);
        StepDown(s.SelectedItem, s.FirstItem, 1);
    }
    if (k.RightPressed) {
        ResetHighIfOut(s.SelectedItem, s.FirstItem, s.LastItem);
        StepUp(s.SelectedItem, s.LastItem, 1);
    }
}

// A timed dialog's countdown: true on the frame on which fewer than FrameMs
// milliseconds are left, which ends it.
bool TimeUp(TMForm& form) {
    return !TryCountDown(form.Dialog.DialogTimer, 0, form.Stats.FrameMs);
}

void SendResults(TMForm& form) {
    // Blocks until the server answered or the wait ran out; a failure is ignored
    // and the game goes on to the table all the same. The race's replay follows a
    // result the server took, within the same wait.
    const std::vector<uint8_t>& replay = form.Recording.LastRace();
    SubmitScoreAndReplay(form.Http(), form.ServerUrl(), form.Dialog.PlayerName, RaceScore(form),
                         form.Options().Country,
                         std::string_view(reinterpret_cast<const char*>(replay.data()), replay.size()));
    CloseDialog(form);
    EndRaceToHighScores(form);
}

} // namespace

void OpenDialog(TMForm& form, DialogKind dialog) {
    TScreenState& s = form.Screen;
    TDialogState& d = form.Dialog;
    if (s.ActiveDialog != DialogKind::None) return;
    // The car's looping sounds (engine, gun, horn) fall silent under any dialog;
    // they are stopped by name, so this needs no race.
    StopCarSounds(form, true);
    s.ActiveDialog = dialog;
    d.SavedSelectedItem = s.SelectedItem;
    d.SavedFirstItem = s.FirstItem;
    d.SavedLastItem = s.LastItem;

    TSprite* engine = &form.SpriteEngine;
    if (IsQuestion(dialog))
        d.DialogWindow =
            engine->Add<TGameSprite>(form.SpriteHost, 1, "Window", 188 + QuestionShiftX(dialog), 237, 14);
    if (dialog == DialogKind::NameEntry) {
        form.ShowPointer();
        d.SendBox = engine->Add<TGameSprite>(form.SpriteHost, 1, "SendOk", 161, 369, 15);
        d.SendBox->FramePos = 1; // ticked: send the result unless the player says otherwise
        d.DialogWindow = engine->Add<TGameSprite>(form.SpriteHost, 1, "SendTable", 127, 135, 14);
    }
    if (IsQuestion(dialog)) CreateQuestion(form, dialog);
    if (dialog == DialogKind::LevelBanner) d.DialogTimer = 2000;
    if (dialog == DialogKind::TimeOver || dialog == DialogKind::GameOver) d.DialogTimer = 3000;
    if (dialog == DialogKind::NameEntry) {
        d.Cursor = engine->Add<TBlinkingCursor>(form, 1, "Cursor2", 163, 360, 15, 1000);
        d.Cursor->Blinking = true;
    }
    d.SendingStarted = false;
}

void UpdateDialog(TMForm& form, int lagCount) {
    TScreenState& s = form.Screen;
    TDialogState& d = form.Dialog;
    const DialogKind opened = s.ActiveDialog;
    if (IsQuestion(opened)) {
        for (int item : {kYes, kNo})
            if (s.Buttons[item]) s.Buttons[item]->MoveAll(lagCount);
        UpdateHighlight(form);
        QuestionKeys(form, opened);
    }

    switch (s.ActiveDialog) {
    case DialogKind::TimeOver:
        form.UseFont(5);
        DrawCentred(form, "Your time is over,", 348, 217);
        DrawCentred(form, "Try again, please!", 348, 267);
        if (TimeUp(form)) {
            CloseDialog(form);
            if (form.Race) RestartLevel(form);
        }
        break;
    case DialogKind::Pause:
        form.UseFont(5);
        DrawCentred(form, "Pause", 400, 300);
        if (form.Keys.PausePressed) CloseDialog(form);
        if (form.Keys.EscPressed) CloseDialog(form);
        break;
    case DialogKind::LevelBanner:
        form.UseFont(5);
        DrawCentred(form, "Level " + std::to_string(form.Race ? form.Race->Level : 0), 400, 300);
        if (TimeUp(form)) CloseDialog(form);
        break;
    case DialogKind::GameOver:
        form.UseFont(5);
        DrawCentred(form, "Game Over", 348, 237);
        if (TimeUp(form)) {
            CloseDialog(form);
            NameEntryOrMainMenu(form);
        }
        break;
    case DialogKind::NameEntry:
        form.UseFont(9);
        DrawCentred(form, std::to_string(RaceScore(form)), 348, 217);
        form.UseFont(10);
        DrawCentred(form, d.PlayerName, 348, 345);
        if (d.Cursor) {
            // The name stays centred, so the cursor sits just right of its middle.
            d.Cursor->X = form.MeasureTextIn(d.PlayerName, 10) / 2.0 + 348;
            d.Cursor->MoveAll(lagCount);
        }
        break;
    case DialogKind::SendingResults:
        form.UseFont(11);
        DrawCentred(form, "Sending results...", 348, 219);
        form.UseFont(10);
        DrawCentred(form, d.PlayerName, 348, 345);
        // The message stays on the screen for one flipped frame before the sending
        // holds the game.
        if (d.SendingStarted)
            SendResults(form);
        else
            d.SendingStarted = true;
        break;
    default:
        break;
    }

    // The head-up display stays in view over every dialog of the race.
    if (s.ActiveScreen == ScreenKind::Race && form.Race) DrawHud(form);
}

void CloseDialog(TMForm& form) {
    TScreenState& s = form.Screen;
    TDialogState& d = form.Dialog;
    s.SelectedItem = d.SavedSelectedItem;
    s.FirstItem = d.SavedFirstItem;
    s.LastItem = d.SavedLastItem;

    const DialogKind dialog = s.ActiveDialog; // None when none is open: nothing more to undo
    auto killOnce = [](auto*& sprite) {
        if (sprite) sprite->KillOnce();
        sprite = nullptr;
    };
    if (IsQuestion(dialog) || dialog == DialogKind::NameEntry) killOnce(d.DialogWindow);
    if (dialog == DialogKind::NameEntry) {
        killOnce(d.SendBox);
        form.HidePointer();
    }
    if (IsQuestion(dialog)) {
        if (s.ActiveScreen == ScreenKind::Race) form.HidePointer();
        for (int item : {kYes, kNo}) {
            if (auto* b = Button(form, item)) b->KillOnce();
            s.Buttons[item] = nullptr;
        }
    }
    if (dialog == DialogKind::NameEntry && d.Cursor) {
        d.Cursor->Visible = false;
        killOnce(d.Cursor);
    }
    if (IsQuestion(dialog)) killOnce(d.DialogCaption);
    if ((dialog == DialogKind::LeaveRace || dialog == DialogKind::Pause) && form.Race)
        ResumeCarSounds(form, true);
    s.ActiveDialog = DialogKind::None;
}

} // namespace vorlane
