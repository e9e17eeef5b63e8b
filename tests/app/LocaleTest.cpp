// The process's locale through a run of the game under a user's locale: plain "C" while the media
// are read, the user's character set once it plays, numbers in "C" all along.
#include "TestCore.h"

#include <OgreFrameListener.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Notes the locale on the second frame, and ends the loop there.
class LocaleInPlay : public Ogre::FrameListener
{
public:
    bool frameStarted(const Ogre::FrameEvent&) override
    {
        if (++mFrames < 2)
            return true;
        characters = std::setlocale(LC_CTYPE, nullptr);
        numbers = std::setlocale(LC_NUMERIC, nullptr);
        return false;
    }
    std::string characters, numbers;

private:
    int mFrames = 0;
};

class LocaleCore : public TestCore
{
public:
    LocaleInPlay mProbe;

protected:
    void installFrameListener() override
    {
        TestCore::installFrameListener();
        mEngineRoot->addFrameListener(&mProbe);
    }
};

} // namespace

TEST(Locale, MediaReadInPlainCKeysInTheUsersCharacterSet)
{
    const ScratchRunDir scratch;
    // The user's locale: C.UTF-8, which every Debian system has.
    setenv("LC_ALL", "C.UTF-8", 1);

    {
        LocaleCore core;
        core.run();
        EXPECT_EQ("C.UTF-8", core.mProbe.characters) << "key events would not carry the user's characters";
        EXPECT_EQ("C", core.mProbe.numbers);
    }
    std::ostringstream log;
    log << std::ifstream("Ogre.log").rdbuf();
    // The GUI library's complaint names the categories it wants in "C".
    const std::string text = log.str();
    const size_t complaint = text.find("LC_NUMERIC");
    EXPECT_EQ(std::string::npos, complaint) << text.substr(text.rfind('\n', complaint) + 1, 160);

    unsetenv("LC_ALL");
    std::setlocale(LC_ALL, "C");
}
