// Writes the fuzzer's seed corpus into the folder given: image and sound archives made
// by the archive writer, with pictures of every kind and bitmap variant, plus the bare
// picture payloads.
#include "engine/ArchiveWriter.h"
#include "engine/fixtures/archive_bytes.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace vorlane;
using vorlane::testing::Bytes;
using vorlane::testing::CoreHeader;
using vorlane::testing::DibPayload;
using vorlane::testing::InfoHeader;

namespace {

RgbaImage Pattern(int w, int h, bool alpha) {
    RgbaImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.At(x, y) = (alpha ? uint32_t((x * 40 + y * 9) & 0xFF) << 24 : 0xFF000000u) |
                           uint32_t((x * 50) & 0xFF) << 16 | uint32_t((y * 70) & 0xFF) << 8 | uint32_t(x ^ y);
    return img;
}

std::vector<std::vector<uint8_t>> Pictures() {
    std::vector<std::vector<uint8_t>> p;
    p.push_back(EncodePngPicture(Pattern(6, 4, true)));
    p.push_back(EncodeDibPicture(Pattern(5, 3, false), 24));
    p.push_back(EncodeDibPicture(Pattern(3, 3, false), 32));
    {
        Bytes d = InfoHeader(9, 2, 1);
        d.U32(0x00FF0000).U32(0x000000FF).U32(0xAA55AA55).U32(0x55AA55AA);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes d = InfoHeader(5, -2, 4, 0, 3);
        d.U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0x12345012).U32(0x01234000);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes d = InfoHeader(3, 2, 8, 0, 2);
        d.U32(0x00FFFFFF).U32(0x00808080).U32(0x00000100).U32(0x00010001);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes d = InfoHeader(6, 3, 8, 1, 3);
        d.U32(0xFFFFFF).U32(0xFF).U32(0xFF00);
        d.U8(3).U8(1).U8(0).U8(2).U8(1).U8(0).U8(1).U8(2).U8(0).U8(0);
        d.U8(0).U8(3).U8(2).U8(1).U8(2).U8(0).U8(0).U8(0).U8(6).U8(1).U8(0).U8(1);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes d = InfoHeader(7, 2, 4, 2, 4);
        d.U32(0xFFFFFF).U32(0xFF).U32(0xFF00).U32(0xFF0000);
        d.U8(5).U8(0x12).U8(0).U8(0).U8(0).U8(5).U8(0x12).U8(0x30).U8(0x10).U8(0).U8(0).U8(1);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes d = InfoHeader(3, 1, 16);
        d.U16(0x7C00).U16(0x03E0).U16(0x0421).U16(0);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes d = InfoHeader(3, 1, 16, 3);
        d.U32(0xF800).U32(0x07E0).U32(0x001F).U16(0xF800).U16(0x07E0).U16(0x0821).U16(0);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes d = InfoHeader(1, 1, 32, 3);
        d.U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0x00112233);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes d = CoreHeader(2, 2, 1);
        d.U8(0).U8(0).U8(0).U8(255).U8(255).U8(255).U32(0x40).U32(0x80);
        p.push_back(DibPayload(d.b));
    }
    {
        Bytes dib = InfoHeader(2, 1, 24);
        dib.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U16(0);
        Bytes file;
        file.Raw("BM").U32(uint32_t(14 + dib.b.size())).U32(0).U32(54).Raw(dib.b);
        Bytes payload;
        payload.Short("TBitmap").U32(uint32_t(file.b.size())).Raw(file.b);
        p.push_back(payload.b);
    }
    return p;
}

void Write(const std::filesystem::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    std::vector<std::vector<uint8_t>> pictures = Pictures();
    std::vector<ImageRecord> all;
    for (size_t i = 0; i < pictures.size(); ++i) {
        ImageRecord r;
        r.name = "Item" + std::to_string(i);
        r.patternWidth = int32_t(i % 3);
        r.patternHeight = int32_t(i % 2);
        r.skipWidth = int32_t(i % 4) - 1;
        r.transparent = i % 2 == 0;
        r.transparentColor = i % 3 == 0 ? 0xFF00FF : uint32_t(i * 0x010203);
        r.picture = pictures[i];
        Write(dir, "picture-" + std::to_string(i), pictures[i]);
        Write(dir, "image-archive-" + std::to_string(i),
              WriteImageArchive("MImageList" + std::to_string(i), {r}));
        all.push_back(r);
    }
    Write(dir, "image-archive-all", WriteImageArchive("MImageList2", all));
    Write(dir, "image-archive-empty", WriteImageArchive("E", {}));

    // A hand-made archive with the rarer encodings: flags byte, wide and long strings,
    // identifiers, position values, 16 and 32-bit integers.
    Bytes a;
    a.U8(0xFF).U16(10).Raw("RES").U8(0).U16(0x1030).U32(0);
    a.Raw("TPF0").U8(0xF2).Int16(3).Short("TImageArchive").Short("L");
    a.Prop("List").U8(vorlane::va::Collection).Int8(0).U8(vorlane::va::List);
    a.Prop("Name").WStr(u"Wide").Prop("TransparentColor").Ident("clBtnFace").Prop("PatternWidth").Int16(300);
    a.Prop("SkipHeight").Int32(-70000).Prop("Picture.Data").Binary(pictures[0]).End();
    a.Int16(1).U8(vorlane::va::List).Prop("Name").LStr("Long").End().End();
    a.ColorTable().Epilogue();
    Write(dir, "image-archive-encodings", a.b);

    std::vector<SoundRecord> sounds = {
        {"Horn", true, 0, EncodeWave16({0, 100, -100, 2000}, 1, 22050)},
        {"Tick", false, 2, EncodeWave16({1, -1}, 2, 44100)},
        {"Empty", false, -1, {}},
    };
    Write(dir, "sound-archive", WriteSoundArchive("MSoundList", sounds));
    std::printf("seed corpus written to %s\n", dir.string().c_str());
    return 0;
}
