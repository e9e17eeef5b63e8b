// A folder of its own for each test of the game's small files, removed afterwards whatever the
// test did to its permissions, with helpers to lay files out and read them back byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

class ScratchFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/barrels-files-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(pattern));
        mFolder = pattern;
    }
    void TearDown() override
    {
        if (mWasRoot) {
            EXPECT_EQ(0, ::seteuid(0)) << std::strerror(errno);
        }
        std::error_code ignored;
        std::filesystem::permissions(mFolder, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(mFolder, ignored);
    }

    static void write(const std::filesystem::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string contents(const std::filesystem::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    // What the folder holds, sorted: a save leaves nothing behind but its file.
    std::vector<std::string> folderNames() const
    {
        std::vector<std::string> names;
        for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(mFolder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Root reads and writes past any permission, so as root the rest of the test runs as an ordinary
    // user who owns the folder; the saved user id takes root back in TearDown. Called before anything
    // is laid out in the folder.
    void asAPlayer()
    {
        if (::geteuid() != 0)
            return;
        const uid_t nobody = 65534;
        ASSERT_EQ(0, ::chown(mFolder.c_str(), nobody, static_cast<gid_t>(-1))) << std::strerror(errno);
        ASSERT_EQ(0, ::seteuid(nobody)) << std::strerror(errno);
        mWasRoot = true;
    }

    std::filesystem::path mFolder;

private:
    bool mWasRoot = false;
};
