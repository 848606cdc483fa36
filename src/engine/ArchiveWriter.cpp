// Writing archives in the container the game reads: resource header, "TPF0", the
// component with its properties, no children. Every property is written, so a file
// says everything about each item.
#include "engine/ArchiveWriter.h"

#include "engine/ArchiveReader.h"
#include "engine/Picture.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace vorlane {

namespace {

class ObjectWriter {
  public:
    std::vector<uint8_t> bytes;

    void Byte(uint8_t b) { bytes.push_back(b); }
    void U16(uint16_t v) {
        Byte(uint8_t(v));
        Byte(uint8_t(v >> 8));
    }
    void U32(uint32_t v) {
        U16(uint16_t(v));
        U16(uint16_t(v >> 16));
    }
    void Raw(const void* data, size_t n) {
        auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    void ShortString(const std::string& s) {
        if (s.size() > 255) throw EngineError("Name too long for the archive: " + s);
        Byte(uint8_t(s.size()));
        Raw(s.data(), s.size());
    }

    void Integer(int32_t v) {
        if (v >= INT8_MIN && v <= INT8_MAX) {
            Byte(va::Int8);
            Byte(uint8_t(int8_t(v)));
        } else if (v >= INT16_MIN && v <= INT16_MAX) {
            Byte(va::Int16);
            U16(uint16_t(int16_t(v)));
        } else {
            Byte(va::Int32);
            U32(uint32_t(v));
        }
    }
    void Boolean(bool v) { Byte(v ? va::True : va::False); }
    void String(const std::string& s) {
        if (s.size() <= 255) {
            Byte(va::String);
            ShortString(s);
        } else {
            Byte(va::LString);
            U32(uint32_t(s.size()));
            Raw(s.data(), s.size());
        }
    }
    void Color(uint32_t c) {
        std::string_view ident = IdentFromColor(c);
        if (ident.empty()) return Integer(int32_t(c));
        Byte(va::Ident);
        ShortString(std::string(ident));
    }
    void Binary(const uint8_t* data, size_t n) {
        Byte(va::Binary);
        U32(uint32_t(n));
        Raw(data, n);
    }

    // Resource header, signature and component header; End() finishes the file.
    void Begin(const std::string& componentName, const std::string& className) {
        std::string resName = componentName.substr(0, 63);
        for (char& c : resName)
            c = char(std::toupper((unsigned char)c));
        Byte(0xFF);
        U16(10);
        Raw(resName.c_str(), resName.size() + 1);
        U16(0x1030);
        lengthAt_ = bytes.size();
        U32(0);
        Raw("TPF0", 4);
        ShortString(className);
        ShortString(componentName);
    }
    void End() {
        Byte(va::Null); // end of the component's properties
        Byte(va::Null); // no children
        uint32_t length = uint32_t(bytes.size() - lengthAt_ - 4);
        for (int i = 0; i < 4; ++i)
            bytes[lengthAt_ + size_t(i)] = uint8_t(length >> (8 * i));
    }

    template <class Item>
    void Collection(const std::string& property, const std::vector<Item>& items,
                    const std::function<void(const Item&)>& writeItem) {
        ShortString(property);
        Byte(va::Collection);
        for (const Item& item : items) {
            Byte(va::List);
            writeItem(item);
            Byte(va::Null);
        }
        Byte(va::Null);
    }

  private:
    size_t lengthAt_ = 0;
};

} // namespace

std::vector<uint8_t> WriteImageArchive(const std::string& componentName,
                                       const std::vector<ImageRecord>& items) {
    ObjectWriter w;
    w.Begin(componentName, "TImageArchive");
    // The colour table only matters on an 8-bit display; a grey ramp keeps it harmless.
    uint8_t table[1024];
    for (int i = 0; i < 256; ++i) {
        table[i * 4 + 0] = table[i * 4 + 1] = table[i * 4 + 2] = uint8_t(i);
        table[i * 4 + 3] = 0;
    }
    w.ShortString("List.ColorTable");
    w.Binary(table, sizeof table);
    w.Collection<ImageRecord>("List", items, [&](const ImageRecord& item) {
        w.ShortString("Name");
        w.String(item.name);
        w.ShortString("PatternWidth");
        w.Integer(item.patternWidth);
        w.ShortString("PatternHeight");
        w.Integer(item.patternHeight);
        w.ShortString("SkipWidth");
        w.Integer(item.skipWidth);
        w.ShortString("SkipHeight");
        w.Integer(item.skipHeight);
        w.ShortString("Transparent");
        w.Boolean(item.transparent);
        w.ShortString("TransparentColor");
        w.Color(item.transparentColor);
        w.ShortString("SystemMemory");
        w.Boolean(item.systemMemory);
        if (!item.picture.empty()) {
            w.ShortString("Picture.Data");
            w.Binary(item.picture.data(), item.picture.size());
        }
    });
    w.End();
    return std::move(w.bytes);
}

std::vector<uint8_t> WriteSoundArchive(const std::string& componentName,
                                       const std::vector<SoundRecord>& items) {
    ObjectWriter w;
    w.Begin(componentName, "TSoundArchive");
    w.Collection<SoundRecord>("List", items, [&](const SoundRecord& item) {
        w.ShortString("Name");
        w.String(item.name);
        w.ShortString("Looped");
        w.Boolean(item.looped);
        w.ShortString("MaxPlayingCount");
        w.Integer(item.maxPlayingCount);
        w.ShortString("Wave.WAVE");
        w.Binary(item.wave.data(), item.wave.size());
    });
    w.End();
    return std::move(w.bytes);
}

std::vector<uint8_t> EncodePngPicture(const RgbaImage& image) {
    ObjectWriter w;
    w.ShortString("PNG");
    if (image.Empty()) {
        w.U32(0);
        return std::move(w.bytes);
    }
    std::vector<uint8_t> png = EncodePng(image);
    w.U32(uint32_t(png.size()));
    w.Raw(png.data(), png.size());
    return std::move(w.bytes);
}

std::vector<uint8_t> EncodeDibPicture(const RgbaImage& image, int bitCount) {
    if (bitCount != 24 && bitCount != 32) throw EngineError("A DIB picture is written with 24 or 32 bits");
    ObjectWriter w;
    w.ShortString("DIB");
    if (image.Empty()) return std::move(w.bytes);
    const uint32_t stride = (uint32_t(image.width) * uint32_t(bitCount) + 31) / 32 * 4;
    w.U32(40);
    w.U32(uint32_t(image.width));
    w.U32(uint32_t(image.height)); // bottom-up
    w.U16(1);
    w.U16(uint16_t(bitCount));
    w.U32(0); // uncompressed
    w.U32(stride * uint32_t(image.height));
    w.U32(2835); // 72 dpi
    w.U32(2835);
    w.U32(0);
    w.U32(0);
    for (int y = image.height - 1; y >= 0; --y) {
        size_t rowStart = w.bytes.size();
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.At(x, y);
            w.Byte(uint8_t(p));
            w.Byte(uint8_t(p >> 8));
            w.Byte(uint8_t(p >> 16));
            if (bitCount == 32) w.Byte(0);
        }
        w.bytes.resize(rowStart + stride, 0);
    }
    return std::move(w.bytes);
}

std::vector<uint8_t> EncodeWave16(const std::vector<int16_t>& samples, int channels, int sampleRate) {
    if (channels <= 0 || sampleRate <= 0) throw EngineError("A recording needs channels and a sample rate");
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    ObjectWriter w;
    w.Raw("RIFF", 4);
    w.U32(36 + dataBytes);
    w.Raw("WAVE", 4);
    w.Raw("fmt ", 4);
    w.U32(16);
    w.U16(1); // PCM
    w.U16(uint16_t(channels));
    w.U32(uint32_t(sampleRate));
    w.U32(uint32_t(sampleRate) * uint32_t(channels) * 2);
    w.U16(uint16_t(channels * 2));
    w.U16(16);
    w.Raw("data", 4);
    w.U32(dataBytes);
    for (int16_t s : samples)
        w.U16(uint16_t(s));
    return std::move(w.bytes);
}

} // namespace vorlane
