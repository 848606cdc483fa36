// The archive container: resource header, "TPF0", one component whose properties are
// typed values, and no children. Image archives keep a colour table and a collection
// of picture items; the sound archive a collection of recordings.
#include "engine/ArchiveReader.h"

#include "engine/MessageText.h"
#include "engine/Picture.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace vorlane {

// ---------------------------------------------------------------- files and bytes

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    auto fail = [&](int err) -> std::vector<uint8_t> {
        throw EngineError("Cannot open file \"" + path + "\". " + std::strerror(err));
    };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return fail(errno);
    // Read into room of the file's size (a file that grows meanwhile is read on to
    // its end all the same).
    std::vector<uint8_t> bytes;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        if (size > 0) bytes.reserve(size_t(size));
        std::rewind(file.get());
    }
    uint8_t chunk[65536];
    for (;;) {
        if (bytes.capacity() > bytes.size()) {
            // Straight into the room already there.
            const size_t at = bytes.size();
            bytes.resize(bytes.capacity());
            const size_t got = std::fread(bytes.data() + at, 1, bytes.size() - at, file.get());
            bytes.resize(at + got);
            if (got > 0) continue;
        } else {
            const size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
            bytes.insert(bytes.end(), chunk, chunk + got);
            if (got == sizeof chunk) continue;
        }
        if (std::ferror(file.get())) return fail(errno ? errno : EIO);
        break;
    }
    return bytes;
}

std::string MessageWithFile(const std::string& file, const std::string& message) {
    if (file.empty()) return message;
    return file + ": " + message;
}

void ByteReader::Seek(size_t pos) {
    if (pos > bytes_.size()) throw EngineError(kStreamReadError);
    pos_ = pos;
}

uint8_t ByteReader::PeekByte() const {
    if (pos_ >= bytes_.size()) throw EngineError(kStreamReadError);
    return bytes_[pos_];
}

uint8_t ByteReader::ReadByte() {
    uint8_t b = PeekByte();
    ++pos_;
    return b;
}

uint16_t ByteReader::ReadU16() {
    auto b = ReadBytes(2);
    return uint16_t(b[0] | (b[1] << 8));
}

uint32_t ByteReader::ReadU32() {
    auto b = ReadBytes(4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

std::span<const uint8_t> ByteReader::ReadBytes(uint64_t count) {
    if (count > Remaining()) throw EngineError(kStreamReadError);
    auto view = bytes_.subspan(pos_, size_t(count));
    pos_ += size_t(count);
    return view;
}

// ---------------------------------------------------------------- colour identifiers

namespace {

struct NamedColor {
    const char* ident;
    uint32_t value;
};

// The twenty named colours first (IdentFromColor answers only these), then the
// window-system colours, which carry 0xFF000000 plus the system colour number.
constexpr NamedColor kColors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", 0xFF000000},
    {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002},
    {"clInactiveCaption", 0xFF000003},
    {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008},
    {"clCaptionText", 0xFF000009},
    {"clActiveBorder", 0xFF00000A},
    {"clInactiveBorder", 0xFF00000B},
    {"clAppWorkSpace", 0xFF00000C},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clBtnFace", 0xFF00000F},
    {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},
    {"clBtnText", 0xFF000012},
    {"clInactiveCaptionText", 0xFF000013},
    {"clBtnHighlight", 0xFF000014},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clInfoText", 0xFF000017},
    {"clInfoBk", 0xFF000018},
    {"clHotLight", 0xFF00001A},
    {"clGradientActiveCaption", 0xFF00001B},
    {"clGradientInactiveCaption", 0xFF00001C},
    {"clMenuHighlight", 0xFF00001D},
    {"clMenuBar", 0xFF00001E},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};
constexpr size_t kNamedColorCount = 20;

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = (unsigned char)a[i], y = (unsigned char)b[i];
        if (x >= 'A' && x <= 'Z') x = (unsigned char)(x + 32);
        if (y >= 'A' && y <= 'Z') y = (unsigned char)(y + 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

std::optional<uint32_t> ColorFromIdent(std::string_view ident) {
    for (const auto& c : kColors)
        if (SameText(ident, c.ident)) return c.value;
    return std::nullopt;
}

std::string_view IdentFromColor(uint32_t color) {
    for (size_t i = 0; i < kNamedColorCount; ++i)
        if (kColors[i].value == color) return kColors[i].ident;
    return {};
}

// ---------------------------------------------------------------- the object stream

namespace {

// Reads the typed values of the component stream. Reads past the end give "Stream
// read error"; a value of the wrong type for its property "Invalid property value".
class ObjectReader {
  public:
    explicit ObjectReader(std::span<const uint8_t> bytes) : bytes_(bytes), r_(bytes) {}

    // Resource header, signature and component header; leaves the reader on the first
    // property.
    void ReadPrologue() {
        // The header is looked at through an 80-byte window: 0xFF, 16-bit 10, then the
        // name up to its 0 byte within the window.
        uint8_t header[80] = {};
        size_t got = std::min<size_t>(bytes_.size(), 79);
        if (got > 0) std::memcpy(header, bytes_.data(), got);
        if (header[0] != 0xFF || header[1] != 10 || header[2] != 0) throw EngineError(kInvalidStreamFormat);
        size_t nameLen = 0;
        while (3 + nameLen < 79 && header[3 + nameLen] != 0)
            ++nameLen;
        // Name, its 0 byte, 16-bit flags and 32-bit length.
        r_.Seek(3 + nameLen + 1 + 2 + 4);

        auto signature = r_.ReadBytes(4);
        if (std::memcmp(signature.data(), "TPF0", 4) != 0) throw EngineError(kInvalidStreamFormat);

        if ((r_.PeekByte() & 0xF0) == 0xF0) {
            uint8_t flags = r_.ReadByte() & 0x0F;
            if (flags & 0x02) ReadInteger(); // the child position
        }
        ReadShortString(); // class name
        ReadShortString(); // component name
    }

    // After the properties' 0 byte: the children, of which there are none.
    void ReadEpilogue() {
        if (r_.ReadByte() != 0) throw EngineError(kInvalidStreamFormat);
    }

    bool EndOfList() const { return r_.PeekByte() == va::Null; }
    void ReadListEnd() {
        if (r_.ReadByte() != va::Null) throw EngineError(kInvalidPropertyValue);
    }

    std::string ReadShortString() {
        uint8_t len = r_.ReadByte();
        auto chars = r_.ReadBytes(len);
        return std::string(chars.begin(), chars.end());
    }

    int32_t ReadInteger() {
        switch (r_.ReadByte()) {
        case va::Int8:
            return int8_t(r_.ReadByte());
        case va::Int16:
            return r_.ReadI16();
        case va::Int32:
            return r_.ReadI32();
        default:
            throw EngineError(kInvalidPropertyValue);
        }
    }

    bool ReadBoolean() {
        switch (r_.ReadByte()) {
        case va::False:
            return false;
        case va::True:
            return true;
        default:
            throw EngineError(kInvalidPropertyValue);
        }
    }

    std::string ReadString() {
        switch (r_.ReadByte()) {
        case va::String: {
            auto chars = r_.ReadBytes(r_.ReadByte());
            return std::string(chars.begin(), chars.end());
        }
        case va::LString:
        case va::Utf8String: {
            auto chars = r_.ReadBytes(r_.ReadU32());
            return std::string(chars.begin(), chars.end());
        }
        case va::WString: {
            uint64_t count = r_.ReadU32();
            return Utf16ToUtf8(r_.ReadBytes(count * 2));
        }
        default:
            throw EngineError(kInvalidPropertyValue);
        }
    }

    // A colour: an integer, or an identifier of the colour table.
    uint32_t ReadColor() {
        if (r_.PeekByte() == va::Ident) {
            r_.ReadByte();
            auto chars = r_.ReadBytes(r_.ReadByte());
            auto value =
                ColorFromIdent(std::string_view(reinterpret_cast<const char*>(chars.data()), chars.size()));
            if (!value) throw EngineError(kInvalidPropertyValue);
            return *value;
        }
        return uint32_t(ReadInteger());
    }

    std::span<const uint8_t> ReadBinary() {
        if (r_.ReadByte() != va::Binary) throw EngineError(kInvalidPropertyValue);
        return r_.ReadBytes(r_.ReadU32());
    }

    // A collection value: for every item onItem() is called to start it, then
    // onProperty(name) reads each of its properties. A non-empty collection first
    // calls onClear().
    void ReadCollection(const std::function<void()>& onClear, const std::function<void()>& onItem,
                        const std::function<void(const std::string&)>& onProperty) {
        if (r_.ReadByte() != va::Collection) throw EngineError(kInvalidPropertyValue);
        if (!EndOfList()) onClear();
        while (!EndOfList()) {
            uint8_t next = r_.PeekByte();
            if (next == va::Int8 || next == va::Int16 || next == va::Int32)
                ReadInteger(); // position, ignored
            if (r_.ReadByte() != va::List) throw EngineError(kInvalidPropertyValue);
            onItem();
            while (!EndOfList())
                onProperty(ReadShortString());
            ReadListEnd();
        }
        ReadListEnd();
    }

  private:
    static std::string Utf16ToUtf8(std::span<const uint8_t> bytes) {
        std::string out;
        size_t n = bytes.size() / 2;
        auto unit = [&](size_t i) { return uint32_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };
        for (size_t i = 0; i < n; ++i) {
            uint32_t c = unit(i);
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c < 0xE000) {
                c = 0xFFFD;
            }
            if (c < 0x80) {
                out += char(c);
            } else if (c < 0x800) {
                out += char(0xC0 | (c >> 6));
                out += char(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                out += char(0xE0 | (c >> 12));
                out += char(0x80 | ((c >> 6) & 0x3F));
                out += char(0x80 | (c & 0x3F));
            } else {
                out += char(0xF0 | (c >> 18));
                out += char(0x80 | ((c >> 12) & 0x3F));
                out += char(0x80 | ((c >> 6) & 0x3F));
                out += char(0x80 | (c & 0x3F));
            }
        }
        return out;
    }

    std::span<const uint8_t> bytes_;
    ByteReader r_;
};

[[noreturn]] void UnknownProperty(const std::string& name) {
    throw EngineError("Property " + ExcerptForMessage(name) + " does not exist");
}

} // namespace

// ---------------------------------------------------------------- image archives

ImageArchiveData ReadImageArchiveData(std::span<const uint8_t> bytes) {
    ObjectReader in(bytes);
    in.ReadPrologue();
    ImageArchiveData archive;
    while (!in.EndOfList()) {
        std::string property = in.ReadShortString();
        if (SameText(property, "List.ColorTable")) {
            auto table = in.ReadBinary();
            if (table.size() < archive.colorTable.size()) throw EngineError(kStreamReadError);
            std::copy_n(table.begin(), archive.colorTable.size(), archive.colorTable.begin());
        } else if (SameText(property, "List")) {
            in.ReadCollection([&] { archive.items.clear(); }, [&] { archive.items.emplace_back(); },
                              [&](const std::string& name) {
                                  ImageItemData& item = archive.items.back();
                                  if (SameText(name, "Name")) {
                                      item.name = in.ReadString();
                                  } else if (SameText(name, "PatternWidth")) {
                                      item.patternWidth = in.ReadInteger();
                                  } else if (SameText(name, "PatternHeight")) {
                                      item.patternHeight = in.ReadInteger();
                                  } else if (SameText(name, "SkipWidth")) {
                                      item.skipWidth = in.ReadInteger();
                                  } else if (SameText(name, "SkipHeight")) {
                                      item.skipHeight = in.ReadInteger();
                                  } else if (SameText(name, "Transparent")) {
                                      item.transparent = in.ReadBoolean();
                                  } else if (SameText(name, "TransparentColor")) {
                                      item.transparentColor = in.ReadColor();
                                  } else if (SameText(name, "SystemMemory")) {
                                      item.systemMemory = in.ReadBoolean();
                                  } else if (SameText(name, "Picture.Data")) {
                                      DecodedPicture picture = DecodePicture(in.ReadBinary());
                                      item.pictureKind = std::move(picture.kind);
                                      item.picture = std::move(picture.image);
                                      item.hasPicture = picture.hasPicture;
                                  } else {
                                      UnknownProperty(name);
                                  }
                              });
        } else {
            UnknownProperty(property);
        }
    }
    in.ReadListEnd();
    in.ReadEpilogue();
    return archive;
}

std::vector<ImageItemData> ReadImageArchive(const std::vector<uint8_t>& bytes) {
    return std::move(ReadImageArchiveData(bytes).items);
}

// ---------------------------------------------------------------- the sound archive

std::vector<SoundRecord> ReadSoundArchive(const std::vector<uint8_t>& bytes) {
    ObjectReader in(bytes);
    in.ReadPrologue();
    std::vector<SoundRecord> items;
    while (!in.EndOfList()) {
        std::string property = in.ReadShortString();
        if (!SameText(property, "List")) UnknownProperty(property);
        in.ReadCollection([&] { items.clear(); }, [&] { items.emplace_back(); },
                          [&](const std::string& name) {
                              SoundRecord& item = items.back();
                              if (SameText(name, "Name")) {
                                  item.name = in.ReadString();
                              } else if (SameText(name, "Looped")) {
                                  item.looped = in.ReadBoolean();
                              } else if (SameText(name, "MaxPlayingCount")) {
                                  // No limit is 0; a negative count means the same.
                                  item.maxPlayingCount = std::max(0, in.ReadInteger());
                              } else if (SameText(name, "Wave.WAVE")) {
                                  auto wave = in.ReadBinary();
                                  item.wave.assign(wave.begin(), wave.end());
                              } else {
                                  UnknownProperty(name);
                              }
                          });
    }
    in.ReadListEnd();
    in.ReadEpilogue();
    return items;
}

} // namespace vorlane
