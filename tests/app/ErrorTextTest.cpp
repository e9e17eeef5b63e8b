// The text an exception that ends the game is reported with: all the engine knows of it.
#include "ErrorText.h"

#include <OgreException.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::string textOf(void (*thrower)())
{
    try {
        thrower();
    } catch (const Ogre::Exception& e) {
        return fullDescription(e);
    }
    return "nothing thrown";
}

TEST(ErrorTextTest, HoldsKindDescriptionSourceFileAndLine)
{
    const struct
    {
        const char* name;
        void (*thrower)();
        std::vector<std::string> parts;
    } cases[] = {
        {"the engine's own, with its kind, file and line",
         [] { OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "Cannot open file: x.cfg", "ConfigFile::load"); },
         {"FileNotFoundException: Cannot open file: x.cfg in ConfigFile::load at ", "ErrorTextTest.cpp (line "}},
        // The engine builds no full description for these.
        {"made without file and line", [] { throw Ogre::Exception(7, "it broke", "here()"); }, {"it broke in here()"}},
        {"a kind that carries a number", [] { throw Ogre::Exception(1337, "no GUI", "init_GUI()", "GUI start-up error 1337", "GameGui.cpp", 12); },
         {"GUI start-up error 1337: no GUI in init_GUI() at GameGui.cpp (line 12)"}},
    };
    for (const auto& c : cases) {
        const std::string text = textOf(c.thrower);
        for (const std::string& part : c.parts)
            EXPECT_NE(std::string::npos, text.find(part)) << c.name << ": " << text;
    }
}
} // namespace
