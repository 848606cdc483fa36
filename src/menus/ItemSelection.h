#pragma once
// The selectable items of the screen or dialog showing (Screen.FirstItem ..
// Screen.LastItem, their sprites in Screen.Buttons): the mouse hit test, the
// per-frame highlight of the selected one, and their removal.
namespace vorlane {

class TGame;

// keep: moving over empty space keeps the selection (the mouse handler's way).
void HitTestItems(TGame& game, bool keep = true);
void UpdateHighlight(TGame& game);
void KillButtons(TGame& game);

} // namespace vorlane
