// The main menu: background and the six buttons in their normal, highlighted and
// after-intro looks.
#include "datagen/menus/MenuPictures.h"

#include "datagen/common/Plates.h"

#include <string>
#include <vector>

namespace vorlane::datagen {
namespace {

struct MenuButton {
    int item;
    int width;
    std::vector<std::string> lines;
};

} // namespace

void DrawMainMenuPictures(std::vector<GeneratedPicture>& out) {
    GeneratedPicture background;
    background.name = "MMBG";
    background.image = DrawMenuBackground();
    background.kind = GeneratedPicture::Kind::Dib;
    out.push_back(std::move(background));

    const MenuButton buttons[] = {
        {1, 232, {"NEW GAME"}}, {2, 154, {"HIGH", "SCORES"}}, {3, 342, {"WEB SITE"}},
        {4, 232, {"OPTIONS"}},  {5, 232, {"HELP"}},           {6, 236, {"EXIT"}},
    };
    constexpr int kHeight = 90;
    for (const MenuButton& b : buttons) {
        const std::string base = "MM_" + std::to_string(b.item) + "_";
        const std::pair<const char*, Look> looks[] = {
            {"0", Look::Normal}, {"A", Look::Highlight}, {"I", Look::Intro}};
        for (const auto& [suffix, look] : looks) {
            const Look l = look;
            const MenuButton& button = b;
            out.push_back(DrawPicture(base + suffix, b.width, kHeight, [&](cairo_t* cr) {
                // The plate leaves room around it for the glow of the highlighted look.
                const double marginX = 10, marginY = button.lines.size() > 1 ? 8 : 13;
                DrawLabelledPlate(cr, marginX, marginY, button.width - 2 * marginX, kHeight - 2 * marginY, l,
                                  button.lines, button.lines.size() > 1 ? 30 : 40, 14);
            }));
        }
    }
}

} // namespace vorlane::datagen
