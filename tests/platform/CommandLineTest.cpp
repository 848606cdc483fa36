// The game's command line: what each option sets, and what is refused.
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(CommandLineTest, OptionsSetTheirFields) {
    const LaunchOptions none = ParseCommandLine({});
    EXPECT_EQ(none.action, LaunchAction::Run);
    EXPECT_FALSE(none.fullScreen.has_value());
    EXPECT_EQ(none.scale, 0);
    EXPECT_FALSE(none.smooth);
    EXPECT_EQ(none.dataDir, "");
    EXPECT_EQ(none.serverUrl, "");
    EXPECT_EQ(none.replayFile, "");

    const LaunchOptions all =
        ParseCommandLine({"--fullscreen", "--scale", "3", "--smooth", "--data", "/games/vorlane", "--server",
                          "http://127.0.0.1:8080", "--replay", "last.vrp"});
    EXPECT_EQ(all.action, LaunchAction::Run);
    EXPECT_EQ(all.fullScreen, std::optional<bool>(true));
    EXPECT_EQ(all.scale, 3);
    EXPECT_TRUE(all.smooth);
    EXPECT_EQ(all.dataDir, "/games/vorlane");
    EXPECT_EQ(all.serverUrl, "http://127.0.0.1:8080");
    EXPECT_EQ(all.replayFile, "last.vrp");

    const LaunchOptions joined = ParseCommandLine({"--scale=2", "--data=here", "--window"});
    EXPECT_EQ(joined.scale, 2);
    EXPECT_EQ(joined.dataDir, "here");
    EXPECT_EQ(joined.fullScreen, std::optional<bool>(false));

    // The last of --window and --fullscreen wins.
    EXPECT_EQ(ParseCommandLine({"--window", "--fullscreen"}).fullScreen, std::optional<bool>(true));
    EXPECT_EQ(ParseCommandLine({"--fullscreen", "--window"}).fullScreen, std::optional<bool>(false));
}

TEST(CommandLineTest, HelpAndVersionWinOverTheRest) {
    EXPECT_EQ(ParseCommandLine({"--help"}).action, LaunchAction::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"-h"}).action, LaunchAction::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"--version"}).action, LaunchAction::ShowVersion);
    EXPECT_EQ(ParseCommandLine({"--scale", "2", "--version"}).action, LaunchAction::ShowVersion);
    EXPECT_EQ(ParseCommandLine({"--version", "--help"}).action, LaunchAction::ShowHelp);
    // A mistake is still a mistake.
    EXPECT_EQ(ParseCommandLine({"--help", "--nonsense"}).action, LaunchAction::BadUsage);
}

TEST(CommandLineTest, MistakesAreRefusedWithWhatWasWrong) {
    struct Case {
        std::vector<std::string> args;
        std::string problem;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"fullscreen"}, "unknown option \"fullscreen\""},
        {{"--scale"}, "--scale wants a value"},
        {{"--scale", "0"}, "--scale wants a whole number from 1 to 16, not \"0\""},
        {{"--scale", "17"}, "--scale wants a whole number from 1 to 16, not \"17\""},
        {{"--scale", "2x"}, "--scale wants a whole number from 1 to 16, not \"2x\""},
        {{"--scale", "-1"}, "--scale wants a whole number from 1 to 16, not \"-1\""},
        {{"--scale="}, "--scale wants a whole number from 1 to 16, not \"\""},
        {{"--data"}, "--data wants a value"},
        {{"--data", ""}, "--data wants a folder"},
        {{"--server"}, "--server wants a value"},
        {{"--server="}, "--server wants an address"},
        {{"--replay"}, "--replay wants a value"},
        {{"--replay="}, "--replay wants a file"},
        {{"--smooth=yes"}, "--smooth takes no value"},
        {{"--window=1"}, "--window takes no value"},
    };
    for (const Case& c : cases) {
        const LaunchOptions o = ParseCommandLine(c.args);
        EXPECT_EQ(o.action, LaunchAction::BadUsage) << c.problem;
        EXPECT_EQ(o.problem, c.problem);
    }
}

TEST(CommandLineTest, TheUsageNamesEveryOption) {
    const std::string usage = UsageText();
    for (const char* option : {"--window", "--fullscreen", "--scale N", "--smooth", "--data DIR",
                               "--server URL", "--replay FILE", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(usage.back(), '\n');
}

} // namespace
} // namespace vorlane
