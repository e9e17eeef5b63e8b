#include "BarrelIcon.h"

#include <cmath>
#include <cstdio>

// A rusty barrel seen from the side: dark hoops over a brown body, transparent around it. One
// description, in units of a 48-unit square with the origin in its middle, serves the pixels and
// the scalable picture alike.
namespace {
const float kDesignSize = 48.0f;
const float kHalfHeight = 21.0f;
// The body bulges: widest in the middle, narrower by kBulge at both ends.
const float kWidest = 15.0f;
const float kBulge = 3.0f;
// Light falls from the front: full in the middle, this much at the widest point's edge.
const float kEdgeShade = 0.4f;

float halfWidthAt(float cy)
{
    return kWidest - kBulge + kBulge * std::cos(cy / 20.0f * 1.5708f);
}

// The hoops, as bands of distance from the middle line, one above and one below it.
struct Band
{
    float from, to;
};
const Band kHoops[] = {{11.0f, 15.0f}, {19.0f, kHalfHeight}};

// A channel is base + paint * shade.
struct Paint
{
    float red, green, blue;
};
const Paint kBody{160, 75, 30};
const Paint kHoop{70, 60, 60};
const Paint kBase{20, 10, 5};

std::uint32_t shaded(const Paint& paint, float shade)
{
    const auto red = static_cast<std::uint32_t>(paint.red * shade + kBase.red);
    const auto green = static_cast<std::uint32_t>(paint.green * shade + kBase.green);
    const auto blue = static_cast<std::uint32_t>(paint.blue * shade + kBase.blue);
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

std::string hex(std::uint32_t argb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", unsigned(argb & 0xFFFFFFu));
    return text;
}

std::string number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

// A horizontal gradient across the widest body, shaded as the pixels are.
std::string gradient(const char* id, const Paint& paint)
{
    const float middle = kDesignSize / 2.0f;
    return std::string("<linearGradient id=\"") + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"" +
           number(middle - kWidest) + "\" y1=\"0\" x2=\"" + number(middle + kWidest) + "\" y2=\"0\">" +
           "<stop offset=\"0\" stop-color=\"" + hex(shaded(paint, kEdgeShade)) + "\"/>" +
           "<stop offset=\"0.5\" stop-color=\"" + hex(shaded(paint, 1.0f)) + "\"/>" +
           "<stop offset=\"1\" stop-color=\"" + hex(shaded(paint, kEdgeShade)) + "\"/></linearGradient>\n";
}

std::string rect(float top, float bottom, const char* fill)
{
    return "<rect x=\"0\" y=\"" + number(top) + "\" width=\"" + number(kDesignSize) + "\" height=\"" +
           number(bottom - top) + "\" fill=\"url(#" + fill + ")\"/>\n";
}
} // namespace

std::uint32_t barrelIconPixel(int x, int y, int size)
{
    if (size <= 0 || x < 0 || y < 0 || x >= size || y >= size)
        return 0x00000000u;

    // Pixel centres in design units from the middle; at size 48 the scale is exactly 1.
    const float scale = size / kDesignSize;
    const float cx = ((x + 0.5f) - size / 2.0f) / scale;
    const float cy = ((y + 0.5f) - size / 2.0f) / scale;
    if (std::fabs(cy) > kHalfHeight || std::fabs(cx) > halfWidthAt(cy))
        return 0x00000000u;

    bool hoop = false;
    for (const Band& band : kHoops)
        hoop = hoop || (std::fabs(cy) > band.from && std::fabs(cy) <= band.to);
    return shaded(hoop ? kHoop : kBody, 1.0f - (1.0f - kEdgeShade) * std::fabs(cx) / kWidest);
}

std::string barrelIconSvg()
{
    const float middle = kDesignSize / 2.0f;
    // The outline: down the right side a unit at a time, then up the left.
    std::string outline;
    const int steps = static_cast<int>(2 * kHalfHeight);
    for (int side = 1; side >= -1; side -= 2)
        for (int i = 0; i <= steps; ++i) {
            const float cy = side * (i - kHalfHeight);
            outline +=
                (outline.empty() ? "M" : " L") + number(middle + side * halfWidthAt(cy)) + " " + number(middle + cy);
        }

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      number(kDesignSize) + "\" height=\"" + number(kDesignSize) + "\" viewBox=\"0 0 " +
                      number(kDesignSize) + " " + number(kDesignSize) + "\">\n<defs>\n" + gradient("body", kBody) +
                      gradient("hoop", kHoop) + "<clipPath id=\"outline\"><path d=\"" + outline +
                      " Z\"/></clipPath>\n</defs>\n<g clip-path=\"url(#outline)\">\n" +
                      rect(middle - kHalfHeight, middle + kHalfHeight, "body");
    for (const Band& band : kHoops)
        svg += rect(middle - band.to, middle - band.from, "hoop") + rect(middle + band.from, middle + band.to, "hoop");
    return svg + "</g>\n</svg>\n";
}
