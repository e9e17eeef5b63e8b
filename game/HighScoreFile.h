// The best score's file: one signed decimal number as text, of which only the first line counts.
// Reading never blocks and never takes more than a short prefix, whatever the name points at;
// saving replaces the file whole and only when that cannot lose a better score.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace HighScoreFile {

// Relative: the file lives in the working directory.
const char* const NAME = "high.score";

// Room for any int and plenty of blanks before it; the rest of a longer file is never read.
const std::size_t READ_LIMIT = 4096;

enum class Content
{
    Missing,    // no such file
    Unreadable, // not a regular file, or it cannot be opened or read
    Empty,
    Number,   // the first line starts with a number that fits an int
    NoNumber, // something, but not a number that fits an int
};

struct Reading
{
    Content content;
    int score; // the number when content is Number, else 0
};

// What the first READ_LIMIT bytes of a file say: blanks, an optional sign and digits start the
// first line; anything after them is ignored.
Reading parse(const char* bytes, std::size_t size);

Reading read(const char* path);

// Whether saving `best` over what the file holds now keeps the best score: never over a file that
// cannot be read, a higher number (another copy of the game or an edit saved it), or, with 0, over
// text that is not a number.
bool mayReplace(const Reading& now, int best);

// Writes `best` beside the file and renames it over it (a link is replaced, its target never
// written). False, with the old file intact, when any step fails.
bool replace(const char* path, int best);

// Removes what saves killed half-way left beside the file before `gameStarted`: regular files named
// exactly as tempPattern() gives, and nothing else. A newer one may be another running copy's save.
void removeLeftovers(const char* path, std::chrono::system_clock::time_point gameStarted);

// The name a save writes before its rename, in mkstemp's form: hidden, beside the file, and marked
// so that no player's own file is taken for it ("dir/.high.score.saving-XXXXXX").
std::string tempPattern(const char* path);

} // namespace HighScoreFile
