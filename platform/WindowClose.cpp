#include "WindowClose.h"

#include <X11/Xlib.h>

void acceptCloseRequests(void* display, unsigned long window)
{
    if (!display || !window)
        return;
    Display* x = static_cast<Display*>(display);
    Atom deleteWindow = XInternAtom(x, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(x, static_cast<Window>(window), &deleteWindow, 1);
    XFlush(x);
}

bool takeCloseRequest(void* display, unsigned long window)
{
    if (!display || !window)
        return false;
    Display* x = static_cast<Display*>(display);
    bool requested = false;
    XEvent event;
    // Called every frame: the atom is looked up (a round trip to the server) only when a message came.
    while (XCheckTypedWindowEvent(x, static_cast<Window>(window), ClientMessage, &event)) {
        const Atom deleteWindow = XInternAtom(x, "WM_DELETE_WINDOW", False);
        if (event.xclient.format == 32 && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
            requested = true;
    }
    return requested;
}
