// Reading the RIFF WAVE recordings of the sound archive.
#include "engine/Types.h"
#include "engine/Wave.h"
#include "sounds_fakes.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using namespace vorlane::testing;
using Bytes = std::vector<uint8_t>;

TEST(WaveTest, RejectsAnythingButARiffWaveHead) {
    Bytes good = SmallWave();
    Bytes notRiff = good;
    notRiff[0] = 'X';
    Bytes notWave = good;
    notWave[11] = 'X';
    const Bytes cases[] = {Bytes{}, Bytes(good.begin(), good.begin() + 11), notRiff, notWave};
    for (const Bytes& bytes : cases) {
        try {
            TWave::FromRiff(bytes);
            ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
        } catch (const EngineError& e) {
            EXPECT_STREQ(e.what(), "Wave is invalid");
        }
    }
    // The bare head is a valid recording without any samples.
    EXPECT_FALSE(TWave::FromRiff(Bytes(good.begin(), good.begin() + 12)).Playable());
}

TEST(WaveTest, SkipsUnknownChunksBetweenFormatAndData) {
    Bytes b = RiffHead();
    PutChunk(b, "fmt ", {9, 8, 7});
    PutChunk(b, "LIST", {'I', 'N', 'F', 'O', 0, 0, 0, 0, 1}); // odd size, no pad byte follows
    PutChunk(b, "data", {1, 2, 3, 4});
    const TWave w = TWave::FromRiff(b);
    EXPECT_EQ(w.Format, (Bytes{9, 8, 7}));
    EXPECT_EQ(w.Data, (Bytes{1, 2, 3, 4}));
    EXPECT_TRUE(w.Playable());
}

TEST(WaveTest, LaterChunkOfTheSameIdWins) {
    Bytes b = RiffHead();
    PutChunk(b, "data", {1});
    PutChunk(b, "fmt ", {2});
    PutChunk(b, "data", {3, 3});
    PutChunk(b, "fmt ", {4, 4});
    const TWave w = TWave::FromRiff(b);
    EXPECT_EQ(w.Format, (Bytes{4, 4}));
    EXPECT_EQ(w.Data, (Bytes{3, 3}));
}

TEST(WaveTest, WithoutDataChunkIsNotPlayable) {
    Bytes b = RiffHead();
    PutChunk(b, "fmt ", {1, 0});
    const TWave w = TWave::FromRiff(b);
    EXPECT_EQ(w.Format, (Bytes{1, 0}));
    EXPECT_FALSE(w.Playable());
}

TEST(WaveTest, ZeroChunkIdEndsTheScan) {
    Bytes b = RiffHead();
    PutChunk(b, "fmt ", {1});
    PutChunk(b, std::string(4, '\0'), {});
    PutChunk(b, "data", {5, 6});
    EXPECT_FALSE(TWave::FromRiff(b).Playable());
}

TEST(WaveTest, ChunkRunningPastTheEndKeepsWhatIsThereAndStops) {
    Bytes b = RiffHead();
    PutChunk(b, "fmt ", {1});
    PutChunk(b, "data", {1, 2, 3}, 0xFFFFFFF0u); // a size far beyond the file
    TWave w = TWave::FromRiff(b);
    EXPECT_EQ(w.Data, (Bytes{1, 2, 3}));

    // A few stray bytes after the last chunk, too few for a chunk header, are ignored.
    b = SmallWave();
    b.insert(b.end(), {'d', 'a', 't'});
    w = TWave::FromRiff(b);
    EXPECT_EQ(w.Data, (Bytes{1, 2, 3, 4, 5, 6}));
}

} // namespace
} // namespace vorlane
