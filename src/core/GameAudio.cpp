// Sound effects by name and the background music.
#include "core/Game.h"

namespace vorlane {

void TGame::PlayEffect(const std::string& name) {
    if (!Options().SoundOn) return;
    TSoundItem& item = Sounds->FindWave(name);
    // From the beginning again, without waiting for the end.
    Sounds->StopSound(item);
    Sounds->PlaySound(item, false);
    if (OnEffect) OnEffect(name);
}

void TGame::StopEffect(const std::string& name) {
    // With sound off nothing is stopped either: what plays already plays to its end.
    if (!Options().SoundOn) return;
    Sounds->StopSound(Sounds->FindWave(name));
}

void TGame::PlayMusic(const std::string& path, bool fromResource) {
    if (!Options().MusicOn) return;
    if (songHandle_ != 0) PlatformServices->Music().SongFree(songHandle_);
    const std::string file = DataPath(path).string();
    songHandle_ = fromResource ? PlatformServices->Music().SongLoadFromResource(file)
                               : PlatformServices->Music().SongLoadFromFile(file);
    musicFile_.clear();
    if (songHandle_ != 0) {
        PlatformServices->Music().SongPlay(songHandle_);
        musicFile_ = path;
    }
}

void TGame::StopMusic() {
    if (songHandle_ != 0) PlatformServices->Music().SongFree(songHandle_);
    songHandle_ = 0;
    musicFile_.clear();
}

void TGame::PlayScreenMusic() {
    PlayMusic(Screen.ActiveScreen == ScreenKind::Race ? "Data\\Music\\Race.xm" : "Data\\Music\\Menu.xm",
              false);
}

} // namespace vorlane
