#pragma once
// The names, pattern counts and pattern sizes of every picture the game looks up. The
// generator draws to this table and the tests check the written archives against it.
#include <vector>

namespace vorlane::datagen {

struct CatalogueEntry {
    int list;         // image list 1 (Res1.gfx) or 2 (Res2.gfx)
    const char* name; // the name the game looks the picture up by
    int patterns;     // number of patterns, cut row by row
    int width;        // width of one pattern
    int height;       // height of one pattern
};

const std::vector<CatalogueEntry>& MenuCatalogue(); // image list 1
const std::vector<CatalogueEntry>& RaceCatalogue(); // image list 2

// The entry of that name in the catalogue, or nullptr.
const CatalogueEntry* FindCatalogueEntry(const std::vector<CatalogueEntry>& catalogue, const char* name);

} // namespace vorlane::datagen
