// Building the game's components from its services.
#include "core/Game.h"

#include "persist/GamePaths.h"

namespace vorlane {

TGame::TGame(TGameServices services)
    : PlatformServices(std::make_unique<Platform>(services.Platform)),
      Sounds(std::make_unique<TSoundCollection>(&PlatformServices->Audio())),
      FrameTimer(std::make_unique<TFrameTimer>(PlatformServices->Clock())),
      Input(std::make_unique<TInputDevice>(PlatformServices->Keys())), Random(services.Seed),
      DataRoot(services.DataRoot),
      SaveRoot(services.SaveRoot.empty() ? services.DataRoot : services.SaveRoot),
      OptionsFile(SaveRoot), SpriteHost{MenuImages, RaceImages, Stats},
      RaceWorld(SpriteEngine, SpriteHost, Random, Race, *this), OnEffect(services.OnEffect),
      services_(std::move(services)) {}

TGame::~TGame() = default;

std::filesystem::path TGame::DataPath(const std::string& gameName) const {
    return GamePath(DataRoot, gameName);
}

} // namespace vorlane
