// Image list 2 as the race reads it: every picture the race looks up is in the archive
// with the pattern count and pattern size the race draws it with, the car pictures are
// exactly twice the half sizes the race computes with, and the bytes are the same on
// every run.
#include "datagen/Catalogue.h"
#include "datagen/Families.h"
#include "engine/ArchiveWriter.h"
#include "race_archive.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vorlane::datagen {
namespace {

using test::RaceImages;

struct Expected {
    std::string name;
    int patterns;
    int width, height; // 0: the size is the artwork's choice
};

// The pictures of the race, as the race's code names them.
const std::vector<Expected>& RaceNames() {
    static const std::vector<Expected> names = [] {
        std::vector<Expected> v = {
            {"Tiles", 61, 72, 72},      {"ExplosionBig", 16, 64, 64}, {"Explosion", 10, 64, 64},
            {"Rocket", 1, 12, 32},      {"EngineFire", 4, 12, 20},    {"NitroAnim", 4, 16, 51},
            {"Handbrake", 1, 10, 14},   {"Blood", 1, 10, 14},         {"Man_Laying", 1, 54, 54},
            {"Girl_Laying", 1, 54, 54}, {"FinishLine", 1, 72, 36},    {"Panel", 1, 190, 600},
            {"Pointer", 1, 0, 0},       {"SmallCar", 1, 14, 22},      {"Energy", 4, 0, 0},
            {"BonusNitro", 1, 0, 0},    {"BonusM", 1, 0, 0},          {"BonusR", 1, 0, 0},
            {"GunShooting", 1, 0, 0},
        };
        for (const char* who : {"Man_", "Girl_"})
            for (const char* dir : {"Up", "Down", "Left", "Right"})
                v.push_back({std::string(who) + dir, 5, 54, 54});
        for (const char* b :
             {"Bonus10", "Bonus20", "Bonus50", "Bonus100", "BonusL", "BonusN", "BonusMGnp", "BonusRnp"})
            v.push_back({b, 1, 34, 34});
        for (const char* l : {"Lamp_L", "Lamp_R", "Lamp_RL", "Lamp_RR", "Lamp_LR", "Lamp_LL"})
            v.push_back({l, 1, 0, 0});
        for (int s = 1; s <= 6; ++s) {
            v.push_back({"GunAnim_" + std::to_string(s), 1, 0, 0});
            v.push_back({"RocketAnim_" + std::to_string(s), 1, 0, 0});
        }
        // Car1..Car11: twice CarHalfWidth x twice CarHalfHeight; the opponents have a
        // pattern for each of their six directions.
        const int halfW[11] = {32, 31, 41, 31, 34, 32, 49, 60, 17, 46, 84};
        const int halfH[11] = {78, 74, 78, 67, 77, 72, 67, 85, 29, 76, 120};
        for (int i = 0; i < 11; ++i)
            v.push_back({"Car" + std::to_string(i + 1), i < 6 ? 1 : 6, 2 * halfW[i], 2 * halfH[i]});
        return v;
    }();
    return names;
}

TEST(RaceCatalogue, ListsExactlyThePicturesTheRaceUses) {
    std::set<std::string> wanted;
    for (const Expected& e : RaceNames())
        wanted.insert(LowerName(e.name));
    std::set<std::string> listed;
    for (const CatalogueEntry& e : RaceCatalogue()) {
        EXPECT_EQ(e.list, 2) << e.name;
        EXPECT_TRUE(listed.insert(LowerName(e.name)).second) << "twice in the catalogue: " << e.name;
    }
    EXPECT_EQ(listed, wanted);
    for (const Expected& e : RaceNames()) {
        const CatalogueEntry* entry = FindCatalogueEntry(RaceCatalogue(), e.name.c_str());
        ASSERT_NE(entry, nullptr) << e.name;
        EXPECT_EQ(entry->patterns, e.patterns) << e.name;
        if (e.width > 0) {
            EXPECT_EQ(entry->width, e.width) << e.name;
            EXPECT_EQ(entry->height, e.height) << e.name;
        }
    }
}

TEST(RaceCatalogue, ArchiveHoldsEveryPictureWithItsPatternGrid) {
    TImageCollection& images = RaceImages();
    EXPECT_EQ(images.Count(), RaceCatalogue().size()) << "pictures outside the catalogue";
    for (const CatalogueEntry& e : RaceCatalogue()) {
        SCOPED_TRACE(e.name);
        TImageItem* item = images.Find(e.name);
        ASSERT_NE(item, nullptr) << "missing from Res2.gfx";
        EXPECT_EQ(item->Name, e.name);
        ASSERT_TRUE(item->HasPicture);
        EXPECT_EQ(item->FrameWidth(), e.width);
        EXPECT_EQ(item->FrameHeight(), e.height);
        EXPECT_EQ(item->PatternTotal(), e.patterns);
        const Rect last = item->PatternRect(e.patterns - 1);
        EXPECT_EQ(last.right, item->Picture.width);
        EXPECT_EQ(last.bottom, item->Picture.height);
        // Soft edges come from the pictures' alpha, never from a colour key.
        EXPECT_FALSE(item->Transparent);
        // Every pattern shows something (the last wisps of an explosion's smoke are faint).
        for (int n = 0; n < e.patterns; ++n) {
            const RgbaImage p = test::PatternOf(*item, n);
            int visible = 0;
            for (uint32_t px : p.pixels)
                visible += test::Alpha(px) > 48;
            EXPECT_GT(visible, 0) << "pattern " << n << " is empty";
        }
    }
}

TEST(RaceCatalogue, TilesAndPanelAreOpaque) {
    for (const char* name : {"Tiles", "Panel"}) {
        const RgbaImage& picture = RaceImages().FindImage(name).Picture;
        int seeThrough = 0;
        for (uint32_t p : picture.pixels)
            seeThrough += test::Alpha(p) != 0xFF;
        EXPECT_EQ(seeThrough, 0) << name;
    }
}

TEST(RaceCatalogue, GeneratorIsDeterministic) {
    const std::vector<uint8_t> again = WriteImageArchive("MImageList2", BuildRaceImages());
    ASSERT_EQ(again.size(), test::RaceArchiveBytes().size());
    EXPECT_TRUE(again == test::RaceArchiveBytes()) << "two runs wrote different bytes";
}

} // namespace
} // namespace vorlane::datagen
