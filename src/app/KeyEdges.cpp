#include "app/KeyEdges.h"

namespace vorlane {

namespace {

void Edge(bool& pressed, bool& wasDown, bool downNow) {
    pressed = downNow && !wasDown;
    wasDown = downNow;
}

} // namespace

void UpdateKeyEdges(TKeyState& keys, TInputStates states) {
    const auto down = [states](TInputState s) { return (states & StateBit(s)) != 0; };
    Edge(keys.UpPressed, keys.UpWasDown, down(isUp));
    Edge(keys.DownPressed, keys.DownWasDown, down(isDown));
    Edge(keys.LeftPressed, keys.LeftWasDown, down(isLeft));
    Edge(keys.RightPressed, keys.RightWasDown, down(isRight));
    Edge(keys.PausePressed, keys.PauseWasDown, down(isButton6)); // P
    Edge(keys.YesPressed, keys.YesWasDown, down(isButton7));     // Y
    Edge(keys.NoPressed, keys.NoWasDown, down(isButton8));       // N
    Edge(keys.EscPressed, keys.EscWasDown, down(isButton9));     // Esc
}

void UpdateKeyEdges(TKeyState& keys, TInputDevice& input) {
    input.PollInput();
    UpdateKeyEdges(keys, input.States);
}

bool IsNameChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ';
}

void AppendChar(std::string& s, char c, int maxLength) {
    if (int(s.size()) < maxLength) s += c;
}

void DeleteLastChar(std::string& s) {
    if (!s.empty()) s.pop_back();
}

} // namespace vorlane
