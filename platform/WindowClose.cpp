#include "WindowClose.h"

#include <X11/Xlib.h>

#include <vector>

void acceptWindowManagerMessages(void* display, unsigned long window)
{
    if (!display || !window)
        return;
    Display* x = static_cast<Display*>(display);
    Atom protocols[] = {XInternAtom(x, "WM_DELETE_WINDOW", False), XInternAtom(x, "_NET_WM_PING", False)};
    XSetWMProtocols(x, static_cast<Window>(window), protocols, 2);
    XFlush(x);
}

bool takeCloseRequest(void* display, unsigned long window)
{
    if (!display || !window)
        return false;
    Display* x = static_cast<Display*>(display);
    bool requested = false;
    // All of the window's messages are taken first: answering a ping talks to the server, and the
    // queue is not to be searched while that goes on.
    std::vector<XEvent> messages;
    for (XEvent event; XCheckTypedWindowEvent(x, static_cast<Window>(window), ClientMessage, &event);)
        messages.push_back(event);
    // The atoms are looked up (round trips to the server) only when a message came.
    for (XEvent& event : messages) {
        if (event.xclient.format != 32)
            continue;
        const Atom protocol = static_cast<Atom>(event.xclient.data.l[0]);
        if (protocol == XInternAtom(x, "WM_DELETE_WINDOW", False)) {
            requested = true;
        } else if (protocol == XInternAtom(x, "_NET_WM_PING", False)) {
            // The answer is the same message, sent back to the root window.
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(x, static_cast<Window>(window), &attributes))
                continue;
            event.xclient.window = attributes.root;
            XSendEvent(x, attributes.root, False, SubstructureNotifyMask | SubstructureRedirectMask, &event);
            XFlush(x);
        }
    }
    return requested;
}
