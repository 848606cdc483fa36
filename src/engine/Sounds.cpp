#include "engine/Sounds.h"

#include "engine/ArchiveReader.h"
#include "engine/Images.h"
#include "engine/Types.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vorlane {

// ---------------------------------------------------------------------------------
// TSoundItem

void TSoundItem::SetLooped(bool value) {
    if (value == looped_) return;
    Stop();
    looped_ = value;
}

void TSoundItem::SetMaxPlayingCount(int32_t value) {
    value = std::max<int32_t>(value, 0);
    if (value == maxPlayingCount_) return;
    copies_.clear();
    maxPlayingCount_ = value;
}

void TSoundItem::Prepare(IAudioDevice& device) {
    Unprepare();
    if (!Wave.Playable() || !device.Ready()) return;
    main_ = device.MakeVoice(Wave.Format, Wave.Data);
}

void TSoundItem::Unprepare() {
    copies_.clear();
    main_.reset();
}

void TSoundItem::Play(bool wait) {
    if (!main_) return;
    if (looped_) {
        main_->Stop();
        main_->SetPosition(0);
        main_->Play(true);
        return;
    }

    IVoice* chosen = nullptr;
    for (const auto& copy : copies_) {
        if (!copy->IsPlaying()) {
            chosen = copy.get();
            break;
        }
    }
    if (chosen == nullptr) {
        if (maxPlayingCount_ == 0 || copies_.size() < size_t(maxPlayingCount_)) {
            std::unique_ptr<IVoice> copy = main_->Duplicate();
            if (!copy) return;
            copies_.push_back(std::move(copy));
        } else {
            // Every allowed copy is busy: the oldest starts over and becomes the newest.
            std::rotate(copies_.begin(), copies_.begin() + 1, copies_.end());
        }
        chosen = copies_.back().get();
    }

    chosen->Stop();
    chosen->SetPosition(0);
    chosen->Play(false);
    if (wait) {
        while (chosen->IsPlaying())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void TSoundItem::Stop() {
    if (!main_) return;
    main_->Stop();
    for (const auto& copy : copies_)
        copy->Stop();
}

// ---------------------------------------------------------------------------------
// TSoundCollection

void TSoundCollection::SetDevice(IAudioDevice* device) {
    DeviceShutDown();
    device_ = device;
    DeviceReady();
}

void TSoundCollection::LoadArchive(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    LoadFromBytes(bytes, path);
}

void TSoundCollection::LoadFromBytes(const std::vector<uint8_t>& bytes, const std::string& nameForMessages) {
    std::vector<std::unique_ptr<TSoundItem>> loaded;
    try {
        for (const SoundRecord& record : ReadSoundArchive(bytes)) {
            auto item = std::make_unique<TSoundItem>();
            item->Name = record.name;
            item->SetLooped(record.looped);
            item->SetMaxPlayingCount(record.maxPlayingCount);
            // An item without a stored recording simply has none.
            if (!record.wave.empty()) item->Wave = TWave::FromRiff(record.wave);
            loaded.push_back(std::move(item));
        }
    } catch (const EngineError& e) {
        throw EngineError(MessageWithFile(nameForMessages, e.what()));
    }
    items_ = std::move(loaded);
    DeviceReady();
}

TSoundItem* TSoundCollection::Find(const std::string& name) {
    const std::string wanted = LowerName(name);
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if (LowerName((*it)->Name) == wanted) return it->get();
    }
    return nullptr;
}

TSoundItem& TSoundCollection::FindWave(const std::string& name) {
    TSoundItem* item = Find(name);
    if (item == nullptr) throw EngineError("Wave '" + name + "' not found");
    return *item;
}

TSoundItem& TSoundCollection::Item(int i) {
    if (i < 0 || size_t(i) >= items_.size()) {
        throw EngineError("List index out of bounds (" + std::to_string(i) + ")");
    }
    return *items_[size_t(i)];
}

void TSoundCollection::DeviceReady() {
    if (!DeviceIsReady()) return;
    for (const auto& item : items_)
        item->Prepare(*device_);
}

void TSoundCollection::DeviceShutDown() {
    for (const auto& item : items_)
        item->Unprepare();
}

void TSoundCollection::VoicesLost() {
    DeviceReady();
}

} // namespace vorlane
