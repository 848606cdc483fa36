#pragma once
// Reading the game's archive files: the container shared by the image archives
// (Res1.gfx, Res2.gfx) and the sound archive (Sounds.sfx). A resource header, the
// "TPF0" signature, one component with its typed property values, no children.
//
// Every failure is an EngineError with the reader's message ("Invalid stream format",
// "Stream read error", "Property %s does not exist", "DIB is invalid", ...). The
// readers never trust a stored length: everything is checked against the bytes left.
#include "engine/ArchiveWriter.h"
#include "engine/Types.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// The reader's messages.
inline constexpr const char* kInvalidStreamFormat = "Invalid stream format";
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kInvalidPropertyValue = "Invalid property value";
inline constexpr const char* kDibInvalid = "DIB is invalid";
inline constexpr const char* kPixelFormatInvalid = "PixelFormat in invalid";
inline constexpr const char* kPngInvalid = "PNG is invalid";

// Type bytes of the stored values.
namespace va {
inline constexpr uint8_t Null = 0, List = 1, Int8 = 2, Int16 = 3, Int32 = 4, String = 6, Ident = 7, False = 8,
                         True = 9, Binary = 10, LString = 12, Collection = 14, WString = 18, Utf8String = 20;
}

// The whole file. Throws EngineError "Cannot open file "<path>". <system reason>".
std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Little-endian reading with bounds: any read past the end throws "Stream read error".
class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t Position() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    void Seek(size_t pos); // past the end throws "Stream read error"

    uint8_t PeekByte() const; // throws at the end
    uint8_t ReadByte();
    uint16_t ReadU16();
    int16_t ReadI16() { return int16_t(ReadU16()); }
    uint32_t ReadU32();
    int32_t ReadI32() { return int32_t(ReadU32()); }
    // A view of the next count bytes (count is checked before anything is taken).
    std::span<const uint8_t> ReadBytes(uint64_t count);
    void Skip(uint64_t count) { ReadBytes(count); }

  private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

// One image item as stored, with its picture decoded.
struct ImageItemData {
    std::string name;
    int32_t patternWidth = 0;
    int32_t patternHeight = 0;
    int32_t skipWidth = 0;
    int32_t skipHeight = 0;
    bool transparent = true;
    uint32_t transparentColor = 0; // 0x00BBGGRR
    bool systemMemory = false;
    std::string pictureKind; // "DIB", "TBitmap", "PNG", another kind's name, or empty
    RgbaImage picture;       // rows top-down, 0xAARRGGBB
    bool hasPicture = false; // false for no picture, an unknown kind or an empty picture
};

struct ImageArchiveData {
    std::array<uint8_t, 1024> colorTable{}; // 256 entries of blue, green, red, 0
    std::vector<ImageItemData> items;       // in file order
};

// Parse an image archive. Messages are the bare reader messages; callers that know a
// file name put it in front (TImageCollection does).
ImageArchiveData ReadImageArchiveData(std::span<const uint8_t> bytes);
std::vector<ImageItemData> ReadImageArchive(const std::vector<uint8_t>& bytes);

// Parse a sound archive: each item's name, flags and the "Wave.WAVE" payload as stored
// (a RIFF WAVE file, not parsed here).
std::vector<SoundRecord> ReadSoundArchive(const std::vector<uint8_t>& bytes);

// Colour identifiers of the archive format ("clRed" -> 0x0000FF, "clBtnFace" ->
// 0xFF00000F, "clNone", "clDefault"), compared without regard to case.
std::optional<uint32_t> ColorFromIdent(std::string_view ident);
// The identifier of one of the twenty named colours, empty for any other value.
std::string_view IdentFromColor(uint32_t color);

// "<file>: <message>", the form every load error takes once the file is known.
std::string MessageWithFile(const std::string& file, const std::string& message);

} // namespace vorlane
