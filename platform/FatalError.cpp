#include "FatalError.h"

#include "DesktopWindow.h"

#include <SDL.h>

#include <iostream>
#include <sstream>

namespace {

// The message box sizes itself to its longest line, in a font of about 7 pixels a character: at
// this width it stays well inside a 1024-pixel screen.
const std::size_t BOX_COLUMNS = 90;

} // namespace

std::string wrapText(const std::string& text, std::size_t columns)
{
    std::string wrapped;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t width = 0;
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            while (word.size() > columns) {
                if (width > 0)
                    wrapped += '\n';
                wrapped += word.substr(0, columns) + '\n';
                word.erase(0, columns);
                width = 0;
            }
            if (width > 0 && width + 1 + word.size() > columns) {
                wrapped += '\n';
                width = 0;
            } else if (width > 0) {
                wrapped += ' ';
                ++width;
            }
            wrapped += word;
            width += word.size();
        }
        wrapped += '\n';
    }
    if (!wrapped.empty())
        wrapped.pop_back();
    return wrapped;
}

void reportFatalError(const std::string& report)
{
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty())
            std::cerr << "barrels: " << line << '\n';
    }
    std::cerr.flush();
    std::string display;
    if (displayReachable(display))
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kFatalErrorTitle, wrapText(report, BOX_COLUMNS).c_str(),
                                 nullptr);
}
