// The player's settings, which the settings panel changes, and their file: readable `key = value`
// lines, one setting each. Unknown keys, comments and blank lines are the player's and survive a
// rewrite; the file is written only when the player changes something.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct Settings
{
    // Degrees of turn per mouse count.
    double mouseSensitivity;
    // Degrees a second with a stick at full tilt.
    double padLookSpeed;
    // Moving the mouse or a stick up looks down.
    bool invertLook;
    // Percent of full loudness, 0 to 100.
    int volume;
    // On or off, as M leaves it.
    bool sound;
    // Pulses on pads that can: each shot and each heavy barrel hit.
    bool rumble;
    // The landing marker's state when a game starts (G still toggles it).
    bool landingMarker;
    // The statistics overlay shown (the shell's F key still toggles it).
    bool statistics;
    // The window full screen, as F11 makes it.
    bool fullScreen;

    // The design's values: the free camera's mouse rate, everything shown, sound on, no marker.
    static Settings defaults();

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }
};

// The values a file or the panel may give the numbers, ends included.
struct SettingRange
{
    double low, high;
};
const SettingRange MOUSE_SENSITIVITY_RANGE = {0.01, 1.0};
const SettingRange PAD_LOOK_SPEED_RANGE = {10, 720};
const SettingRange VOLUME_RANGE = {0, 100};

namespace SettingsFile {

// Relative: from a build tree the file lives in the working directory.
const char* const NAME = "settings.cfg";

// Far more than the game ever writes; a file edited past it is read only this far.
const std::size_t READ_LIMIT = 64 * 1024;

// Where earlier versions kept only the M key's choice, in the working directory beside the best score.
const char* const LEGACY_SOUND_FILE = "sound.cfg";

// The file as read: the settings it gives and what it holds besides.
struct Reading
{
    Settings settings;
    // One per line that cannot be read or holds a value out of range, naming the file and line
    // ("settings.cfg:3: ..."); that setting keeps its default. One naming only the file when it
    // cannot be read at all, or only up to READ_LIMIT.
    std::vector<std::string> problems;
    // The file's lines as they were, for a rewrite to keep what is not ours.
    std::vector<std::string> lines;
};

// Missing file: the defaults, no problems. Without a sound line (one that cannot be read counts) the
// choice M wrote into `legacySoundFile` ("sound on" or "sound off", its first line) is taken over;
// that file is only read. Numbers are read the same in every locale.
Reading read(const std::string& path, const std::string& legacySoundFile);

// The text a rewrite of `previous` gives: each known key's line set to its value where it stood
// (later repeats dropped), everything else kept as it was, keys that had no line added at the end.
// Each line ends with a newline; numbers take the shortest form that reads back exactly.
std::string text(const Settings& settings, const std::vector<std::string>& previous);

// The lines of a file's whole text, as read() keeps them: what a rewrite then has for `previous`.
std::vector<std::string> lines(const std::string& text);

// Replaces the file whole, as the best score is saved (a temporary beside it, then renamed over
// it). False, with the old file intact, when any step fails.
bool write(const std::string& path, const std::string& content);

} // namespace SettingsFile
