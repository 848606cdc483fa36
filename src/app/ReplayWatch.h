#pragma once
// Watching a replay in the game's window: `vorlane --replay FILE`.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// A replay file as the game and the headless player read one: a regular file of at
// most kMaxReplayFileBytes, else refused unread (a folder, a pipe, a device or a
// larger file) with the reason.
struct ReplayFileRead {
    std::optional<std::vector<uint8_t>> bytes;
    std::string problem; // "cannot read the replay FILE: it is a folder, not a file"
};
ReplayFileRead ReadReplayFile(const std::filesystem::path& file);

class TMForm;
class TReplayRun;

// Plays the replay in a window at the pace it was recorded (each frame after its own
// move count), drawn as the race was. Esc or closing the window leaves, P pauses and
// goes on, Alt+Enter switches the window mode for this run only. Nothing of the
// player's saves (options, table, replays) is written. dataRoot holds Data/, saveRoot
// the player's Data/Save (empty: the data root's), whose controls file is read.
// Answers the program's exit status: 0 played or left, 2 the file is not a replay this
// game plays (the reason on standard error); throws EngineError as the game does.
int WatchReplay(const std::filesystem::path& file, const std::filesystem::path& dataRoot,
                const std::filesystem::path& saveRoot = {});

// The watching itself: plays run (made on form) in form's window at the recorded pace
// (TReplayPace), one shown frame per displayed frame, until the replay ends or the
// player leaves. The time comes from the form's clock.
void WatchReplayRun(TMForm& form, TReplayRun& run);

} // namespace vorlane
