// grab_probe keyboard|pointer: whether another client could take the keyboard or the pointer now.
// Exit 0: the grab succeeded (and was let go at once); 1: somebody else holds it; 2: no display.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2 || (std::strcmp(argv[1], "keyboard") != 0 && std::strcmp(argv[1], "pointer") != 0)) {
        std::fprintf(stderr, "usage: grab_probe keyboard|pointer\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    const Window root = DefaultRootWindow(display);
    int result;
    if (std::strcmp(argv[1], "keyboard") == 0) {
        result = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        XUngrabKeyboard(display, CurrentTime);
    } else {
        result = XGrabPointer(display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        XUngrabPointer(display, CurrentTime);
    }
    XCloseDisplay(display);
    std::printf("%s\n", result == GrabSuccess ? "free" : "held");
    return result == GrabSuccess ? 0 : 1;
}
