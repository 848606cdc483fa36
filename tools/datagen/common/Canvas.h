#pragma once
// A cairo drawing surface for one generated picture, and the conversions between cairo's
// premultiplied pixels and the engine's straight-alpha RgbaImage.
#include "engine/Types.h"

#include <cairo.h>

namespace vorlane::datagen {

// An ARGB32 image surface with its drawing context, transparent when made.
class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The pixels drawn so far, alpha un-premultiplied.
    RgbaImage ToImage() const;

  private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Straight-alpha copy of an ARGB32 image surface.
RgbaImage SurfaceToImage(cairo_surface_t* surface);

// A new ARGB32 surface (premultiplied) holding the image; the caller destroys it.
cairo_surface_t* ImageToSurface(const RgbaImage& image);

// Blurs every channel of an ARGB32 surface in place: three box passes each way, which
// approach a Gaussian of about the given radius.
void BlurSurface(cairo_surface_t* surface, double radius);

} // namespace vorlane::datagen
