// The game's own small files (best score, settings), which a player may edit, replace or point
// elsewhere: reading takes at most a bounded prefix, never blocks, and reads nothing but a regular
// file; saving replaces the file whole, so that a reader finds the old content or the new and never
// a part, and a save killed half-way leaves only a hidden temporary beside the file.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace SmallFile {

enum class Outcome
{
    Read,
    Missing,    // no such file
    Unreadable, // not a regular file, or it cannot be opened or read
};

struct Reading
{
    Outcome outcome;
    // The first `limit` bytes when read.
    std::string bytes;
    // Read, and there is more than `limit`.
    bool cut;
    // Why the file is Unreadable, in a few words for a log.
    std::string reason;
};

Reading read(const char* path, std::size_t limit);

// Writes `content` beside the file and renames it over it (a link is replaced, its target never
// written). False, with the old file intact and no temporary left, when any step fails.
bool replace(const char* path, const std::string& content);

// The name a save writes before its rename, in mkstemp's form: hidden, beside the file, and marked
// so that no player's own file is taken for it ("dir/.name.saving-XXXXXX").
std::string tempPattern(const char* path);

// Removes what saves killed half-way left beside the file before `gameStarted`: regular files named
// exactly as tempPattern() gives, and nothing else. A newer one may be another running copy's save.
void removeLeftovers(const char* path, std::chrono::system_clock::time_point gameStarted);

} // namespace SmallFile
