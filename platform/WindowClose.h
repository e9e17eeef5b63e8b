// The window manager's messages (WM_PROTOCOLS), on the engine's own display connection: its close
// button asks us instead of killing us, and its pings learn whether the game still answers.
#pragma once

// Lists WM_DELETE_WINDOW and _NET_WM_PING in the window's protocols.
void acceptWindowManagerMessages(void* display, unsigned long window);

// Takes every pending message for the window off the queue, answering pings; true if one asked to
// close. The frame loop calls it, and nothing else may: a game whose frames have stopped must leave
// the pings unanswered, so that the desktop can offer to end it.
bool takeCloseRequest(void* display, unsigned long window);
