#pragma once
// The menus' buttons: bevelled plates with bold condensed capitals, in three looks.
#include "datagen/common/Paint.h"

#include <cairo.h>

#include <string>
#include <vector>

namespace vorlane::datagen {

enum class Look {
    Normal,    // cool steel
    Highlight, // glowing warm orange and red
    Intro,     // steel with a faint warm rim glow (the main menu after its fade-in)
};

// The look's palette.
struct LookColours {
    Colour faceTop, faceMid, faceBottom; // the plate's gradient
    Colour edge;                         // outer rim
    Colour bevelLight, bevelDark;        // inner bevel
    Colour accent;                       // the racing stripe along the plate
    Colour textTop, textBottom;          // caption gradient
    Colour textRim;
    Colour glow; // halo around the plate (alpha 0: none)
};
LookColours ColoursOf(Look look);

// A bevelled plate filling (x, y, w, h), with its halo spreading outside when the look has
// one (keep a margin of about 8 pixels around the plate).
void DrawPlate(cairo_t* cr, double x, double y, double w, double h, Look look, double cut = 12);

// A plate with one or more centred caption lines, sized to fit.
void DrawLabelledPlate(cairo_t* cr, double x, double y, double w, double h, Look look,
                       const std::vector<std::string>& lines, double maxTextSize, double cut = 12);

// The caption lines alone, centred in the box, sized to fit, in the look's text colours.
void DrawPlateText(cairo_t* cr, double x, double y, double w, double h, Look look,
                   const std::vector<std::string>& lines, double maxTextSize);

// Brushed steel panel for frames and windows (no text): dark glass centre, steel rim.
void DrawFramePanel(cairo_t* cr, double x, double y, double w, double h, double cut, double rim);

} // namespace vorlane::datagen
