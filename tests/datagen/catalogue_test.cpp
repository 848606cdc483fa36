// Image list 1 as the game reads it: every name the menus look up is in the archive with
// the catalogue's pattern count and pattern size, and the generator writes the same bytes
// on every run.
#include "datagen/Catalogue.h"
#include "datagen/Families.h"
#include "engine/ArchiveWriter.h"
#include "engine/Images.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vorlane::datagen {
namespace {

// Enough of a display to prepare the items: textures that only know their size.
class FakeTexture : public ITexture {
  public:
    FakeTexture(int w, int h) : w_(w), h_(h) {}
    int Width() const override { return w_; }
    int Height() const override { return h_; }

  private:
    int w_, h_;
};

class FakeSurface : public IDrawSurface {
  public:
    int Width() const override { return 800; }
    int Height() const override { return 600; }
    std::unique_ptr<ITexture> CreateTexture(const RgbaImage& p) override {
        return std::make_unique<FakeTexture>(p.width, p.height);
    }
    void Draw(ITexture&, const Rect&, int, int) override {}
    void DrawAlpha(ITexture&, const Rect&, const Rect&, int) override {}
    void DrawRotated(ITexture&, const Rect&, double, double, int, int, double, double, double) override {}
};

const std::vector<ImageRecord>& MenuRecords() {
    static const std::vector<ImageRecord> records = BuildMenuImages();
    return records;
}

const std::vector<uint8_t>& MenuArchive() {
    static const std::vector<uint8_t> bytes = WriteImageArchive("MImageList1", MenuRecords());
    return bytes;
}

// The picture kind: the short string at the start of the stored picture.
std::string KindOf(const ImageRecord& r) {
    if (r.picture.empty() || r.picture[0] + 1u > r.picture.size()) return "";
    return std::string(r.picture.begin() + 1, r.picture.begin() + 1 + r.picture[0]);
}

TEST(MenuCatalogue, NamesAreUniqueAndAllInListOne) {
    std::set<std::string> seen;
    for (const CatalogueEntry& e : MenuCatalogue()) {
        EXPECT_EQ(e.list, 1) << e.name;
        EXPECT_TRUE(seen.insert(LowerName(e.name)).second) << "twice in the catalogue: " << e.name;
        EXPECT_GE(e.patterns, 1) << e.name;
        EXPECT_GT(e.width, 0) << e.name;
        EXPECT_GT(e.height, 0) << e.name;
    }
    EXPECT_EQ(FindCatalogueEntry(MenuCatalogue(), "mm_1_a"), FindCatalogueEntry(MenuCatalogue(), "MM_1_A"));
    EXPECT_EQ(FindCatalogueEntry(MenuCatalogue(), "NoSuchPicture"), nullptr);
}

TEST(MenuCatalogue, ArchiveHoldsEveryPictureWithItsPatternGrid) {
    TImageCollection images;
    ASSERT_NO_THROW(images.LoadFromBytes(MenuArchive(), "Res1.gfx"));
    FakeSurface surface;
    images.DisplayInitialised(surface);
    EXPECT_EQ(images.Count(), MenuCatalogue().size()) << "pictures outside the catalogue";
    for (const CatalogueEntry& e : MenuCatalogue()) {
        SCOPED_TRACE(e.name);
        TImageItem* item = images.Find(e.name);
        ASSERT_NE(item, nullptr) << "missing from Res1.gfx";
        EXPECT_EQ(item->Name, e.name);
        ASSERT_TRUE(item->HasPicture);
        EXPECT_TRUE(item->Prepared());
        EXPECT_EQ(item->FrameWidth(), e.width);
        EXPECT_EQ(item->FrameHeight(), e.height);
        EXPECT_EQ(item->PatternTotal(), e.patterns);
        // The patterns tile the picture exactly: nothing left over to the right or below.
        const Rect last = item->PatternRect(e.patterns - 1);
        EXPECT_EQ(last.right, item->Picture.width);
        EXPECT_EQ(last.bottom, item->Picture.height);
        EXPECT_TRUE(item->PatternRect(e.patterns).Empty());
    }
}

TEST(MenuCatalogue, PictureKindsAndColourKeys) {
    TImageCollection images;
    images.LoadFromBytes(MenuArchive(), "Res1.gfx");
    for (const CatalogueEntry& e : MenuCatalogue()) {
        SCOPED_TRACE(e.name);
        const TImageItem& item = images.FindImage(e.name);
        if (std::string(e.name) == "Null") {
            // The empty normal look of the option rows: one pixel of the colour key.
            EXPECT_TRUE(item.Transparent);
            EXPECT_EQ(item.TransparentColor, 0u);
            EXPECT_EQ(item.KeyedPicture().At(0, 0) >> 24, 0u);
        } else {
            // Soft edges come from the pictures' own alpha, never from a colour key.
            EXPECT_FALSE(item.Transparent);
        }
    }
    // Soft-edged pictures are RGBA PNG; the opaque background and the one-pixel key DIB.
    for (const ImageRecord& r : MenuRecords()) {
        const bool dib = r.name == "MMBG" || r.name == "Null";
        EXPECT_EQ(KindOf(r), dib ? "DIB" : "PNG") << r.name;
    }
    // The background is opaque everywhere.
    const RgbaImage& bg = images.FindImage("MMBG").Picture;
    for (uint32_t p : bg.pixels)
        ASSERT_EQ(p >> 24, 0xFFu);
}

TEST(MenuCatalogue, GeneratorIsDeterministic) {
    const std::vector<uint8_t> again = WriteImageArchive("MImageList1", BuildMenuImages());
    ASSERT_EQ(again.size(), MenuArchive().size());
    EXPECT_TRUE(again == MenuArchive()) << "two runs wrote different bytes";
}

} // namespace
} // namespace vorlane::datagen
