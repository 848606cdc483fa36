#pragma once
// A whole game for tests: the real TMForm, headless (SDL dummy drivers, software
// renderer), with a manual clock, a scripted keyboard, a recording shell and HTTP
// client, a fixed seed, and a data folder of its own: Data/Res and Data/Music are
// links to the generated data (VORLANE_DATA_DIR, else the source tree's Data/), and
// Data/Save is a fresh empty folder removed with the fixture.
//
//   FormFixture game;                  // start-up ran, main menu open, intro running
//   game.RunFrames(46);                // 46 frames at 85 Hz (the intro is over)
//   game.Press(vk::Down); game.RunFrames(1);
//   EXPECT_EQ(game.Form().Screen.SelectedItem, 2);
//
// Files can be put into Data/Save before the start with Options::BeforeStart.
#include "play/GameFolder.h"
#include "play/Headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vorlane::test {

// Where the generated Data/ lives: $VORLANE_DATA_DIR, else the source tree.
inline std::filesystem::path GeneratedDataRoot() {
    if (const char* dir = std::getenv("VORLANE_DATA_DIR"); dir && *dir) return dir;
#ifdef VORLANE_SOURCE_DIR
    return VORLANE_SOURCE_DIR;
#else
    return ".";
#endif
}

inline bool GeneratedDataPresent() {
    const auto root = GeneratedDataRoot();
    return std::filesystem::exists(root / "Data" / "Res" / "Res1.gfx") &&
           std::filesystem::exists(root / "Data" / "Res" / "Res2.gfx") &&
           std::filesystem::exists(root / "Data" / "Res" / "Sounds.sfx");
}

// The game folder of a test, linked to the generated data of this tree.
class TempGameFolder : public play::TempGameFolder {
  public:
    TempGameFolder() : play::TempGameFolder(GeneratedDataRoot()) {}
};

class FormFixture {
  public:
    struct Options {
        uint32_t Seed = 1;
        int Rate = 85;
        // The score server the game's links and submission go to.
        std::string ServerUrl = online::kDefaultServerUrl;
        // Runs before the game starts, with the game folder (e.g. to write Data/Save/hs).
        std::function<void(const std::filesystem::path& root)> BeforeStart;
        std::optional<bool> FullScreenOverride;
        // The player's saves apart from the data, as an installed game keeps them.
        std::filesystem::path SaveRoot;
    };

    FormFixture() : FormFixture(Options{}) {}
    explicit FormFixture(const Options& options) {
        if (!GeneratedDataPresent())
            throw std::runtime_error("generated game data missing under " + GeneratedDataRoot().string() +
                                     " (build the data target or set VORLANE_DATA_DIR)");
        if (options.BeforeStart) options.BeforeStart(folder_.Root());
        play::HeadlessOptions h;
        h.DataRoot = folder_.Root();
        h.Seed = options.Seed;
        h.Rate = options.Rate;
        h.ServerUrl = options.ServerUrl;
        h.FullScreenOverride = options.FullScreenOverride;
        h.SaveRoot = options.SaveRoot;
        game_ = std::make_unique<play::HeadlessGame>(h);
    }

    TMForm& Form() { return game_->Form(); }
    play::HeadlessGame& Game() { return *game_; }
    const std::filesystem::path& Root() const { return folder_.Root(); }
    std::filesystem::path SaveDir() const { return folder_.SaveDir(); }

    // n frames on the rate's schedule; answers how many the game ran.
    int RunFrames(int n) {
        int ran = 0;
        for (int i = 0; i < n; ++i)
            ran += game_->Step() ? 1 : 0;
        return ran;
    }
    // n frames, each with the move count lagMs.
    int RunFrames(int n, int lagMs) {
        int ran = 0;
        for (int i = 0; i < n; ++i)
            ran += game_->StepWithLag(lagMs) ? 1 : 0;
        return ran;
    }

    // Keys: held until released; Press is down now (the caller runs a frame) and Up later.
    void Down(int vk) { game_->KeyDown(vk); }
    void Up(int vk) { game_->KeyUp(vk); }
    // Down, one frame, up: one edge for the frame keys, one key-press for Enter.
    void Tap(int vk) {
        Down(vk);
        RunFrames(1);
        Up(vk);
    }
    void Type(const std::string& text) { game_->TypeText(text); }
    void MouseMove(int x, int y) { game_->MouseMove(x, y); }
    void Click() { game_->Click(); }
    // Effects played since the last ClearEffects.
    const std::vector<std::string>& Effects() const { return game_->FrameEffects; }
    void ClearEffects() { game_->ClearFrameEffects(); }

  private:
    TempGameFolder folder_;
    std::unique_ptr<play::HeadlessGame> game_;
};

} // namespace vorlane::test
