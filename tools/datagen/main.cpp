// datagen: makes every picture, sound and song of the game.
//
//   datagen --out DIR               write DIR/Data/... (all products)
//   datagen --sheet ARCHIVE OUT.png contact sheet of every image of an image archive
//   datagen --previews DIR          menu screens assembled from the generated pictures
//   datagen --track-preview SEED LEVEL OUT.png   the race screen on a generated track
//   datagen --render-audio DIR      every sound effect and both songs as WAV files, with a report
#include "datagen/Families.h"
#include "datagen/audio/Render.h"
#include "datagen/common/FileOut.h"
#include "datagen/icon/AppIcon.h"
#include "datagen/preview/Previews.h"
#include "datagen/preview/Sheet.h"
#include "datagen/race/TrackPreview.h"
#include "engine/Picture.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <future>
#include <string>
#include <vector>

namespace vorlane::datagen {
namespace {

// One file of the game's data and the function that makes its bytes.
struct Product {
    std::string path; // relative to the output folder
    std::function<std::vector<uint8_t>()> make;
};

std::vector<Product> Products() {
    std::vector<Product> products = {
        {"Data/Res/Res1.gfx", [] { return WriteImageArchive("MImageList1", BuildMenuImages()); }},
        {"Data/Res/Res2.gfx", [] { return WriteImageArchive("MImageList2", BuildRaceImages()); }},
        {"Data/Res/Sounds.sfx", [] { return WriteSoundArchive("MSoundList", BuildSounds()); }},
        {"Data/Music/Menu.xm", [] { return BuildMenuSong(); }},
        {"Data/Music/Race.xm", [] { return BuildRaceSong(); }},
    };
    // The desktop's icons of the game (installed, not read by the game).
    for (int size : kAppIconSizes)
        products.push_back({AppIconPath(size), [size] { return EncodePng(DrawAppIcon(size)); }});
    return products;
}

int WriteAll(const std::string& root) {
    // Every product is independent of the others: make them side by side.
    const std::vector<Product> products = Products();
    std::vector<std::future<std::vector<uint8_t>>> results;
    for (const Product& p : products)
        results.push_back(std::async(std::launch::async, p.make));
    int failures = 0;
    for (size_t i = 0; i < products.size(); ++i) {
        const std::string path = root + "/" + products[i].path;
        try {
            WriteFileAtomic(path, results[i].get());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "datagen: %s: %s\n", path.c_str(), e.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

int Usage() {
    std::fprintf(stderr, "usage: datagen --out DIR\n"
                         "       datagen --sheet ARCHIVE OUT.png\n"
                         "       datagen --previews DIR\n"
                         "       datagen --render-audio DIR\n"
                         "       datagen --track-preview SEED LEVEL OUT.png\n");
    return 2;
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "--out") return WriteAll(args[1]);
    if (args.size() == 3 && args[0] == "--sheet") {
        WriteContactSheet(args[1], args[2]);
        return 0;
    }
    if (args.size() == 2 && args[0] == "--render-audio") {
        audio::RenderAudio(args[1]);
        return 0;
    }
    if (args.size() == 2 && args[0] == "--previews") {
        WriteScreenPreviews(args[1]);
        return 0;
    }
    if (args.size() == 4 && args[0] == "--track-preview") {
        race::WriteTrackPreview(uint32_t(std::stoul(args[1])), std::stoi(args[2]), args[3]);
        return 0;
    }
    return Usage();
}

} // namespace
} // namespace vorlane::datagen

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return vorlane::datagen::Run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "datagen: %s\n", e.what());
        return 1;
    }
}
