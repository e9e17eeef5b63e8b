#include "XSession.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace autoplayer {

namespace {
const double MOTION_PAUSE = 0.015;

// Windows come and go while we walk the tree (the dialog closes, the game opens): a window that
// vanished under a request is no failure of ours.
int ignoreVanishedWindows(Display*, XErrorEvent*)
{
    return 0;
}
const double CLICK_HOLD = 0.3;
}

XSession::XSession() : mDisplay(XOpenDisplay(nullptr))
{
    if (!mDisplay)
        throw std::runtime_error("cannot open the X display");
    XSetErrorHandler(ignoreVanishedWindows);
    int event, error, major, minor;
    if (!XTestQueryExtension(mDisplay, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTest extension");
    // Pointer acceleration would scale our relative motions and spoil the aim.
    XChangePointerControl(mDisplay, True, True, 1, 1, 0);
    XFlush(mDisplay);
}

XSession::~XSession()
{
    XCloseDisplay(mDisplay);
}

Window XSession::findWindow(const std::string& title) const
{
    return search(DefaultRootWindow(mDisplay), title);
}

Window XSession::search(Window from, const std::string& title) const
{
    char* name = nullptr;
    if (XFetchName(mDisplay, from, &name) && name) {
        const bool match = title == name;
        XFree(name);
        if (match)
            return from;
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(mDisplay, from, &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = search(children[i], title);
    if (children)
        XFree(children);
    return found;
}

void XSession::moveTo(Window window, int x, int y)
{
    int screenX = x, screenY = y;
    Window child;
    XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), x, y, &screenX, &screenY, &child);
    XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), screenX, screenY, 0);
    XFlush(mDisplay);
}

void XSession::moveBy(Window window, int dx, int dy)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(mDisplay, window, &attributes))
        return;
    const double deadline = now() + 5;
    while ((dx != 0 || dy != 0) && now() < deadline) {
        Window root, child;
        int rootX, rootY, x, y;
        unsigned int mask;
        XQueryPointer(mDisplay, window, &root, &child, &rootX, &rootY, &x, &y, &mask);
        const int stepX = std::clamp(dx, -std::max(x, 0), std::max(attributes.width - 1 - x, 0));
        const int stepY = std::clamp(dy, -std::max(y, 0), std::max(attributes.height - 1 - y, 0));
        if (stepX != 0 || stepY != 0) {
            XTestFakeRelativeMotionEvent(mDisplay, stepX, stepY, 0);
            XFlush(mDisplay);
            dx -= stepX;
            dy -= stepY;
        }
        // Let a frame or two pass: the game reads the motion and moves the pointer back if needed.
        pause(MOTION_PAUSE);
    }
}

void XSession::click(Window window, int x, int y)
{
    moveTo(window, x, y);
    pause(0.05);
    pressButton();
}

void XSession::pressButton()
{
    buttonDown();
    pause(CLICK_HOLD);
    buttonUp();
}

void XSession::buttonDown()
{
    XTestFakeButtonEvent(mDisplay, 1, True, 0);
    XFlush(mDisplay);
}

void XSession::buttonUp()
{
    XTestFakeButtonEvent(mDisplay, 1, False, 0);
    XFlush(mDisplay);
}

void XSession::nudge(int dx, int dy)
{
    XTestFakeRelativeMotionEvent(mDisplay, dx, dy, 0);
    XFlush(mDisplay);
}

void XSession::keyDown(unsigned long keysym)
{
    XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, keysym), True, 0);
    XSync(mDisplay, False);
}

void XSession::keyUp(unsigned long keysym)
{
    XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, keysym), False, 0);
    XSync(mDisplay, False);
}

void XSession::tapKey(unsigned long keysym)
{
    keyDown(keysym);
    pause(CLICK_HOLD);
    keyUp(keysym);
}

bool XSession::savePicture(Window window, const std::string& path) const
{
    if (!window)
        window = DefaultRootWindow(mDisplay);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(mDisplay, window, &attributes))
        return false;
    XImage* image = XGetImage(mDisplay, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fprintf(file, "P6\n%d %d\n255\n", attributes.width, attributes.height);
        for (int y = 0; y < attributes.height; ++y)
            for (int x = 0; x < attributes.width; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                              static_cast<unsigned char>(pixel >> 8),
                                              static_cast<unsigned char>(pixel)};
                std::fwrite(rgb, 1, 3, file);
            }
        std::fclose(file);
    }
    XDestroyImage(image);
    return file != nullptr;
}

double XSession::barFill(Window window, int x0, int x1, int y, int brightness) const
{
    XImage* image = XGetImage(mDisplay, window, x0, y, static_cast<unsigned>(x1 - x0 + 1), 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    int reach = 0;
    for (int x = x1 - x0; x > 0 && reach == 0; --x) {
        const unsigned long pixel = XGetPixel(image, x, 0);
        const int sum = static_cast<int>(((pixel >> 16) & 0xff) + ((pixel >> 8) & 0xff) + (pixel & 0xff));
        if (sum > brightness)
            reach = x;
    }
    XDestroyImage(image);
    return static_cast<double>(reach) / (x1 - x0);
}

double now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void pause(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}
