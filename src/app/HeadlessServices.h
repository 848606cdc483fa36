#pragma once
// The services of a game that runs where no player sees it (the headless player, the
// tests, the replay check): SDL's dummy drivers, a hidden window drawn in software
// without vsync, a fixed seed, and the caller's clock, keys, shell and HTTP client.
#include "app/TMForm.h"

#include <filesystem>

namespace vorlane {

// Sets SDL's dummy video and audio drivers and the software renderer, unless the
// environment names others already. (Process-wide: the environment.)
void UseHeadlessDrivers();

struct THeadlessParts {
    IClock* Clock = nullptr;
    IKeySource* Keys = nullptr;
    IShell* Shell = nullptr;
    IHttpClient* Http = nullptr;
};

// rate: the refresh rate the game uses instead of asking the display.
TMFormServices HeadlessServices(const std::filesystem::path& dataRoot, uint32_t seed, int rate,
                                const THeadlessParts& parts);

} // namespace vorlane
