#include "Patterns.h"

#include "Texture.h"

#include <OgreMath.h>
#include <OgreVector.h>

#include <algorithm>
#include <cmath>
#include <functional>

using Ogre::ColourValue;

namespace {
// Calls paint(u, v) for the centre of every texel and stores the result.
void fill(Texture& texture, const std::function<ColourValue(float, float)>& paint)
{
    for (unsigned y = 0; y < texture.height(); ++y)
        for (unsigned x = 0; x < texture.width(); ++x)
            texture.set(x, y, paint((x + 0.5f) / texture.width(), (y + 0.5f) / texture.height()));
}

ColourValue mix(const ColourValue& a, const ColourValue& b, float t)
{
    t = Ogre::Math::saturate(t);
    return a * (1 - t) + b * t;
}

float smoothstep(float edge0, float edge1, float x)
{
    const float t = Ogre::Math::saturate((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

float fraction(float x)
{
    return x - std::floor(x);
}
}

void paintRust(Texture& texture)
{
    const ColourValue darkBrown(0.26f, 0.11f, 0.05f), rust(0.62f, 0.27f, 0.09f), flake(0.80f, 0.45f, 0.18f),
        hoop(0.30f, 0.17f, 0.11f);
    fill(texture, [&](float u, float v) {
        const float blotches = tiledFractal(u, v, 8, 8, 5, 11);
        const float streaks = tiledFractal(u, v, 64, 2, 3, 12);
        const float flakes = tiledFractal(u, v, 32, 32, 3, 13);
        ColourValue c = mix(darkBrown, rust, (blotches - 0.3f) * 2.5f);
        c = mix(c, flake, smoothstep(0.62f, 0.75f, flakes));
        // Rust runs down in streaks from the hoops and the rim.
        c *= 0.55f + 0.7f * streaks;
        for (const float centre : {0.15f, 0.85f}) {
            const float d = std::abs(v - centre);
            if (d < 0.035f) {
                c = mix(hoop * (0.8f + 0.5f * blotches), c, 0.3f);
                if (d > 0.028f)
                    c *= 0.55f; // shadowed edge of the hoop
                else if (v < centre - 0.015f)
                    c *= 1.3f; // the hoop's top catches the light
            }
        }
        if (v < 0.02f || v > 0.98f)
            c *= 0.6f;
        return c;
    });
}

void paintGrass(Texture& texture)
{
    const ColourValue dark(0.07f, 0.25f, 0.04f), light(0.33f, 0.64f, 0.13f), dry(0.50f, 0.60f, 0.18f);
    fill(texture, [&](float u, float v) {
        const float blades = tiledFractal(u, v, 96, 24, 2, 21);
        const float patches = tiledFractal(u, v, 4, 4, 3, 22);
        const float speckle = latticeRandom(int(u * 4096), int(v * 4096), 23);
        ColourValue c = mix(dark, light, blades * 1.4f - 0.2f + 0.25f * (speckle - 0.5f));
        return mix(c, dry, smoothstep(0.55f, 0.75f, patches) * 0.6f);
    });
}

void paintWoodPlanks(Texture& texture)
{
    const int planks = 4;
    const ColourValue pale(0.76f, 0.55f, 0.32f), deep(0.50f, 0.31f, 0.14f), gap(0.10f, 0.06f, 0.03f),
        nail(0.20f, 0.20f, 0.22f);
    fill(texture, [&](float u, float v) {
        const int plank = std::min(int(v * planks), planks - 1);
        const float across = fraction(v * planks);      // 0..1 across the plank
        const float seam = latticeRandom(plank, 0, 31); // where this plank's boards meet
        const float along = fraction(u - seam);         // 0..1 from one board end to the next
        if (across < 0.035f || along < 0.006f)
            return gap;
        const float tone = latticeRandom(plank, 1, 32);
        const float warp = tiledFractal(u, v, 3, 12, 3, 33);
        const float grain = 0.5f + 0.5f * std::sin((across * 9 + warp * 7 + plank) * Ogre::Math::TWO_PI);
        const float fibres = tiledNoise(u, v, 256, 64, 34);
        ColourValue c = mix(pale, deep, 0.25f + 0.35f * tone + 0.35f * grain * grain);
        c *= 0.9f + 0.15f * fibres;
        // Two nails at each board end.
        for (const float nailAcross : {0.3f, 0.7f}) {
            const float du = (along < 0.5f ? along - 0.025f : along - 0.975f) * 4;
            const float dv = (across - nailAcross) / planks;
            if (du * du + dv * dv < 0.0001f)
                return nail;
        }
        return c;
    });
}

void paintRockWall(Texture& texture)
{
    const int cells = 5;
    const ColourValue mortar(0.28f, 0.26f, 0.23f), stoneLight(0.62f, 0.58f, 0.52f), stoneDark(0.36f, 0.33f, 0.30f),
        stoneWarm(0.55f, 0.45f, 0.35f);
    fill(texture, [&](float u, float v) {
        // Cellular pattern: the stones are the cells of jittered points, mortar lies between.
        const float x = u * cells, y = v * cells;
        const int cx = int(x), cy = int(y);
        float nearest = 10, second = 10;
        int owner = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int gx = cx + dx, gy = cy + dy;
                const int wx = (gx + cells) % cells, wy = (gy + cells) % cells;
                const float px = gx + 0.15f + 0.7f * latticeRandom(wx, wy, 41);
                const float py = gy + 0.15f + 0.7f * latticeRandom(wx, wy, 42);
                const float d = std::hypot(x - px, y - py);
                if (d < nearest) {
                    second = nearest;
                    nearest = d;
                    owner = wy * cells + wx;
                } else if (d < second)
                    second = d;
            }
        const float edge = second - nearest;
        const float surface = tiledFractal(u, v, 16, 16, 4, 43);
        const float grit = latticeRandom(int(u * 2048), int(v * 2048), 44);
        if (edge < 0.06f + 0.05f * surface)
            return mortar * (0.8f + 0.4f * grit);
        ColourValue stone = mix(stoneDark, stoneLight, latticeRandom(owner, 0, 45));
        stone = mix(stone, stoneWarm, latticeRandom(owner, 1, 46) * 0.6f);
        stone *= 0.65f + 0.6f * surface + 0.1f * (grit - 0.5f);
        return stone * (0.6f + 0.4f * smoothstep(0.06f, 0.3f, edge)); // rounded edges
    });
}

void paintBrushedMetal(Texture& texture)
{
    fill(texture, [&](float u, float v) {
        const float brush = tiledFractal(u, v, 2, 128, 3, 51);
        const float fine = tiledNoise(u, v, 8, 256, 52);
        const float level = 0.66f + 0.22f * brush + 0.08f * fine;
        return ColourValue(level, level * 1.01f, level * 1.04f);
    });
}

void paintReflection(Texture& texture)
{
    // Chrome reads as metal through contrast: bright panels round a pale sky, dark ground.
    const ColourValue zenith(0.62f, 0.66f, 0.72f), horizon(1.0f, 1.0f, 0.98f), ground(0.16f, 0.15f, 0.14f),
        sun(1.0f, 1.0f, 1.0f);
    const Ogre::Vector3 sunDirection = Ogre::Vector3(0.4f, 0.8f, 0.45f).normalisedCopy();
    fill(texture, [&](float s, float t) {
        const float nx = s * 2 - 1, ny = 1 - t * 2;
        const float r2 = std::min(nx * nx + ny * ny, 1.f);
        const float nz = std::sqrt(1 - r2);
        // Direction reflected by a surface with normal n towards a viewer on +z.
        const Ogre::Vector3 reflected(2 * nz * nx, 2 * nz * ny, 2 * nz * nz - 1);
        const float clouds = tiledFractal(s, t, 4, 4, 4, 61);
        // Bright panels round the horizon streak curved metal with light and shade.
        const float azimuth = std::atan2(reflected.x, reflected.z);
        const float panels = smoothstep(0.2f, 0.8f, 0.5f + 0.5f * std::cos(azimuth * 3 + 0.6f));
        const ColourValue lit = horizon * (0.3f + 0.7f * panels);
        // Upright walls seen from above reflect just below the horizon: keep the panels there.
        ColourValue c = reflected.y >= 0 ? mix(lit, zenith * (0.5f + 0.5f * panels),
                                               std::pow(reflected.y, 0.5f) * (0.6f + 0.6f * clouds))
                                         : mix(lit * 0.85f, ground, smoothstep(0.1f, 0.45f, -reflected.y));
        const float glow = std::max(0.f, reflected.dotProduct(sunDirection));
        return mix(c, sun, std::pow(glow, 30.f));
    });
}
