// cursor_probe: how many pixels of the desktop's cursor image, where the pointer is now, can be seen
// (alpha above zero). Screenshots leave the cursor out; this tells whether a window hides it.
// Exit 0 with the count on standard output; 2: no display or no XFixes.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    int eventBase = 0, errorBase = 0;
    XFixesCursorImage* image = XFixesQueryExtension(display, &eventBase, &errorBase) ? XFixesGetCursorImage(display) : nullptr;
    if (!image) {
        XCloseDisplay(display);
        return 2;
    }
    // Each pixel is 32-bit ARGB kept in an unsigned long.
    const unsigned long pixels = static_cast<unsigned long>(image->width) * image->height;
    unsigned long visible = 0;
    for (unsigned long i = 0; i < pixels; ++i) {
        if ((image->pixels[i] >> 24) & 0xff)
            ++visible;
    }
    std::printf("%lu\n", visible);
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
