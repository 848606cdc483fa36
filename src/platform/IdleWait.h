#pragma once
// Lets the system have the processor while the game has nothing to do (its window is
// in the background and the frame timer stands still).
#include <cstdint>

namespace vorlane {

// Returns when a window event arrives or after at most `milliseconds`.
void WaitForEventOrTimeout(uint32_t milliseconds);

} // namespace vorlane
