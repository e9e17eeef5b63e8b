// Close requests from the window manager (its close button), on the engine's own display connection.
#pragma once

// Lists WM_DELETE_WINDOW in the window's protocols, so that closing asks us instead of killing us.
void acceptCloseRequests(void* display, unsigned long window);

// Takes every pending close request for the window off the queue; true if there was one.
bool takeCloseRequest(void* display, unsigned long window);
