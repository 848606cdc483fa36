#pragma once
// CRC-32 (the polynomial of zip and PNG), for the checks the game keeps over its own
// binary files: any one changed byte, and any burst of up to 32 changed bits, changes it.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorlane {

// Continues a CRC over more bytes: Crc32(b, Crc32(a)) == Crc32(a followed by b).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
inline uint32_t Crc32(std::string_view bytes, uint32_t crc = 0) {
    return Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), crc);
}

} // namespace vorlane
