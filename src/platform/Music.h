#pragma once
// The module player for the background music: an XM song loaded from a file, played
// in a loop, freed (which stops it).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace vorlane {

class IMusicPlayer {
  public:
    virtual ~IMusicPlayer() = default;
    // A handle to the loaded song, 0 when it cannot be loaded (or there is no sound).
    // Windows-style relative paths ("Data\Music\Menu.xm") are accepted.
    virtual int SongLoadFromFile(const std::string& path) = 0;
    // The game ships no resources: the name is loaded as a file path (0 on failure).
    virtual int SongLoadFromResource(const std::string& name) = 0;
    // Plays the song from its start, looping forever; another song playing stops.
    virtual void SongPlay(int handle) = 0;
    // Stops the song when it plays and forgets it. Unknown handles are ignored.
    virtual void SongFree(int handle) = 0;
};

class SdlAudioDevice;

// Where the player says that a song could not be loaded: one line naming the file.
using MusicMessageSink = std::function<void(const std::string& line)>;

// libxmp renders the XM modules into SDL_mixer's music hook (the sound effects mix on
// top); the same decoder the data generator checks the songs with.
class SdlMusicPlayer final : public IMusicPlayer {
  public:
    // Shares the mixer of `device`; it may outlive the device object. A song file
    // that is missing or cannot be played is told to `messages` (the console when
    // none is given), once per file; the game goes on without music.
    explicit SdlMusicPlayer(SdlAudioDevice& device, MusicMessageSink messages = nullptr);
    ~SdlMusicPlayer() override;
    SdlMusicPlayer(const SdlMusicPlayer&) = delete;
    SdlMusicPlayer& operator=(const SdlMusicPlayer&) = delete;

    int SongLoadFromFile(const std::string& path) override;
    int SongLoadFromResource(const std::string& name) override;
    void SongPlay(int handle) override;
    void SongFree(int handle) override;
    // The handle of the song playing now, 0 when none plays.
    int Playing() const;
    // Bytes of music libxmp has rendered for the sound device so far.
    uint64_t RenderedBytes() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vorlane
