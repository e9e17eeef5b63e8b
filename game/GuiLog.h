// The GUI library's messages, written to the engine's log.
#pragma once

#include <CEGUI/Logger.h>

// The GUI library's messages go to the engine's log, beside everything else the game reports,
// instead of a log file of the library's own in the working directory. The library takes the one
// made first as its logger, and keeps it as long as the GUI.
class EngineLogger : public CEGUI::Logger
{
public:
    void logEvent(const CEGUI::String& message, CEGUI::LoggingLevel level) override;
    void setLogFilename(const CEGUI::String&, bool) override {}
};
