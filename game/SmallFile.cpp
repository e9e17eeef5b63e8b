#include "SmallFile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SmallFile {
namespace {

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
    const auto sinceEpoch =
        std::chrono::seconds(status.st_mtim.tv_sec) + std::chrono::nanoseconds(status.st_mtim.tv_nsec);
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(sinceEpoch));
}

} // namespace

Reading read(const char* path, std::size_t limit)
{
    // Non-blocking, so that a FIFO of that name cannot hold the game up; it is not a regular file.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {Outcome::Missing, {}, false, {}};
        return {Outcome::Unreadable, {}, false, std::generic_category().message(errno)};
    }
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {Outcome::Unreadable, {}, false, "not a regular file"};
    }
    // One byte past the limit tells a file of exactly that size from a longer one.
    std::string bytes(limit + 1, '\0');
    std::size_t size = 0;
    while (size < bytes.size()) {
        const ssize_t n = ::read(fd, &bytes[size], bytes.size() - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return {Outcome::Unreadable, {}, false, std::generic_category().message(error)};
        }
        if (n == 0)
            break;
        size += static_cast<std::size_t>(n);
    }
    ::close(fd);
    const bool cut = size > limit;
    bytes.resize(cut ? limit : size);
    return {Outcome::Read, bytes, cut, {}};
}

bool replace(const char* path, const std::string& content)
{
    // Beside the file, so that the rename stays within one file system.
    std::string tempPath = tempPattern(path);
    const int fd = ::mkstemp(&tempPath[0]);
    if (fd < 0)
        return false;
    // mkstemp makes the file private; give it the permissions a plain new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
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

} // namespace SmallFile
