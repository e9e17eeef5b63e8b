#include "HighScoreFile.h"

#include "SmallFile.h"

#include <CEGUI/PropertyHelper.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

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
    const SmallFile::Reading file = SmallFile::read(path, READ_LIMIT);
    switch (file.outcome) {
    case SmallFile::Outcome::Missing:
        return {Content::Missing, 0};
    case SmallFile::Outcome::Unreadable:
        return {Content::Unreadable, 0};
    case SmallFile::Outcome::Read:
        break;
    }
    return parse(file.bytes.data(), file.bytes.size());
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
    return SmallFile::replace(path, std::to_string(best));
}

std::string tempPattern(const char* path)
{
    return SmallFile::tempPattern(path);
}

void removeLeftovers(const char* path, std::chrono::system_clock::time_point gameStarted)
{
    SmallFile::removeLeftovers(path, gameStarted);
}

} // namespace HighScoreFile
