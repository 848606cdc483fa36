// Playing sound items: the copy rotation, looped play, silence without a device, and
// the device notifications.
#include "engine/Sounds.h"
#include "sounds_fakes.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using namespace vorlane::testing;

class SoundItemTest : public ::testing::Test {
  protected:
    SoundItemTest() {
        item.Name = "Explosion";
        item.Wave = TWave::FromRiff(SmallWave());
        item.Prepare(device);
    }
    FakeVoice* Main() { return static_cast<FakeVoice*>(item.MainVoice()); }
    FakeVoice* CopyAt(int i) { return static_cast<FakeVoice*>(item.Copy(i)); }

    FakeAudioDevice device;
    TSoundItem item;
};

TEST_F(SoundItemTest, LimitedCopiesRotateOldestFirst) {
    item.SetMaxPlayingCount(2);
    ASSERT_TRUE(item.Prepared());
    item.Play(false);
    item.Play(false);
    ASSERT_EQ(item.CopyCount(), 2);
    FakeVoice* first = CopyAt(0);
    FakeVoice* second = CopyAt(1);
    EXPECT_TRUE(first->playing && second->playing);
    first->position = 700; // both are well into their sound

    item.Play(false); // both busy and the limit reached: the first starts over
    ASSERT_EQ(item.CopyCount(), 2);
    EXPECT_EQ(CopyAt(0), second);
    EXPECT_EQ(CopyAt(1), first);
    EXPECT_EQ(first->plays, 2);
    EXPECT_EQ(first->position, 0u);
    EXPECT_EQ(second->plays, 1);
    EXPECT_EQ(device.alive.size(), 3u); // the main voice and two copies, no more

    // Once both have finished, the next play reuses the first of the list.
    first->Finish();
    second->Finish();
    item.Play(false);
    EXPECT_EQ(item.CopyCount(), 2);
    EXPECT_EQ(second->plays, 2);
    EXPECT_TRUE(second->playing);
    EXPECT_EQ(second->position, 0u);
    EXPECT_FALSE(first->playing);
    EXPECT_EQ(Main()->plays, 0); // one-shot play never uses the main voice
}

TEST_F(SoundItemTest, WithoutLimitEveryBusyPlayMakesACopy) {
    for (int i = 0; i < 4; ++i)
        item.Play(false);
    EXPECT_EQ(item.CopyCount(), 4);
    CopyAt(2)->Finish();
    item.Play(false);
    EXPECT_EQ(item.CopyCount(), 4);
    EXPECT_EQ(CopyAt(2)->plays, 2);
}

TEST_F(SoundItemTest, NothingPlaysWhenNoCopyCanBeMade) {
    device.canDuplicate = false;
    item.Play(false);
    EXPECT_EQ(item.CopyCount(), 0);
    EXPECT_FALSE(Main()->playing);
}

TEST_F(SoundItemTest, LoopedSoundStopsAndRestartsFromTheBeginning) {
    item.SetLooped(true);
    item.Play(false);
    EXPECT_TRUE(Main()->playing);
    EXPECT_TRUE(Main()->looped);
    EXPECT_EQ(item.CopyCount(), 0);

    Main()->position = 4410;
    item.Stop();
    EXPECT_FALSE(Main()->playing);
    item.Play(false);
    EXPECT_TRUE(Main()->playing);
    EXPECT_EQ(Main()->position, 0u);
}

TEST_F(SoundItemTest, ChangingLoopedStopsTheSound) {
    item.Play(false);
    item.Play(false);
    item.SetLooped(true);
    EXPECT_FALSE(CopyAt(0)->playing);
    EXPECT_FALSE(CopyAt(1)->playing);
    item.Play(false);
    item.SetLooped(true); // the same value: keeps playing
    EXPECT_TRUE(Main()->playing);
    item.SetLooped(false);
    EXPECT_FALSE(Main()->playing);
}

TEST_F(SoundItemTest, ChangingTheLimitFreesTheCopies) {
    item.Play(false);
    item.Play(false);
    item.SetMaxPlayingCount(-3); // taken as 0, the value it already has
    EXPECT_EQ(item.MaxPlayingCount(), 0);
    EXPECT_EQ(item.CopyCount(), 2);
    item.SetMaxPlayingCount(1);
    EXPECT_EQ(item.CopyCount(), 0);
    EXPECT_EQ(device.alive.size(), 1u);
    item.Play(false);
    item.Play(false);
    EXPECT_EQ(item.CopyCount(), 1);
    EXPECT_EQ(CopyAt(0)->plays, 2);
}

TEST_F(SoundItemTest, WaitReturnsOnceTheCopyHasFinished) {
    device.finishAfterPolls = 2; // the copy reports playing twice, then ends
    item.Play(true);
    ASSERT_EQ(item.CopyCount(), 1);
    EXPECT_EQ(CopyAt(0)->polls, 3);
}

TEST(SoundSilenceTest, ItemWithoutSamplesOrDeviceIsSilent) {
    FakeAudioDevice device;
    TSoundItem noData;
    std::vector<uint8_t> riff = RiffHead();
    PutChunk(riff, "fmt ", {1, 0});
    noData.Wave = TWave::FromRiff(riff);
    noData.Prepare(device);
    EXPECT_FALSE(noData.Prepared());
    noData.Play(false);
    noData.Stop();
    EXPECT_TRUE(device.alive.empty());

    device.ready = false;
    TSoundItem sound;
    sound.Wave = TWave::FromRiff(SmallWave());
    sound.Prepare(device);
    EXPECT_FALSE(sound.Prepared());
    sound.Play(false);
    EXPECT_TRUE(device.alive.empty());
}

} // namespace
} // namespace vorlane
