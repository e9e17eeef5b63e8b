#include "HighScoreFile.h"

#include <CEGUI/PropertyHelper.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HighScoreFile {
namespace {

// The GUI library's conversion leaves a number too big for an int undefined, and gives 0 both for
// "0" and for no number at all: the C library tells the cases apart first.
bool holdsInt(const std::string& line)
{
    const char* start = line.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(start, &end, 10);
    return end != start && errno != ERANGE && value >= INT_MIN && value <= INT_MAX;
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

std::filesystem::path folderOf(const char* path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder;
}

const char* const TEMP_MARKER = ".saving-";
const char* const TEMP_RANDOM = "XXXXXX";

std::string tempPrefix(const char* path)
{
    return "." + std::filesystem::path(path).filename().string() + TEMP_MARKER;
}

std::chrono::system_clock::time_point modified(const struct stat& status)
{
    using Clock = std::chrono::system_clock;
    const auto sinceEpoch = std::chrono::seconds(status.st_mtim.tv_sec) + std::chrono::nanoseconds(status.st_mtim.tv_nsec);
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(sinceEpoch));
}

} // namespace

Reading parse(const char* bytes, std::size_t size)
{
    if (size == 0)
        return {Content::Empty, 0};
    size = std::min(size, READ_LIMIT);
    const char* lineEnd = static_cast<const char*>(std::memchr(bytes, '\n', size));
    const std::string line(bytes, lineEnd ? lineEnd : bytes + size);
    if (!holdsInt(line))
        return {Content::NoNumber, 0};
    return {Content::Number, CEGUI::PropertyHelper<int>::fromString(line)};
}

Reading read(const char* path)
{
    // Non-blocking, so that a FIFO of that name cannot hold the game up; it is not a regular file.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? Content::Missing : Content::Unreadable, 0};
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {Content::Unreadable, 0};
    }
    char bytes[READ_LIMIT];
    std::size_t size = 0;
    while (size < sizeof bytes) {
        const ssize_t n = ::read(fd, bytes + size, sizeof bytes - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return {Content::Unreadable, 0};
        }
        if (n == 0)
            break;
        size += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return parse(bytes, size);
}

bool mayReplace(const Reading& now, int best)
{
    switch (now.content) {
    case Content::Missing:
    case Content::Empty:
        return true;
    case Content::Number:
        return best >= now.score;
    case Content::NoNumber:
        return best != 0;
    case Content::Unreadable:
        break;
    }
    return false;
}

bool replace(const char* path, int best)
{
    // Beside the file, so that the rename stays within one file system.
    std::string tempPath = tempPattern(path);
    const int fd = ::mkstemp(&tempPath[0]);
    if (fd < 0)
        return false;
    // mkstemp makes the file private; give it the permissions a plain new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0 && writeAll(fd, std::to_string(best)) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(tempPath.c_str(), path) == 0) {
        const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        return true;
    }
    ::unlink(tempPath.c_str());
    return false;
}

std::string tempPattern(const char* path)
{
    return (folderOf(path) / (tempPrefix(path) + TEMP_RANDOM)).string();
}

void removeLeftovers(const char* path, std::chrono::system_clock::time_point gameStarted)
{
    const std::string prefix = tempPrefix(path);
    const std::size_t randomPart = std::strlen(TEMP_RANDOM);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folderOf(path), error), end; !error && it != end; it.increment(error)) {
        const std::string other = it->path().filename().string();
        if (other.size() != prefix.size() + randomPart || other.compare(0, prefix.size(), prefix) != 0)
            continue;
        bool madeByMkstemp = true;
        for (std::size_t i = prefix.size(); i < other.size(); ++i)
            madeByMkstemp = madeByMkstemp && std::isalnum(static_cast<unsigned char>(other[i]));
        // lstat: a link named like a leftover is never a save's, nor is what it points at.
        struct stat status;
        if (madeByMkstemp && ::lstat(it->path().c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            modified(status) < gameStarted)
            ::unlink(it->path().c_str());
    }
}

} // namespace HighScoreFile
