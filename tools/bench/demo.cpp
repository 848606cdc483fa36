// A headless look at the drawing path: writes an image archive with the engine's
// writer, loads it, scrolls a chip grid with rotating and blended cars over it through
// the software renderer, and saves frames as PNG files.
//
//   vorlane_demo [output.png]      (default build/demo.png; a few numbered frames too)
#include "bench/DrawScene.h"
#include "platform/Files.h"
#include "platform/PngFile.h"
#include "platform/SdlDisplay.h"
#include "platform/TextRenderer.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    using namespace vorlane;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string output = argc > 1 ? argv[1] : "build/demo.png";
    const std::string stem = output.size() > 4 ? output.substr(0, output.size() - 4) : output;
    try {
        const std::string archive = stem + "_scene.gfx";
        if (!WriteFileAtomically(archive, bench::SceneArchive())) {
            std::fprintf(stderr, "cannot write %s\n", archive.c_str());
            return 1;
        }
        DisplayOptions options;
        options.hidden = true;
        options.software = true;
        SdlDisplay display(options);
        TtfTextRenderer text(display);
        TImageCollection images;
        images.LoadArchive(archive);
        images.DisplayInitialised(display.Surface());
        TSpriteEngine engine;
        engine.SetSurface(&display.Surface());
        bench::Scene scene(engine, images);
        const int title = text.Font("Beast Impacted", 28, true);
        const int hud = text.Font("DS Crystal", 22, false);

        const int frames = 90;
        for (int frame = 0; frame < frames; ++frame) {
            display.Clear();
            engine.DrawAll();
            text.Draw(title, "VORLANE DRAWING DEMO", 20, 12, 0xFFFFFF);
            text.Draw(hud, "FRAME " + std::to_string(frame), 640, 560, 0x2AFF00);
            if (frame % 30 == 29 || frame == frames - 1) {
                const RgbaImage shot = display.ReadPixels();
                const std::string name =
                    frame == frames - 1 ? output : stem + "_" + std::to_string(frame) + ".png";
                if (!SavePng(shot, name)) {
                    std::fprintf(stderr, "cannot write %s\n", name.c_str());
                    return 1;
                }
                std::printf("%s (%dx%d)\n", name.c_str(), shot.width, shot.height);
            }
            display.Flip();
            engine.MoveAll(16);
            scene.track->Y += 6; // the world scrolls down the screen
        }
        std::printf("fonts: %s, %s; renderer %s\n", text.ResolvedFamily(title).c_str(),
                    text.ResolvedFamily(hud).c_str(), display.RendererName().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo: %s\n", e.what());
        return 1;
    }
    return 0;
}
