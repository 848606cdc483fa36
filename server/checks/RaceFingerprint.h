#pragma once
// What makes a verified replay count once: a fingerprint of the race a file holds.
// Two files of the same race have the same fingerprint however their bytes differ in
// what the race does not read (the name entry's text kept from before the race, the
// checksum); a file that cannot be read as a replay is fingerprinted by its bytes.
// 64 bits: two different races sharing one is a chance of about one in 10^19 per
// pair. The score server keeps it with each verified replay and lets one race verify
// one table row only.
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane::scores {

// 16 hexadecimal digits; never empty.
std::string RaceFingerprint(const std::vector<uint8_t>& bytes);

} // namespace vorlane::scores
