// The sound list: loading the archive, finding sounds by name, and following the
// sound device through ready, shut down and lost voices.
#include "engine/ArchiveWriter.h"
#include "engine/Sounds.h"
#include "engine/Types.h"
#include "sounds_fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

using namespace vorlane::testing;

std::vector<uint8_t> Archive(const std::vector<SoundRecord>& records) {
    return WriteSoundArchive("SoundArchive", records);
}

SoundRecord Record(const std::string& name, std::vector<uint8_t> wave, bool looped = false, int32_t max = 0) {
    SoundRecord r;
    r.name = name;
    r.wave = std::move(wave);
    r.looped = looped;
    r.maxPlayingCount = max;
    return r;
}

TEST(SoundCollectionTest, LoadsItemsAndPreparesThemWhenTheDeviceIsReady) {
    FakeAudioDevice device;
    TSoundCollection sounds(&device);
    sounds.LoadFromBytes(
        Archive({Record("Horn", SmallWave(), true, 0), Record("Shot", SmallWave(), false, -4)}),
        "Sounds.sfx");
    ASSERT_EQ(sounds.Count(), 2);
    TSoundItem& horn = sounds.FindWave("HORN");
    EXPECT_EQ(horn.Name, "Horn");
    EXPECT_TRUE(horn.Looped());
    EXPECT_TRUE(horn.Prepared());
    EXPECT_EQ(sounds.FindWave("shot").MaxPlayingCount(), 0);
    EXPECT_EQ(device.formats.size(), 2u);
    EXPECT_EQ(device.formats[0], TWave::FromRiff(SmallWave()).Format);
}

TEST(SoundCollectionTest, FindWaveIgnoresCaseAndTheLastOfANameWins) {
    TSoundCollection sounds;
    std::vector<uint8_t> other = RiffHead();
    PutChunk(other, "data", {42});
    sounds.LoadFromBytes(Archive({Record("Crash", SmallWave()), Record("CRASH", other)}), "Sounds.sfx");
    EXPECT_EQ(sounds.FindWave("crash").Wave.Data, (std::vector<uint8_t>{42}));
    try {
        sounds.FindWave("Crush");
        FAIL() << "found a sound that does not exist";
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "Wave 'Crush' not found");
    }
}

TEST(SoundCollectionTest, BadRecordingNamesTheFileAndKeepsTheOldList) {
    TSoundCollection sounds;
    sounds.LoadFromBytes(Archive({Record("Horn", SmallWave())}), "Sounds.sfx");
    try {
        sounds.LoadFromBytes(Archive({Record("Bad", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'})}),
                             "Data/Res/Sounds.sfx");
        FAIL() << "accepted a recording that is not RIFF WAVE";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("Data/Res/Sounds.sfx"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Wave is invalid"), std::string::npos) << e.what();
    }
    EXPECT_EQ(sounds.Count(), 1);
    EXPECT_NO_THROW(sounds.FindWave("Horn"));
}

TEST(SoundCollectionTest, ItemWithoutDataIsNeverHeardAndRaisesNothing) {
    FakeAudioDevice device;
    TSoundCollection sounds(&device);
    std::vector<uint8_t> formatOnly = RiffHead();
    PutChunk(formatOnly, "fmt ", {1, 0, 1, 0});
    sounds.LoadFromBytes(Archive({Record("Quiet", formatOnly), Record("Empty", {})}), "Sounds.sfx");
    for (const char* name : {"Quiet", "Empty"}) {
        TSoundItem& item = sounds.FindWave(name);
        EXPECT_FALSE(item.Prepared()) << name;
        EXPECT_NO_THROW(sounds.StopSound(item));
        EXPECT_NO_THROW(sounds.PlaySound(item, false));
    }
    EXPECT_TRUE(device.alive.empty());
}

TEST(SoundCollectionTest, FollowsTheSoundDevice) {
    FakeAudioDevice device;
    device.ready = false;
    TSoundCollection sounds(&device);
    sounds.LoadFromBytes(Archive({Record("Horn", SmallWave())}), "Sounds.sfx");
    TSoundItem& horn = sounds.FindWave("Horn");
    EXPECT_FALSE(horn.Prepared()); // the device is not up yet

    device.ready = true;
    sounds.DeviceReady();
    ASSERT_TRUE(horn.Prepared());
    sounds.PlaySound(horn, false);
    sounds.PlaySound(horn, false);
    EXPECT_EQ(device.alive.size(), 3u);
    const int before = static_cast<FakeVoice*>(horn.MainVoice())->id;

    sounds.VoicesLost(); // a new main voice; copies are made anew when needed
    EXPECT_TRUE(horn.Prepared());
    EXPECT_NE(static_cast<FakeVoice*>(horn.MainVoice())->id, before);
    EXPECT_EQ(horn.CopyCount(), 0);

    sounds.DeviceShutDown(); // every voice freed, the recording kept
    EXPECT_FALSE(horn.Prepared());
    EXPECT_TRUE(device.alive.empty());
    EXPECT_TRUE(horn.Wave.Playable());
    sounds.PlaySound(horn, false); // silently nothing
    EXPECT_TRUE(device.alive.empty());

    sounds.SetDevice(nullptr);
    sounds.DeviceReady();
    EXPECT_FALSE(horn.Prepared());
}

TEST(SoundCollectionTest, MissingArchiveFileIsAnError) {
    TSoundCollection sounds;
    EXPECT_THROW(sounds.LoadArchive(std::string(VORLANE_BINARY_DIR) + "/no/such/Sounds.sfx"), EngineError);
}

} // namespace
} // namespace vorlane
