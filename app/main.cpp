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

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include <unistd.h>

namespace {

void printUsage(std::FILE* to)
{
    std::fprintf(to, "Usage: barrels [--help] [--version]\n"
                     "\n"
                     "Barrels: a 3D physics game. Barrels stand in rows on a wooden platform; knock every one\n"
                     "of them off before the level's time runs out.\n"
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
                     "Gamepads: either stick looks, right trigger or A charges and fires, Start = ESC,\n"
                     "Back = F1, Y = G, X = M; in menus the D-pad moves, A presses, B goes back.\n"
                     "\n"
                     "Files, when installed (started from a build tree, all stay in the working directory):\n"
                     "  $XDG_CONFIG_HOME/barrels/ogre.cfg   engine settings (default ~/.config/barrels/)\n"
                     "  $XDG_STATE_HOME/barrels/Ogre.log    engine log (default ~/.local/state/barrels/)\n"
                     "  $XDG_DATA_HOME/barrels/high.score   best score (default ~/.local/share/barrels/)\n"
                     "  $XDG_CONFIG_HOME/barrels/settings.cfg  the settings' choices\n"
                     "\n"
                     "  --help      show this text\n"
                     "  --version   show the version\n");
}

// Returns the exit status when the command line asks for something other than the game, or -1.
int handleOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printUsage(stdout);
            return EXIT_SUCCESS;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("barrels %s\n", BARRELS_VERSION);
            return EXIT_SUCCESS;
        }
        std::fprintf(stderr, "barrels: unknown option '%s'\n\n", argv[i]);
        printUsage(stderr);
        return 2;
    }
    return -1;
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
