// vorlane-play: the real game, headless, driven by a script, watched frame by frame.
//
//   vorlane-play [--data DIR] [--seed N] [--rate HZ] [--frames N] [--script FILE|-]
//                [--dump FILE] [--every K] [--shot FRAME:FILE.png]...
//
// Exit status: 0 when the run ends (or the game shut down), 1 when the game stopped
// on an error, 2 for a command line or script it does not understand.
#include "play/Dump.h"
#include "play/Headless.h"
#include "play/Script.h"

#include "engine/Types.h"
#include "platform/PngFile.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
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
    std::string dump;
    int every = 1;
    std::multimap<int, std::string> shots;
};

const char* Usage =
    "usage: vorlane-play [--data DIR] [--seed N] [--rate HZ] [--frames N] [--script FILE|-]\n"
    "                    [--dump FILE] [--every K] [--shot FRAME:FILE.png]...\n";

long Number(const std::string& option, const std::string& text, long lo, long hi) {
    try {
        size_t used = 0;
        const long v = std::stol(text, &used);
        if (used == text.size() && v >= lo && v <= hi) return v;
    } catch (const std::exception&) {
    }
    throw ScriptError(option + " wants a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                      ", not \"" + text + "\"");
}

Args ParseArgs(int argc, char** argv) {
    Args a;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--help" || opt == "-h") {
            std::fputs(Usage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) throw ScriptError(opt + " wants a value");
        const std::string v = argv[++i];
        if (opt == "--data") a.data = v;
        else if (opt == "--seed") a.seed = uint32_t(Number(opt, v, 0, 4294967295L));
        else if (opt == "--rate") a.rate = int(Number(opt, v, 1, 1000));
        else if (opt == "--frames") a.frames = int(Number(opt, v, 0, 100000000));
        else if (opt == "--script") a.script = v;
        else if (opt == "--dump") a.dump = v;
        else if (opt == "--every") a.every = int(Number(opt, v, 1, 100000000));
        else if (opt == "--shot") {
            const auto colon = v.find(':');
            if (colon == std::string::npos || colon + 1 >= v.size()) throw ScriptError("--shot wants FRAME:FILE.png");
            a.shots.emplace(int(Number(opt, v.substr(0, colon), 0, 100000000)), v.substr(colon + 1));
        } else {
            throw ScriptError("unknown option " + opt);
        }
    }
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
    case ScriptAction::Down: game.KeyDown(e.key); break;
    case ScriptAction::Up: game.KeyUp(e.key); break;
    case ScriptAction::Text: game.TypeText(e.text); break;
    case ScriptAction::Mouse: game.MouseMove(e.x, e.y); break;
    case ScriptAction::Click: game.Click(); break;
    case ScriptAction::DoubleClick: game.DoubleClick(); break;
    case ScriptAction::Close: game.CloseRequest(); break;
    case ScriptAction::FocusOff: game.Focus(false); break;
    case ScriptAction::FocusOn: game.Focus(true); break;
    case ScriptAction::PadDown: game.PadButton(e.padButton, true); break;
    case ScriptAction::PadUp: game.PadButton(e.padButton, false); break;
    case ScriptAction::PadAxis: game.PadAxis(e.padAxis, e.padValue); break;
    case ScriptAction::PadConnect: game.PadConnect(); break;
    case ScriptAction::PadRemove: game.PadRemove(); break;
    }
}

void SaveShot(const RgbaImage& image, const std::string& path) {
    if (image.width <= 0 || !SavePng(image, path)) throw EngineError("cannot write the screenshot " + path);
}

int Run(const Args& a, const std::vector<ScriptEvent>& events) {
    std::ofstream dumpFile;
    std::ostream* dump = nullptr;
    if (!a.dump.empty()) {
        if (a.dump == "-") {
            dump = &std::cout;
        } else {
            dumpFile.open(a.dump, std::ios::binary | std::ios::trunc);
            if (!dumpFile) throw ScriptError("cannot write the dump " + a.dump);
            dump = &dumpFile;
        }
    }
    const int frames = a.frames ? *a.frames : (events.empty() ? 1 : events.back().frame + 1);

    HeadlessOptions options;
    options.DataRoot = a.data;
    options.Seed = a.seed;
    options.Rate = a.rate;
    HeadlessGame game(options);
    TMForm& form = game.Form();

    int frame = 0;
    bool shotTaken = false;
    form.OnFrameDrawn = [&] {
        auto [first, last] = a.shots.equal_range(frame);
        if (first == last) return;
        const RgbaImage image = form.Display().ReadPixels();
        for (auto it = first; it != last; ++it) SaveShot(image, it->second);
        shotTaken = true;
    };

    size_t next = 0;
    for (frame = 0; frame < frames; ++frame) {
        while (next < events.size() && events[next].frame == frame) Apply(game, events[next++]);
        shotTaken = false;
        if (!form.Terminated) game.Step();
        // A frame that drew nothing (the window in the background) still gets its shot.
        if (!shotTaken && a.shots.count(frame)) {
            const RgbaImage image = form.Display().ReadPixels();
            for (auto [it, end] = a.shots.equal_range(frame); it != end; ++it) SaveShot(image, it->second);
        }
        const bool last = frame + 1 == frames || form.Terminated;
        // A line carries every effect played since the line before, so that with
        // --every the effects of the frames in between are not lost.
        if (dump && (frame % a.every == 0 || last)) {
            *dump << DumpFrame(form, frame, game.FrameEffects) << '\n';
            dump->flush();
            game.ClearFrameEffects();
        } else if (!dump) {
            game.ClearFrameEffects();
        }
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
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlane-play: the game stopped: %s\n", e.what());
        return 1;
    }
}
