// Writes the replay fuzzer's seed corpus into the folder given: made-up races of a few
// shapes, each as a whole file and as a bare body.
#include "replay/ReplayFile.h"
#include "replay/ReplayRecorder.h"
#include "replay/SyntheticRace.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace vorlane;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_replay_seeds <corpus folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const replaytest::SyntheticRaceSettings shapes[] = {
        {0, 1, 25, false}, {5, 2, 2, false}, {120, 3, 10, false}, {400, 4, 25, true}, {900, 5, 4, false}};
    int n = 0;
    for (const auto& shape : shapes) {
        const std::vector<uint8_t> file = WriteReplay(replaytest::MakeSyntheticRace(shape));
        const std::vector<uint8_t> body(file.begin() + long(kReplayHeaderSize), file.end());
        for (const auto* bytes : {&file, &body}) {
            std::ofstream out(folder / ("replay-seed-" + std::to_string(n++)), std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes->data()), std::streamsize(bytes->size()));
        }
    }
    std::printf("%d replay seeds written to %s\n", n, folder.string().c_str());
    return 0;
}
