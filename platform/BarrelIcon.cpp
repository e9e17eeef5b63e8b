#include "BarrelIcon.h"

#include <cmath>

namespace {
// The size the constants below are drawn for.
const float kDesignSize = 48.0f;
}

// A rusty barrel seen from the side: dark hoops over a brown body, transparent around it.
std::uint32_t barrelIconPixel(int x, int y, int size)
{
    if (size <= 0 || x < 0 || y < 0 || x >= size || y >= size)
        return 0x00000000u;

    // Pixel centres in design units from the middle; at size 48 the scale is exactly 1.
    const float scale = size / kDesignSize;
    const float cx = ((x + 0.5f) - size / 2.0f) / scale;
    const float cy = ((y + 0.5f) - size / 2.0f) / scale;
    const float halfWidth = 15.0f + 3.0f * std::cos(cy / 20.0f * 1.5708f) - 3.0f;
    if (std::fabs(cy) > 21.0f || std::fabs(cx) > halfWidth)
        return 0x00000000u;

    const bool hoop = std::fabs(std::fabs(cy) - 13.0f) < 2.0f || std::fabs(cy) > 19.0f;
    const float shade = 1.0f - 0.6f * std::fabs(cx) / halfWidth;
    const auto red = static_cast<std::uint32_t>((hoop ? 70 : 160) * shade + 20);
    const auto green = static_cast<std::uint32_t>((hoop ? 60 : 75) * shade + 10);
    const auto blue = static_cast<std::uint32_t>((hoop ? 60 : 30) * shade + 5);
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}
