// Turning SDL's events into the game's window events, the way a Windows window
// delivers them: key-down and key-up with virtual-key codes, key presses as
// characters, clicks on release and double clicks on the second press.
#include "platform/SdlEventPump.h"

#include "platform/GamePads.h"
#include "platform/KeyCodes.h"
#include "platform/SdlDisplay.h"

#include <SDL.h>

namespace vorlane {

int VirtualKeyFromSdlKey(int32_t sdlKey) {
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) return 'A' + (sdlKey - SDLK_a);
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) return '0' + (sdlKey - SDLK_0);
    if (sdlKey >= SDLK_KP_1 && sdlKey <= SDLK_KP_9) return vk::Numpad0 + 1 + (sdlKey - SDLK_KP_1);
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) return vk::F1 + (sdlKey - SDLK_F1);
    switch (sdlKey) {
    case SDLK_KP_0:
        return vk::Numpad0;
    case SDLK_BACKSPACE:
        return vk::Backspace;
    case SDLK_TAB:
        return vk::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return vk::Enter;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return vk::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return vk::Ctrl;
    case SDLK_LALT:
    case SDLK_RALT:
        return vk::Alt;
    case SDLK_PAUSE:
        return vk::Pause;
    case SDLK_CAPSLOCK:
        return vk::CapsLock;
    case SDLK_ESCAPE:
        return vk::Esc;
    case SDLK_SPACE:
        return vk::Space;
    case SDLK_PAGEUP:
        return vk::PageUp;
    case SDLK_PAGEDOWN:
        return vk::PageDown;
    case SDLK_END:
        return vk::End;
    case SDLK_HOME:
        return vk::Home;
    case SDLK_LEFT:
        return vk::Left;
    case SDLK_UP:
        return vk::Up;
    case SDLK_RIGHT:
        return vk::Right;
    case SDLK_DOWN:
        return vk::Down;
    case SDLK_INSERT:
        return vk::Insert;
    case SDLK_DELETE:
        return vk::Delete;
    default:
        return 0;
    }
}

namespace {

// The characters a Windows key press gives for keys that type no text: Backspace,
// Tab, Enter and Esc (with Ctrl, Backspace gives DEL and Enter gives LF). Alt turns
// them into system characters, which are not key presses.
int ControlChar(int key, bool alt, bool ctrl) {
    if (alt) return 0;
    switch (key) {
    case vk::Backspace:
        return ctrl ? 127 : 8;
    case vk::Tab:
        return ctrl ? 0 : 9;
    case vk::Enter:
        return ctrl ? 10 : 13;
    case vk::Esc:
        return 27;
    default:
        return 0;
    }
}

// UTF-8 text as Latin-1 characters; characters outside Latin-1 and control
// characters are dropped.
template <class Out> void Latin1Chars(const char* text, Out out) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        uint32_t cp;
        int extra;
        if (*s < 0x80) {
            cp = *s;
            extra = 0;
        } else if ((*s & 0xE0) == 0xC0) {
            cp = *s & 0x1F;
            extra = 1;
        } else if ((*s & 0xF0) == 0xE0) {
            cp = *s & 0x0F;
            extra = 2;
        } else if ((*s & 0xF8) == 0xF0) {
            cp = *s & 0x07;
            extra = 3;
        } else {
            ++s; // a stray continuation byte
            continue;
        }
        ++s;
        bool ok = true;
        for (int i = 0; i < extra; ++i, ++s) {
            if ((*s & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (*s & 0x3F);
        }
        if (ok && cp >= 0x20 && cp != 0x7F && cp <= 0xFF) out(char(uint8_t(cp)));
    }
}

} // namespace

bool SdlEventPump::Poll(InputEvent& event) {
    SDL_Event e;
    while (pending_.empty() && SDL_PollEvent(&e)) {
        const uint32_t window = display_.WindowId();
        switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (e.key.windowID != window) break;
            InputEvent k;
            k.kind = e.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
            k.key = VirtualKeyFromSdlKey(e.key.keysym.sym);
            k.alt = (e.key.keysym.mod & KMOD_ALT) != 0;
            k.shift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
            k.ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
            k.repeat = e.key.repeat != 0;
            if (k.key == 0) break;
            pending_.push_back(k);
            if (k.kind == EventKind::KeyDown) {
                if (int c = ControlChar(k.key, k.alt, k.ctrl)) {
                    InputEvent ch = k;
                    ch.kind = EventKind::Char;
                    ch.ch = char(c);
                    pending_.push_back(ch);
                }
            }
            break;
        }
        case SDL_TEXTINPUT: {
            if (e.text.windowID != window) break;
            const SDL_Keymod mod = SDL_GetModState();
            if (mod & KMOD_ALT) break; // Alt+letter is a menu shortcut, not typing
            Latin1Chars(e.text.text, [&](char c) {
                InputEvent ch;
                ch.kind = EventKind::Char;
                ch.ch = c;
                ch.shift = (mod & KMOD_SHIFT) != 0;
                ch.ctrl = (mod & KMOD_CTRL) != 0;
                pending_.push_back(ch);
            });
            break;
        }
        case SDL_MOUSEMOTION: {
            // Window points become frame pixels; the bars around the frame are outside.
            if (e.motion.windowID != window) break;
            const auto at = display_.WindowToFrame(e.motion.x, e.motion.y);
            if (!at) break;
            InputEvent m;
            m.kind = EventKind::MouseMove;
            m.x = at->x;
            m.y = at->y;
            pending_.push_back(m);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (e.button.windowID != window) break;
            const auto at = display_.WindowToFrame(e.button.x, e.button.y);
            const bool inside = at.has_value();
            InputEvent m;
            m.x = inside ? at->x : 0;
            m.y = inside ? at->y : 0;
            m.button = e.button.button;
            if (e.type == SDL_MOUSEBUTTONDOWN) {
                if (!inside) break;
                m.kind = EventKind::MouseDown;
                pending_.push_back(m);
                if (e.button.clicks >= 2 && e.button.clicks % 2 == 0) {
                    // The second press of a double click: no click on its release.
                    m.kind = EventKind::DoubleClick;
                    pending_.push_back(m);
                    clickArmed_ = false;
                } else {
                    clickArmed_ = true;
                }
            } else {
                const bool click = clickArmed_ && inside;
                clickArmed_ = false;
                if (!inside) break;
                m.kind = EventKind::MouseUp;
                pending_.push_back(m);
                if (click) {
                    m.kind = EventKind::Click;
                    pending_.push_back(m);
                }
            }
            break;
        }
        case SDL_WINDOWEVENT: {
            if (e.window.windowID != window) break;
            InputEvent w;
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                w.kind = EventKind::CloseRequest;
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                w.kind = EventKind::Activate;
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                w.kind = EventKind::Deactivate;
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                // The game may stand still (in the background): the window still shows
                // its last frame at the new size.
                display_.ShowFrameAgain();
                break;
            } else {
                break;
            }
            pending_.push_back(w);
            break;
        }
        case SDL_CONTROLLERDEVICEADDED:
            if (pads_) pads_->DeviceAdded(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED: {
            if (!pads_ || !pads_->DeviceRemoved(e.cdevice.which)) break;
            InputEvent lost;
            lost.kind = EventKind::PadLost;
            pending_.push_back(lost);
            break;
        }
        case SDL_RENDER_TARGETS_RESET:
            display_.HandleTargetsReset();
            break;
        case SDL_RENDER_DEVICE_RESET:
            display_.HandleDeviceReset();
            break;
        default:
            break; // SDL_QUIT follows the window's close and is not a second request
        }
    }
    if (pending_.empty()) return false;
    event = pending_.front();
    pending_.pop_front();
    return true;
}

} // namespace vorlane
