#pragma once
// Watching a replay in the game's window: `vorlane --replay FILE`.
#include <filesystem>

namespace vorlane {

class TMForm;
class TReplayRun;

// Plays the replay in a window at the pace it was recorded (each frame after its own
// move count), drawn as the race was. Esc or closing the window leaves, P pauses and
// goes on, Alt+Enter switches the window mode for this run only. Nothing of the
// player's saves (options, table, replays) is written. dataRoot holds Data/.
// Answers the program's exit status: 0 played or left, 2 the file is not a replay this
// game plays (the reason on standard error); throws EngineError as the game does.
int WatchReplay(const std::filesystem::path& file, const std::filesystem::path& dataRoot);

// The watching itself: plays run (made on form) in form's window at the recorded pace
// (TReplayPace), one shown frame per displayed frame, until the replay ends or the
// player leaves. The time comes from the form's clock.
void WatchReplayRun(TMForm& form, TReplayRun& run);

} // namespace vorlane
