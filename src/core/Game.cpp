// Building the game's components from its services.
#include "core/Game.h"

#include "persist/GamePaths.h"

namespace vorlane {

TGame::TGame(TGameServices services)
    : MPlatform(std::make_unique<Platform>(services.Platform)),
      MSoundList(std::make_unique<TSoundCollection>(&MPlatform->Audio())),
      MTimer(std::make_unique<TFrameTimer>(MPlatform->Clock())),
      MInput(std::make_unique<TInputDevice>(MPlatform->Keys())), Random(services.Seed),
      DataRoot(services.DataRoot), OptionsFile(services.DataRoot), SpriteHost{MImageList1, MImageList2, Stats},
      OnEffect(services.OnEffect), services_(std::move(services)) {}

TGame::~TGame() = default;

std::filesystem::path TGame::DataPath(const std::string& gameName) const { return GamePath(DataRoot, gameName); }

} // namespace vorlane
