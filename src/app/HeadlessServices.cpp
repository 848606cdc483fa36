#include "app/HeadlessServices.h"

#include <cstdlib>

namespace vorlane {

void UseHeadlessDrivers() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
}

TMFormServices HeadlessServices(const std::filesystem::path& dataRoot, uint32_t seed, int rate,
                                const THeadlessParts& parts) {
    TMFormServices services;
    services.DataRoot = dataRoot;
    services.Seed = seed;
    services.SeedFromClock = false;
    services.ForcedRefreshRate = rate;
    services.Platform.display.hidden = true;
    services.Platform.display.software = true;
    services.Platform.display.vsync = false;
    services.Platform.clock = parts.Clock;
    services.Platform.keys = parts.Keys;
    services.Platform.shell = parts.Shell;
    services.Platform.http = parts.Http;
    services.Platform.realPads = false; // no pad plugged into the machine takes part
    return services;
}

} // namespace vorlane
