#include "WindowIcon.h"

#include "BarrelIcon.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace {
const int kIconSize = 48;
}

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
            data.push_back(barrelIconPixel(x, y, kIconSize));

    const Atom iconAtom = XInternAtom(display, "_NET_WM_ICON", False);
    XChangeProperty(display, static_cast<Window>(windowHandle), iconAtom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(display);
    XCloseDisplay(display);
}
