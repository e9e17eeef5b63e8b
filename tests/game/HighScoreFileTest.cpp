// The best score's file on its own: what a file's bytes read as, what a file system object reads
// as, when a save may replace the file, and what a save leaves behind.
#include "HighScoreFile.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace HighScoreFile;

namespace {

struct ParseCase
{
    const char* name;
    std::string bytes;
    Content content;
    int score;
};

TEST(HighScoreFileTest, ReadsTheNumberThatStartsTheFirstLine)
{
    const ParseCase cases[] = {
        {"plain", "42", Content::Number, 42},
        {"blanks, a word after, a second line", "  17 apples\n99", Content::Number, 17},
        {"negative", "-5", Content::Number, -5},
        {"plus sign and zeros", "+007", Content::Number, 7},
        {"tab and carriage return", "\t23\r\n", Content::Number, 23},
        {"zero", "0", Content::Number, 0},
        {"int limits", "-2147483648", Content::Number, INT_MIN},
        {"largest int", "2147483647", Content::Number, INT_MAX},
        {"one past the largest int", "2147483648", Content::NoNumber, 0},
        {"far out of range", "99999999999999999999999", Content::NoNumber, 0},
        {"letters", "best", Content::NoNumber, 0},
        {"sign alone", "-", Content::NoNumber, 0},
        {"sign then blank", "- 5", Content::NoNumber, 0},
        {"number on the second line only", "\n42", Content::NoNumber, 0},
        {"a NUL ends the text",
         std::string("4\0"
                     "2",
                     3),
         Content::Number, 4},
        {"empty", "", Content::Empty, 0},
        {"number beyond the read limit", std::string(READ_LIMIT, ' ') + "42", Content::NoNumber, 0},
        {"number just inside the read limit", std::string(READ_LIMIT - 2, ' ') + "42", Content::Number, 42},
    };
    for (const auto& c : cases) {
        const Reading reading = parse(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(c.content, reading.content) << c.name;
        EXPECT_EQ(c.score, reading.score) << c.name;
    }
}

TEST(HighScoreFileTest, SavesOnlyWhatKeepsTheBestScore)
{
    const struct
    {
        const char* name;
        Reading now;
        int best;
        bool replace;
    } cases[] = {
        {"no file yet, even 0", {Content::Missing, 0}, 0, true},
        {"empty file", {Content::Empty, 0}, 0, true},
        {"same number: written back", {Content::Number, 42}, 42, true},
        {"one below the best", {Content::Number, 41}, 42, true},
        {"one above the best", {Content::Number, 43}, 42, false},
        {"beaten", {Content::Number, 42}, 50, true},
        {"another copy saved more", {Content::Number, 9}, 5, false},
        {"negative best over a lower one", {Content::Number, -7}, -3, true},
        {"0 over text that is no number", {Content::NoNumber, 0}, 0, false},
        {"a real score over text that is no number", {Content::NoNumber, 0}, 12, true},
        {"unreadable", {Content::Unreadable, 0}, 100, false},
        // The file holds any int: a comparison by subtraction would overflow at the ends.
        {"largest int, same", {Content::Number, INT_MAX}, INT_MAX, true},
        {"largest int over one below it", {Content::Number, INT_MAX - 1}, INT_MAX, true},
        {"one below the largest int over it", {Content::Number, INT_MAX}, INT_MAX - 1, false},
        {"smallest int, same", {Content::Number, INT_MIN}, INT_MIN, true},
        {"smallest int over one above it", {Content::Number, INT_MIN + 1}, INT_MIN, false},
        {"largest int over the smallest", {Content::Number, INT_MIN}, INT_MAX, true},
        {"smallest int over the largest", {Content::Number, INT_MAX}, INT_MIN, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.replace, mayReplace(c.now, c.best)) << c.name;
}

// The best score's file in a scratch folder.
class HighScoreFolderTest : public ScratchFolderTest
{
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        mFile = (mFolder / NAME).string();
    }

    std::string mFile;
};

TEST_F(HighScoreFolderTest, ReadsOnlyARegularFileAndNeverBlocks)
{
    EXPECT_EQ(Content::Missing, read(mFile.c_str()).content);

    write(mFile, "  42 and more");
    EXPECT_EQ(42, read(mFile.c_str()).score);

    fs::remove(mFile);
    ASSERT_EQ(0, ::mkfifo(mFile.c_str(), 0600));
    EXPECT_EQ(Content::Unreadable, read(mFile.c_str()).content) << "a FIFO with no writer";

    fs::remove(mFile);
    fs::create_directory(mFile);
    EXPECT_EQ(Content::Unreadable, read(mFile.c_str()).content) << "a directory";

    fs::remove(mFile);
    fs::create_symlink("/dev/zero", mFile);
    EXPECT_EQ(Content::Unreadable, read(mFile.c_str()).content) << "a link to an endless device";

    fs::remove(mFile);
    write(mFolder / "target", "31");
    fs::create_symlink("target", mFile);
    EXPECT_EQ(31, read(mFile.c_str()).score) << "a link to a regular file is read through";
}

TEST_F(HighScoreFolderTest, ReplacesTheWholeFileAndALinkRatherThanItsTarget)
{
    write(mFile, "1234567");
    ASSERT_TRUE(replace(mFile.c_str(), 23));
    EXPECT_EQ("23", contents(mFile));

    fs::remove(mFile);
    write(mFolder / "target", "31");
    fs::create_symlink("target", mFile);
    ASSERT_TRUE(replace(mFile.c_str(), 40));
    EXPECT_FALSE(fs::is_symlink(mFile));
    EXPECT_EQ("40", contents(mFile));
    EXPECT_EQ("31", contents(mFolder / "target"));

    // A failed save leaves nothing behind.
    fs::remove(mFile);
    fs::create_directory(mFile);
    write(mFile + "/inside", "x");
    EXPECT_FALSE(replace(mFile.c_str(), 5));
    EXPECT_EQ(2u, static_cast<std::size_t>(std::distance(fs::directory_iterator(mFolder), {})));
}

// Only a save's own temporary file, left by a game that ended before this one started, is removed:
// never a player's file, a link, a folder, nor the save of a copy of the game running beside it.
TEST_F(HighScoreFolderTest, RemovesOnlyTheLeftoversOfEarlierSaves)
{
    using Clock = std::chrono::system_clock;
    const Clock::time_point started = Clock::now();
    const Clock::time_point before = started - std::chrono::hours(1);
    const Clock::time_point after = started + std::chrono::seconds(1);
    enum Kind { File, Link, Folder };
    const struct
    {
        const char* name;
        Kind kind;
        Clock::time_point modified;
        bool removed;
    } cases[] = {
        {".high.score.saving-a1B2c3", File, before, true},
        {".high.score.saving-XXXXXX", File, before, true},
        {".high.score.saving-k1LL3d", File, after, false}, // another copy saving now
        {".high.score.saving-l1nk00", Link, before, false},
        {".high.score.saving-d1r000", Folder, before, false},
        {"high.score", File, before, false},
        {"high.score.backup", File, before, false},
        {"high.score.old123", File, before, false},
        {"high.score.AbC123", File, before, false},
        {"high.score.saving-a1B2c3", File, before, false},
        {".high.score.saving-a1B2c3d", File, before, false},
        {".high.score.saving-a1-2c3", File, before, false},
        {".high.scoreXsaving-a1B2c3", File, before, false},
        {".other.saving-a1B2c3", File, before, false},
    };
    write(mFolder / "target", "7");
    for (const auto& c : cases) {
        const fs::path path = mFolder / c.name;
        if (c.kind == File)
            write(path, "7");
        else if (c.kind == Link)
            fs::create_symlink("target", path);
        else
            fs::create_directory(path);
        const auto sinceEpoch = c.modified.time_since_epoch();
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
        const timespec time = {static_cast<time_t>(seconds.count()),
                               static_cast<long>(std::chrono::nanoseconds(sinceEpoch - seconds).count())};
        const timespec times[] = {time, time};
        ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW)) << c.name;
    }

    removeLeftovers(mFile.c_str(), started);

    for (const auto& c : cases)
        EXPECT_EQ(c.removed, !fs::exists(fs::symlink_status(mFolder / c.name))) << c.name;
    EXPECT_TRUE(fs::exists(mFolder / "target"));
    // What a save writes before its rename is what the clean-up looks for.
    EXPECT_EQ((mFolder / ".high.score.saving-XXXXXX").string(), tempPattern(mFile.c_str()));
}

} // namespace
