#pragma once
// The generated sound archive and songs, made once per test program, and the measures
// the audio tests share.
#include "datagen/Families.h"
#include "engine/ArchiveWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace vorlane::datagen::audiotest {

inline const std::vector<uint8_t>& SoundArchiveBytes() {
    static const std::vector<uint8_t> bytes = WriteSoundArchive("MSoundList", BuildSounds());
    return bytes;
}

inline const std::vector<uint8_t>& MenuSongBytes() {
    static const std::vector<uint8_t> bytes = BuildMenuSong();
    return bytes;
}

inline const std::vector<uint8_t>& RaceSongBytes() {
    static const std::vector<uint8_t> bytes = BuildRaceSong();
    return bytes;
}

// The value below which `fraction` of the values lie.
inline double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0.0;
    const size_t k = std::min(values.size() - 1, size_t(fraction * double(values.size())));
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(k), values.end());
    return values[k];
}

// How a loop's last sample leads back into its first, against the sound's own motion:
// the jump across the seam next to the 99.9th percentile of its sample-to-sample steps,
// and the bend (second difference) across the seam next to that of its bends. A click
// is a jump or a bend that the sound never makes elsewhere.
struct Seam {
    double jump = 0.0, jumpLimit = 0.0, bend = 0.0, bendLimit = 0.0;
    bool Smooth() const {
        const double slack = 1.0 + 1e-9; // equal steps may differ in the last bit
        return jump <= jumpLimit * slack && bend <= bendLimit * slack;
    }
};

template <class Sample> Seam MeasureSeam(const std::vector<Sample>& s) {
    Seam seam;
    const size_t n = s.size();
    if (n < 3) return seam;
    std::vector<double> steps, bends;
    for (size_t i = 1; i < n; ++i)
        steps.push_back(std::fabs(double(s[i]) - double(s[i - 1])));
    for (size_t i = 2; i < n; ++i)
        bends.push_back(std::fabs(double(s[i]) - 2.0 * double(s[i - 1]) + double(s[i - 2])));
    seam.jump = std::fabs(double(s[0]) - double(s[n - 1]));
    seam.bend = std::max(std::fabs(double(s[0]) - 2.0 * double(s[n - 1]) + double(s[n - 2])),
                         std::fabs(double(s[1]) - 2.0 * double(s[0]) + double(s[n - 1])));
    seam.jumpLimit = Percentile(steps, 0.999);
    seam.bendLimit = Percentile(bends, 0.999);
    return seam;
}

} // namespace vorlane::datagen::audiotest
