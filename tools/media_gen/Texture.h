// An RGB canvas with the tileable noise the procedural textures are painted from.
#pragma once

#include <OgreColourValue.h>
#include <OgreString.h>

#include <cstdint>
#include <vector>

class Texture
{
public:
    /// Side lengths must be powers of two: the engine mip-maps every texture.
    Texture(unsigned width, unsigned height);

    unsigned width() const { return mWidth; }
    unsigned height() const { return mHeight; }
    void set(unsigned x, unsigned y, const Ogre::ColourValue& colour);
    /// Writes an 8-bit RGB PNG.
    void save(const Ogre::String& path) const;

private:
    unsigned mWidth, mHeight;
    std::vector<std::uint8_t> mPixels;
};

/// Value noise in [0, 1) at (u, v) in texture space, repeating after one texture in
/// both directions; periodU/periodV are the lattice cells per texture.
float tiledNoise(float u, float v, int periodU, int periodV, std::uint32_t seed);
/// Sum of octaves of tiledNoise with halving weights, normalised to [0, 1).
float tiledFractal(float u, float v, int periodU, int periodV, int octaves, std::uint32_t seed);
/// A well-mixed hash of the lattice point (x, y) into [0, 1).
float latticeRandom(int x, int y, std::uint32_t seed);
