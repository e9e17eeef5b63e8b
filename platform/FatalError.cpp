#include "FatalError.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <iostream>

const char* const kFatalErrorTitle = "An exception has occured!";

namespace {

bool displayAvailable()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

} // namespace

void reportFatalError(const std::string& description)
{
    std::cerr << kFatalErrorTitle << "\n" << description << std::endl;
    if (displayAvailable())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kFatalErrorTitle, description.c_str(), nullptr);
}
