// Records every line written to the engine's default log while it lives.
#pragma once

#include <OgreLog.h>
#include <OgreLogManager.h>

#include <algorithm>
#include <string>
#include <vector>

class LogRecorder : public Ogre::LogListener
{
public:
    LogRecorder() { Ogre::LogManager::getSingleton().getDefaultLog()->addListener(this); }
    ~LogRecorder() override { Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(this); }
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool, const Ogre::String&,
                       bool&) override
    {
        lines.push_back(message);
        levels.push_back(level);
    }

    bool has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }

    std::vector<std::string> lines;
    std::vector<Ogre::LogMessageLevel> levels;
};
