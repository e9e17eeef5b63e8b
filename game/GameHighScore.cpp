// The best score, kept between runs in a one-number text file.
#include "Game.h"

#include "GameEvents.h"

#include <CEGUI/PropertyHelper.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char* const HIGH_SCORE_FILE = "high.score";

// The GUI library's conversion leaves a number too big for an int undefined; such a file counts as no score.
bool fitsInt(const std::string& text)
{
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return errno != ERANGE && value >= INT_MIN && value <= INT_MAX;
}

bool writeAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the whole file beside the old one and swaps it in, so a crash or a full disk
// mid-write leaves the previous best score intact.
bool replaceFile(const char* path, const std::string& content)
{
    // Beside the file, so that the rename stays within one file system.
    std::string tempPath = std::string(path) + ".XXXXXX";
    const int fd = ::mkstemp(&tempPath[0]);
    if (fd < 0)
        return false;
    // mkstemp makes the file private; give it the permissions a plain new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(tempPath.c_str(), path) == 0) {
        const int dir = ::open(".", O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return true;
    }
    ::unlink(tempPath.c_str());
    return false;
}
}

int Game::loadHighScore()
{
    std::string line;
    std::ifstream file(HIGH_SCORE_FILE);
    if (file.is_open() && file.good())
        std::getline(file, line);
    file.close();
    if (!fitsInt(line))
        return 0;
    return CEGUI::PropertyHelper<int>::fromString(line);
}

void Game::saveHighScore() const
{
    // A failed write is not reported: the old file stays and the game goes on or ends as asked.
    if (replaceFile(HIGH_SCORE_FILE, std::to_string(mHighScore)))
        logEvent(GameEvents::line(GameEvents::BEST_SCORE_SAVED, mHighScore, HIGH_SCORE_FILE));
}

void Game::windowClosed(Ogre::RenderWindow* window)
{
    if (window == mRenderWindow)
        saveHighScore();
    ShellFrameListener::windowClosed(window);
}
