#pragma once
// The sound list: the game's sound effects, loaded from the sound archive and played
// by name. Each item holds one recording and plays it through voices of the sound
// device: a main voice for looped play (and as the template of copies) and a list of
// copies for one-shot play, so that a sound may overlap itself up to MaxPlayingCount
// times.
//
// Without a sound device, or with one that is not ready, items stay unprepared and
// every play and stop does nothing, silently.
#include "engine/AudioDevice.h"
#include "engine/Wave.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorlane {

class TSoundItem {
  public:
    std::string Name;
    TWave Wave;

    bool Looped() const { return looped_; }
    // A new value stops the item first.
    void SetLooped(bool value);
    // How many copies may play at once; 0 means no limit, negative values are taken
    // as 0. A new value frees the copies.
    int32_t MaxPlayingCount() const { return maxPlayingCount_; }
    void SetMaxPlayingCount(int32_t value);

    // Prepared: the device was ready and the item has its main voice.
    bool Prepared() const { return main_ != nullptr; }
    // Makes the main voice again from the recording (copies are dropped and made anew
    // as needed). Stays unprepared for a recording without sample data, a device that
    // is not ready, or a format the device refuses.
    void Prepare(IAudioDevice& device);
    // Frees every voice; the recording is kept.
    void Unprepare();

    // Looped: the main voice restarts from the beginning and loops. Otherwise the
    // first copy that is not playing restarts; with every copy playing, a new copy is
    // made while the limit allows, else the oldest copy is restarted and moves to the
    // end of the list. With wait, returns once the copy has finished.
    void Play(bool wait);
    // Stops the main voice and every copy.
    void Stop();

    IVoice* MainVoice() const { return main_.get(); }
    int CopyCount() const { return int(copies_.size()); }
    IVoice* Copy(int i) const { return copies_.at(size_t(i)).get(); }

  private:
    bool looped_ = false;
    int32_t maxPlayingCount_ = 0;
    std::unique_ptr<IVoice> main_;                // declared first: copies go first
    std::vector<std::unique_ptr<IVoice>> copies_; // one-shot voices, in rotation order
};

class TSoundCollection {
  public:
    explicit TSoundCollection(IAudioDevice* device = nullptr) : device_(device) {}

    // The sound device; nullptr for none. Items are prepared again for the new one.
    void SetDevice(IAudioDevice* device);
    IAudioDevice* Device() const { return device_; }

    // Replaces the items with those of the archive file and prepares them when the
    // device is ready. On any error the list stays as it was and the message names
    // the file ("Data/Res/Sounds.sfx: Wave is invalid").
    void LoadArchive(const std::string& path);
    void LoadFromBytes(const std::vector<uint8_t>& bytes, const std::string& nameForMessages);

    // Case-insensitive; of several items with one name the later in the file wins.
    TSoundItem& FindWave(const std::string& name); // throws "Wave '%s' not found"
    TSoundItem* Find(const std::string& name);

    int Count() const { return int(items_.size()); }
    TSoundItem& Item(int i); // throws EngineError for a bad index

    void PlaySound(TSoundItem& item, bool wait) { item.Play(wait); }
    void StopSound(TSoundItem& item) { item.Stop(); }

    // Sound device notifications.
    void DeviceReady();    // prepares every item
    void DeviceShutDown(); // frees every voice, keeps the recordings
    void VoicesLost();     // makes the main voices again

  private:
    bool DeviceIsReady() const { return device_ != nullptr && device_->Ready(); }

    IAudioDevice* device_ = nullptr;
    std::vector<std::unique_ptr<TSoundItem>> items_; // file order; stable addresses
};

} // namespace vorlane
