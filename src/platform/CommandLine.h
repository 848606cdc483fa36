#pragma once
// The game's command line:
//   vorlane [--window | --fullscreen] [--scale N] [--smooth] [--data DIR] [--server URL]
//           [--replay FILE] [--help] [--version]
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

enum class LaunchAction {
    Run,
    ShowHelp,    // print the usage, exit 0
    ShowVersion, // print "vorlane VERSION", exit 0
    BadUsage,    // print the problem and the usage, exit 2
};

struct LaunchOptions {
    LaunchAction action = LaunchAction::Run;
    std::string problem; // what was wrong, for BadUsage

    // Full screen or window for this run only, over the options file's choice.
    std::optional<bool> fullScreen;
    int scale = 0;          // the window's whole-number scale at start; 0 chooses from the desktop
    bool smooth = false;    // soft filtered scaling instead of sharp pixel edges
    std::string dataDir;    // the folder that holds the game's Data folder; empty: the working folder
    std::string serverUrl;  // the online high-score server's address; empty: the built-in one
    std::string replayFile; // a recorded race to watch instead of playing; empty: play
};

inline constexpr int kLargestScale = 16;

// args: the words after the program's name. Later options win over earlier ones of the
// same kind (--window --fullscreen means full screen); --help and --version win over
// everything else that parses.
LaunchOptions ParseCommandLine(const std::vector<std::string>& args);

// The usage text, ending with a line break.
std::string UsageText();

} // namespace vorlane
