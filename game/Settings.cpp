#include "Settings.h"

#include "MouseLook.h"
#include "SmallFile.h"

#include <charconv>
#include <cstddef>
#include <system_error>

namespace {

// The old file's first line says "sound on" or "sound off"; a longer first line is cut here and
// then reads as neither.
const std::size_t LEGACY_READ_LIMIT = 64;
const char* const LEGACY_SOUND_OFF = "sound off";
// The C library's isspace would follow the player's locale.
const char* const BLANKS = " \t\r\f\v";

// One setting of the file: its key, where it lives in Settings (exactly one of the three members is
// set), its default and, for numbers, the values a file may give it.
struct Key
{
    const char* name;
    double Settings::*number;
    int Settings::*whole;
    bool Settings::*flag;
    double fallback;
    double low;
    double high;

    void reset(Settings& settings) const;
    bool same(const Settings& a, const Settings& b) const;
    std::string format(const Settings& settings) const;
    // Empty when `value` was taken, else why not (the setting is then left as it was).
    std::string set(const std::string& value, Settings& settings) const;
};

Key number(const char* name, double Settings::*member, double fallback, SettingRange range)
{
    return {name, member, nullptr, nullptr, fallback, range.low, range.high};
}

Key whole(const char* name, int Settings::*member, int fallback, SettingRange range)
{
    return {name, nullptr, member, nullptr, double(fallback), range.low, range.high};
}

Key flag(const char* name, bool Settings::*member, bool fallback)
{
    return {name, nullptr, nullptr, member, fallback ? 1.0 : 0.0, 0, 1};
}

// In the order a new file lists them.
const Key KEYS[] = {
    number("mouse_sensitivity", &Settings::mouseSensitivity, MOUSE_SENSITIVITY, MOUSE_SENSITIVITY_RANGE),
    number("pad_look_speed", &Settings::padLookSpeed, 120, PAD_LOOK_SPEED_RANGE),
    flag("invert_look", &Settings::invertLook, false),
    whole("volume", &Settings::volume, 100, VOLUME_RANGE),
    flag("sound", &Settings::sound, true),
    flag("rumble", &Settings::rumble, true),
    flag("landing_marker", &Settings::landingMarker, false),
    flag("statistics", &Settings::statistics, true),
    flag("full_screen", &Settings::fullScreen, false),
};
const std::size_t KEY_COUNT = sizeof KEYS / sizeof KEYS[0];

// Shortest text that reads back as the same value, whatever the locale.
template <typename T>
std::string shortest(T value)
{
    char digits[32];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The whole of `text` as a number: invalid_argument for anything that is not, or has more after it.
template <typename T>
std::errc parse(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    const std::from_chars_result result = std::from_chars(text.data(), end, value);
    if (result.ec == std::errc() && result.ptr != end)
        return std::errc::invalid_argument;
    return result.ec;
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return text;
}

void Key::reset(Settings& settings) const
{
    if (number)
        settings.*number = fallback;
    else if (whole)
        settings.*whole = int(fallback);
    else
        settings.*flag = fallback != 0;
}

bool Key::same(const Settings& a, const Settings& b) const
{
    if (number)
        return a.*number == b.*number;
    if (whole)
        return a.*whole == b.*whole;
    return a.*flag == b.*flag;
}

std::string Key::format(const Settings& settings) const
{
    if (number)
        return shortest(settings.*number);
    if (whole)
        return shortest(settings.*whole);
    return settings.*flag ? "on" : "off";
}

std::string Key::set(const std::string& value, Settings& settings) const
{
    if (flag) {
        const std::string word = lowerCase(value);
        if (word == "on" || word == "true" || word == "yes" || word == "1")
            settings.*flag = true;
        else if (word == "off" || word == "false" || word == "no" || word == "0")
            settings.*flag = false;
        else
            return "not on or off";
        return {};
    }
    double got = 0;
    std::errc error;
    if (number) {
        error = parse(value, got);
    } else {
        int readWhole = 0;
        error = parse(value, readWhole);
        got = readWhole;
    }
    if (error == std::errc::invalid_argument)
        return number ? "not a number" : "not a whole number";
    // Written so that NaN fails it too.
    if (error != std::errc() || !(got >= low && got <= high))
        return "out of range " + shortest(low) + " to " + shortest(high);
    if (number)
        settings.*number = got;
    else
        settings.*whole = int(got);
    return {};
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(BLANKS);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(BLANKS) + 1 - first);
}

// What a line of the file is: nothing for us (blank or a comment), `key = value`, or neither.
struct Line
{
    enum Form
    {
        Nothing,
        Pair,
        NoEquals,
    } form;
    std::string key;
    std::string value;
};

Line lineOf(const std::string& text)
{
    const std::string body = trimmed(text);
    if (body.empty() || body[0] == '#')
        return {Line::Nothing, {}, {}};
    const std::size_t equals = body.find('=');
    if (equals == std::string::npos)
        return {Line::NoEquals, {}, {}};
    return {Line::Pair, trimmed(body.substr(0, equals)), trimmed(body.substr(equals + 1))};
}

// The index in KEYS of a line's key, or KEY_COUNT for any other line.
std::size_t keyIndex(const Line& line)
{
    std::size_t i = 0;
    while (i < KEY_COUNT && !(line.form == Line::Pair && line.key == KEYS[i].name))
        ++i;
    return i;
}

// A file cut at the read limit loses its last line unless the cut fell just after it: a part of a
// line could read as another value ("volume = 1" of "volume = 100").
std::vector<std::string> linesOf(const std::string& bytes, bool cut)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            if (!cut)
                lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool legacySaysOff(const std::string& path)
{
    const SmallFile::Reading file = SmallFile::read(path.c_str(), LEGACY_READ_LIMIT);
    return file.outcome == SmallFile::Outcome::Read && file.bytes.substr(0, file.bytes.find('\n')) == LEGACY_SOUND_OFF;
}

} // namespace

Settings Settings::defaults()
{
    Settings settings{};
    for (const Key& key : KEYS)
        key.reset(settings);
    return settings;
}

bool Settings::operator==(const Settings& other) const
{
    for (const Key& key : KEYS) {
        if (!key.same(*this, other))
            return false;
    }
    return true;
}

namespace SettingsFile {

Reading read(const std::string& path, const std::string& legacySoundFile)
{
    Reading reading{Settings::defaults(), {}, {}};
    const SmallFile::Reading file = SmallFile::read(path.c_str(), SettingsFile::READ_LIMIT);
    if (file.outcome == SmallFile::Outcome::Unreadable)
        reading.problems.push_back(path + ": " + file.reason + "; using the defaults");
    if (file.cut) {
        reading.problems.push_back(path + ": longer than " + shortest(SettingsFile::READ_LIMIT) +
                                   " bytes; the rest is ignored, and dropped when the settings are saved");
    }
    reading.lines = linesOf(file.bytes, file.cut);

    bool soundLine = false;
    for (std::size_t i = 0; i < reading.lines.size(); ++i) {
        const std::string where = path + ":" + shortest(i + 1) + ": ";
        const Line line = lineOf(reading.lines[i]);
        if (line.form == Line::NoEquals) {
            reading.problems.push_back(where + trimmed(reading.lines[i]) + ": no '='; ignored");
            continue;
        }
        const std::size_t k = keyIndex(line);
        if (k == KEY_COUNT)
            continue;
        const Key& key = KEYS[k];
        soundLine = soundLine || key.flag == &Settings::sound;
        const std::string why = key.set(line.value, reading.settings);
        if (!why.empty()) {
            reading.problems.push_back(where + line.key + " = " + line.value + ": " + why + "; using " +
                                       key.format(reading.settings));
        }
    }
    if (!soundLine)
        reading.settings.sound = !legacySaysOff(legacySoundFile);
    return reading;
}

std::string text(const Settings& settings, const std::vector<std::string>& previous)
{
    std::string content;
    bool written[KEY_COUNT] = {};
    auto write = [&](std::size_t k) {
        content += std::string(KEYS[k].name) + " = " + KEYS[k].format(settings) + "\n";
        written[k] = true;
    };
    for (const std::string& line : previous) {
        const std::size_t k = keyIndex(lineOf(line));
        if (k == KEY_COUNT)
            content += line + "\n";
        else if (!written[k])
            write(k);
    }
    for (std::size_t k = 0; k < KEY_COUNT; ++k) {
        if (!written[k])
            write(k);
    }
    return content;
}

bool write(const std::string& path, const std::string& content)
{
    return SmallFile::replace(path.c_str(), content);
}

std::vector<std::string> lines(const std::string& text)
{
    return linesOf(text, false);
}

} // namespace SettingsFile
