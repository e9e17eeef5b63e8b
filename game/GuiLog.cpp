#include "GuiLog.h"

#include <OgreLogManager.h>

#include <string>

namespace {
Ogre::LogMessageLevel engineLevel(CEGUI::LoggingLevel level)
{
    switch (level) {
    case CEGUI::Errors:
        return Ogre::LML_CRITICAL;
    case CEGUI::Warnings:
        return Ogre::LML_WARNING;
    default:
        return Ogre::LML_NORMAL;
    }
}
}

void EngineLogger::logEvent(const CEGUI::String& message, CEGUI::LoggingLevel level)
{
    if (level > getLoggingLevel())
        return;
    Ogre::LogManager::getSingleton().logMessage("CEGUI: " + std::string(message.c_str()), engineLevel(level));
}
