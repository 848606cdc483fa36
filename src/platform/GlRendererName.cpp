// Software GL drivers by the names they give themselves.
#include "platform/GlRendererName.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace vorlane {

bool IsSoftwareGlRenderer(std::string_view renderer) {
    std::string lower(renderer);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (std::string_view known : {"llvmpipe", "softpipe", "software rasterizer", "swrast", "swr (",
                                   "apple software renderer", "microsoft basic render driver", "gdi generic"})
        if (lower.find(known) != std::string::npos) return true;
    return false;
}

} // namespace vorlane
