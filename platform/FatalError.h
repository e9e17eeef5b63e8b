// Reports an error that ends the program, on standard error and in a message box.
#pragma once

#include <cstddef>
#include <string>

inline constexpr char kFatalErrorTitle[] = "An exception has occured!";

// Each line of the report goes to standard error as "barrels: <line>"; a modal box shows them too
// when a display can be opened.
void reportFatalError(const std::string& report);

// Text broken at spaces into lines of at most `columns` characters; a longer word is split.
std::string wrapText(const std::string& text, std::size_t columns);
