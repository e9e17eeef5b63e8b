// The settings file on its own: what files read as, what a rewrite keeps, and how a save fails.
#include "Settings.h"

#include "MouseLook.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

// A failed comparison shows the settings as their file would.
void PrintTo(const Settings& settings, std::ostream* out)
{
    *out << "\n" << SettingsFile::text(settings, {});
}

namespace {

// The settings file and the old sound file in a scratch folder.
class SettingsFileTest : public ScratchFolderTest
{
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        mFile = (mFolder / SettingsFile::NAME).string();
        mLegacy = (mFolder / SettingsFile::LEGACY_SOUND_FILE).string();
    }

    void readsEveryCase();
    void keepsThePlayersLinesThroughASave();

    std::string mFile;
    std::string mLegacy;
};

// Lines around a cut at the read limit: a first line, filler, then a line the limit cuts through or
// a line that ends the file exactly at the limit.
const std::size_t LIMIT = SettingsFile::READ_LIMIT;
const std::string FIRST = "volume = 5\n";
const std::string CUT_LINE = "volume = 100\n"; // its first ten bytes say "volume = 1"
std::string filler(std::size_t size)
{
    return "#" + std::string(size - 2, 'x') + "\n";
}

void SettingsFileTest::readsEveryCase()
{
    const struct
    {
        const char* name;
        std::optional<std::string> file;
        std::optional<std::string> legacy;
        // From the defaults.
        std::function<void(Settings&)> change;
        // Each after the file's path.
        std::vector<std::string> problems;
    } cases[] = {
        {"no file", std::nullopt, std::nullopt, nullptr, {}},
        {"empty", "", std::nullopt, nullptr, {}},
        {"every key changed, in blanks and every case",
         "mouse_sensitivity = 0.2\npad_look_speed=300\n\tinvert_look\t=\tYES\nvolume = 40 \r\nsound = Off\n"
         "  rumble = false\nlanding_marker = 1\nstatistics = No\nfull_screen = True",
         std::nullopt,
         [](Settings& s) {
             s.mouseSensitivity = 0.2;
             s.padLookSpeed = 300;
             s.invertLook = true;
             s.volume = 40;
             s.sound = false;
             s.rumble = false;
             s.landingMarker = true;
             s.statistics = false;
             s.fullScreen = true;
         },
         {}},
        {"the other words for on and off",
         "full_screen = on\nrumble = 0\n",
         std::nullopt,
         [](Settings& s) {
             s.fullScreen = true;
             s.rumble = false;
         },
         {}},
        {"lines that cannot be read",
         "volume 50\nmouse_sensitivity = fast\npad_look_speed = 200x\nmouse_sensitivity = 0.2x\n"
         "sound = maybe\nvolume = 50.5\nvolume =\nrumble = on off\n",
         std::nullopt,
         nullptr,
         {":1: volume 50: no '='; ignored", ":2: mouse_sensitivity = fast: not a number; using 0.13",
          ":3: pad_look_speed = 200x: not a number; using 120",
          ":4: mouse_sensitivity = 0.2x: not a number; using 0.13", ":5: sound = maybe: not on or off; using on",
          ":6: volume = 50.5: not a whole number; using 100", ":7: volume = : not a whole number; using 100",
          ":8: rumble = on off: not on or off; using on"}},
        {"a decimal comma, as a German locale writes numbers",
         "mouse_sensitivity = 0,2\npad_look_speed = 1,5e2\n",
         std::nullopt,
         nullptr,
         {":1: mouse_sensitivity = 0,2: not a number; using 0.13",
          ":2: pad_look_speed = 1,5e2: not a number; using 120"}},
        {"just out of range, and far",
         "mouse_sensitivity = 0.0099\nmouse_sensitivity = 1.001\npad_look_speed = 9.99\npad_look_speed = 720.01\n"
         "volume = -1\nvolume = 101\nvolume = 99999999999\nmouse_sensitivity = nan\npad_look_speed = inf\n"
         "mouse_sensitivity = 1e999\n",
         std::nullopt,
         nullptr,
         {":1: mouse_sensitivity = 0.0099: out of range 0.01 to 1; using 0.13",
          ":2: mouse_sensitivity = 1.001: out of range 0.01 to 1; using 0.13",
          ":3: pad_look_speed = 9.99: out of range 10 to 720; using 120",
          ":4: pad_look_speed = 720.01: out of range 10 to 720; using 120",
          ":5: volume = -1: out of range 0 to 100; using 100", ":6: volume = 101: out of range 0 to 100; using 100",
          ":7: volume = 99999999999: out of range 0 to 100; using 100",
          ":8: mouse_sensitivity = nan: out of range 0.01 to 1; using 0.13",
          ":9: pad_look_speed = inf: out of range 10 to 720; using 120",
          ":10: mouse_sensitivity = 1e999: out of range 0.01 to 1; using 0.13"}},
        {"the lowest values",
         "mouse_sensitivity = 0.01\npad_look_speed = 10\nvolume = 0\n",
         std::nullopt,
         [](Settings& s) {
             s.mouseSensitivity = 0.01;
             s.padLookSpeed = 10;
             s.volume = 0;
         },
         {}},
        {"the highest values",
         "volume = 0\nmouse_sensitivity = 1\npad_look_speed = 720\nvolume = 100\n",
         std::nullopt,
         [](Settings& s) {
             s.mouseSensitivity = 1;
             s.padLookSpeed = 720;
         },
         {}},
        {"unknown keys",
         "colour = red\nVolume = 5\nsound_effects = off\n= 4\nvolume.max = 7\n",
         std::nullopt,
         nullptr,
         {}},
        {"a repeated key: the last line that reads counts",
         "volume = 10\nvolume = 20\npad_look_speed = 200\npad_look_speed = 9000\n",
         std::nullopt,
         [](Settings& s) {
             s.volume = 20;
             s.padLookSpeed = 200;
         },
         {":4: pad_look_speed = 9000: out of range 10 to 720; using 200"}},
        {"comments and blank lines",
         "# volume = 5\n\n   \t\n  # sound = off\nvolume = 7 \n#\n",
         std::nullopt,
         [](Settings& s) { s.volume = 7; },
         {}},
        {"the old sound file alone", std::nullopt, "sound off\n", [](Settings& s) { s.sound = false; }, {}},
        {"the old sound file, and a file without a sound line",
         "volume = 50\n",
         "sound off",
         [](Settings& s) {
             s.volume = 50;
             s.sound = false;
         },
         {}},
        {"a sound line wins over the old file", "sound = on\n", "sound off\n", nullptr, {}},
        {"even a sound line that cannot be read",
         "sound = loud\n",
         "sound off\n",
         nullptr,
         {":1: sound = loud: not on or off; using on"}},
        {"the old file saying on", "", "sound on\n", nullptr, {}},
        {"the old file saying more", "", "sound off, please\n", nullptr, {}},
        {"the old file saying off on its second line", "", "\nsound off\n", nullptr, {}},
        {"a line cut by the read limit is not read",
         FIRST + filler(LIMIT - 10 - FIRST.size()) + CUT_LINE + "statistics = off\n",
         std::nullopt,
         [](Settings& s) { s.volume = 5; },
         {": longer than 65536 bytes; the rest is ignored, and dropped when the settings are saved"}},
        {"a file of exactly the read limit is read whole",
         filler(LIMIT - 10) + "volume = 7",
         std::nullopt,
         [](Settings& s) { s.volume = 7; },
         {}},
    };
    for (const auto& c : cases) {
        fs::remove(mFile);
        fs::remove(mLegacy);
        if (c.file)
            write(mFile, *c.file);
        if (c.legacy)
            write(mLegacy, *c.legacy);
        Settings expected = Settings::defaults();
        if (c.change)
            c.change(expected);
        std::vector<std::string> problems;
        for (const std::string& problem : c.problems)
            problems.push_back(mFile + problem);

        const SettingsFile::Reading reading = SettingsFile::read(mFile, mLegacy);
        EXPECT_EQ(expected, reading.settings) << c.name;
        EXPECT_EQ(problems, reading.problems) << c.name;
        EXPECT_EQ(c.legacy.value_or(""), contents(mLegacy)) << c.name << ": the old file is only read";
    }
}

TEST_F(SettingsFileTest, ReadsEachLineItCanAndNamesTheOthers)
{
    readsEveryCase();
}

TEST_F(SettingsFileTest, ADefaultIsTheDesignsValue)
{
    const Settings settings = Settings::defaults();
    EXPECT_EQ(MOUSE_SENSITIVITY, settings.mouseSensitivity);
    EXPECT_EQ(120, settings.padLookSpeed);
    EXPECT_FALSE(settings.invertLook);
    EXPECT_EQ(100, settings.volume);
    EXPECT_TRUE(settings.sound);
    EXPECT_TRUE(settings.rumble);
    EXPECT_FALSE(settings.landingMarker);
    EXPECT_TRUE(settings.statistics);
    EXPECT_FALSE(settings.fullScreen);
}

TEST_F(SettingsFileTest, SomethingInThePlaceOfTheFileGivesTheDefaults)
{
    fs::create_directory(mFile);
    SettingsFile::Reading reading = SettingsFile::read(mFile, mLegacy);
    EXPECT_EQ(Settings::defaults(), reading.settings);
    EXPECT_EQ(std::vector<std::string>{mFile + ": not a regular file; using the defaults"}, reading.problems);

    fs::remove(mFile);
    ASSERT_EQ(0, ::mkfifo(mFile.c_str(), 0600));
    reading = SettingsFile::read(mFile, mLegacy);
    EXPECT_EQ(std::vector<std::string>{mFile + ": not a regular file; using the defaults"}, reading.problems)
        << "a FIFO with no writer, read without waiting for one";
}

TEST_F(SettingsFileTest, AFileThePlayerMayNotReadGivesTheDefaults)
{
    ASSERT_NO_FATAL_FAILURE(asAPlayer());
    write(mFile, "volume = 5\n");
    write(mLegacy, "sound off\n");
    fs::permissions(mFile, fs::perms::none);
    const SettingsFile::Reading reading = SettingsFile::read(mFile, mLegacy);
    Settings expected = Settings::defaults();
    expected.sound = false; // the file gives no sound line, so M's old choice holds
    EXPECT_EQ(expected, reading.settings);
    EXPECT_EQ(std::vector<std::string>{mFile + ": Permission denied; using the defaults"}, reading.problems);
}

void SettingsFileTest::keepsThePlayersLinesThroughASave()
{
    fs::remove(mFile);
    write(mFile, "# mine\nvolume = 30\ncolour = red\n\nmouse_sensitivity = 0,2\r\nvolume = 40\n   # last");
    write(mLegacy, "sound off\n");
    const SettingsFile::Reading before = SettingsFile::read(mFile, mLegacy);
    ASSERT_EQ(1u, before.problems.size());
    ASSERT_EQ(40, before.settings.volume);
    ASSERT_FALSE(before.settings.sound);

    Settings changed = before.settings;
    changed.volume = 55;
    changed.padLookSpeed = 250.5;
    // Shortest exact form: six digits, as printf's %g gives them, would read back as 0.3.
    changed.mouseSensitivity = 0.1 + 0.2;
    ASSERT_TRUE(SettingsFile::write(mFile, SettingsFile::text(changed, before.lines)));

    EXPECT_EQ("# mine\n"
              "volume = 55\n"
              "colour = red\n"
              "\n"
              "mouse_sensitivity = 0.30000000000000004\n"
              "   # last\n"
              "pad_look_speed = 250.5\n"
              "invert_look = off\n"
              "sound = off\n"
              "rumble = on\n"
              "landing_marker = off\n"
              "statistics = on\n"
              "full_screen = off\n",
              contents(mFile));
    const SettingsFile::Reading after = SettingsFile::read(mFile, mLegacy);
    EXPECT_EQ(changed, after.settings);
    EXPECT_TRUE(after.problems.empty());
    EXPECT_EQ((std::vector<std::string>{SettingsFile::NAME, SettingsFile::LEGACY_SOUND_FILE}), folderNames())
        << "no temporary left";
    EXPECT_EQ("sound off\n", contents(mLegacy));
    // A plain new file's permissions, not mkstemp's private ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(static_cast<fs::perms>(0666 & ~mask), fs::status(mFile).permissions());
}

TEST_F(SettingsFileTest, ASaveKeepsThePlayersLinesWhereTheyStood)
{
    keepsThePlayersLinesThroughASave();
}

TEST_F(SettingsFileTest, AFailedSaveLeavesTheOldFileAndNoTemporary)
{
    ASSERT_NO_FATAL_FAILURE(asAPlayer());
    // The rename fails: a folder that is not empty stands in the file's place.
    fs::create_directory(mFile);
    write(mFile + "/inside", "x");
    EXPECT_FALSE(SettingsFile::write(mFile, "volume = 40\n"));
    EXPECT_EQ(std::vector<std::string>{SettingsFile::NAME}, folderNames());
    EXPECT_EQ("x", contents(mFile + "/inside"));

    fs::remove_all(mFile);
    write(mFile, "volume = 30\n");
    fs::permissions(mFolder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(SettingsFile::write(mFile, "volume = 40\n"));
    fs::permissions(mFolder, fs::perms::owner_all);
    EXPECT_EQ("volume = 30\n", contents(mFile));
    EXPECT_EQ(std::vector<std::string>{SettingsFile::NAME}, folderNames());
}

// The game runs in the player's locale; one that writes 0,13 must change nothing. The locale is built
// from the C library's sources into a folder of our own, so that no machine needs it installed.
TEST_F(SettingsFileTest, ReadsAndWritesTheSameUnderADecimalComma)
{
    const char* const commaLocale = "de_DE.UTF-8";
    char pattern[] = "/tmp/barrels-locales-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(pattern));
    const fs::path locales = pattern;
    const char* const before = std::getenv("LOCPATH");
    struct Restore
    {
        fs::path locales;
        std::optional<std::string> locpath;
        std::string locale;
        ~Restore()
        {
            if (locpath)
                ::setenv("LOCPATH", locpath->c_str(), 1);
            else
                ::unsetenv("LOCPATH");
            std::setlocale(LC_ALL, locale.c_str());
            std::error_code ignored;
            fs::remove_all(locales, ignored);
        }
    } restore{locales, before ? std::optional<std::string>(before) : std::nullopt, std::setlocale(LC_ALL, nullptr)};

    const std::string command = "localedef -i de_DE -f UTF-8 " + (locales / commaLocale).string() + " 2>&1";
    FILE* const localedef = ::popen(command.c_str(), "r");
    ASSERT_NE(nullptr, localedef) << std::strerror(errno);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, localedef))
        output += buffer;
    if (::pclose(localedef) != 0)
        GTEST_SKIP() << "localedef cannot build " << commaLocale << ": " << output;

    ASSERT_EQ(0, ::setenv("LOCPATH", locales.c_str(), 1));
    ASSERT_NE(nullptr, std::setlocale(LC_ALL, commaLocale)) << "the C library does not find the locale just built";
    ASSERT_STREQ(",", std::localeconv()->decimal_point);
    readsEveryCase();
    keepsThePlayersLinesThroughASave();
}

} // namespace
