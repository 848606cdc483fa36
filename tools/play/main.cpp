// vorlane-play: the real game, headless, driven by a script, watched frame by frame.
//
//   vorlane-play [--data DIR] [--seed N] [--rate HZ] [--frames N] [--script FILE|-]
//                [--dump FILE] [--every K] [--shot FRAME:FILE.png]... [--server URL]
//   vorlane-play [--data DIR] --replay FILE [--dump FILE] [--every K] [--shot FRAME:FILE.png]...
//
// --blind (with either) plays the game as the score server checks replays: no window, no
// drawing, no sound; the dump then lists no sounding loops, and screenshots are refused.
//
// Without --server (or VORLANE_SERVER in the environment) the run stays off the
// network: a score sent is recorded and counts as failed. With one, the game's
// requests really go to that score server.
//
// Exit status: 0 when the run ends (or the game shut down), 1 when the game stopped
// on an error, 2 for a command line or script it does not understand.
// With --replay the recorded race is played again (frame 0 is the race's first frame):
// 0 when it ends as recorded, 3 when it does not (what differs on standard error), 2
// for a file that is not a replay this game plays.
#include "play/Dump.h"
#include "play/Headless.h"
#include "play/Script.h"

#include "app/ReplayRun.h"
#include "app/ReplayWatch.h"
#include "engine/Types.h"
#include "persist/ServerAddress.h"
#include "platform/CurlHttpClient.h"
#include "platform/PngFile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vorlane;
using namespace vorlane::play;

struct Args {
    std::string data = ".";
    uint32_t seed = 1;
    int rate = 85;
    std::optional<int> frames;
    std::string script;
    std::string replay;
    std::string dump;
    int every = 1;
    std::multimap<int, std::string> shots;
    std::optional<std::string> server; // --server
    bool blind = false;
};

const char* Usage =
    "usage: vorlane-play [--data DIR] [--seed N] [--rate HZ] [--frames N] [--script FILE|-]\n"
    "                    [--dump FILE] [--every K] [--shot FRAME:FILE.png]... [--server URL]\n"
    "       vorlane-play [--data DIR] --replay FILE [--dump FILE] [--every K] [--shot FRAME:FILE.png]...\n"
    "--blind plays without window, drawing and sound, as the score server checks replays.\n"
    "The score server is --server, else $VORLANE_SERVER; without either the run stays off the network.\n";

long Number(const std::string& option, const std::string& text, long lo, long hi) {
    try {
        size_t used = 0;
        const long v = std::stol(text, &used);
        if (used == text.size() && v >= lo && v <= hi) return v;
    } catch (const std::exception&) {
    }
    throw ScriptError(option + " wants a whole number from " + std::to_string(lo) + " to " +
                      std::to_string(hi) + ", not \"" + text + "\"");
}

Args ParseArgs(int argc, char** argv) {
    Args a;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--help" || opt == "-h") {
            std::fputs(Usage, stdout);
            std::exit(0);
        }
        if (opt == "--blind") {
            a.blind = true;
            continue;
        }
        if (i + 1 >= argc) throw ScriptError(opt + " wants a value");
        const std::string v = argv[++i];
        if (opt == "--data")
            a.data = v;
        else if (opt == "--seed")
            a.seed = uint32_t(Number(opt, v, 0, 4294967295L));
        else if (opt == "--rate")
            a.rate = int(Number(opt, v, 1, 1000));
        else if (opt == "--frames")
            a.frames = int(Number(opt, v, 0, 100000000));
        else if (opt == "--script")
            a.script = v;
        else if (opt == "--replay")
            a.replay = v;
        else if (opt == "--dump")
            a.dump = v;
        else if (opt == "--server")
            a.server = v;
        else if (opt == "--every")
            a.every = int(Number(opt, v, 1, 100000000));
        else if (opt == "--shot") {
            const auto colon = v.find(':');
            if (colon == std::string::npos || colon + 1 >= v.size())
                throw ScriptError("--shot wants FRAME:FILE.png");
            a.shots.emplace(int(Number(opt, v.substr(0, colon), 0, 100000000)), v.substr(colon + 1));
        } else {
            throw ScriptError("unknown option " + opt);
        }
    }
    if (a.blind && !a.shots.empty()) throw ScriptError("--shot wants a game that draws, not --blind");
    return a;
}

std::vector<ScriptEvent> ReadScript(const std::string& path) {
    if (path.empty()) return {};
    if (path == "-") return ParseScript(std::cin);
    std::ifstream in(path);
    if (!in) throw ScriptError("cannot read the script " + path);
    return ParseScript(in);
}

void Apply(HeadlessGame& game, const ScriptEvent& e) {
    switch (e.action) {
    case ScriptAction::Down:
        game.KeyDown(e.key);
        break;
    case ScriptAction::Up:
        game.KeyUp(e.key);
        break;
    case ScriptAction::Text:
        game.TypeText(e.text);
        break;
    case ScriptAction::Mouse:
        game.MouseMove(e.x, e.y);
        break;
    case ScriptAction::Click:
        game.Click();
        break;
    case ScriptAction::DoubleClick:
        game.DoubleClick();
        break;
    case ScriptAction::Close:
        game.CloseRequest();
        break;
    case ScriptAction::FocusOff:
        game.Focus(false);
        break;
    case ScriptAction::FocusOn:
        game.Focus(true);
        break;
    case ScriptAction::PadDown:
        game.PadButton(e.padButton, true);
        break;
    case ScriptAction::PadUp:
        game.PadButton(e.padButton, false);
        break;
    case ScriptAction::PadAxis:
        game.PadAxis(e.padAxis, e.padValue);
        break;
    case ScriptAction::PadConnect:
        game.PadConnect();
        break;
    case ScriptAction::PadRemove:
        game.PadRemove();
        break;
    }
}

void SaveShot(const RgbaImage& image, const std::string& path) {
    if (image.width <= 0 || !SavePng(image, path)) throw EngineError("cannot write the screenshot " + path);
}

// The dump file (or standard output for "-"), and the screenshots asked for.
class RunOutput {
  public:
    RunOutput(const Args& a, TMForm& form, const int& frame) : a_(a), form_(form), frame_(frame) {
        if (a.dump == "-") {
            dump_ = &std::cout;
        } else if (!a.dump.empty()) {
            file_.open(a.dump, std::ios::binary | std::ios::trunc);
            if (!file_) throw ScriptError("cannot write the dump " + a.dump);
            dump_ = &file_;
        }
        form.OnFrameDrawn = [this] {
            if (a_.shots.count(frame_)) Shoot();
        };
    }
    ~RunOutput() { form_.OnFrameDrawn = nullptr; }

    void BeforeFrame() { shotTaken_ = false; }
    // After a frame: a frame that drew nothing (the window in the background) still
    // gets its shot; a dump line carries every effect played since the line before,
    // so that with --every the effects of the frames in between are not lost.
    void AfterFrame(HeadlessGame& game, bool last) {
        if (!shotTaken_ && a_.shots.count(frame_)) Shoot();
        if (dump_ && (frame_ % a_.every == 0 || last)) {
            *dump_ << DumpFrame(form_, frame_, game.FrameEffects) << '\n';
            dump_->flush();
            game.ClearFrameEffects();
        } else if (!dump_) {
            game.ClearFrameEffects();
        }
    }

  private:
    void Shoot() {
        const RgbaImage image = form_.Display().ReadPixels();
        for (auto [it, end] = a_.shots.equal_range(frame_); it != end; ++it)
            SaveShot(image, it->second);
        shotTaken_ = true;
    }

    const Args& a_;
    TMForm& form_;
    const int& frame_;
    std::ofstream file_;
    std::ostream* dump_ = nullptr;
    bool shotTaken_ = false;
};

HeadlessOptions GameOptionsOf(const Args& a) {
    HeadlessOptions options;
    options.DataRoot = a.data;
    options.Seed = a.seed;
    options.Rate = a.rate;
    options.ServerUrl = ResolveServerUrl(a.server, std::getenv);
    options.RecordRaces = a.replay.empty(); // a replay played again is not recorded again
    options.Blind = a.blind;
    return options;
}

// Whether the game's requests really go out: --server or $VORLANE_SERVER was given.
bool UsesNetwork(const Args& a) {
    const char* serverFromEnvironment = std::getenv(online::kServerEnvVariable);
    return a.server || (serverFromEnvironment && *serverFromEnvironment);
}

int RunReplay(const Args& a) {
    // Read as the game reads a replay: a regular file of a replay's size, else refused unread.
    ReplayFileRead read = ReadReplayFile(a.replay);
    if (!read.bytes) {
        std::fprintf(stderr, "vorlane-play: %s\n", read.problem.c_str());
        return 2;
    }
    std::vector<uint8_t> bytes = std::move(*read.bytes);
    HeadlessGame game(GameOptionsOf(a));
    TMForm& form = game.Form();
    int frame = 0;
    RunOutput out(a, form, frame);
    std::unique_ptr<TReplayRun> run;
    try {
        run = std::make_unique<TReplayRun>(
            form, [&game](int key, bool down) { game.Keys.SetDown(key, down); }, std::move(bytes));
    } catch (const ReplayError& e) {
        std::fprintf(stderr, "vorlane-play: %s: %s\n", a.replay.c_str(), e.what());
        return 2;
    }
    game.ClearFrameEffects(); // the menus left behind before the race
    for (bool more = true; more; ++frame) {
        out.BeforeFrame();
        more = run->Next();
        out.AfterFrame(game, !more);
    }
    const ReplayVerdict verdict = run->Verdict();
    if (verdict.Kind == ReplayVerdictKind::Ok) return 0;
    std::fprintf(stderr, "vorlane-play: %s: diverged: %s\n", a.replay.c_str(), verdict.Message.c_str());
    return 3;
}

int Run(const Args& a, const std::vector<ScriptEvent>& events) {
    if (!a.replay.empty()) return RunReplay(a);
    const int frames = a.frames ? *a.frames : (events.empty() ? 1 : events.back().frame + 1);
    CurlHttpClient network;
    HeadlessGame game(GameOptionsOf(a));
    if (UsesNetwork(a)) game.Http.Forward = &network;
    TMForm& form = game.Form();
    int frame = 0;
    RunOutput out(a, form, frame);

    size_t next = 0;
    for (frame = 0; frame < frames; ++frame) {
        while (next < events.size() && events[next].frame == frame)
            Apply(game, events[next++]);
        out.BeforeFrame();
        if (!form.Terminated) game.Step();
        out.AfterFrame(game, frame + 1 == frames || form.Terminated);
        if (form.Terminated) break; // the game shut itself down: the run is over
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Args args;
    std::vector<ScriptEvent> events;
    try {
        args = ParseArgs(argc, argv);
        events = ReadScript(args.script);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlane-play: %s\n%s", e.what(), Usage);
        return 2;
    }
    try {
        return Run(args, events);
    } catch (const ScriptError& e) {
        std::fprintf(stderr, "vorlane-play: %s\n", e.what());
        return 2;
    } catch (const ServerAddressError& e) {
        std::fprintf(stderr, "vorlane-play: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlane-play: the game stopped: %s\n", e.what());
        return 1;
    }
}
