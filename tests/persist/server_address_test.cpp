#include "persist/ServerAddress.h"

#include <gtest/gtest.h>

#include <map>

#include "persist/OnlineConfig.h"

namespace vorlane {
namespace {

// An environment made of a table instead of the process's own.
EnvironmentLookup Environment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> const char* {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : it->second.c_str();
    };
}

TEST(ResolveServerUrl, CommandLineThenEnvironmentThenThisMachine) {
    struct Case {
        const char* what;
        std::optional<std::string> commandLine;
        std::map<std::string, std::string> environment;
        const char* expected;
    };
    const Case cases[] = {
        {"nothing given", std::nullopt, {}, "http://127.0.0.1:8080"},
        {"environment",
         std::nullopt,
         {{"VORLANE_SERVER", "http://scores.example.test"}},
         "http://scores.example.test"},
        {"empty environment counts as unset",
         std::nullopt,
         {{"VORLANE_SERVER", ""}},
         "http://127.0.0.1:8080"},
        {"command line wins",
         "http://10.0.0.5:9000",
         {{"VORLANE_SERVER", "http://scores.example.test"}},
         "http://10.0.0.5:9000"},
        {"trailing slash dropped", "http://127.0.0.1:8081/", {}, "http://127.0.0.1:8081"},
        {"path prefix kept", "https://example.test/vorlane//", {}, "https://example.test/vorlane"},
        {"other variables ignored",
         std::nullopt,
         {{"VORLANE_SERVERS", "http://x.test"}},
         "http://127.0.0.1:8080"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveServerUrl(c.commandLine, Environment(c.environment)), c.expected) << c.what;
    }
    EXPECT_EQ(ResolveServerUrl(std::nullopt, nullptr), online::kDefaultServerUrl);
}

TEST(ResolveServerUrl, AnAddressTheGameCannotUseIsNamedWithItsSource) {
    struct Case {
        std::optional<std::string> commandLine;
        std::map<std::string, std::string> environment;
        const char* mentions;
    };
    const Case cases[] = {
        {"127.0.0.1:8080", {}, "--server"},
        {"ftp://example.test", {}, "--server"},
        {"http://", {}, "--server"},
        {"http://:8080", {}, "--server"},
        {"http://example.test/?x=1", {}, "--server"},
        {"http://exa mple.test", {}, "--server"},
        {std::nullopt, {{"VORLANE_SERVER", "example.test"}}, "VORLANE_SERVER"},
    };
    for (const Case& c : cases) {
        const std::string shown = c.commandLine ? *c.commandLine : c.environment.begin()->second;
        try {
            ResolveServerUrl(c.commandLine, Environment(c.environment));
            ADD_FAILURE() << shown << " was taken";
        } catch (const ServerAddressError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(c.mentions), std::string::npos) << message;
            EXPECT_NE(message.find(shown), std::string::npos) << message;
        }
    }
}

TEST(FindServerOption, TakesBothSpellingsAndTheLastOne) {
    const char* none[] = {"vorlane", "--window"};
    EXPECT_EQ(FindServerOption(2, none), std::nullopt);
    const char* separate[] = {"vorlane", "--server", "http://a.test", "--scale", "2"};
    EXPECT_EQ(FindServerOption(5, separate), "http://a.test");
    const char* joined[] = {"vorlane", "--server=http://a.test", "--server", "http://b.test"};
    EXPECT_EQ(FindServerOption(4, joined), "http://b.test");
    const char* missing[] = {"vorlane", "--server"};
    EXPECT_THROW(FindServerOption(2, missing), ServerAddressError);
}

} // namespace
} // namespace vorlane
