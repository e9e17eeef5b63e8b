// What the desktop needs to know of the game's window: its class, which the desktop entry's
// StartupWMClass names so that the window is shown as that entry's, and the process and machine it
// belongs to, so that a desktop can end a game that stops answering its pings.
#pragma once

// WM_CLASS: the instance name and the class name.
extern const char* const kWindowInstance;
extern const char* const kWindowClass;

// Sets WM_CLASS, _NET_WM_PID and WM_CLIENT_MACHINE. Failures are ignored: the window still works.
void identifyWindow(void* display, unsigned long window);
