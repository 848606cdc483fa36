// Window placement across full screen, the pointer count, the display notifications
// and the SDL events turned into the game's window events.
#include "platform/KeyCodes.h"
#include "platform/SdlDisplay.h"
#include "platform/SdlEventPump.h"
#include "platform/SdlInput.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vorlane {
namespace {

constexpr int kBig = 16; // a scale no desktop of these tests holds

DisplayOptions Hidden() {
    DisplayOptions o;
    o.hidden = true;
    o.software = true;
    return o;
}

TEST(DisplayTest, FullScreenRemembersThePlacementOnceAndTheWindowStartsCentred) {
    SdlDisplay display(Hidden());
    EXPECT_FALSE(display.IsFullScreen());
    EXPECT_GE(display.RefreshRate(), 2) << "0 and 1 count as 60";

    // Never placed: it was centred, and stays so after a spell of full screen.
    int cx = 0, cy = 0;
    display.WindowPosition(cx, cy);
    display.EnterFullScreen();
    EXPECT_TRUE(display.IsFullScreen());
    display.EnterWindow();
    EXPECT_FALSE(display.IsFullScreen());
    int x = 0, y = 0;
    display.WindowPosition(x, y);
    EXPECT_EQ(x, cx);
    EXPECT_EQ(y, cy);

    // Moved by the player, then full screen twice in a row, then back: the place from
    // before full screen, not the full-screen one.
    display.MoveWindow(50, 60);
    display.EnterFullScreen();
    display.EnterFullScreen();
    display.MoveWindow(5, 5); // whatever the system does to the window meanwhile
    display.EnterWindow();
    display.WindowPosition(x, y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);

    // Restored once and forgotten: a second EnterWindow leaves the window where it is.
    display.MoveWindow(70, 80);
    display.EnterWindow();
    display.WindowPosition(x, y);
    EXPECT_EQ(x, 70);
    EXPECT_EQ(y, 80);
}

// The window as the system shows it: the software renderer's window surface.
struct WindowPicture {
    SDL_Surface* surface;
    explicit WindowPicture(const SdlDisplay& display)
        : surface(SDL_GetWindowSurface(SDL_GetWindowFromID(display.WindowId()))) {}
    uint32_t At(int x, int y) const {
        Uint8 r = 0, g = 0, b = 0;
        const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        SDL_GetRGB(*reinterpret_cast<const Uint32*>(row + x * 4), surface->format, &r, &g, &b);
        return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
    }
};

// A window of the given size (the headless desktop is too small to open one that large).
void ResizeWindow(SdlDisplay& display, int width, int height) {
    SDL_SetWindowSize(SDL_GetWindowFromID(display.WindowId()), width, height);
}

TEST(DisplayTest, AScaledWindowShowsTheFrameInWholePixelBlocksAndReadsBackTheFrame) {
    SdlDisplay display(Hidden());
    ResizeWindow(display, 1600, 1200);
    int w = 0, h = 0;
    display.WindowSize(w, h);
    EXPECT_EQ(w, 1600);
    EXPECT_EQ(h, 1200);
    EXPECT_EQ(display.FrameRect(), (PixelRect{0, 0, 1600, 1200}));

    auto white = display.Surface().CreateTexture(RgbaImage(1, 1, 0xFFFFFFFF));
    display.Clear();
    display.Surface().Draw(*white, Rect{0, 0, 1, 1}, 5, 7);
    display.Flip();
    // The frame itself, pixel for pixel, whatever the window's size.
    const RgbaImage frame = display.ReadPixels();
    ASSERT_EQ(frame.width, 800);
    ASSERT_EQ(frame.height, 600);
    EXPECT_EQ(frame.At(5, 7), 0xFFFFFFFFu);
    EXPECT_EQ(frame.At(6, 7), 0xFF000000u);
    // The window: the pixel as a 2 x 2 block, nothing bleeding beside it.
    const WindowPicture window(display);
    ASSERT_NE(window.surface, nullptr);
    ASSERT_EQ(window.surface->w, 1600);
    for (int y = 13; y <= 16; ++y)
        for (int x = 9; x <= 12; ++x) {
            const bool inBlock = (x == 10 || x == 11) && (y == 14 || y == 15);
            EXPECT_EQ(window.At(x, y), inBlock ? 0xFFFFFFu : 0u) << x << "," << y;
        }
}

TEST(DisplayTest, SmoothScalingFiltersTheFrameAcrossTheWindow) {
    DisplayOptions o = Hidden();
    o.scaling = FrameScaling::Smooth;
    SdlDisplay display(o);
    ResizeWindow(display, 1600, 1200);
    auto white = display.Surface().CreateTexture(RgbaImage(1, 1, 0xFFFFFFFF));
    display.Clear();
    display.Surface().Draw(*white, Rect{0, 0, 1, 1}, 5, 7);
    display.Flip();
    EXPECT_EQ(display.ReadPixels().At(6, 7), 0xFF000000u) << "the frame itself stays sharp";
    const WindowPicture window(display);
    ASSERT_NE(window.surface, nullptr);
    // Filtering spreads the white pixel: the block is not pure white and its
    // neighbours are not pure black.
    EXPECT_NE(window.At(10, 14), 0xFFFFFFu);
    EXPECT_NE(window.At(9, 14), 0u);
    EXPECT_NE(window.At(12, 14), 0u);
}

TEST(DisplayTest, CrispScalingBetweenWholeStepsKeepsAPixelSharpEdged) {
    SdlDisplay display(Hidden());
    ResizeWindow(display, 1200, 900); // the window on a 1080p desktop: 1.5x
    EXPECT_EQ(display.FrameRect(), (PixelRect{0, 0, 1200, 900}));
    auto white = display.Surface().CreateTexture(RgbaImage(1, 1, 0xFFFFFFFF));
    display.Clear();
    display.Surface().Draw(*white, Rect{0, 0, 1, 1}, 5, 7);
    display.Flip();
    const WindowPicture window(display);
    ASSERT_NE(window.surface, nullptr);
    ASSERT_EQ(window.surface->w, 1200);
    // The pixel covers window columns 7.5 to 9 and rows 10.5 to 12. Some of it shows
    // pure white (filtering the frame itself would mix every window pixel of it with
    // black), and nothing spreads further than the window pixels it touches.
    int pureWhite = 0;
    for (int y = 6; y <= 16; ++y)
        for (int x = 3; x <= 13; ++x) {
            const uint32_t p = window.At(x, y);
            if (p == 0xFFFFFFu) ++pureWhite;
            const bool touched = x >= 7 && x <= 9 && y >= 10 && y <= 12;
            if (!touched) {
                EXPECT_EQ(p, 0u) << x << "," << y;
            }
        }
    EXPECT_GE(pureWhite, 1);
}

TEST(DisplayTest, AScaleTooLargeForTheDesktopIsLoweredWithAWord) {
    SDL_Rect usable{};
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    const int fits = FittingScale(kBig, usable.w, usable.h, 800, 600);
    ASSERT_LT(fits, kBig) << "the test desktop is " << usable.w << "x" << usable.h;
    DisplayOptions o = Hidden();
    o.scale = kBig;
    testing::internal::CaptureStderr();
    int w = 0, h = 0;
    {
        SdlDisplay display(o);
        display.WindowSize(w, h);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(w, fits * 800);
    EXPECT_EQ(h, fits * 600);
    EXPECT_NE(said.find("--scale " + std::to_string(kBig) + " ("), std::string::npos) << said;
    EXPECT_NE(said.find("opens at --scale " + std::to_string(fits)), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    // One that fits opens as asked, without a word.
    o.scale = 1;
    testing::internal::CaptureStderr();
    {
        SdlDisplay display(o);
        display.WindowSize(w, h);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(w, 800);
}

TEST(DisplayTest, PointerCountNeverPilesUp) {
    SdlDisplay display(Hidden());
    EXPECT_EQ(display.PointerCount(), 0);
    EXPECT_TRUE(display.PointerVisible());
    display.HidePointer();
    display.HidePointer();
    EXPECT_EQ(display.PointerCount(), -1);
    EXPECT_FALSE(display.PointerVisible());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    display.ShowPointer(); // one show undoes any number of hides
    EXPECT_EQ(display.PointerCount(), 1);
    EXPECT_TRUE(display.PointerVisible());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    display.ShowPointer();
    EXPECT_EQ(display.PointerCount(), 1);
    display.HidePointer();
    EXPECT_EQ(display.PointerCount(), -1);
}

struct RecordingListener : IDisplayListener {
    std::vector<std::string> calls;
    IDrawSurface* surface = nullptr;
    void Initialised(IDrawSurface& s) override {
        calls.push_back("initialised");
        surface = &s;
    }
    void Finalised() override { calls.push_back("finalised"); }
    void Restored(IDrawSurface& s) override {
        calls.push_back("restored");
        surface = &s;
    }
};

TEST(DisplayTest, ResetsReachTheListenersThroughTheEventPump) {
    RecordingListener listener, removed;
    {
        SdlDisplay display(Hidden());
        SdlEventPump pump(display);
        display.AddListener(listener);
        display.AddListener(listener); // once only
        display.AddListener(removed);
        display.RemoveListener(removed);
        EXPECT_TRUE(listener.calls.empty()) << "adding a listener calls nothing";

        SDL_Event e{};
        e.type = SDL_RENDER_TARGETS_RESET;
        SDL_PushEvent(&e);
        e.type = SDL_RENDER_DEVICE_RESET;
        SDL_PushEvent(&e);
        InputEvent ev;
        while (pump.Poll(ev)) {
        }
        EXPECT_EQ(listener.calls, (std::vector<std::string>{"restored", "finalised", "initialised"}));
        EXPECT_EQ(listener.surface, &display.Surface());
        EXPECT_TRUE(display.CanDraw());
        // The surface made again after the reset makes working textures.
        auto t = display.Surface().CreateTexture(RgbaImage(2, 2, 0xFFFFFFFF));
        display.Clear();
        display.Surface().Draw(*t, Rect{0, 0, 2, 2}, 5, 5);
        EXPECT_EQ(display.ReadPixels().At(5, 5), 0xFFFFFFFFu);
        listener.calls.clear();
    }
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"finalised"})) << "closing the display finalises";
    EXPECT_TRUE(removed.calls.empty());
}

class EventPumpTest : public ::testing::Test {
  protected:
    EventPumpTest() : display(Hidden()), pump(display) {
        InputEvent ignored;
        while (pump.Poll(ignored)) {
        }
    }
    void PushKey(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE, bool repeat = false) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = display.WindowId();
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    void PushText(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = display.WindowId();
        SDL_strlcpy(e.text.text, utf8, sizeof(e.text.text));
        SDL_PushEvent(&e);
    }
    void PushButton(Uint32 type, int x, int y, Uint8 clicks = 1, Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = display.WindowId();
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = clicks;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void PushMotion(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = display.WindowId();
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    void PushWindow(Uint8 what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = display.WindowId();
        e.window.event = what;
        SDL_PushEvent(&e);
    }
    std::vector<InputEvent> Drain() {
        std::vector<InputEvent> out;
        InputEvent e;
        while (pump.Poll(e))
            out.push_back(e);
        return out;
    }

    SdlDisplay display;
    SdlEventPump pump;
};

TEST_F(EventPumpTest, KeysGiveVirtualKeyCodesAndWindowsKeyPresses) {
    PushKey(SDL_KEYDOWN, SDLK_RETURN);
    PushKey(SDL_KEYUP, SDLK_RETURN);
    PushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT); // Alt+Enter: no key press
    PushKey(SDL_KEYDOWN, SDLK_BACKSPACE, KMOD_NONE, true);
    PushKey(SDL_KEYDOWN, SDLK_LSHIFT, KMOD_LSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_z);
    PushKey(SDL_KEYDOWN, SDLK_PRINTSCREEN); // no code in the game: left out
    auto events = Drain();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].kind, EventKind::KeyDown);
    EXPECT_EQ(events[0].key, vk::Enter);
    EXPECT_FALSE(events[0].alt);
    EXPECT_EQ(events[1].kind, EventKind::Char);
    EXPECT_EQ(events[1].ch, '\r');
    EXPECT_EQ(events[2].kind, EventKind::KeyUp);
    EXPECT_EQ(events[2].key, vk::Enter);
    EXPECT_EQ(events[3].kind, EventKind::KeyDown);
    EXPECT_TRUE(events[3].alt);
    EXPECT_EQ(events[4].key, vk::Backspace);
    EXPECT_TRUE(events[4].repeat);
    EXPECT_EQ(events[5].kind, EventKind::Char);
    EXPECT_EQ(events[5].ch, '\b');
    EXPECT_EQ(events[6].key, vk::Shift);
    EXPECT_TRUE(events[6].shift);
    EXPECT_EQ(events[7].key, 'Z');
}

TEST_F(EventPumpTest, TypedTextArrivesAsLatin1Characters) {
    PushText("aZ9 ");
    PushText("\xC3\xA9");     // e acute, in Latin-1
    PushText("\xE2\x82\xAC"); // the euro sign is not
    std::string typed;
    for (const InputEvent& e : Drain()) {
        EXPECT_EQ(e.kind, EventKind::Char);
        typed += e.ch;
    }
    EXPECT_EQ(typed, std::string("aZ9 \xE9"));
}

TEST_F(EventPumpTest, MouseClicksAndDoubleClicksInDrawingAreaPixels) {
    PushMotion(120, 340);
    PushMotion(900, 100); // outside the drawing area (a letterbox bar)
    PushButton(SDL_MOUSEBUTTONDOWN, 120, 340, 1);
    PushButton(SDL_MOUSEBUTTONUP, 120, 340, 1);
    PushButton(SDL_MOUSEBUTTONDOWN, 120, 340, 2);
    PushButton(SDL_MOUSEBUTTONUP, 120, 340, 2);
    PushButton(SDL_MOUSEBUTTONDOWN, 10, 10, 1, SDL_BUTTON_RIGHT);
    PushButton(SDL_MOUSEBUTTONUP, 900, 10, 1, SDL_BUTTON_RIGHT); // released outside: no click
    std::vector<EventKind> kinds;
    for (const InputEvent& e : Drain())
        kinds.push_back(e.kind);
    EXPECT_EQ(kinds, (std::vector<EventKind>{EventKind::MouseMove, EventKind::MouseDown, EventKind::MouseUp,
                                             EventKind::Click, EventKind::MouseDown, EventKind::DoubleClick,
                                             EventKind::MouseUp, EventKind::MouseDown}));
    PushButton(SDL_MOUSEBUTTONDOWN, 799, 599, 1, SDL_BUTTON_RIGHT);
    PushButton(SDL_MOUSEBUTTONUP, 799, 599, 1, SDL_BUTTON_RIGHT);
    auto events = Drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].kind, EventKind::Click) << "any button clicks";
    EXPECT_EQ(events[2].x, 799);
    EXPECT_EQ(events[2].y, 599);
    EXPECT_EQ(events[2].button, SDL_BUTTON_RIGHT);
}

TEST_F(EventPumpTest, MouseEventsInAScaledWindowArriveInFramePixels) {
    // A window of 1800 x 1200 shows the frame at 2x from (100, 0), with bars beside it.
    SDL_SetWindowSize(SDL_GetWindowFromID(display.WindowId()), 1800, 1200);
    Drain();
    EXPECT_EQ(display.FrameRect(), (PixelRect{100, 0, 1600, 1200}));
    PushMotion(100 + 2 * 400 + 1, 2 * 543 + 1);
    PushMotion(50, 600);   // the bar on the left
    PushMotion(1750, 600); // the bar on the right
    PushButton(SDL_MOUSEBUTTONDOWN, 100, 0, 1);
    PushButton(SDL_MOUSEBUTTONUP, 1699, 1199, 1);
    auto events = Drain();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].kind, EventKind::MouseMove);
    EXPECT_EQ(events[0].x, 400);
    EXPECT_EQ(events[0].y, 543);
    EXPECT_EQ(events[1].kind, EventKind::MouseDown);
    EXPECT_EQ(events[1].x, 0);
    EXPECT_EQ(events[1].y, 0);
    EXPECT_EQ(events[2].kind, EventKind::MouseUp);
    EXPECT_EQ(events[3].kind, EventKind::Click);
    EXPECT_EQ(events[3].x, 799);
    EXPECT_EQ(events[3].y, 599);
    // Pressed on the frame, released on a bar: no click.
    PushButton(SDL_MOUSEBUTTONDOWN, 1000, 600, 1);
    PushButton(SDL_MOUSEBUTTONUP, 1750, 600, 1);
    events = Drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, EventKind::MouseDown);
}

TEST_F(EventPumpTest, CloseRequestAndFocus) {
    PushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushWindow(SDL_WINDOWEVENT_CLOSE);
    PushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
    std::vector<EventKind> kinds;
    for (const InputEvent& e : Drain())
        kinds.push_back(e.kind);
    EXPECT_EQ(kinds,
              (std::vector<EventKind>{EventKind::Activate, EventKind::CloseRequest, EventKind::Deactivate}));
}

TEST(KeyCodesTest, SdlKeysMapToVirtualKeyCodes) {
    const std::pair<SDL_Keycode, int> table[] = {
        {SDLK_LEFT, 37},     {SDLK_UP, 38},       {SDLK_RIGHT, 39}, {SDLK_DOWN, 40},   {SDLK_RETURN, 13},
        {SDLK_KP_ENTER, 13}, {SDLK_ESCAPE, 27},   {SDLK_SPACE, 32}, {SDLK_RSHIFT, 16}, {SDLK_LCTRL, 17},
        {SDLK_RALT, 18},     {SDLK_BACKSPACE, 8}, {SDLK_a, 'A'},    {SDLK_h, 72},      {SDLK_z, 90},
        {SDLK_0, 48},        {SDLK_9, 57},        {SDLK_KP_0, 96},  {SDLK_KP_9, 105},  {SDLK_F1, 112},
        {SDLK_F12, 123},     {SDLK_COMMA, 0},
    };
    for (auto [sdl, code] : table)
        EXPECT_EQ(VirtualKeyFromSdlKey(sdl), code) << SDL_GetKeyName(sdl);
}

TEST(KeySourceTest, NothingHeldAndNoFocusInAHiddenWindow) {
    SdlDisplay display(Hidden());
    SdlKeySource keys(display);
    uint8_t snapshot[256];
    std::fill(std::begin(snapshot), std::end(snapshot), uint8_t(0xFF));
    keys.Snapshot(snapshot);
    for (uint8_t b : snapshot)
        ASSERT_EQ(b, 0);
    EXPECT_FALSE(keys.IsForeground());
    SdlClock clock;
    const uint32_t a = clock.Milliseconds();
    SDL_Delay(20);
    EXPECT_GE(clock.Milliseconds() - a, 15u);
}

} // namespace
} // namespace vorlane
