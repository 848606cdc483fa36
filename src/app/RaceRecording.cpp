#include "app/RaceRecording.h"

#include "app/TMForm.h"
#include "persist/ReplayShelf.h"
#include "platform/KeyCodes.h"
#include "sim/RaceState.h"

#include <cstdio>
#include <string_view>

namespace vorlane {

namespace {

void Report(const FileReport& report) {
    if (report.status != FileStatus::Ok && report.status != FileStatus::Missing)
        std::fprintf(stderr, "vorlane: %s\n", report.message.c_str());
}

std::string_view BytesOf(const std::vector<uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool IsModifier(int key) {
    return key == vk::Shift || key == vk::Ctrl;
}

} // namespace

std::optional<ReplayEvent> ReplayEventOf(const InputEvent& e) {
    switch (e.kind) {
    case EventKind::KeyDown:
        // Only Shift, Ctrl and Alt+Enter do something on their own event.
        if (IsModifier(e.key) || (e.alt && e.key == vk::Enter)) return ReplayEvent::KeyDown(e.key, e.alt);
        return std::nullopt;
    case EventKind::KeyUp:
        if (IsModifier(e.key)) return ReplayEvent::KeyUp(e.key);
        return std::nullopt;
    case EventKind::Char:
        return ReplayEvent::Char(uint8_t(e.ch));
    case EventKind::MouseMove:
        return ReplayEvent::MouseMove(e.x, e.y);
    case EventKind::Click:
        return ReplayEvent::Of(ReplayEventKind::Click);
    case EventKind::DoubleClick:
        return ReplayEvent::Of(ReplayEventKind::DoubleClick);
    case EventKind::CloseRequest:
        return ReplayEvent::Of(ReplayEventKind::CloseRequest);
    case EventKind::PadLost:
        return ReplayEvent::Of(ReplayEventKind::PadLost);
    case EventKind::MouseDown:
    case EventKind::MouseUp:
    case EventKind::Activate:
    case EventKind::Deactivate:
        return std::nullopt;
    }
    return std::nullopt;
}

InputEvent InputEventOf(const ReplayEvent& r) {
    InputEvent e;
    switch (r.Kind) {
    case ReplayEventKind::KeyDown:
        e.kind = EventKind::KeyDown;
        break;
    case ReplayEventKind::KeyUp:
        e.kind = EventKind::KeyUp;
        break;
    case ReplayEventKind::Char:
        e.kind = EventKind::Char;
        break;
    case ReplayEventKind::MouseMove:
        e.kind = EventKind::MouseMove;
        break;
    case ReplayEventKind::Click:
        e.kind = EventKind::Click;
        break;
    case ReplayEventKind::DoubleClick:
        e.kind = EventKind::DoubleClick;
        break;
    case ReplayEventKind::CloseRequest:
        e.kind = EventKind::CloseRequest;
        break;
    case ReplayEventKind::PadLost:
        e.kind = EventKind::PadLost;
        break;
    }
    e.key = r.Key;
    e.alt = r.Alt;
    e.ch = char(r.Ch);
    e.x = r.X;
    e.y = r.Y;
    e.button = 1;
    return e;
}

uint64_t HeldOf(const TMForm& form) {
    return HeldSnapshot(form.Input->States, form.Keys.ShiftHeld, form.Keys.CtrlHeld);
}

bool TRaceEndWatch::Over(const TMForm& form) {
    if (form.Race) result_ = {form.Race->Score, form.Race->Level, form.Race->Lives};
    // The name entry and the sending dialog come after the race: its total is final.
    const DialogKind dialog = form.Screen.ActiveDialog;
    return !form.Race || form.Screen.ActiveScreen != ScreenKind::Race || dialog == DialogKind::NameEntry ||
           dialog == DialogKind::SendingResults;
}

void TRaceRecording::Begin(TMForm& form) {
    if (!Enabled) return;
    ReplayStart start;
    start.Seed = form.Random.State();
    start.Car = form.Menu.SelectedCar;
    start.Options = (form.Options().SoundOn ? uint32_t(ReplayOption::SoundOn) : 0u) |
                    (form.Options().MusicOn ? uint32_t(ReplayOption::MusicOn) : 0u);
    start.InitialHeld = HeldOf(form);
    start.MouseX = form.Keys.MouseX;
    start.MouseY = form.Keys.MouseY;
    start.PlayerName = form.Dialog.PlayerName;
    recorder_.BeginRace(start);
    watch_ = {};
}

void TRaceRecording::Event(const InputEvent& event) {
    if (!recorder_.Recording()) return;
    if (const auto e = ReplayEventOf(event)) recorder_.Event(*e);
}

void TRaceRecording::Frame(const TMForm& form) {
    if (!recorder_.Recording()) return;
    recorder_.Frame({form.LagCount, form.Stats.FrameMs, form.Stats.SpeedScale}, HeldOf(form));
}

void TRaceRecording::Settle(TMForm& form) {
    if (recorder_.Recording() && watch_.Over(form)) End(form);
}

void TRaceRecording::Finish(TMForm& form) {
    if (!recorder_.Recording()) return;
    watch_.Over(form);
    End(form);
}

void TRaceRecording::End(TMForm& form) {
    lastRace_ = recorder_.End(watch_.Result());
    Report(TReplayShelf(form.SaveRoot).SaveLast(BytesOf(lastRace_)));
}

void TRaceRecording::NameEntered(TMForm& form) {
    if (!Enabled || lastRace_.empty() || recorder_.Recording()) return;
    try {
        lastRace_ = AddNameEntry(lastRace_, {form.Dialog.PlayerName, form.Options().Country});
    } catch (const ReplayError& e) {
        // Not the race alone any more (a name entered twice): it keeps what it has.
        std::fprintf(stderr, "vorlane: the race's replay keeps no name: %s\n", e.what());
        return;
    }
    Report(TReplayShelf(form.SaveRoot).SaveLast(BytesOf(lastRace_)));
}

void TRaceRecording::FileEntry(TMForm& form, int rank) {
    if (!Enabled || lastRace_.empty() || rank < 1 || rank > THighScoreTable::kSize) return;
    Report(TReplayShelf(form.SaveRoot).FileEntry(form.HighScores.Entries(), rank, BytesOf(lastRace_)));
}

void TRaceRecording::TableReset(TMForm& form) {
    if (Enabled) Report(TReplayShelf(form.SaveRoot).Reset());
}

std::string TRaceRecording::KeepWithRejectedTable(TMForm& form, const std::filesystem::path& keptTable) {
    if (!Enabled) return ""; // a game that keeps no replays leaves the shelf as it is
    const TReplayShelf::KeptReplays kept = TReplayShelf(form.SaveRoot).KeepWithRejectedTable(keptTable);
    if (!kept.Report.Ok()) {
        keepShelf_ = true;
        return "; its replays could not all be moved with it (" + kept.Report.message + ")";
    }
    if (!kept.Folder) return "";
    return "; its replays kept with it in " + kept.Folder->generic_string();
}

void TRaceRecording::Reconcile(TMForm& form) {
    if (Enabled && !keepShelf_) Report(TReplayShelf(form.SaveRoot).Reconcile(form.HighScores.Entries()));
}

} // namespace vorlane
