// The best score's file on its own: what a file's bytes read as, what a file system object reads
// as, when a save may replace the file, and what a save leaves behind.
#include "HighScoreFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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
        {"beaten", {Content::Number, 42}, 50, true},
        {"another copy saved more", {Content::Number, 9}, 5, false},
        {"negative best over a lower one", {Content::Number, -7}, -3, true},
        {"0 over text that is no number", {Content::NoNumber, 0}, 0, false},
        {"a real score over text that is no number", {Content::NoNumber, 0}, 12, true},
        {"unreadable", {Content::Unreadable, 0}, 100, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.replace, mayReplace(c.now, c.best)) << c.name;
}

// A scratch folder per test, removed afterwards.
class HighScoreFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/barrels-highscore-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(pattern));
        mFolder = pattern;
        mFile = (mFolder / NAME).string();
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(mFolder, fs::perms::owner_all, ignored);
        fs::remove_all(mFolder, ignored);
    }
    void write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string contents(const fs::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    fs::path mFolder;
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

TEST_F(HighScoreFolderTest, RemovesOnlyTheLeftoversOfASave)
{
    const char* leftovers[] = {"high.score.a1B2c3", "high.score.XXXXXX"};
    const char* others[] = {"high.score", "high.score.bak", "high.score.a1B2c3d", "high.score.a1-2c3",
                            "high.scoreXa1B2c3"};
    for (const char* name : leftovers)
        write(mFolder / name, "7");
    for (const char* name : others)
        write(mFolder / name, "7");
    fs::create_directory(mFolder / "high.score.dir123");

    removeLeftovers(mFile.c_str());

    for (const char* name : leftovers)
        EXPECT_FALSE(fs::exists(mFolder / name)) << name;
    for (const char* name : others)
        EXPECT_TRUE(fs::exists(mFolder / name)) << name;
    EXPECT_TRUE(fs::is_directory(mFolder / "high.score.dir123"));
}

} // namespace
