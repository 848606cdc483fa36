// Reading the game's command line.
#include "platform/CommandLine.h"

#include <charconv>

namespace vorlane {

namespace {

std::optional<int> WholeNumber(const std::string& text, int lo, int hi) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < lo || value > hi) return std::nullopt;
    return value;
}

LaunchOptions Bad(std::string problem) {
    LaunchOptions bad;
    bad.action = LaunchAction::BadUsage;
    bad.problem = std::move(problem);
    return bad;
}

} // namespace

std::string UsageText() {
    return "usage: vorlane [--window | --fullscreen] [--scale N] [--smooth] [--data DIR] [--server URL]\n"
           "               [--replay FILE] [--help] [--version]\n"
           "  --window        play in a window this time (the options keep their own choice)\n"
           "  --fullscreen    play full screen this time\n"
           "  --scale N       open the window at N times 800 x 600 (1 to " +
           std::to_string(kLargestScale) +
           "; lowered to fit the desktop);\n"
           "                  the default is the largest that fits, in half steps (1.5 on 1920 x 1080)\n"
           "  --smooth        soft filtered scaling instead of sharp pixel edges\n"
           "  --data DIR      the folder that holds the game's Data folder (default: the working folder)\n"
           "  --server URL    the online high-score server's address\n"
           "  --replay FILE   watch a recorded race (Esc leaves, P pauses)\n"
           "  --help          show this text\n"
           "  --version       show the game's version\n";
}

LaunchOptions ParseCommandLine(const std::vector<std::string>& args) {
    LaunchOptions options;
    bool help = false, version = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        // The options that take a value, as "--scale 2" or "--scale=2".
        std::string name = option, value;
        bool hasValue = false;
        if (const size_t eq = option.find('='); option.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = option.substr(0, eq);
            value = option.substr(eq + 1);
            hasValue = true;
        }
        const bool takesValue =
            name == "--scale" || name == "--data" || name == "--server" || name == "--replay";
        if (takesValue && !hasValue) {
            if (i + 1 >= args.size()) return Bad(name + " wants a value");
            value = args[++i];
            hasValue = true;
        }
        if (hasValue && !takesValue) return Bad(name + " takes no value");

        if (name == "--window") {
            options.fullScreen = false;
        } else if (name == "--fullscreen") {
            options.fullScreen = true;
        } else if (name == "--smooth") {
            options.smooth = true;
        } else if (name == "--help" || name == "-h") {
            help = true;
        } else if (name == "--version") {
            version = true;
        } else if (name == "--scale") {
            const auto n = WholeNumber(value, 1, kLargestScale);
            if (!n)
                return Bad("--scale wants a whole number from 1 to " + std::to_string(kLargestScale) +
                           ", not \"" + value + "\"");
            options.scale = *n;
        } else if (name == "--data") {
            if (value.empty()) return Bad("--data wants a folder");
            options.dataDir = value;
        } else if (name == "--server") {
            if (value.empty()) return Bad("--server wants an address");
            options.serverUrl = value;
        } else if (name == "--replay") {
            if (value.empty()) return Bad("--replay wants a file");
            options.replayFile = value;
        } else {
            return Bad("unknown option \"" + option + "\"");
        }
    }
    if (help)
        options.action = LaunchAction::ShowHelp;
    else if (version)
        options.action = LaunchAction::ShowVersion;
    return options;
}

} // namespace vorlane
