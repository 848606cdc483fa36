#pragma once
// The per-frame key edges and the two text fields' editing helpers.
#include "core/KeyState.h"
#include "engine/Input.h"

#include <string>

namespace vorlane {

// Sets each edge flag (Up, Down, Left, Right, P, Y, N, Esc, in that order) true when
// its key is down in states and was not down in the previous frame, and remembers
// which keys are down for the next frame. A held key gives exactly one true frame.
void UpdateKeyEdges(TKeyState& keys, TInputStates states);
// The frame's step: polls the keyboard into input's states, then the edges above.
void UpdateKeyEdges(TKeyState& keys, TInputDevice& input);

// The characters a country or player name may hold: digits, A-Z, a-z and the space.
bool IsNameChar(char c);
// Adds c when s is shorter than maxLength.
void AppendChar(std::string& s, char c, int maxLength);
// Takes off the last character; an empty text stays empty.
void DeleteLastChar(std::string& s);

} // namespace vorlane
