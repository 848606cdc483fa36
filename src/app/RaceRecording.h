#pragma once
// The shell's side of replays: every race is recorded from StartRace to its end, the
// last race goes to Replays/last.vrp whichever way it ended, and the race of a new
// high-score entry is filed with the entry on the replay shelf.
//
// The form calls it at four places: Begin just before StartRace, Event for each window
// event before it is handled, Frame right after the frame's poll, and Settle after each
// event and each frame (it notices that the race is over and ends the recording).
#include "platform/Events.h"
#include "replay/ReplayData.h"
#include "replay/ReplayRecorder.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

class TMForm;

// The window events a race reads, as a replay keeps them; nothing for the others
// (focus changes, key presses whose events do nothing).
std::optional<ReplayEvent> ReplayEventOf(const InputEvent& event);
// And back: the window event a replay's event stands for.
InputEvent InputEventOf(const ReplayEvent& event);

// The held keys of the frame's last poll, as a replay keeps them.
uint64_t HeldOf(const TMForm& form);

// Tells when a race is over as the recording and the playback both see it: the race
// was taken down, or its total went to the name entry. Remembers the last result the
// race showed, since the race is gone by the time the end is noticed.
class TRaceEndWatch {
  public:
    // Looks at the form; answers true once the race is over.
    bool Over(const TMForm& form);
    const RaceResult& Result() const { return result_; }

  private:
    RaceResult result_;
};

class TRaceRecording {
  public:
    // Off while a replay is watched: nothing is recorded and nothing is written.
    bool Enabled = true;

    void Begin(TMForm& form);
    void Event(const InputEvent& event);
    void Frame(const TMForm& form);
    // Ends the recording when the race is over and writes last.vrp.
    void Settle(TMForm& form);
    // The game shuts down: a race still on is ended as it stands.
    void Finish(TMForm& form);

    // The name entry took its name (Enter): the last race's replay gets the name and the
    // country it goes with, and last.vrp is written again. Before FileEntry and the
    // sending, so that both take the replay with its name.
    void NameEntered(TMForm& form);
    // The name entry put the last race's total in the table at rank (1..10).
    void FileEntry(TMForm& form, int rank);
    // The table was reset to its defaults.
    void TableReset(TMForm& form);
    // Start-up, once the table is checked, before Reconcile: the table failed its check
    // and was kept aside as keptTable, its entries' replays go with it. Answers what the
    // table's message adds ("; its replays kept in ..."), empty when there were none.
    std::string KeepWithRejectedTable(TMForm& form, const std::filesystem::path& keptTable);
    // Start-up, once the table is loaded and checked. Nothing is dropped when the
    // replays of a rejected table could not all go with it.
    void Reconcile(TMForm& form);

    bool Recording() const { return recorder_.Recording(); }
    // The last race's replay (empty before the first race ends).
    const std::vector<uint8_t>& LastRace() const { return lastRace_; }

  private:
    void End(TMForm& form);

    ReplayRecorder recorder_;
    TRaceEndWatch watch_;
    std::vector<uint8_t> lastRace_;
    bool keepShelf_ = false; // the shelf holds replays that must not be dropped at start-up
};

} // namespace vorlane
