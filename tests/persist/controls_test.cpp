// The controls file: good lines replace their action's binding, and every kind of
// bad line is reported once, quoted short, leaving its action at the default.
#include "persist/Controls.h"
#include "persist/TempDir.h"
#include "platform/KeyCodes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vorlane {
namespace {

// The pad inputs of this table (the game asks the platform).
bool KnownPadInput(const std::string& name) {
    static const std::set<std::string> known = {"a",     "b", "x", "y", "start", "dpup", "righttrigger",
                                                "leftx-"};
    return known.count(name) != 0;
}

const ControlBinding& Of(const ControlsRead& r, ControlAction a) {
    return r.bindings[std::size_t(a)];
}

TEST(ControlsFile, TheDefaultTextReadsBackAsTheDefaults) {
    const ControlsRead r = ParseControls(DefaultControlsText(), [](const std::string&) { return true; });
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();
    const ControlBindings d = DefaultControls();
    for (int a = 0; a < ControlActionCount; ++a) {
        EXPECT_EQ(r.bindings[std::size_t(a)].keys, d[std::size_t(a)].keys)
            << ControlActionName(ControlAction(a));
        EXPECT_EQ(r.bindings[std::size_t(a)].padInputs, d[std::size_t(a)].padInputs);
    }
    EXPECT_NE(DefaultControlsText().find("accelerate = Up, pad:righttrigger, pad:a, pad:dpup\r\n"),
              std::string::npos);
}

TEST(ControlsFile, EachLineIsTakenOrReportedOnItsOwn) {
    struct Case {
        const char* what;
        std::string text;
        ControlAction action;
        std::vector<int> keys;        // the action's keys afterwards
        std::vector<std::string> pad; // and its pad inputs
        std::string problem;          // the report's start, "" for none
    };
    const auto defaults = DefaultControls();
    const auto& accel = defaults[std::size_t(ControlAction::Accelerate)];
    const auto& fire = defaults[std::size_t(ControlAction::Fire)];
    const std::string junk(300, 'q');
    const std::vector<Case> cases = {
        {"a good line",
         "accelerate = W, pad:righttrigger, pad:a\n",
         ControlAction::Accelerate,
         {'W'},
         {"righttrigger", "a"},
         ""},
        {"names in any case, blanks and comments around",
         "  # mine\r\n\r\n FIRE=f ,PAD:X \r\n",
         ControlAction::Fire,
         {'F'},
         {"x"},
         ""},
        {"function keys and named keys",
         "fire = F5, PageDown\n",
         ControlAction::Fire,
         {vk::F1 + 4, vk::PageDown},
         {},
         ""},
        {"pad inputs only", "fire = pad:y\n", ControlAction::Fire, {}, {"y"}, ""},
        {"unknown action", "acelerate = W\n", ControlAction::Accelerate, accel.keys, accel.padInputs,
         "line 1 \"acelerate = W\": no such action"},
        {"unknown key", "accelerate = Wq\n", ControlAction::Accelerate, accel.keys, accel.padInputs,
         "line 1 \"accelerate = Wq\": no key \"Wq\""},
        {"unknown pad input", "accelerate = W, pad:trigger\n", ControlAction::Accelerate, accel.keys,
         accel.padInputs, "line 1 \"accelerate = W, pad:trigger\": no pad input \"trigger\""},
        {"a second line for an action: the first holds",
         "fire = F\nfire = G\n",
         ControlAction::Fire,
         {'F'},
         {},
         "line 2 \"fire = G\": a second line for fire"},
        {"nothing bound", "fire =  \n", ControlAction::Fire, fire.keys, fire.padInputs,
         "line 1 \"fire =\": nothing bound"},
        {"too many keys", "fire = A, B, C\n", ControlAction::Fire, fire.keys, fire.padInputs,
         "line 1 \"fire = A, B, C\": more than 2 keys"},
        {"no equals sign", "fire F\n", ControlAction::Fire, fire.keys, fire.padInputs,
         "line 1 \"fire F\": no \"=\""},
        {"a long junk line, quoted short", junk + "\n", ControlAction::Fire, fire.keys, fire.padInputs,
         "line 1 \"" + std::string(40, 'q') + "...\": no \"=\""},
        {"control bytes are shown escaped", "fire = \x01\n", ControlAction::Fire, fire.keys, fire.padInputs,
         "line 1 \"fire = \\x01\": no key"},
        {"an empty file: the defaults", "", ControlAction::Fire, fire.keys, fire.padInputs, ""},
    };
    for (const Case& c : cases) {
        const ControlsRead r = ParseControls(c.text, KnownPadInput);
        EXPECT_EQ(Of(r, c.action).keys, c.keys) << c.what;
        EXPECT_EQ(Of(r, c.action).padInputs, c.pad) << c.what;
        if (c.problem.empty()) {
            EXPECT_TRUE(r.problems.empty()) << c.what << ": " << r.problems.front();
        } else {
            ASSERT_EQ(r.problems.size(), 1u) << c.what;
            EXPECT_EQ(r.problems[0].rfind(c.problem, 0), 0u) << c.what << ": " << r.problems[0];
            EXPECT_LT(r.problems[0].size(), 120u) << c.what;
        }
    }
}

TEST(ControlsFile, ABadLineLeavesTheOtherLinesWorking) {
    const ControlsRead r = ParseControls("fire = F\nnitro = ?\nhorn = J\n", KnownPadInput);
    EXPECT_EQ(Of(r, ControlAction::Fire).keys, std::vector<int>{'F'});
    EXPECT_EQ(Of(r, ControlAction::Nitro).keys, DefaultControls()[std::size_t(ControlAction::Nitro)].keys);
    EXPECT_EQ(Of(r, ControlAction::Horn).keys, std::vector<int>{'J'});
    EXPECT_EQ(r.problems.size(), 1u);
}

// A file of thousands of bad lines says a few lines on every start, not megabytes:
// the first bad lines named, the rest counted; the good line among them still counts.
TEST(ControlsFile, ManyBadLinesAreNamedAFewAndCounted) {
    testing::TempDataRoot root;
    std::string text;
    for (int i = 0; i < 32000; ++i)
        text += "x\n";
    text += "fire = F\n";
    testing::TempDataRoot::Write(root.Save() / "controls", text);
    const ControlsRead r = LoadControls(root.Path(), KnownPadInput);
    EXPECT_EQ(Of(r, ControlAction::Fire).keys, std::vector<int>{'F'});
    ASSERT_EQ(r.problems.size(), kMostControlsProblemsNamed + 1);
    for (size_t i = 0; i < kMostControlsProblemsNamed; ++i)
        EXPECT_EQ(r.problems[i].rfind("line " + std::to_string(i + 1) + " \"x\": no \"=\"", 0), 0u)
            << r.problems[i];
    EXPECT_EQ(r.problems.back(), "and 31995 more bad lines, not named (32000 in all)");
    size_t said = 0;
    for (const std::string& p : r.problems)
        said += p.size();
    EXPECT_LT(said, 1000u);

    // Exactly as many as are named: nothing to count.
    const ControlsRead few = ParseControls("a\nb\nc\nd\ne\n", KnownPadInput);
    EXPECT_EQ(few.problems.size(), kMostControlsProblemsNamed);
    const ControlsRead six = ParseControls("a\nb\nc\nd\ne\nf\n", KnownPadInput);
    EXPECT_EQ(six.problems.back(), "and 1 more bad line, not named (6 in all)");
}

TEST(ControlsFile, KeyNamesGoBothWays) {
    for (int key : {int(vk::Up), int(vk::Esc), int(vk::PageUp), int('A'), int('7'), vk::F1 + 11})
        EXPECT_EQ(KeyFromName(KeyName(key)), key) << KeyName(key);
    EXPECT_EQ(KeyFromName("f13"), 0);
    EXPECT_EQ(KeyFromName(""), 0);
    EXPECT_EQ(KeyFromName("esc"), vk::Esc);
}

} // namespace
} // namespace vorlane
