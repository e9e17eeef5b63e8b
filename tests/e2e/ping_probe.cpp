// ping_probe WINDOW SECONDS: pings the window as a window manager does (_NET_WM_PING) and waits for
// its answer on the root window. Prints "sent" once the ping is out and "answered" when the answer
// comes. Exit 0: answered within SECONDS; 1: not answered; 2: wrong use or no display.
#include <X11/Xlib.h>
#include <sys/select.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const Window window = argc == 3 ? std::strtoul(argv[1], nullptr, 0) : 0;
    const double seconds = argc == 3 ? std::atof(argv[2]) : 0;
    if (window == 0 || seconds <= 0) {
        std::fprintf(stderr, "usage: ping_probe WINDOW SECONDS\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    const Window root = DefaultRootWindow(display);
    // The answer is sent to the root window for its substructure's watchers.
    XSelectInput(display, root, SubstructureNotifyMask);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    // Our own process id as the time stamp: an answer to another prober's ping is not ours.
    const long stamp = getpid();

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = static_cast<long>(window);
    // No event mask: the message goes to the client that made the window, as a window manager's does.
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    std::printf("sent\n");
    std::fflush(stdout);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (;;) {
        while (XPending(display)) {
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.window == root &&
                event.xclient.message_type == protocols && static_cast<Atom>(event.xclient.data.l[0]) == ping &&
                event.xclient.data.l[1] == stamp && static_cast<Window>(event.xclient.data.l[2]) == window) {
                std::printf("answered\n");
                XCloseDisplay(display);
                return 0;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(ConnectionNumber(display), &readable);
        timeval wait{static_cast<time_t>(left / 1000000), static_cast<suseconds_t>(left % 1000000)};
        select(ConnectionNumber(display) + 1, &readable, nullptr, nullptr, &wait);
    }
    XCloseDisplay(display);
    return 1;
}
