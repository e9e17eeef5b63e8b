// autoplayer: plays the real game on an X display with the brain's aim, the way a person would.
// Follows the game's engine log for the facts the heads-up display shows, and can leave a
// screenshot of every stage behind.
#include "FatalError.h"
#include "GameEvents.h"
#include "GameLog.h"
#include "Player.h"
#include "Screen.h"
#include "XSession.h"

#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

using namespace autoplayer;

namespace {

const Spot NEW_BUTTON = menuButtonCentre(NEW_BUTTON_BOX);
const Spot QUIT_BUTTON = menuButtonCentre(QUIT_BUTTON_BOX);
// The charge bar's filling in the 800x600 window: empty at the left end, full at the right.
const int BAR_EMPTY_X = 125, BAR_FULL_X = 714, BAR_Y = 543, BAR_BRIGHTNESS = 250;
// The charge clock runs on the engine's time between frame start and queued rendering, which
// under software rendering can be far below the frame time: past this, shoot with what there is.
const double LONGEST_HOLD = 4;
// A new level's barrels drop onto the platform and each other before they stand still.
const double SETTLE_SECONDS = 0.8;

struct Options
{
    std::string workDir = ".";
    std::string screenshots;
    double playSeconds = 60;
    double startTimeout = 90;
    bool verbose = false;
    bool facts = false;
};

void usage()
{
    std::fprintf(stderr,
                 "usage: autoplayer [--workdir DIR] [--screenshots DIR] [--seconds N] [--start-timeout N] [--verbose]\n"
                 "       autoplayer --facts\n"
                 "Plays the running game on $DISPLAY for about N seconds (0: until the game ends), then\n"
                 "quits it through its menu. DIR is the game's working directory, with its Ogre.log.\n"
                 "--verbose tells every shot. --facts prints, as shell assignments, where the buttons are\n"
                 "and the lines the game writes to its log (printf formats), for scripts that play it.\n");
}

// A shell word that stands for exactly `text`.
std::string quoted(const std::string& text)
{
    std::string word = "'";
    for (char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

void printFacts()
{
    const struct
    {
        const char* name;
        Spot spot;
    } spots[] = {
        {"DIALOG_ACCEPT", DIALOG_ACCEPT},
        {"DIALOG_CANCEL", DIALOG_CANCEL},
        {"NEW", NEW_BUTTON},
        {"QUIT", QUIT_BUTTON},
        {"SETTINGS", boxCentre(SETTINGS_BUTTON_BOX)},
        {"SETTINGS_INVERT_LOOK", settingsCentre(settingsTickBox(INVERT_LOOK_ROW))},
        {"SETTINGS_BACK", settingsCentre(SETTINGS_BACK_BOX)}};
    const struct
    {
        const char* name;
        const char* text;
    } texts[] = {{"DIALOG_NAME", DIALOG_TITLE},
                 {"GAME_TITLE", GAME_TITLE},
                 {"ERROR_TITLE", kFatalErrorTitle},
                 {"LOG_INPUT_STARTED", INPUT_STARTED},
                 {"LOG_NEW_GAME", GameEvents::NEW_GAME},
                 {"LOG_LEVEL_BUILT", GameEvents::LEVEL_BUILT},
                 {"LOG_LEVEL_CLEARED", GameEvents::LEVEL_CLEARED},
                 {"LOG_TIME_UP", GameEvents::TIME_UP},
                 {"LOG_BEST_SCORE_RAISED", GameEvents::BEST_SCORE_RAISED},
                 {"LOG_BEST_SCORE_SAVED", GameEvents::BEST_SCORE_SAVED},
                 {"LOG_BEST_SCORE_KEPT", GameEvents::BEST_SCORE_KEPT},
                 {"LOG_SHOT_FIRED", GameEvents::SHOT_FIRED},
                 {"LOG_PAUSED", GameEvents::PAUSED},
                 {"LOG_RESUMED", GameEvents::RESUMED},
                 {"LOG_HELP_SHOWN", GameEvents::HELP_SHOWN},
                 {"LOG_HELP_HIDDEN", GameEvents::HELP_HIDDEN},
                 {"LOG_SETTINGS_SHOWN", GameEvents::SETTINGS_SHOWN},
                 {"LOG_SETTINGS_HIDDEN", GameEvents::SETTINGS_HIDDEN},
                 {"LOG_SETTINGS_CHANGED", GameEvents::SETTINGS_CHANGED},
                 {"LOG_SETTINGS_SAVED", GameEvents::SETTINGS_SAVED}};
    for (const auto& s : spots)
        std::printf("%s_X=%d %s_Y=%d\n", s.name, s.spot.x, s.name, s.spot.y);
    for (const auto& t : texts)
        std::printf("%s=%s\n", t.name, quoted(t.text).c_str());
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (arg == "--facts") {
            options.facts = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        if (arg == "--workdir")
            options.workDir = argv[++i];
        else if (arg == "--screenshots")
            options.screenshots = argv[++i];
        else if (arg == "--seconds")
            options.playSeconds = std::atof(argv[++i]);
        else if (arg == "--start-timeout")
            options.startTimeout = std::atof(argv[++i]);
        else
            return false;
    }
    return true;
}

class Driver
{
public:
    Driver(const Options& options) : mOptions(options), mLog(options.workDir + "/Ogre.log"), mGame(0) {}

    int run();

private:
    Window waitForWindow(double seconds, bool& isDialog);
    bool waitFor(double seconds, bool (Driver::*condition)());
    bool gameStarted() { return mLog.update(), mLog.gameStarted(); }
    bool gameGone() { return mX.findWindow(GAME_TITLE) == 0; }
    void screenshot(const char* name, Window window);
    void pressMenuButton(const Spot& button);
    void fire(const Shot& shot, bool showStages);
    void pauseAndResume();
    void quit();

    Options mOptions;
    XSession mX;
    GameLog mLog;
    Player mPlayer;
    Window mGame;
    std::map<int, int> mShotsPerLevel;
    int mShots = 0;
    int mScreenshots = 0;
};

Window Driver::waitForWindow(double seconds, bool& isDialog)
{
    const double deadline = now() + seconds;
    while (now() < deadline) {
        if (Window dialog = mX.findWindow(DIALOG_TITLE)) {
            isDialog = true;
            return dialog;
        }
        if (Window game = mX.findWindow(GAME_TITLE)) {
            isDialog = false;
            return game;
        }
        pause(0.1);
    }
    return 0;
}

bool Driver::waitFor(double seconds, bool (Driver::*condition)())
{
    const double deadline = now() + seconds;
    while (now() < deadline) {
        if ((this->*condition)())
            return true;
        pause(0.05);
    }
    return false;
}

void Driver::screenshot(const char* name, Window window)
{
    if (mOptions.screenshots.empty())
        return;
    char file[512];
    std::snprintf(file, sizeof file, "%s/%02d-%s.ppm", mOptions.screenshots.c_str(), ++mScreenshots, name);
    if (!mX.savePicture(window, file))
        std::fprintf(stderr, "autoplayer: could not save %s\n", file);
}

// In the menu the GUI cursor sits where the desktop's pointer is.
void Driver::pressMenuButton(const Spot& button)
{
    mX.moveTo(mGame, button.x, button.y);
    pause(0.1);
    mX.pressButton();
}

void Driver::fire(const Shot& shot, bool showStages)
{
    mX.moveBy(mGame, shot.mouseX, shot.mouseY);
    pause(0.05);
    // Like a person, hold SPACE and watch the charge bar until it shows the charge wanted.
    const double start = now();
    const double wanted = shot.charge / 100;
    bool shown = !showStages;
    mX.keyDown(XK_space);
    while (now() - start < LONGEST_HOLD) {
        const double fill = mX.barFill(mGame, BAR_EMPTY_X, BAR_FULL_X, BAR_Y, BAR_BRIGHTNESS);
        if (fill >= wanted - 0.01)
            break;
        if (!shown && fill >= wanted / 2) {
            screenshot("charging", mGame);
            shown = true;
        }
        pause(0.05);
    }
    mX.keyUp(XK_space);
    if (mOptions.verbose)
        std::printf("shot %d on level %d: charge %.0f after %.2f s holding\n", mShots + 1, mPlayer.level(),
                    100 * mX.barFill(mGame, BAR_EMPTY_X, BAR_FULL_X, BAR_Y, BAR_BRIGHTNESS), now() - start);
    ++mShots;
    ++mShotsPerLevel[mPlayer.level()];
    if (showStages) {
        pause(0.3);
        screenshot("ball-flying", mGame);
        pause(0.5);
        screenshot("barrels-falling", mGame);
    }
    pause(0.05);
}

void Driver::pauseAndResume()
{
    mX.tapKey(XK_Escape);
    pause(0.5);
    screenshot("paused", mGame);
    mX.tapKey(XK_Escape);
    pause(0.5);
    screenshot("resumed", mGame);
}

void Driver::quit()
{
    // A slow frame can swallow a key tap: if the menu was not up, the click did nothing, so try again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        pause(1);
        mX.tapKey(XK_Escape);
        pause(0.5);
        if (attempt == 0)
            screenshot("menu-before-quit", mGame);
        pressMenuButton(QUIT_BUTTON);
        if (waitFor(5, &Driver::gameGone))
            break;
    }
    if (!gameGone())
        std::fprintf(stderr, "autoplayer: the game did not close after Quit\n");
    mLog.update();
}

int Driver::run()
{
    bool isDialog = false;
    Window first = waitForWindow(mOptions.startTimeout, isDialog);
    if (!first) {
        std::fprintf(stderr, "autoplayer: no game window appeared\n");
        return 1;
    }
    if (isDialog) {
        pause(0.5);
        screenshot("dialog", 0);
        mX.click(first, DIALOG_ACCEPT.x, DIALOG_ACCEPT.y);
        waitForWindow(mOptions.startTimeout, isDialog);
    }
    const double windowDeadline = now() + mOptions.startTimeout;
    while (!(mGame = mX.findWindow(GAME_TITLE)) && now() < windowDeadline)
        pause(0.1);
    if (!mGame) {
        std::fprintf(stderr, "autoplayer: the game window did not open\n");
        return 1;
    }
    // The menu shows once the engine has loaded its media and drawn a few frames.
    pause(3);
    screenshot("menu", mGame);

    pressMenuButton(NEW_BUTTON);
    if (!waitFor(10, &Driver::gameStarted)) {
        std::fprintf(stderr, "autoplayer: New did not start a game\n");
        return 1;
    }
    pause(SETTLE_SECONDS);
    screenshot("new-game", mGame);

    const double deadline = now() + mOptions.playSeconds;
    bool pausedOnce = false;
    while ((mOptions.playSeconds <= 0 || now() < deadline) && !mLog.timeUp()) {
        mLog.update();
        if (mLog.level() != mPlayer.level()) {
            if (mPlayer.level() > 0)
                std::printf("level %d cleared with %d shots\n", mPlayer.level(), mShotsPerLevel[mPlayer.level()]);
            mPlayer.startLevel(mLog.level());
            pause(SETTLE_SECONDS);
            if (mLog.levelsCleared() == 1 && !pausedOnce) {
                screenshot("next-level", mGame);
                pauseAndResume();
                pausedOnce = true;
            }
            continue;
        }
        if (!mPlayer.hasTargets())
            break;
        fire(mPlayer.nextShot(), mShots == 0);
        std::fflush(stdout);
    }
    mLog.update();
    if (mLog.timeUp())
        std::printf("time up on level %d after %d shots there\n", mPlayer.level(), mShotsPerLevel[mPlayer.level()]);
    else if (mPlayer.hasTargets())
        std::printf("stopped on level %d after %d shots there\n", mPlayer.level(), mShotsPerLevel[mPlayer.level()]);
    if (!pausedOnce)
        pauseAndResume();
    quit();

    std::printf("autoplayer: levels cleared %d, shots %d, best score %d\n", mLog.levelsCleared(), mShots,
                mLog.bestScore() < 0 ? 0 : mLog.bestScore());
    return 0;
}

}

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        usage();
        return 2;
    }
    if (options.facts) {
        printFacts();
        return 0;
    }
    try {
        Driver driver(options);
        return driver.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "autoplayer: %s\n", e.what());
        return 1;
    }
}
