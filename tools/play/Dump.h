#pragma once
// The headless player's view of the game after a frame: one JSON object on one line.
#include <string>
#include <vector>

namespace vorlane {
class TMForm;
}

namespace vorlane::play {

// The state after frame `frame`, with the effects played since the previous dumped
// frame (during this one when every frame is dumped), in order.
std::string DumpFrame(TMForm& form, int frame, const std::vector<std::string>& effects);

} // namespace vorlane::play
