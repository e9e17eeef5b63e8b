// Gives a native window the program's 48x48 icon.
#pragma once

// Failures are ignored: a window without our icon is still a working window.
void setWindowIcon(unsigned long windowHandle);
