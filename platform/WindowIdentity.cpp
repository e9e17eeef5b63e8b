#include "WindowIdentity.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <climits>

const char* const kWindowInstance = "barrels";
const char* const kWindowClass = "Barrels";

void identifyWindow(void* display, unsigned long window)
{
    if (!display || !window)
        return;
    Display* x = static_cast<Display*>(display);
    const Window w = static_cast<Window>(window);

    XClassHint hint;
    hint.res_name = const_cast<char*>(kWindowInstance);
    hint.res_class = const_cast<char*>(kWindowClass);
    XSetClassHint(x, w, &hint);

    // A process id means something only with the machine it runs on beside it.
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host - 1) == 0 && host[0]) {
        char* hosts[] = {host};
        XTextProperty machine;
        if (XStringListToTextProperty(hosts, 1, &machine)) {
            XSetWMClientMachine(x, w, &machine);
            XFree(machine.value);
            const unsigned long pid = static_cast<unsigned long>(getpid());
            XChangeProperty(x, w, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&pid), 1);
        }
    }
    XFlush(x);
}
