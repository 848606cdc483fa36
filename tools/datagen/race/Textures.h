#pragma once
// The ground materials of the track: grass, asphalt, paving, kerb concrete, soil and
// roof gravel. Each is a 72 x 72 picture that repeats without a seam, and every tile
// lays it with its origin on the tile's top-left corner, so a material continues from
// one tile into the next whatever the two tiles are.
#include "datagen/common/Paint.h"

#include <cairo.h>

#include <array>

namespace vorlane::datagen::race {

enum class Material { Grass, Asphalt, Paving, Concrete, Soil, Gravel, Water, Count };

class Textures {
  public:
    Textures();
    ~Textures();
    Textures(const Textures&) = delete;
    Textures& operator=(const Textures&) = delete;

    // Sets the material as the source, repeating, aligned to the tile grid of the
    // current user space (the tile's top-left corner at the origin).
    void Use(cairo_t* cr, Material m) const;
    // The material's average colour (for small details drawn in it).
    Colour Tone(Material m) const;

  private:
    std::array<cairo_surface_t*, size_t(Material::Count)> surfaces_{};
};

// Value noise that repeats every `period` pixels both ways: smooth lattice noise summed
// over octaves whose cells divide the period. Answers about 0..1.
double TileNoise(double x, double y, int period, int cell, uint32_t seed);
double TileFbm(double x, double y, int period, uint32_t seed, int octaves = 4, int firstCell = 24);

} // namespace vorlane::datagen::race
