#include "DesktopWindow.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdlib>

bool displayReachable(std::string& name)
{
    const char* given = std::getenv("DISPLAY");
    name = given ? given : "";
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

bool hasInputFocus(void* display, unsigned long window)
{
    if (!display || !window)
        return false;
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(static_cast<Display*>(display), &focus, &revertTo);
    return focus == static_cast<Window>(window);
}

bool queryPointer(void* display, unsigned long window, PointerState& state)
{
    if (!display || !window)
        return false;
    Display* x = static_cast<Display*>(display);
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(x, static_cast<Window>(window), &root, &child, &rootX, &rootY, &state.x, &state.y, &buttons))
        return false;
    return true;
}

namespace {
// An invisible cursor: a one-pixel bitmap with an empty mask. The caller frees it.
Cursor blankCursor(Display* x, Window window)
{
    const char nothing = 0;
    Pixmap blank = XCreateBitmapFromData(x, window, &nothing, 1, 1);
    XColor black = {};
    Cursor cursor = XCreatePixmapCursor(x, blank, blank, &black, &black, 0, 0);
    XFreePixmap(x, blank);
    return cursor;
}
}

void watchButtons(void* display, unsigned long window)
{
    if (!display || !window)
        return;
    Display* x = static_cast<Display*>(display);
    // The engine asks this connection for other events of the window; they must stay asked for.
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x, static_cast<Window>(window), &attributes))
        return;
    XSelectInput(x, static_cast<Window>(window), attributes.your_event_mask | ButtonPressMask | ButtonReleaseMask);
    XFlush(x);
}

void takeButtonEvents(void* display, unsigned long window, const std::function<void(int button, bool down)>& seen)
{
    if (!display || !window)
        return;
    XEvent event;
    while (XCheckWindowEvent(static_cast<Display*>(display), static_cast<Window>(window),
                             ButtonPressMask | ButtonReleaseMask, &event))
        seen(static_cast<int>(event.xbutton.button), event.type == ButtonPress);
}

void setCursorHidden(void* display, unsigned long window, bool hidden)
{
    if (!display || !window)
        return;
    Display* x = static_cast<Display*>(display);
    if (hidden) {
        Cursor cursor = blankCursor(x, static_cast<Window>(window));
        XDefineCursor(x, static_cast<Window>(window), cursor);
        XFreeCursor(x, cursor);
    } else {
        XUndefineCursor(x, static_cast<Window>(window));
    }
    XFlush(x);
}

bool grabPointer(void* display, unsigned long window)
{
    if (!display || !window)
        return false;
    Display* x = static_cast<Display*>(display);
    Cursor cursor = blankCursor(x, static_cast<Window>(window));
    const int result = XGrabPointer(x, static_cast<Window>(window), True, 0, GrabModeAsync, GrabModeAsync,
                                    static_cast<Window>(window), cursor, CurrentTime);
    XFreeCursor(x, cursor);
    XFlush(x);
    return result == GrabSuccess;
}

void releasePointer(void* display, unsigned long window)
{
    if (!display || !window)
        return;
    Display* x = static_cast<Display*>(display);
    XUngrabPointer(x, CurrentTime);
    XFlush(x);
}

void hideWindow(void* display, unsigned long window)
{
    if (!display || !window)
        return;
    XUnmapWindow(static_cast<Display*>(display), static_cast<Window>(window));
    XSync(static_cast<Display*>(display), False);
}

void warpPointer(void* display, unsigned long window, int x, int y)
{
    if (!display || !window)
        return;
    XWarpPointer(static_cast<Display*>(display), None, static_cast<Window>(window), 0, 0, 0, 0, x, y);
    XFlush(static_cast<Display*>(display));
}

int displayRefreshRate(void* display)
{
    if (!display)
        return 0;
    Display* x = static_cast<Display*>(display);
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(x, &eventBase, &errorBase))
        return 0;
    XRRScreenConfiguration* config = XRRGetScreenInfo(x, DefaultRootWindow(x));
    if (!config)
        return 0;
    const int rate = XRRConfigCurrentRate(config);
    XRRFreeScreenConfigInfo(config);
    return rate;
}

void screenSize(void* display, unsigned int& width, unsigned int& height)
{
    Display* x = static_cast<Display*>(display);
    width = static_cast<unsigned int>(DisplayWidth(x, DefaultScreen(x)));
    height = static_cast<unsigned int>(DisplayHeight(x, DefaultScreen(x)));
}
