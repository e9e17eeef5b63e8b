// Program entry: reads the command line, finds the game's files, runs the application and reports
// any error that escapes it.
#include "Core.h"
#include "DesktopWindow.h"
#include "FatalError.h"
#include "Installation.h"
#include "LeakCheck.h"
#include "PhysicsMemory.h"

#include <CEGUI/Exceptions.h>
#include <OgreException.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <getopt.h>
#include <unistd.h>

namespace {

// What --help prints: the usage line and options first, then the keys, pads and files.
// Every line fits in 80 columns.
const char kUsage[] = "Usage: barrels [OPTION]...\n"
                      "Play Barrels, a 3D physics game: knock the barrels off the platform in time.\n"
                      "\n"
                      "Barrels stand in rows on a wooden platform; knock every one of them off before\n"
                      "the level's time runs out.\n"
                      "\n"
                      "Options:\n"
                      "  -h, --help     show this text and exit\n"
                      "      --version  show the version and license and exit\n"
                      "\n"
                      "Keys:\n"
                      "  hold SPACE     charge a shot; release it to fire where you look\n"
                      "  mouse          look around while playing; the cursor in the menu\n"
                      "  ESC            pause and show the menu; ESC again goes back to the game\n"
                      "  F1             show or hide the instructions\n"
                      "  F11            full screen and back\n"
                      "  M              sound on or off\n"
                      "  G              landing marker on or off: where a charging shot would land\n"
                      "  F2             settings: sensitivity, inverted look, volume, rumble and more\n"
                      "  arrows, Enter  in the menu and the settings: move the focus, change, press\n"
                      "\n"
                      "Gamepads: either stick looks, right trigger or A charges and fires,\n"
                      "Start = ESC, Back = F1, Y = G, X = M; in menus the D-pad moves, A presses,\n"
                      "B goes back.\n"
                      "\n"
                      "Files, when installed (started from a build tree, all stay in the working\n"
                      "directory):\n"
                      "  $XDG_CONFIG_HOME/barrels/settings.cfg  the settings' choices\n"
                      "  $XDG_CONFIG_HOME/barrels/ogre.cfg      engine settings\n"
                      "  $XDG_STATE_HOME/barrels/Ogre.log       engine log\n"
                      "  $XDG_DATA_HOME/barrels/high.score      best score\n"
                      "Unset, XDG_CONFIG_HOME is ~/.config, XDG_STATE_HOME ~/.local/state and\n"
                      "XDG_DATA_HOME ~/.local/share.\n";

const char kVersion[] = "barrels " BARRELS_VERSION "\n"
                        "Copyright (C) The Barrels developers\n"
                        "License MIT: <https://opensource.org/licenses/MIT>\n"
                        "This is free software: you are free to change and redistribute it.\n"
                        "There is NO WARRANTY, to the extent permitted by law.\n";

// Writes text to standard output and closes it, so that a write that fails (a full disk, a closed
// pipe) is reported and exits 1 rather than passing as done.
int printAll(const char* text)
{
    std::fputs(text, stdout);
    const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    const int flushError = errno;
    const bool closed = std::fclose(stdout) == 0;
    if (flushed && closed)
        return EXIT_SUCCESS;
    std::fprintf(stderr, "barrels: write error: %s\n", std::strerror(flushed ? errno : flushError));
    return EXIT_FAILURE;
}

int usageError()
{
    std::fprintf(stderr, "Try 'barrels --help' for more information.\n");
    return 2;
}

// Returns the exit status when the command line asks for something other than the game, or -1.
// Parsed as GNU programs do: long options by any unambiguous prefix, and "--" ends the options.
int handleOptions(int argc, char** argv)
{
    enum
    {
        kVersionOption = 1
    };
    const option options[] = {{"help", no_argument, nullptr, 'h'},
                              {"version", no_argument, nullptr, kVersionOption},
                              {nullptr, 0, nullptr, 0}};
    // getopt's own messages name argv[0]: the game calls itself barrels wherever it was started from.
    if (argc < 1)
        return -1;
    std::vector<char*> arguments(argv, argv + argc + 1); // with the closing null pointer
    char name[] = "barrels";
    arguments[0] = name;
    for (;;) {
        switch (getopt_long(argc, arguments.data(), "h", options, nullptr)) {
        case -1:
            if (optind < argc) {
                std::fprintf(stderr, "barrels: extra operand '%s'\n", arguments[optind]);
                return usageError();
            }
            return -1;
        case 'h':
            return printAll(kUsage);
        case kVersionOption:
            return printAll(kVersion);
        default: // getopt_long has named the option
            return usageError();
        }
    }
}

// The game itself, from its installation to its end; the application is gone when it returns.
int play()
{
    Core application;
    try {
        Installation installed;
        if (findInstallation(installed)) {
            application.setFileLocations(installed.share, installed.config, installed.state);
            // The best score (and any screenshot) is written into the working directory.
            if (chdir(installed.data.c_str()) != 0)
                throw std::runtime_error("cannot enter " + installed.data);
        }
    } catch (const std::exception& e) {
        std::cerr << "barrels: " << e.what() << std::endl;
        return EXIT_FAILURE;
    }
    // The engine's log and settings and the best score are written there; without it the engine
    // would drop its log silently and the best score would be lost at the end.
    if (access(".", W_OK) != 0) {
        char folder[4096];
        reportFatalError(std::string(getcwd(folder, sizeof folder) ? folder : ".") +
                         ": cannot write in this folder, where the game keeps its log, settings and best score");
        return EXIT_FAILURE;
    }

    // What went wrong in full, where in the code too: that is what a bug report needs.
    try {
        application.run();
    } catch (const Ogre::Exception& e) {
        application.releaseForErrorReport();
        // Kind, description, source, file and line. Only exceptions made with a file have one: the
        // engine's three-argument constructor leaves the kind and file unset, so nothing here uses it.
        reportFatalError(e.getFullDescription());
        return EXIT_FAILURE;
    } catch (const CEGUI::Exception& e) {
        application.releaseForErrorReport();
        reportFatalError(e.what());
        return EXIT_FAILURE;
    } catch (const std::exception& e) {
        application.releaseForErrorReport();
        reportFatalError(e.what());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char** argv)
{
    usePhysicsMemoryInHugePages();
    const int optionStatus = handleOptions(argc, argv);
    if (optionStatus >= 0)
        return optionStatus;

    // Without a display the engine's renderer fails inside its own start-up, in a way that cannot be
    // reported once it has unloaded itself: say it plainly first.
    std::string display;
    if (!displayReachable(display)) {
        std::cerr << "barrels: cannot open the X display "
                  << (display.empty() ? std::string("(DISPLAY is not set)") : "\"" + display + "\"")
                  << ": the game needs a graphical desktop" << std::endl;
        return EXIT_FAILURE;
    }

    const int status = play();
    checkLeaksNow();
    return status;
}
