// Reports an error that ends the program, on standard error and in a message box.
#pragma once

#include <string>

extern const char* const kFatalErrorTitle;

// Always writes to standard error; shows a modal box too when a display can be opened.
void reportFatalError(const std::string& description);
