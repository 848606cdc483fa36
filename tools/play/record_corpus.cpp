// Records the replay corpus of tests/replay/corpus: races played by the test autopilot in
// the headless game (recorded as the game records every race), each one driven its own
// way - long runs through many levels, weapons and nitro, a reckless driver who wrecks
// the car, a driver who lets the time run out, pauses and questions, the game pad - on
// several seeds and every car. Each race's replay is written to OUTDIR, played back
// blind and its outcome, digest and counts written to OUTDIR/manifest.
//
//   vorlane_record_corpus [--data DIR] OUTDIR
//   vorlane_record_corpus [--data DIR] --survey FIRSTSEED LASTSEED LEVEL plain|careful|eager
//   vorlane_record_corpus [--data DIR] --search SEED CAR LEVEL RUNS careful|eager
//
// --survey drives every car on each seed until LEVEL begins or the lives are gone and
// prints how far each got; --search looks for the careful driver's nudges on one seed
// and car (see SearchNudges) and prints them for the scenario table below.
//
// Re-recording is for a deliberate change of the race's rules only, with a new rules
// id (tests/replay/corpus/README.md); the script tools/record-replay-corpus runs it.
#include "engine/ArchiveReader.h"
#include "game/autopilot.h"
#include "play/CorpusReplay.h"
#include "play/GameFolder.h"
#include "replay/ReplayPlayer.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
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

// The careful driver's hands: a shot only at a car in the way (the rockets and
// rounds are few), nitro on a free straight road, no horn.
void AimedShots(Run& run, int) {
    test::Autopilot& pilot = run.Pilot;
    const TPlayer* p = run.Race() && run.Driving() ? run.Race()->Player : nullptr;
    const bool armed = p && p->WeaponKind != CarItem::None && p->Ammo > 0 && p->Crashed == 0;
    armed&& pilot.TargetAhead(p->WeaponKind == CarItem::MachineGun ? 420 : 900) ? pilot.KeyDown(vk::Ctrl)
                                                                                : pilot.KeyUp(vk::Ctrl);
    const bool nitro = p && p->HasNitro && p->Crashed == 0 && p->Speed > 150 &&
                       pilot.View().WantSpeed >= 160 && !pilot.TargetAhead(1500);
    nitro ? pilot.KeyDown(vk::Shift) : pilot.KeyUp(vk::Shift);
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

// Nudges for the careful driver as the search prints them: first frame, last frame,
// kind (0 slow, 1 brake, 2 left lane, 3 right lane, 4 hurry).
std::vector<test::Autopilot::Nudge> MakeNudges(const std::vector<std::array<int, 3>>& table) {
    std::vector<test::Autopilot::Nudge> out;
    for (const auto& [from, to, kind] : table)
        out.push_back({from, to, test::Autopilot::NudgeKind(kind)});
    return out;
}

// The careful driver with the nudges found for its seed and car, until `level` has
// begun, then on for a while; the race is then left with Esc.
void CarefulTo(Run& run, int level, bool eager, const std::vector<std::array<int, 3>>& nudges) {
    run.Pilot.Careful = true;
    run.Pilot.EagerPass = eager;
    run.Pilot.Nudges = MakeNudges(nudges);
    DriveWhile(
        run, [&] { return AtLevel(run, level); }, 400000, AimedShots);
    DriveWhile(
        run, [] { return false; }, 1500, AimedShots);
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
    // Further up the levels: the careful driver (it watches the traffic far up the road,
    // keeps to the pace of the car ahead, shoots only at a car in its way, burns its
    // nitro on a free road) with the nudges `--search 3 6 10 1000 careful` had found
    // for the seed and car when it was stopped, on until the lives are gone.
    list.push_back({"careful-seed3-car6", 3, 6, true, [](Run& run) {
                        CarefulTo(run, 10, false, {{3384, 3634, 0},   {13592, 13682, 0}, {14310, 14400, 0},
                                                   {25776, 25996, 0}, {30955, 31045, 0}, {35021, 35141, 3},
                                                   {35711, 35831, 2}, {40916, 41036, 3}, {43321, 43411, 0},
                                                   {50613, 50733, 2}, {52121, 52241, 3}, {63966, 64186, 0},
                                                   {64960, 65080, 3}, {66310, 66400, 0}, {69622, 69742, 3},
                                                   {71933, 72153, 0}, {73012, 73132, 3}, {76600, 76690, 0},
                                                   {84067, 84157, 0}, {89711, 89961, 0}});
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

// The survey: how far a driving style gets on each seed and car, so that the seeds
// that reach far can be picked for the corpus.
void Survey(const fs::path& dataRoot, uint32_t firstSeed, uint32_t lastSeed, int stopLevel,
            const std::function<void(Run&)>& setUp) {
    for (uint32_t seed = firstSeed; seed <= lastSeed; ++seed) {
        for (int car = 1; car <= 6; ++car) {
            play::TempGameFolder folder(dataRoot);
            play::HeadlessOptions options;
            options.DataRoot = folder.Root();
            options.Seed = seed;
            options.Blind = true;
            play::HeadlessGame game(options);
            test::Autopilot pilot(game);
            Run run{game, pilot};
            if (!StartRace(run, car)) continue;
            if (setUp) setUp(run);
            int losses = 0, frames = 0;
            for (; frames < 400000 && run.Racing() && !AtLevel(run, stopLevel); ++frames) {
                const TPlayer* p = run.Race() ? run.Race()->Player : nullptr;
                const int energy = p ? p->Energy + 3 * run.Race()->Lives : 0;
                (pilot.Careful ? AimedShots : UseEverything)(run, frames);
                pilot.Step();
                p = run.Race() ? run.Race()->Player : nullptr;
                losses += p && p->Energy + 3 * run.Race()->Lives < energy ? 1 : 0;
            }
            const TRace* race = run.Race();
            std::printf("seed %u car %d: level %d lives %d score %d after %d frames, %d energy points lost\n",
                        seed, car, race ? race->Level : 0, race ? race->Lives : 0, race ? race->Score : 0,
                        frames, losses);
            std::fflush(stdout);
        }
    }
}

// The search for a careful drive that lasts: the race is played from its start again
// and again (it is the same race every time: the same seed, the same keys), and where
// the car lost energy a nudge is tried in the frames before (slow down, brake, the
// other lane, hurry); a nudge that puts the next loss later is kept. The race recorded
// is then simply the careful driver with the nudges found.
using Nudge = test::Autopilot::Nudge;
using NudgeKind = test::Autopilot::NudgeKind;

struct Attempt {
    int Hit1 = -1, Hit2 = -1; // the first two frames after `after` that cost energy (-1: none)
    bool TimeOut1 = false;    // the first was the clock running out
    int Level = 0, Frames = 0;
};

Attempt PlayCareful(const fs::path& dataRoot, uint32_t seed, int car, int stopLevel, bool eager,
                    const std::vector<Nudge>& nudges, int after) {
    play::TempGameFolder folder(dataRoot);
    play::HeadlessOptions options;
    options.DataRoot = folder.Root();
    options.Seed = seed;
    options.Blind = true;
    play::HeadlessGame game(options);
    test::Autopilot pilot(game);
    Run run{game, pilot};
    Attempt a;
    if (!StartRace(run, car)) return a;
    pilot.Careful = true;
    pilot.Nudges = nudges;
    pilot.EagerPass = eager;
    for (int i = 0; i < 400000 && run.Racing() && !AtLevel(run, stopLevel); ++i) {
        const TPlayer* p = run.Race() ? run.Race()->Player : nullptr;
        const int energy = p ? p->Energy + 3 * run.Race()->Lives : 0;
        AimedShots(run, i);
        pilot.Step();
        p = run.Race() ? run.Race()->Player : nullptr;
        a.Level = run.Race() ? run.Race()->Level : a.Level;
        a.Frames = pilot.Frame();
        if (p && p->Energy + 3 * run.Race()->Lives >= energy) continue;
        if (pilot.Frame() <= after) continue;
        if (a.Hit1 < 0) {
            a.Hit1 = pilot.Frame();
            a.TimeOut1 = p && p->TimeOut;
        } else {
            a.Hit2 = pilot.Frame();
            break;
        }
    }
    return a;
}

std::vector<Nudge> SearchNudges(const fs::path& dataRoot, uint32_t seed, int car, int stopLevel, int budget,
                                bool eager) {
    std::vector<Nudge> nudges;
    int accepted = -1, runs = 1;
    Attempt r = PlayCareful(dataRoot, seed, car, stopLevel, eager, nudges, accepted);
    while (r.Hit1 >= 0 && runs < budget) {
        const int f = r.Hit1;
        std::fprintf(stderr, "seed %u car %d: level %d, energy lost at frame %d%s (%zu nudges, %d runs)\n",
                     seed, car, r.Level, f, r.TimeOut1 ? " (time out)" : "", nudges.size(), runs);
        Attempt best = r;
        std::optional<Nudge> bestNudge;
        if (!r.TimeOut1) {
            const Nudge tries[] = {{f - 90, f, NudgeKind::Slow},       {f - 60, f, NudgeKind::Brake},
                                   {f - 120, f, NudgeKind::LaneRight}, {f - 120, f, NudgeKind::LaneLeft},
                                   {f - 220, f, NudgeKind::Slow},      {f - 160, f, NudgeKind::Brake},
                                   {f - 60, f, NudgeKind::Hurry},      {f - 400, f - 150, NudgeKind::Slow}};
            for (const Nudge& n : tries) {
                if (n.From <= accepted) continue;
                std::vector<Nudge> with = nudges;
                with.push_back(n);
                const Attempt t = PlayCareful(dataRoot, seed, car, stopLevel, eager, with, accepted);
                ++runs;
                // A nudge that only puts the loss off by a moment is not worth keeping.
                const bool later = t.Hit1 < 0 ? t.Level >= best.Level
                                              : (best.Hit1 >= 0 && t.Hit1 > std::max(best.Hit1, f + 200));
                if (later) best = t, bestNudge = n;
                if (best.Hit1 < 0 || best.Hit1 > f + 300) break;
            }
        }
        if (bestNudge) {
            nudges.push_back(*bestNudge);
            std::fprintf(stderr, "  nudge {%d, %d, %d}\n", bestNudge->From, bestNudge->To,
                         int(bestNudge->Kind));
            r = best;
        } else {
            // Nothing helped: the loss stays, on to the next.
            accepted = f;
            r.Hit1 = r.Hit2;
            r.TimeOut1 = false;
            if (r.Hit1 >= 0) {
                r = PlayCareful(dataRoot, seed, car, stopLevel, eager, nudges, accepted);
                ++runs;
            }
        }
    }
    std::fprintf(stderr, "seed %u car %d: reaches level %d in %d frames with %zu nudges (%d runs)\n", seed,
                 car, r.Level, r.Frames, nudges.size(), runs);
    return nudges;
}

} // namespace

int main(int argc, char** argv) {
    fs::path dataRoot = VORLANE_DATA_ROOT;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            dataRoot = argv[++i];
        } else if (arg == "--search" && i + 5 < argc) {
            const uint32_t seed = uint32_t(std::stoul(argv[i + 1]));
            const int car = std::stoi(argv[i + 2]), stop = std::stoi(argv[i + 3]),
                      budget = std::stoi(argv[i + 4]);
            const std::vector<Nudge> found =
                SearchNudges(dataRoot, seed, car, stop, budget, std::string(argv[i + 5]) == "eager");
            std::printf("{");
            for (const Nudge& n : found)
                std::printf("{%d, %d, %d}, ", n.From, n.To, int(n.Kind));
            std::printf("}\n");
            return 0;
        } else if (arg == "--survey" && i + 4 < argc) {
            const uint32_t first = uint32_t(std::stoul(argv[i + 1])),
                           last = uint32_t(std::stoul(argv[i + 2]));
            const int stop = std::stoi(argv[i + 3]);
            const std::string style = argv[i + 4];
            Survey(dataRoot, first, last, stop, [style](Run& run) {
                run.Pilot.Careful = style != "plain";
                run.Pilot.EagerPass = style == "eager";
            });
            return 0;
        } else
            rest.push_back(arg);
    }
    if (rest.size() != 1) {
        std::fprintf(
            stderr, "usage: vorlane_record_corpus [--data DIR] OUTDIR\n"
                    "       vorlane_record_corpus [--data DIR] --survey FIRSTSEED LASTSEED LEVEL "
                    "plain|careful|eager\n"
                    "       vorlane_record_corpus [--data DIR] --search SEED CAR LEVEL RUNS careful|eager\n");
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
