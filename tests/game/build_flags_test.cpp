// The game's logic is compiled so that the same inputs play out the same on every
// build (replays are checked by playing them again): every source of the race, the
// core and the shell is compiled without floating-point contraction and without
// fast-math, as the build's compile_commands.json records.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct CompileCommand {
    std::string File;
    std::string Command;
};

// The "file" and "command" of each entry (CMake writes one key a line).
std::vector<CompileCommand> ReadCompileCommands(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<CompileCommand> out;
    CompileCommand current;
    const auto value = [](const std::string& line) {
        const auto colon = line.find("\": \"");
        const auto end = line.rfind('"');
        return colon == std::string::npos || end <= colon + 4 ? std::string()
                                                              : line.substr(colon + 4, end - colon - 4);
    };
    for (std::string line; std::getline(in, line);) {
        if (line.find("\"command\":") != std::string::npos) current.Command = value(line);
        if (line.find("\"file\":") != std::string::npos) current.File = value(line);
        if (line.find('}') != std::string::npos && !current.File.empty()) {
            out.push_back(current);
            current = {};
        }
    }
    return out;
}

TEST(BuildFlags, TheGameLogicIsCompiledWithoutContractionOrFastMath) {
    const auto commands =
        ReadCompileCommands(std::filesystem::path(VORLANE_BINARY_DIR) / "compile_commands.json");
    ASSERT_FALSE(commands.empty()) << "no compile_commands.json in " << VORLANE_BINARY_DIR;
    int checked = 0;
    for (const char* folder : {"/src/race/", "/src/core/", "/src/app/", "/src/engine/", "/src/replay/"}) {
        int inFolder = 0;
        for (const CompileCommand& c : commands) {
            if (c.File.find(folder) == std::string::npos) continue;
            ++inFolder;
            EXPECT_NE(c.Command.find("-ffp-contract=off"), std::string::npos) << c.File;
            EXPECT_EQ(c.Command.find("-ffast-math"), std::string::npos) << c.File;
            EXPECT_EQ(c.Command.find("-Ofast"), std::string::npos) << c.File;
        }
        EXPECT_GT(inFolder, 0) << "no source of " << folder << " in the build";
        checked += inFolder;
    }
    std::printf("[ flags ] %d game sources compiled with -ffp-contract=off\n", checked);
}

} // namespace
