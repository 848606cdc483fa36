#pragma once
// A generated picture before it goes into an archive: its pixels, its pattern grid and
// the picture kind it is stored as.
#include "engine/ArchiveWriter.h"
#include "engine/Types.h"

#include <cairo.h>

#include <functional>
#include <string>

namespace vorlane::datagen {

struct GeneratedPicture {
    std::string name;
    RgbaImage image;
    int patternWidth = 0; // 0: the whole picture
    int patternHeight = 0;
    // Soft-edged pictures are stored as RGBA "PNG" with the colour key off; opaque
    // ones may be stored as a 24-bit "DIB".
    enum class Kind { Png, Dib } kind = Kind::Png;
    bool transparent = false; // the colour key (black) applies
};

// Draws `patterns` patterns of width x height, each on its own surface so that glows do
// not spill into the neighbour, and stacks them top to bottom (pattern 0 on top).
GeneratedPicture DrawPatterns(const std::string& name, int width, int height, int patterns,
                              const std::function<void(cairo_t*, int pattern)>& draw);

// One pattern.
GeneratedPicture DrawPicture(const std::string& name, int width, int height,
                             const std::function<void(cairo_t*)>& draw);

// The archive item for the picture.
ImageRecord ToImageRecord(const GeneratedPicture& picture);

// Saves a picture as a PNG file (for contact sheets and previews).
void SavePng(const RgbaImage& image, const std::string& path);

} // namespace vorlane::datagen
