#pragma once
// Keyboard and mouse state the frame reads: the one-frame key edges, the held
// modifier keys and the last pointer position.

namespace vorlane {

struct TKeyState {
    // True during exactly one frame after the key went down.
    bool UpPressed = false;
    bool DownPressed = false;
    bool LeftPressed = false;
    bool RightPressed = false;
    bool PausePressed = false;
    bool YesPressed = false;
    bool NoPressed = false;
    bool EscPressed = false;

    // Whether each of those keys was down in the previous frame (same order).
    bool UpWasDown = false;
    bool DownWasDown = false;
    bool LeftWasDown = false;
    bool RightWasDown = false;
    bool PauseWasDown = false;
    bool YesWasDown = false;
    bool NoWasDown = false;
    bool EscWasDown = false;

    // Follow the window's key-down and key-up events of Shift and Ctrl.
    bool ShiftHeld = false;
    bool CtrlHeld = false;

    // Last pointer position over the display, in display pixels.
    int MouseX = 0;
    int MouseY = 0;
    // Whether MouseX and MouseY stand where the pointer was last seen. A window opens
    // without knowing it: the first pointer event only tells where the pointer rests,
    // it is not a move (a window that opens under a resting pointer picks nothing).
    bool MouseKnown = false;
};

} // namespace vorlane
