#include "Texture.h"

#include <OgreImage.h>
#include <OgreMath.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {
bool isPowerOfTwo(unsigned n)
{
    return n != 0 && (n & (n - 1)) == 0;
}

int wrap(int i, int period)
{
    return ((i % period) + period) % period;
}

std::uint8_t toByte(float channel)
{
    return static_cast<std::uint8_t>(std::lround(Ogre::Math::saturate(channel) * 255));
}
}

Texture::Texture(unsigned width, unsigned height) : mWidth(width), mHeight(height), mPixels(size_t(width) * height * 3)
{
    if (!isPowerOfTwo(width) || !isPowerOfTwo(height))
        throw std::invalid_argument("texture sides must be powers of two");
}

void Texture::set(unsigned x, unsigned y, const Ogre::ColourValue& colour)
{
    std::uint8_t* p = &mPixels[(size_t(y) * mWidth + x) * 3];
    p[0] = toByte(colour.r);
    p[1] = toByte(colour.g);
    p[2] = toByte(colour.b);
}

void Texture::save(const Ogre::String& path) const
{
    Ogre::Image image;
    // The image only borrows the pixels; save() does not modify them.
    image.loadDynamicImage(const_cast<std::uint8_t*>(mPixels.data()), mWidth, mHeight, Ogre::PF_BYTE_RGB);
    image.save(path);
}

float latticeRandom(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B9u ^ std::uint32_t(x) * 0x85EBCA6Bu ^ std::uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return float(h >> 8) / float(1u << 24);
}

float tiledNoise(float u, float v, int periodU, int periodV, std::uint32_t seed)
{
    const float x = u * periodU, y = v * periodV;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto at = [&](int dx, int dy) { return latticeRandom(wrap(x0 + dx, periodU), wrap(y0 + dy, periodV), seed); };
    const float top = at(0, 0) + (at(1, 0) - at(0, 0)) * sx;
    const float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * sx;
    return top + (bottom - top) * sy;
}

float tiledFractal(float u, float v, int periodU, int periodV, int octaves, std::uint32_t seed)
{
    float sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * tiledNoise(u, v, periodU << o, periodV << o, seed + o);
        total += weight;
        weight /= 2;
    }
    return sum / total;
}
