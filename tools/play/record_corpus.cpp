// Records the replay corpus of tests/replay/corpus: races played by the test autopilot in
// the headless game (recorded as the game records every race), each one driven its own
// way - long runs through many levels, weapons and nitro, a reckless driver who wrecks
// the car, a driver who lets the time run out, pauses and questions, the game pad - on
// several seeds and every car. Each race's replay is written to OUTDIR, played back
// blind and its outcome, digest and counts written to OUTDIR/manifest.
//
//   vorlane_record_corpus [--data DIR] OUTDIR
//
// Re-recording is for a deliberate change of the race's rules only, with a new rules
// id (tests/replay/corpus/README.md); the script tools/record-replay-corpus runs it.
#include "engine/ArchiveReader.h"
#include "game/autopilot.h"
#include "play/CorpusReplay.h"
#include "play/GameFolder.h"
#include "replay/ReplayPlayer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace vorlane;
namespace fs = std::filesystem;

struct Run {
    play::HeadlessGame& Game;
    test::Autopilot& Pilot;
    TMForm& Form() { return Game.Form(); }
    TRace* Race() { return Form().Race.get(); }
    bool Racing() { return Form().Screen.ActiveScreen == ScreenKind::Race && Form().Recording.Recording(); }
    DialogKind Dialog() { return Form().Screen.ActiveDialog; }
    // The race on and no dialog over it.
    bool Driving() { return Racing() && Dialog() == DialogKind::None && Race() && Race()->Player; }
};

struct Scenario {
    const char* Name;
    uint32_t Seed;
    int Car;
    bool Sound;
    // Drives the race from its start; the recorder ends a race still on afterwards.
    std::function<void(Run&)> Drive;
};

// Fire while a weapon is up and armed, nitro now and then, the horn now and then.
void UseEverything(Run& run, int frame) {
    test::Autopilot& pilot = run.Pilot;
    const TPlayer* p = run.Race() && run.Driving() ? run.Race()->Player : nullptr;
    const bool armed = p && p->WeaponKind != CarItem::None && p->Ammo > 0 && p->Crashed == 0;
    armed ? pilot.KeyDown(vk::Ctrl) : pilot.KeyUp(vk::Ctrl);
    const bool nitro = p && p->HasNitro && p->Crashed == 0 && frame % 400 < 90;
    nitro ? pilot.KeyDown(vk::Shift) : pilot.KeyUp(vk::Shift);
    if (p && frame % 700 == 350) pilot.KeyDown('H');
    if (frame % 700 == 380) pilot.KeyUp('H');
}

// Drives until done() or the race is over, at most maxFrames; `each` runs before
// every frame with the frame's number.
void DriveWhile(Run& run, const std::function<bool()>& done, int maxFrames,
                const std::function<void(Run&, int)>& each = {}) {
    for (int i = 0; i < maxFrames && run.Racing() && !done(); ++i) {
        if (each) each(run, i);
        run.Pilot.Step();
    }
}

bool AtLevel(Run& run, int level) {
    return run.Race() && run.Race()->Level >= level;
}

// Taps a key with a pause of `after` frames behind it.
void TapWait(Run& run, int key, int after) {
    run.Pilot.Tap(key);
    run.Pilot.Run(after);
}

// A race still on is left with Esc and Yes; a game over is answered until the race's
// recording ends (the name entry's Enter accepts the name typed).
void EndRace(Run& run) {
    run.Pilot.Enabled = false;
    run.Pilot.ReleaseAll();
    for (int tries = 0; tries < 60 && run.Form().Recording.Recording(); ++tries) {
        const DialogKind d = run.Dialog();
        if (d == DialogKind::None && run.Form().Screen.ActiveScreen == ScreenKind::Race) {
            TapWait(run, vk::Esc, 10);
            if (run.Dialog() == DialogKind::LeaveRace) TapWait(run, 'Y', 10);
        } else if (d == DialogKind::NameEntry) {
            run.Pilot.TypeText("CORPUS");
            TapWait(run, vk::Enter, 20);
        } else if (d == DialogKind::Pause) {
            TapWait(run, 'P', 10);
        } else {
            TapWait(run, vk::Enter, 30);
        }
    }
}

// The car selection: Up to the arrows, Right onto the following car's arrow, one Right
// a car, then down and over to the start button.
bool StartRace(Run& run, int car) {
    test::Autopilot& pilot = run.Pilot;
    pilot.DriveUntil([] { return false; }, 50);
    pilot.Tap(vk::Enter);
    if (!pilot.DriveUntil([&] { return run.Form().Screen.ActiveScreen == ScreenKind::CarSelect; }, 20))
        return false;
    pilot.Run(19);
    if (car != 1) {
        TapWait(run, vk::Up, 2);
        TapWait(run, vk::Right, 2);
        for (int i = 1; i < car; ++i)
            TapWait(run, vk::Right, 16);
        TapWait(run, vk::Down, 2);
        TapWait(run, vk::Left, 2);
    }
    if (run.Form().Menu.SelectedCar != car) return false;
    pilot.Tap(vk::Enter);
    return pilot.DriveUntil([&] { return run.Form().Screen.ActiveScreen == ScreenKind::Race; }, 5);
}

// The pad drives: triggers for the pedals, the D-pad steers, X fires, the right
// shoulder burns nitro, the left shoulder is the handbrake.
bool PadPress(play::HeadlessGame& game, int key, bool down) {
    switch (key) {
    case vk::Up:
        game.PadAxis(int(PadAxis::RightTrigger), down ? 30000 : 0);
        return true;
    case vk::Down:
        game.PadAxis(int(PadAxis::LeftTrigger), down ? 28000 : 0);
        return true;
    case vk::Left:
        game.PadButton(int(PadButton::DpadLeft), down);
        return true;
    case vk::Right:
        game.PadButton(int(PadButton::DpadRight), down);
        return true;
    case vk::Ctrl:
        game.PadButton(int(PadButton::X), down);
        return true;
    case vk::Shift:
        game.PadButton(int(PadButton::RightShoulder), down);
        return true;
    case vk::Space:
        game.PadButton(int(PadButton::LeftShoulder), down);
        return true;
    default:
        return false;
    }
}

void PadTap(Run& run, PadButton button, int after) {
    run.Game.PadButton(int(button), true);
    run.Pilot.Step();
    run.Game.PadButton(int(button), false);
    run.Pilot.Run(after);
}

std::vector<Scenario> Scenarios() {
    std::vector<Scenario> list;
    // Level after level for as long as the driver lasts (to level 10 at most).
    list.push_back({"levels-seed2-car1", 2, 1, true, [](Run& run) {
                        DriveWhile(
                            run, [&] { return AtLevel(run, 10); }, 400000, UseEverything);
                        DriveWhile(
                            run, [] { return false; }, 3000, UseEverything);
                    }});
    // Every weapon, nitro and the horn through four levels.
    list.push_back({"weapons-seed2-car2", 2, 2, true, [](Run& run) {
                        DriveWhile(
                            run, [&] { return AtLevel(run, 5); }, 120000, UseEverything);
                    }});
    // Full throttle into the lamp posts: wrecks, lives lost, game over.
    list.push_back({"reckless-seed3-car3", 3, 3, true, [](Run& run) {
                        run.Pilot.Reckless = true;
                        DriveWhile(
                            run, [] { return false; }, 60000, UseEverything);
                    }});
    // Hands off until the time runs out, then driving, then the time again; the
    // sound switched off.
    list.push_back({"timeout-seed4-car4", 4, 4, false, [](Run& run) {
                        run.Pilot.Enabled = false;
                        DriveWhile(
                            run, [&] { return run.Race()->Player->TimeOut; }, 20000);
                        run.Pilot.Run(400);
                        run.Pilot.Enabled = true;
                        DriveWhile(
                            run, [&] { return AtLevel(run, 2); }, 20000);
                        DriveWhile(
                            run, [] { return false; }, 1500);
                        run.Pilot.Enabled = false;
                        run.Pilot.ReleaseAll();
                        run.Pilot.Tap(vk::Space);
                        DriveWhile(
                            run, [&] { return run.Race()->Player->TimeOut; }, 30000);
                        run.Pilot.Run(400);
                        run.Pilot.Enabled = true;
                        DriveWhile(
                            run, [] { return false; }, 2000);
                    }});
    // Pauses (P, Alt+Enter, Esc ending one), the leave question answered No by key and
    // by the window's close button, then Yes.
    list.push_back({"pauses-seed5-car5", 5, 5, true, [](Run& run) {
                        test::Autopilot& pilot = run.Pilot;
                        auto drive = [&](int frames) {
                            DriveWhile(
                                run, [] { return false; }, frames, UseEverything);
                        };
                        drive(600);
                        TapWait(run, 'P', 120);
                        TapWait(run, 'P', 5);
                        drive(700);
                        TapWait(run, vk::Esc, 60);
                        TapWait(run, 'N', 5);
                        drive(900);
                        pilot.KeyDown(vk::Alt);
                        pilot.Tap(vk::Enter);
                        pilot.KeyUp(vk::Alt);
                        pilot.Run(90);
                        TapWait(run, vk::Esc, 5);
                        drive(800);
                        run.Game.CloseRequest();
                        pilot.Run(40);
                        TapWait(run, 'N', 5);
                        DriveWhile(
                            run, [&] { return AtLevel(run, 3); }, 30000, UseEverything);
                        drive(500);
                        run.Game.CloseRequest();
                        pilot.Run(30);
                        TapWait(run, 'Y', 10);
                    }});
    // The game pad: pedals on the triggers, the D-pad, X and the shoulders; Start
    // pauses and goes on, the pad pulled out pauses, Back asks to leave.
    list.push_back({"pad-seed6-car6", 6, 6, true, [](Run& run) {
                        play::HeadlessGame& game = run.Game;
                        run.Pilot.Press = [&game](int key, bool down) { return PadPress(game, key, down); };
                        auto drive = [&](int frames) {
                            DriveWhile(
                                run, [] { return false; }, frames, UseEverything);
                        };
                        drive(900);
                        PadTap(run, PadButton::Start, 100);
                        PadTap(run, PadButton::Start, 5);
                        drive(900);
                        run.Pilot.ReleaseAll();
                        game.PadRemove();
                        run.Pilot.Run(80);
                        PadTap(run, PadButton::Start, 5);
                        DriveWhile(
                            run, [&] { return AtLevel(run, 3); }, 30000, UseEverything);
                        drive(400);
                        run.Pilot.ReleaseAll();
                        PadTap(run, PadButton::Back, 20);
                        PadTap(run, PadButton::DpadLeft, 5);
                        PadTap(run, PadButton::A, 20);
                    }});
    // Other seeds and cars, each its own way.
    list.push_back({"seed7-car3", 7, 3, true, [](Run& run) {
                        DriveWhile(
                            run, [&] { return AtLevel(run, 4); }, 60000, UseEverything);
                        run.Pilot.Reckless = true;
                        DriveWhile(
                            run, [] { return false; }, 40000);
                    }});
    list.push_back({"seed8-car5", 8, 5, true, [](Run& run) {
                        DriveWhile(
                            run, [&] { return AtLevel(run, 3); }, 40000);
                        DriveWhile(
                            run, [] { return false; }, 1200);
                    }});
    list.push_back({"seed9-car2", 9, 2, true, [](Run& run) {
                        DriveWhile(
                            run, [&] { return AtLevel(run, 6); }, 120000, UseEverything);
                        DriveWhile(
                            run, [] { return false; }, 1200, UseEverything);
                    }});
    return list;
}

std::vector<uint8_t> Record(const Scenario& s, const fs::path& dataRoot) {
    play::TempGameFolder folder(dataRoot);
    play::HeadlessOptions options;
    options.DataRoot = folder.Root();
    options.Seed = s.Seed;
    options.Blind = true; // nobody watches: the race is the same, recorded faster
    play::HeadlessGame game(options);
    game.Form().Options().SoundOn = s.Sound;
    test::Autopilot pilot(game);
    Run run{game, pilot};
    if (!StartRace(run, s.Car)) throw std::runtime_error(std::string(s.Name) + ": the race did not start");
    s.Drive(run);
    EndRace(run);
    if (run.Form().Recording.Recording())
        throw std::runtime_error(std::string(s.Name) + ": the race did not end");
    const fs::path last = folder.SaveDir() / "Replays" / "last.vrp";
    if (!fs::exists(last)) throw std::runtime_error(std::string(s.Name) + ": the race left no replay");
    return ReadWholeFile(last.string());
}

} // namespace

int main(int argc, char** argv) {
    fs::path dataRoot = VORLANE_DATA_ROOT;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc)
            dataRoot = argv[++i];
        else
            rest.push_back(arg);
    }
    if (rest.size() != 1) {
        std::fprintf(stderr, "usage: vorlane_record_corpus [--data DIR] OUTDIR\n");
        return 2;
    }
    const fs::path out = rest[0];
    try {
        fs::create_directories(out);
        std::string manifest =
            "# The replay corpus: races recorded with the game, and what playing each back gives.\n"
            "# Written by tools/record-replay-corpus; see README.md beside it. Do not edit by hand.\n"
            "rules " +
            std::to_string(kGameRulesId) + "\n";
        for (const Scenario& s : Scenarios()) {
            std::vector<uint8_t> bytes = Record(s, dataRoot);
            const std::string file = std::string(s.Name) + ".vrp";
            std::ofstream(out / file, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            const play::CorpusPlay played = play::PlayCorpusReplay(bytes, dataRoot);
            if (played.Verdict.Kind != ReplayVerdictKind::Ok)
                throw std::runtime_error(file + " does not play back: " + played.Verdict.Message);
            const std::string line = play::CorpusLine(file, played.Fields);
            std::printf("%s (%zu bytes)\n", line.c_str(), bytes.size());
            std::fflush(stdout);
            manifest += line + "\n";
        }
        std::ofstream(out / "manifest") << manifest;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlane_record_corpus: %s\n", e.what());
        return 1;
    }
    return 0;
}
