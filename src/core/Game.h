#pragma once
// What the screens and the race share: the platform services, the image and sound
// lists, the sprite engine, the input, the options and high scores, the state of the
// screens and the race, and the texts, effects and songs they draw and play.
//
// The menus (src/menus) are free functions and sprites that take the game by reference;
// they read and change its public state directly. The race's rules (src/sim) reach only
// the game's race world (RaceWorld) and tell the game what happened as its IRaceHost.
// What follows from them - the action of an activated item, a dialog, the end of a
// level - is the shell's business (src/app): they ask for it through the few virtual
// calls below, which the shell's form answers.
#include "core/KeyState.h"
#include "core/MenuItems.h"
#include "core/MenuState.h"
#include "core/ScreenState.h"
#include "engine/FrameTimer.h"
#include "engine/Images.h"
#include "engine/Input.h"
#include "engine/Random.h"
#include "engine/Sounds.h"
#include "engine/Sprites.h"
#include "persist/GameOptions.h"
#include "persist/HighScores.h"
#include "persist/OnlineConfig.h"
#include "platform/Platform.h"
#include "sim/FrameStats.h"
#include "sim/GameSprite.h"
#include "sim/RaceEvent.h"
#include "sim/RaceWorld.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vorlane {

struct TRace; // sim/RaceState.h

// What the game is built from. The real game takes the defaults; the headless player
// and the tests inject their clock, keys, shell, HTTP client, seed and data folder.
struct TGameServices {
    // The working folder that holds "Data\..." (the archives, music and saves).
    std::filesystem::path DataRoot = ".";
    // The folder that holds "Data\Save\..." (options, high scores); empty: DataRoot.
    std::filesystem::path SaveRoot;
    // The random seed; when SeedFromClock is set the clock seeds it at start-up.
    uint32_t Seed = 1;
    bool SeedFromClock = true;
    // Window, audio and the injectable clock / keys / shell / HTTP client.
    PlatformOptions Platform;
    // When not 0, the refresh rate the game uses instead of asking the display.
    int ForcedRefreshRate = 0;
    // Full screen (true) or window (false) for this run only: the options file keeps
    // its own choice unless the player switches during the run.
    std::optional<bool> FullScreenOverride;
    // The score server: the web-site and online-table links and the submission
    // (persist/ServerAddress.h resolves it from the command line and environment).
    std::string ServerUrl = online::kDefaultServerUrl;
    // Off while a replay is watched or checked: no race is recorded and the replays in
    // the save folder are left as they are.
    bool RecordRaces = true;
    // Watches the effects from the very start (the start-up plays one already).
    std::function<void(const std::string&)> OnEffect;
};

class TGame : public IRaceHost {
  public:
    explicit TGame(TGameServices services);
    ~TGame() override;
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    // ---- components ----
    std::unique_ptr<Platform> PlatformServices; // display, text, audio, music, events, clock, shell, HTTP
    TImageCollection MenuImages;                // "Data\Res\Res1.gfx"
    TImageCollection RaceImages;                // "Data\Res\Res2.gfx"
    std::unique_ptr<TSoundCollection> Sounds;   // "Data\Res\Sounds.sfx"
    TSpriteEngine SpriteEngine;
    std::unique_ptr<TFrameTimer> FrameTimer;
    std::unique_ptr<TInputDevice> Input;
    TRandom Random;

    IDisplay& Display() { return PlatformServices->Display(); }
    IHttpClient& Http() { return PlatformServices->Http(); }
    // The score server's address ("http://host[:port]").
    const std::string& ServerUrl() const { return services_.ServerUrl; }

    // ---- state ----
    std::filesystem::path DataRoot;
    std::filesystem::path SaveRoot;
    TOptionsFile OptionsFile; // OptionsFile.Options is the options record
    TGameOptions& Options() { return OptionsFile.Options; }
    THighScoreTable HighScores;
    TScreenState Screen;
    TFrameStats Stats;
    TKeyState Keys;
    TMenuState Menu;
    // Present from StartRace to EndRace. Held by a pointer that knows how to delete
    // the race it was given, so that this layer needs no more of the race than its name.
    std::shared_ptr<TRace> Race;
    TSpriteHost SpriteHost; // what every game sprite reads (lists, frame stats)
    // What the race's objects reach: the sprite tree, the lists, the random numbers, the
    // race, and this game as the host that plays the race's effects and answers its turns.
    TRaceWorld RaceWorld;
    // The move count of the frame being run (milliseconds since the previous tick);
    // the screen and dialog updates hand it to MoveAll.
    int LagCount = 1;
    // Where the data folder's pictures, sounds and saves are: DataRoot joined with a
    // name of the game's own ("Data\Music\Menu.xm").
    std::filesystem::path DataPath(const std::string& gameName) const;

    // ---- what the shell decides ----
    // Enter or a click on item `item` of the screen or dialog showing.
    virtual void ActivateItem(int item) = 0;
    // Opens the dialog over the screen (ignored while one is open).
    virtual void RequestDialog(DialogKind dialog) = 0;
    // The race tells what happened; the shell opens the dialog that follows.
    void ReportRace(RaceEvent event) override = 0;
    bool RaceOnScreen() const override { return Screen.ActiveScreen == ScreenKind::Race; }

    // ---- display, text, audio ----
    void ApplyDisplayMode();
    void ShowPointer();
    void HidePointer();
    void UseFont(int style);
    void DrawText(const std::string& text, int x, int y, bool centreX, bool centreY);
    int MeasureText(const std::string& text);
    int MeasureTextHeight(const std::string& text);
    int MeasureTextIn(const std::string& text, int style);
    void PlayEffect(const std::string& name) override;
    void StopEffect(const std::string& name) override;
    void PlayMusic(const std::string& path, bool fromResource);
    void StopMusic();
    void PlayScreenMusic();

    // ---- observation (the headless player's dump; no effect on the game) ----
    // Called with the name of every PlayEffect made while sound is on.
    std::function<void(const std::string&)> OnEffect;
    // Called with every text drawn and its top-left corner once centred (tests).
    std::function<void(const std::string&, int, int)> OnText;
    // The song file playing, empty when none.
    const std::string& MusicFile() const { return musicFile_; }
    // The text style in force (UseFont), its font handle and colour.
    int FontStyle() const { return fontStyle_; }

  protected:
    TGameServices services_;

  private:
    std::string musicFile_;
    int songHandle_ = 0;
    int fontStyle_ = 0;
    int fontHandle_ = 0;
    uint32_t fontColour_ = 0xFFFFFF;
};

} // namespace vorlane
