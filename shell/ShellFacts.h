// What the shell shows the world, which the desktop, the tests and the auto-player look for: the
// title of the game's window, and the log line written once the input devices are being opened.
#pragma once

inline constexpr char kWindowTitle[] = "OGRE Render Window";
inline constexpr char kInputStartedLine[] = "*** Initializing OIS ***";
