#pragma once
// The main form: the one object that lives for the whole run and owns everything the
// game is made of - the platform services, the image and sound lists, the sprite
// engine, the frame timer, the input, the options and high scores, and the state of
// the screens, dialogs and the race. A test or the headless player builds a fresh
// TMForm with its own clock, keys, data folder and seed.
//
// The menus (src/menus) and the race (src/race) are free functions and sprites that
// take the form by reference; they read and change its public state directly, as the
// screens of the game always have.
#include "app/FrameStats.h"
#include "app/KeyState.h"
#include "app/ScreenState.h"
#include "engine/FrameTimer.h"
#include "engine/Images.h"
#include "engine/Input.h"
#include "engine/Random.h"
#include "engine/Sounds.h"
#include "engine/Sprites.h"
#include "menus/DialogState.h"
#include "menus/MenuState.h"
#include "persist/GameOptions.h"
#include "persist/HighScores.h"
#include "platform/Platform.h"
#include "race/MyImageSprite.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

struct TRace; // race/RaceState.h

// What the form is built from. The real game takes the defaults; the headless player
// and the tests inject their clock, keys, shell, HTTP client, seed and data folder.
struct TMFormServices {
    // The working folder that holds "Data\..." (the archives, music and saves).
    std::filesystem::path DataRoot = ".";
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
    // Watches the effects from the very start (the start-up plays one already).
    std::function<void(const std::string&)> OnEffect;
};

class TMForm {
public:
    // FormCreate runs inside: everything is loaded and the main menu is open when the
    // constructor returns. Throws EngineError naming the file when data is missing or bad.
    explicit TMForm(TMFormServices services = {});
    ~TMForm();
    TMForm(const TMForm&) = delete;
    TMForm& operator=(const TMForm&) = delete;

    // ---- components ----
    std::unique_ptr<Platform> MPlatform; // display, text, audio, music, events, clock, shell, HTTP
    TImageCollection MImageList1;        // "Data\Res\Res1.gfx": the menus
    TImageCollection MImageList2;        // "Data\Res\Res2.gfx": the race
    std::unique_ptr<TSoundCollection> MSoundList; // "Data\Res\Sounds.sfx"
    TSpriteEngine MSpriteEngine;
    std::unique_ptr<TFrameTimer> MTimer;
    std::unique_ptr<TInputDevice> MInput;
    TRandom Random;

    IDisplay& MDisplay() { return MPlatform->Display(); }
    IHttpClient& MHttp() { return MPlatform->Http(); }

    // ---- state ----
    std::filesystem::path DataRoot;
    TOptionsFile OptionsFile;            // OptionsFile.Options is the options record
    TGameOptions& Options() { return OptionsFile.Options; }
    THighScoreTable HighScores;
    TScreenState Screen;
    TFrameStats Stats;
    TKeyState Keys;
    TMenuState Menu;
    TDialogState Dialog;
    std::unique_ptr<TRace> Race;         // present from StartRace to EndRace
    TSpriteHost SpriteHost;              // what every game sprite reads (lists, frame stats)
    bool Terminated = false;             // ShutDown ran: the message loop ends
    // The move count of the frame being run (milliseconds since the previous tick);
    // the screen and dialog updates hand it to MoveAll.
    int LagCount = 1;
    // Where the data folder's pictures, sounds and saves are: DataRoot joined with a
    // name of the game's own ("Data\Music\Menu.xm").
    std::filesystem::path DataPath(const std::string& gameName) const;

    // ---- start-up, frame, shut-down ----
    void FormCreate();
    // One frame: the move count is the milliseconds since the previous tick.
    void MTimerTimer(int lagCount);
    void ShutDown();
    // The window's close request: never closes directly, asks instead.
    bool FormCloseQuery();

    // ---- input events ----
    // alt: the Alt key was held (Alt+Enter switches the screen mode).
    void FormKeyDown(int key, bool alt = false);
    void FormKeyUp(int key);
    void FormKeyPress(char ch);
    void MDisplayMouseMove(int x, int y);
    void MDisplayClick();
    void UpdateKeyEdges();
    // Hands one platform event to the handlers above (and the timer's activation).
    void HandleEvent(const InputEvent& event);

    // ---- screen and dialog dispatch ----
    void ActivateSelection();
    void ActivateItem(int item);
    // keep: moving over empty space keeps the selection (the mouse handler's way).
    void HitTestItems(bool keep = true);
    void UpdateHighlight();
    void KillButtons();

    // ---- display, text, audio ----
    void ApplyDisplayMode();
    void ShowPointer();
    void HidePointer();
    void UseFont(int style);
    void DrawText(const std::string& text, int x, int y, bool centreX, bool centreY);
    int MeasureText(const std::string& text);
    int MeasureTextHeight(const std::string& text);
    int MeasureTextIn(const std::string& text, int style);
    void PlayEffect(const std::string& name);
    void StopEffect(const std::string& name);
    void PlayMusic(const std::string& path, bool fromResource);
    void StopMusic();
    void PlayScreenMusic();

    // ---- observation (the headless player's dump; no effect on the game) ----
    // Called with the name of every PlayEffect made while sound is on.
    std::function<void(const std::string&)> OnEffect;
    // Called when a frame is drawn completely, just before it is flipped (screenshots).
    std::function<void()> OnFrameDrawn;
    // The song file playing, empty when none.
    const std::string& MusicFile() const { return musicFile_; }

    // The text style in force (UseFont), its font handle and colour.
    int FontStyle() const { return fontStyle_; }

private:
    void BindDisplay();
    void UnbindDisplay();

    TMFormServices services_;
    bool fileFullScreen_ = false; // the options file's mode under a FullScreenOverride
    std::unique_ptr<IDisplayListener> displayListener_;
    std::string musicFile_;
    int songHandle_ = 0;
    int fontStyle_ = 0;
    int fontHandle_ = 0;
    uint32_t fontColour_ = 0xFFFFFF;
};

} // namespace vorlane
