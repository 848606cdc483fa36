#pragma once
// The replay corpus (tests/replay/corpus): races recorded with the game, each kept with
// what playing it back must give - its outcome, the digest of its race state frame by
// frame (RaceDigest.h) and counts of what happened in it. The recorder writes the
// manifest from PlayCorpusReplay; the corpus test plays every replay again and
// compares field by field.
//
// The manifest is a text file: "#" lines are comments, "rules N" names the game rules
// the replays were recorded under, and every other line is a replay's file name
// followed by its fields as name=value.
#include "play/GameFolder.h"
#include "play/Headless.h"
#include "play/RaceDigest.h"

#include "app/ReplayRun.h"
#include "replay/ReplayData.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vorlane::play {

// name=value, in the order written.
using CorpusFields = std::vector<std::pair<std::string, std::string>>;

// The running digest is also kept after every kCorpusMarkEvery frames (the "marks"),
// so that a replay that drifts tells roughly where.
inline constexpr uint32_t kCorpusMarkEvery = 4096;

inline std::string Hex64(uint64_t v) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

// What happened in the race, counted from its state frame by frame.
struct CorpusCounts {
    int Crashes = 0;        // the car wrecked (Crashed went to 1)
    int TimeOuts = 0;       // the level's time ran out
    int RunOver = 0;        // pedestrians that came to lie on the road
    int Pickups = 0;        // bonuses taken from the road
    int Rockets = 0;        // rockets launched
    int Shots = 0;          // machine-gun rounds fired
    int NitroFrames = 0;    // frames that burnt nitro
    int Pauses = 0;         // the pause dialog opened
    int LeaveQuestions = 0; // "leave the race?" opened
    int TopLevel = 0;       // the highest level reached

    void After(const TMForm& form) {
        const DialogKind dialog = form.Screen.ActiveDialog;
        if (dialog != lastDialog_) {
            Pauses += dialog == DialogKind::Pause ? 1 : 0;
            LeaveQuestions += dialog == DialogKind::LeaveRace ? 1 : 0;
            lastDialog_ = dialog;
        }
        if (!form.Race || !form.Race->Player) return;
        const TRace& r = *form.Race;
        const TPlayer& p = *r.Player;
        TopLevel = std::max(TopLevel, r.Level);
        Crashes += p.Crashed != 0 && !crashed_ ? 1 : 0;
        crashed_ = p.Crashed != 0;
        TimeOuts += p.TimeOut && !timeOut_ ? 1 : 0;
        timeOut_ = p.TimeOut;
        NitroFrames += p.NitroBurning ? 1 : 0;
        if (p.WeaponKind == CarItem::MachineGun && p.Ammo < ammo_) Shots += ammo_ - p.Ammo;
        ammo_ = p.Ammo;
        int lying = 0;
        if (r.Men)
            for (const TPedestrian& m : r.Men->Slots)
                lying += m.Exists && m.State == ManState::Lying ? 1 : 0;
        int bonuses = 0;
        if (r.Bonuses)
            for (const TBonusSlot& b : r.Bonuses->Slots)
                bonuses += b.Active ? 1 : 0;
        const bool sameLevel = r.Level == level_ && r.TrackLength == trackLength_;
        if (sameLevel && lying > lying_) RunOver += lying - lying_;
        if (sameLevel && bonuses < bonuses_) Pickups += bonuses_ - bonuses;
        lying_ = lying;
        bonuses_ = bonuses;
        level_ = r.Level;
        trackLength_ = r.TrackLength;
        for (size_t i = 0; i < r.Rockets.size(); ++i) {
            const bool flying = r.Rockets[i] && r.Rockets[i]->InFlight;
            Rockets += flying && !inFlight_[i] ? 1 : 0;
            inFlight_[i] = flying;
        }
    }

  private:
    DialogKind lastDialog_ = DialogKind::None;
    bool crashed_ = false, timeOut_ = false;
    int ammo_ = 0, lying_ = 0, bonuses_ = 0, level_ = 0, trackLength_ = 0;
    std::array<bool, 5> inFlight_{};
};

struct CorpusPlay {
    ReplayVerdict Verdict;
    CorpusFields Fields; // what the manifest keeps of it
};

// Plays the replay in a blind headless game (as the score server checks replays) with
// the data under dataRoot, digesting every frame. Throws ReplayError for a file the
// game refuses.
inline CorpusPlay PlayCorpusReplay(std::vector<uint8_t> bytes, const std::filesystem::path& dataRoot) {
    TempGameFolder folder(dataRoot);
    HeadlessOptions options;
    options.DataRoot = folder.Root();
    options.RecordRaces = false;
    options.Blind = true;
    HeadlessGame game(options);
    TMForm& form = game.Form();
    TReplayRun run(
        form, [&game](int key, bool down) { game.Keys.SetDown(key, down); }, std::move(bytes));
    game.ClearFrameEffects(); // the menus left behind before the race
    RaceDigest digest;
    CorpusCounts counts;
    std::string marks;
    uint32_t frame = 0;
    for (bool more = true; more; ++frame) {
        more = run.Next();
        digest.Frame(form, frame, game.FrameEffects);
        game.ClearFrameEffects();
        counts.After(form);
        if ((frame + 1) % kCorpusMarkEvery == 0) {
            if (!marks.empty()) marks += ',';
            marks += Hex64(digest.Value());
        }
    }
    CorpusPlay out;
    out.Verdict = run.Verdict();
    const ReplayVerdict& v = out.Verdict;
    auto add = [&](const char* name, const std::string& value) { out.Fields.emplace_back(name, value); };
    auto num = [&](const char* name, long long value) { add(name, std::to_string(value)); };
    num("frames", v.Frames), num("score", v.Score), num("level", v.Level), num("lives", v.Lives);
    add("digest", Hex64(digest.Value()));
    num("toplevel", counts.TopLevel), num("crashes", counts.Crashes), num("timeouts", counts.TimeOuts);
    num("runover", counts.RunOver), num("pickups", counts.Pickups), num("rockets", counts.Rockets);
    num("shots", counts.Shots), num("nitroframes", counts.NitroFrames), num("pauses", counts.Pauses);
    num("leavequestions", counts.LeaveQuestions);
    add("marks", marks.empty() ? "-" : marks);
    return out;
}

struct CorpusEntry {
    std::string File;
    CorpusFields Fields;
    int Line = 0;
};

struct CorpusManifest {
    uint32_t RulesId = 0;
    std::vector<CorpusEntry> Entries;
};

// Throws std::runtime_error naming the line that is wrong.
inline CorpusManifest ParseCorpusManifest(std::istream& in) {
    CorpusManifest m;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "rules") {
            if (!(words >> m.RulesId))
                throw std::runtime_error("manifest line " + std::to_string(number) +
                                         ": rules wants a number");
            continue;
        }
        CorpusEntry e{first, {}, number};
        for (std::string field; words >> field;) {
            const auto eq = field.find('=');
            if (eq == std::string::npos || eq == 0)
                throw std::runtime_error("manifest line " + std::to_string(number) + ": \"" + field +
                                         "\" is not name=value");
            e.Fields.emplace_back(field.substr(0, eq), field.substr(eq + 1));
        }
        m.Entries.push_back(std::move(e));
    }
    if (m.RulesId == 0) throw std::runtime_error("the manifest names no rules id");
    return m;
}

inline CorpusManifest ReadCorpusManifest(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read the manifest " + path.string());
    return ParseCorpusManifest(in);
}

inline std::string CorpusLine(const std::string& file, const CorpusFields& fields) {
    std::string s = file;
    for (const auto& [name, value] : fields)
        s += " " + name + "=" + value;
    return s;
}

} // namespace vorlane::play
