#include "WindowIcon.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cmath>
#include <vector>

namespace {

const int kIconSize = 48;

// A rusty barrel seen from the side: dark hoops over a brown body, transparent around it.
unsigned long iconPixel(int x, int y)
{
    const float cx = (x + 0.5f) - kIconSize / 2.0f;
    const float cy = (y + 0.5f) - kIconSize / 2.0f;
    const float halfWidth = 15.0f + 3.0f * std::cos(cy / 20.0f * 1.5708f) - 3.0f;
    if (std::fabs(cy) > 21.0f || std::fabs(cx) > halfWidth)
        return 0x00000000;

    const bool hoop = std::fabs(std::fabs(cy) - 13.0f) < 2.0f || std::fabs(cy) > 19.0f;
    const float shade = 1.0f - 0.6f * std::fabs(cx) / halfWidth;
    const unsigned red = static_cast<unsigned>((hoop ? 70 : 160) * shade + 20);
    const unsigned green = static_cast<unsigned>((hoop ? 60 : 75) * shade + 10);
    const unsigned blue = static_cast<unsigned>((hoop ? 60 : 30) * shade + 5);
    return 0xFF000000ul | (red << 16) | (green << 8) | blue;
}

} // namespace

void setWindowIcon(unsigned long windowHandle)
{
    if (windowHandle == 0)
        return;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;

    // _NET_WM_ICON: width, height, then ARGB pixels row by row, each in a long.
    std::vector<unsigned long> data;
    data.reserve(2 + kIconSize * kIconSize);
    data.push_back(kIconSize);
    data.push_back(kIconSize);
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x)
            data.push_back(iconPixel(x, y));

    const Atom iconAtom = XInternAtom(display, "_NET_WM_ICON", False);
    XChangeProperty(display, static_cast<Window>(windowHandle), iconAtom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(display);
    XCloseDisplay(display);
}
