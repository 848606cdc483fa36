// The archive container as the readers see it: hand-made streams with every value
// encoding, and every way a stream can be wrong.
#include "engine/ArchiveReader.h"
#include "engine/ArchiveWriter.h"
#include "engine/fixtures/archive_bytes.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using testing::Bytes;

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
    try {
        ReadImageArchiveData(bytes);
    } catch (const EngineError& e) {
        return e.what();
    }
    return "(no error)";
}

std::string SoundErrorOf(const std::vector<uint8_t>& bytes) {
    try {
        ReadSoundArchive(bytes);
    } catch (const EngineError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ArchiveFormat, ReadsEveryValueEncodingOfTheItemProperties) {
    Bytes a;
    a.Prologue();
    a.Prop("List").U8(va::Collection);
    // Item 1: short string, 8-bit integers, identifier colour, a position value first.
    a.Int8(0).U8(va::List);
    a.Prop("Name").Str("Tiles").Prop("PatternWidth").Int8(72).Prop("PatternHeight").Int8(-3);
    a.Prop("TransparentColor")
        .Ident("clFuchsia")
        .Prop("Transparent")
        .Bool(false)
        .Prop("SystemMemory")
        .Bool(true);
    a.End();
    // Item 2: long string, 16 and 32-bit integers, numeric colour.
    a.Int16(1).U8(va::List);
    a.Prop("Name").LStr("Accel1").Prop("SkipWidth").Int16(-300).Prop("SkipHeight").Int32(100000);
    a.Prop("TransparentColor").Int32(0x00123456);
    a.End();
    // Item 3: wide string with a character outside ASCII, system colour identifier.
    a.U8(va::List).Prop("Name").WStr(u"Caf\u00e9").Prop("TransparentColor").Ident("CLBTNFACE").End();
    // Item 4: nothing stored: every default.
    a.U8(va::List).End();
    a.End();
    a.ColorTable(1030);
    a.Epilogue();

    ImageArchiveData data = ReadImageArchiveData(a.b);
    ASSERT_EQ(data.items.size(), 4u);
    const ImageItemData& t = data.items[0];
    EXPECT_EQ(t.name, "Tiles");
    EXPECT_EQ(t.patternWidth, 72);
    EXPECT_EQ(t.patternHeight, -3);
    EXPECT_EQ(t.transparentColor, 0xFF00FFu);
    EXPECT_FALSE(t.transparent);
    EXPECT_TRUE(t.systemMemory);
    EXPECT_FALSE(t.hasPicture);
    const ImageItemData& b = data.items[1];
    EXPECT_EQ(b.name, "Accel1");
    EXPECT_EQ(b.skipWidth, -300);
    EXPECT_EQ(b.skipHeight, 100000);
    EXPECT_EQ(b.transparentColor, 0x00123456u);
    EXPECT_EQ(data.items[2].name, "Caf\xc3\xa9");
    EXPECT_EQ(data.items[2].transparentColor, 0xFF00000Fu);
    const ImageItemData& d = data.items[3];
    EXPECT_EQ(d.name, "");
    EXPECT_EQ(d.patternWidth, 0);
    EXPECT_TRUE(d.transparent);
    EXPECT_EQ(d.transparentColor, 0u);
    EXPECT_FALSE(d.systemMemory);
    EXPECT_EQ(data.colorTable[0], 0x11);
    EXPECT_EQ(data.colorTable[1023], 0x11);
}

TEST(ArchiveFormat, HeaderVariantsAreAccepted) {
    // Component flags byte with a child position; a long resource name; names of
    // properties in other letter case.
    Bytes a;
    a.U8(0xFF).U16(10).Raw(std::string(70, 'N')).U8(0).U16(0).U32(12345);
    a.Raw("TPF0").U8(0xF2).Int16(7).Short("TImageArchive").Short("X");
    a.Prop("list").U8(va::Collection).U8(va::List).Prop("NAME").Str("A").End().End();
    a.Epilogue();
    auto items = ReadImageArchive(a);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].name, "A");
}

TEST(ArchiveFormat, ResourceNameIsSearchedWithinTheFirst79Bytes) {
    // A name without its 0 byte in the window: the reader takes the name as ending at
    // the window's end and goes on 7 bytes later (0 byte, flags, length).
    Bytes a;
    a.U8(0xFF).U16(10).Raw(std::string(76, 'N'));
    a.Raw(std::string(7, 'x'));
    a.Raw("TPF0").Short("TImageArchive").Short("X").End().End();
    EXPECT_TRUE(ReadImageArchive(a).empty());
}

TEST(ArchiveFormat, CollectionsClearOnlyWhenNotEmpty) {
    Bytes a;
    a.Prologue();
    a.Prop("List").U8(va::Collection).U8(va::List).Prop("Name").Str("First").End().End();
    a.Prop("List").U8(va::Collection).End(); // empty: keeps "First"
    a.Epilogue();
    auto kept = ReadImageArchive(a);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, "First");

    Bytes b;
    b.Prologue();
    b.Prop("List").U8(va::Collection).U8(va::List).Prop("Name").Str("First").End().End();
    b.Prop("List").U8(va::Collection).U8(va::List).Prop("Name").Str("Second").End().End();
    b.Epilogue();
    auto replaced = ReadImageArchive(b);
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(replaced[0].name, "Second");
}

TEST(ArchiveFormat, ErrorsCarryTheReadersMessages) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string message;
    };
    auto item = [](auto fill) {
        Bytes a;
        a.Prologue().Prop("List").U8(va::Collection).U8(va::List);
        fill(a);
        a.End().End().Epilogue();
        return a.b;
    };
    std::vector<Case> cases = {
        {"empty file", {}, "Invalid stream format"}, // the fuzzer's first find (a copy from a null buffer)
        {"not 0xFF", Bytes().U8(0xFE).U16(10).U8(0).b, "Invalid stream format"},
        {"not 10", Bytes().U8(0xFF).U16(11).U8(0).b, "Invalid stream format"},
        {"header cut short", Bytes().U8(0xFF).U16(10).Raw("AB").U8(0).U16(0).b, "Stream read error"},
        {"bad signature", Bytes().U8(0xFF).U16(10).U8(0).U16(0).U32(0).Raw("TPF1").b,
         "Invalid stream format"},
        {"signature cut short", Bytes().U8(0xFF).U16(10).U8(0).U16(0).U32(0).Raw("TP").b,
         "Stream read error"},
        {"unknown property", Bytes().Prologue().Prop("Items").Int8(1).Epilogue().b,
         "Property Items does not exist"},
        {"unknown item property", item([](Bytes& a) { a.Prop("Colour").Int8(1); }),
         "Property Colour does not exist"},
        {"a garbage byte in a property name is shown escaped", item([](Bytes& a) {
             a.Prop("Loop\xE9"
                    "d")
                 .Int8(1);
         }),
         "Property Loop\\xE9d does not exist"},
        {"sound property in an image item", item([](Bytes& a) { a.Prop("Wave.WAVE").Binary({}); }),
         "Property Wave.WAVE does not exist"},
        {"colour table too short", Bytes().Prologue().ColorTable(1023).Epilogue().b, "Stream read error"},
        {"name as integer", item([](Bytes& a) { a.Prop("Name").Int8(1); }), "Invalid property value"},
        {"size as string", item([](Bytes& a) { a.Prop("PatternWidth").Str("72"); }),
         "Invalid property value"},
        {"flag as integer", item([](Bytes& a) { a.Prop("Transparent").Int8(1); }), "Invalid property value"},
        {"unknown colour", item([](Bytes& a) { a.Prop("TransparentColor").Ident("clPlaid"); }),
         "Invalid property value"},
        {"picture not binary", item([](Bytes& a) { a.Prop("Picture.Data").Str("DIB"); }),
         "Invalid property value"},
        {"binary longer than the file",
         item([](Bytes& a) { a.Prop("Picture.Data").U8(va::Binary).U32(1000); }), "Stream read error"},
        {"long string longer than the file",
         item([](Bytes& a) { a.Prop("Name").U8(va::LString).U32(0xFFFFFFF0); }), "Stream read error"},
        {"wide string longer than the file",
         item([](Bytes& a) { a.Prop("Name").U8(va::WString).U32(0x80000001); }), "Stream read error"},
        {"List not a collection", Bytes().Prologue().Prop("List").Int8(0).Epilogue().b,
         "Invalid property value"},
        {"item without list start", Bytes().Prologue().Prop("List").U8(va::Collection).Int8(0).Int8(1).b,
         "Invalid property value"},
        {"a child component", Bytes().Prologue().End().U8(0xF0).b, "Invalid stream format"},
        {"no children byte", Bytes().Prologue().End().b, "Stream read error"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.bytes), c.message) << c.what;
}

TEST(ArchiveFormat, EveryTruncationIsAReadError) {
    // Cut a valid archive at every length: each prefix must fail cleanly.
    ImageRecord rec;
    rec.name = "Tiles";
    rec.patternWidth = 2;
    rec.picture = EncodeDibPicture(RgbaImage(4, 2, 0xFF102030), 24);
    ImageRecord png = rec;
    png.name = "Car1";
    png.picture = EncodePngPicture(RgbaImage(3, 3, 0x80FF0000));
    std::vector<uint8_t> whole = WriteImageArchive("MImageList2", {rec, png});
    ASSERT_EQ(ReadImageArchive(whole).size(), 2u);
    for (size_t n = 0; n < whole.size(); ++n) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
        std::string message = ErrorOf(cut);
        EXPECT_TRUE(message == "Stream read error" || message == "Invalid stream format" ||
                    message == "PNG is invalid")
            << "cut at " << n << ": " << message;
    }
}

TEST(SoundArchiveFormat, ReadsItemsAndRejectsImageProperties) {
    Bytes a;
    a.Prologue("SOUNDS", "TSoundArchive").Prop("List").U8(va::Collection);
    a.U8(va::List).Prop("Name").Str("Horn").Prop("Looped").Bool(true).Prop("MaxPlayingCount").Int8(-4);
    a.Prop("Wave.WAVE").Binary({'R', 'I', 'F', 'F'}).End();
    a.U8(va::List).Prop("name").Str("Tick").End();
    a.End().Epilogue();
    auto sounds = ReadSoundArchive(a);
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].name, "Horn");
    EXPECT_TRUE(sounds[0].looped);
    EXPECT_EQ(sounds[0].maxPlayingCount, 0) << "a negative count means no limit";
    EXPECT_EQ(sounds[0].wave, (std::vector<uint8_t>{'R', 'I', 'F', 'F'}));
    EXPECT_EQ(sounds[1].name, "Tick");
    EXPECT_FALSE(sounds[1].looped);
    EXPECT_TRUE(sounds[1].wave.empty());

    EXPECT_EQ(SoundErrorOf(Bytes().Prologue().ColorTable().Epilogue().b),
              "Property List.ColorTable does not exist");
    Bytes b;
    b.Prologue()
        .Prop("List")
        .U8(va::Collection)
        .U8(va::List)
        .Prop("PatternWidth")
        .Int8(1)
        .End()
        .End()
        .Epilogue();
    EXPECT_EQ(SoundErrorOf(b), "Property PatternWidth does not exist");
    EXPECT_EQ(SoundErrorOf({0xFF, 9, 0, 0}), "Invalid stream format");
}

TEST(ColorIdentifiers, NamedAndSystemColours) {
    struct Case {
        const char* ident;
        uint32_t value;
    } cases[] = {
        {"clBlack", 0x000000},     {"clMaroon", 0x000080},      {"clGreen", 0x008000},
        {"clOlive", 0x008080},     {"clNavy", 0x800000},        {"clPurple", 0x800080},
        {"clTeal", 0x808000},      {"clGray", 0x808080},        {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},       {"clLime", 0x00FF00},        {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},      {"clFuchsia", 0xFF00FF},     {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},     {"clMoneyGreen", 0xC0DCC0},  {"clSkyBlue", 0xF0CAA6},
        {"clCream", 0xF0FBFF},     {"clMedGray", 0xA4A0A0},     {"clNone", 0x1FFFFFFF},
        {"clDefault", 0x20000000}, {"clScrollBar", 0xFF000000}, {"clWindow", 0xFF000005},
        {"clMenuBar", 0xFF00001E},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColorFromIdent(c.ident), c.value) << c.ident;
        if (c.value <= 0xFFFFFF) {
            EXPECT_EQ(IdentFromColor(c.value), c.ident);
        }
    }
    EXPECT_EQ(ColorFromIdent("CLRED"), 0x0000FFu);
    EXPECT_FALSE(ColorFromIdent("clRedd"));
    EXPECT_EQ(IdentFromColor(0x123456), "");
    EXPECT_EQ(IdentFromColor(0xFF000005), "") << "only the twenty named colours are written as identifiers";
}

} // namespace
} // namespace vorlane
