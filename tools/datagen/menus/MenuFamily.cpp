// Image list 1 as archive items, checked against the catalogue.
#include "datagen/Catalogue.h"
#include "datagen/Families.h"
#include "datagen/menus/MenuPictures.h"

#include <stdexcept>
#include <string>

namespace vorlane::datagen {

std::vector<GeneratedPicture> DrawMenuPictures() {
    std::vector<GeneratedPicture> drawn;
    DrawMainMenuPictures(drawn);
    DrawCarSelectPictures(drawn);
    DrawOptionsPictures(drawn);
    DrawHelpPictures(drawn);
    DrawHighScorePictures(drawn);
    DrawDialogPictures(drawn);

    // Put them in catalogue order and make sure each has the catalogue's grid.
    std::vector<GeneratedPicture> ordered;
    for (const CatalogueEntry& entry : MenuCatalogue()) {
        GeneratedPicture* found = nullptr;
        for (GeneratedPicture& p : drawn)
            if (p.name == entry.name) found = &p;
        if (!found) throw std::logic_error(std::string("image list 1: no picture drawn for ") + entry.name);
        const int pw = found->patternWidth > 0 ? found->patternWidth : found->image.width;
        const int ph = found->patternHeight > 0 ? found->patternHeight : found->image.height;
        const int patterns = (found->image.width / pw) * (found->image.height / ph);
        if (pw != entry.width || ph != entry.height || patterns != entry.patterns)
            throw std::logic_error(std::string("image list 1: ") + entry.name + " is drawn " +
                                   std::to_string(patterns) + " x " + std::to_string(pw) + "x" +
                                   std::to_string(ph) + ", the catalogue wants " +
                                   std::to_string(entry.patterns) + " x " + std::to_string(entry.width) +
                                   "x" + std::to_string(entry.height));
        ordered.push_back(std::move(*found));
    }
    if (ordered.size() != drawn.size())
        throw std::logic_error("image list 1: pictures drawn that the catalogue lacks");
    return ordered;
}

std::vector<ImageRecord> BuildMenuImages() {
    std::vector<ImageRecord> records;
    for (const GeneratedPicture& picture : DrawMenuPictures())
        records.push_back(ToImageRecord(picture));
    return records;
}

} // namespace vorlane::datagen
