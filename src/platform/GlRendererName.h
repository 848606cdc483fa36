#pragma once
// What a GL driver's renderer string (glGetString(GL_RENDERER)) says about where it
// draws: some drivers rasterise on the processor, where SDL's own software renderer
// does the game's frames for about half the work.
#include <string_view>

namespace vorlane {

// True for the drivers known to draw on the processor: Mesa's llvmpipe and softpipe,
// its old "Software Rasterizer" (swrast), OpenSWR, and the system fallbacks of other
// platforms. Case does not matter.
bool IsSoftwareGlRenderer(std::string_view renderer);

} // namespace vorlane
