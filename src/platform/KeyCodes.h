#pragma once
// Windows virtual-key codes: the game's key table and key events use them on every
// platform. Letters are their capital ASCII code, digits their ASCII code.
namespace vorlane::vk {

constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Enter = 13;
constexpr int Shift = 16;
constexpr int Ctrl = 17;
constexpr int Alt = 18;
constexpr int Pause = 19;
constexpr int CapsLock = 20;
constexpr int Esc = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Numpad0 = 96; // ... Numpad9 = 105
constexpr int F1 = 112;     // ... F12 = 123
constexpr int LeftShift = 160;
constexpr int RightShift = 161;
constexpr int LeftCtrl = 162;
constexpr int RightCtrl = 163;
constexpr int LeftAlt = 164;
constexpr int RightAlt = 165;

constexpr int Letter(char c) {
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

} // namespace vorlane::vk
