// latency_bench: the real game's time from an input event to the first frame that shows it (a SPACE
// press and a mouse motion while playing, a click on New in the menu), and how evenly it paces its
// frames while playing. Plays the game through XTest on $DISPLAY and reads its frame trace.
#include "Children.h"
#include "FrameTraceLog.h"
#include "GameProcess.h"
#include "LineFollower.h"
#include "Measure.h"

#include "GameEvents.h"
#include "Screen.h"
#include "XSession.h"

#include <OISKeyboard.h>
#include <OISMouse.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const USAGE = "[--short] [--samples N] [--frames N] [--run-dir DIR] [--game PROGRAM]";

struct Options
{
    int samples = 60;       // of each kind of input
    int frames = 600;       // frame intervals measured while playing
    std::string runDir = BARRELS_BENCH_RUN_DIR;
    std::string game = BARRELS_LATENCY_GAME;
};

Options parseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--short") {
            options.samples = 5;
            options.frames = 120;
        } else if (arg == "--samples" && hasValue) {
            options.samples = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--frames" && hasValue) {
            options.frames = std::max(2, std::atoi(argv[++i]));
        } else if (arg == "--run-dir" && hasValue) {
            options.runDir = argv[++i];
        } else if (arg == "--game" && hasValue) {
            options.game = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s %s\n", argv[0], USAGE);
            std::exit(2);
        }
    }
    return options;
}

const autoplayer::Spot NEW_BUTTON = autoplayer::menuButtonCentre(NEW_BUTTON_BOX);
// Long enough for the game and its GUI to take a press as one, whichever frame sees it.
const std::chrono::milliseconds HOLD{100};
// Frames let pass after a sample before the next, so that each starts from a quiet game.
const int FRAMES_BETWEEN = 3;
// Frames let pass after a new game starts: its barrels drop and settle, the first slow frames pass.
const int FRAMES_AFTER_NEW_GAME = 60;
// Between clicks on New the game only has to be playing again for ESC to pause it.
const int FRAMES_BEFORE_PAUSE = 10;
// The pointer's step while playing, a few pixels, back and forth so the view does not wander.
const int MOTION_STEP = 4;

bool isSpace(const TraceInput& input, bool down)
{
    return input.kind == TraceInput::KEY && input.code == OIS::KC_SPACE && input.down == down;
}

bool isLeftButton(const TraceInput& input, bool down)
{
    return input.kind == TraceInput::BUTTON && input.code == OIS::MB_Left && input.down == down;
}

bool isMotion(const TraceInput& input)
{
    return input.kind == TraceInput::MOTION;
}

// One game, played through its dialog and menu into a level, then sampled.
class LatencyRun
{
public:
    explicit LatencyRun(const Options& options)
        : mGame(options.game, options.runDir), mTrace(mGame.tracePath()), mLog(mGame.logPath()),
          mRandom(std::random_device{}())
    {
    }

    void startPlaying();
    std::vector<double> frameIntervalsMs(int frames);
    double spaceLatencyMs();
    double motionLatencyMs(int sample);
    double newClickLatencyMs();
    void quit() { mGame.stop(); }

private:
    void waitUntil(const std::string& what, double seconds, const std::function<bool()>& done);
    long long waitForLatency(const std::string& what, long long sent,
                             const std::function<bool(const TraceInput&)>& matches);
    void waitFrames(int count);
    void acceptDialog();
    // Puts the pointer on New, lets a few frames pass, presses it until the game has seen the press
    // and waits for the new game: the press's latency.
    long long clickNew();
    void startNewGame();
    void readLog();
    // A random wait within a frame period, so that samples fall on every phase of the frame.
    void randomPause();

    // The display first: without one the game is not started at all.
    autoplayer::XSession mX;
    GameProcess mGame;
    FrameTraceLog mTrace;
    LineFollower mLog;
    int mNewGames = 0;
    int mPauses = 0;
    Window mWindow = 0;
    std::mt19937 mRandom;
};

void LatencyRun::waitUntil(const std::string& what, double seconds, const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        mTrace.update();
        readLog();
        if (done())
            return;
        std::string how;
        if (!mGame.running(how))
            throw std::runtime_error("the game " + how + " while waiting for " + what + "; its errors:\n" +
                                     mGame.errorTail());
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("no " + what + " within " + std::to_string(int(seconds)) + " s");
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

long long LatencyRun::waitForLatency(const std::string& what, long long sent,
                                     const std::function<bool(const TraceInput&)>& matches)
{
    std::optional<long long> latency;
    waitUntil("frame showing " + what, 5, [&] {
        latency = mTrace.latency(sent, matches);
        return latency.has_value();
    });
    return *latency;
}

void LatencyRun::waitFrames(int count)
{
    const long long from = Measure::nowNs();
    waitUntil(std::to_string(count) + " frames", 10, [&] { return mTrace.framesDrawnAfter(from) >= count; });
}

void LatencyRun::readLog()
{
    for (const std::string& line : mLog.newLines()) {
        // The engine puts a time stamp before the game's own text.
        const auto endsWith = [&line](const std::string& text) {
            return line.size() >= text.size() && line.compare(line.size() - text.size(), text.size(), text) == 0;
        };
        mNewGames += endsWith(std::string(": ") + GameEvents::NEW_GAME);
        mPauses += endsWith(std::string(": ") + GameEvents::PAUSED);
    }
}

void LatencyRun::randomPause()
{
    std::uniform_int_distribution<int> microseconds(0, 20000);
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds(mRandom)));
}

void LatencyRun::acceptDialog()
{
    Window dialog = 0;
    waitUntil("engine dialog or game window", 60, [&] {
        dialog = mX.findWindow(autoplayer::DIALOG_TITLE);
        return dialog || mX.findWindow(autoplayer::GAME_TITLE);
    });
    // A click that lands before the dialog has laid out its buttons is lost: click until it goes.
    for (int attempt = 0; dialog && attempt < 3; ++attempt) {
        autoplayer::pause(0.5);
        mX.click(dialog, autoplayer::DIALOG_ACCEPT.x, autoplayer::DIALOG_ACCEPT.y);
        try {
            waitUntil("closing of the engine dialog", 10, [&] { return !mX.findWindow(autoplayer::DIALOG_TITLE); });
            dialog = 0;
        } catch (const std::runtime_error&) {
            if (attempt == 2)
                throw;
        }
    }
}

long long LatencyRun::clickNew()
{
    mX.moveTo(mWindow, NEW_BUTTON.x, NEW_BUTTON.y);
    waitFrames(FRAMES_BETWEEN);
    const int games = mNewGames;
    randomPause();
    const long long sent = Measure::nowNs();
    mX.buttonDown();
    const long long latency =
        waitForLatency("a click on New", sent, [](const TraceInput& i) { return isLeftButton(i, true); });
    std::this_thread::sleep_for(HOLD);
    mX.buttonUp();
    waitUntil("\"" + std::string(GameEvents::NEW_GAME) + "\" in the log after a click on New", 20,
              [&] { return mNewGames > games; });
    return latency;
}

void LatencyRun::startNewGame()
{
    clickNew();
    waitFrames(FRAMES_AFTER_NEW_GAME);
}

void LatencyRun::startPlaying()
{
    acceptDialog();
    waitUntil("game window", 60, [&] {
        mWindow = mX.findWindow(autoplayer::GAME_TITLE);
        return mWindow != 0;
    });
    // The menu is up once the loop draws.
    waitUntil("first frames of the menu", 60, [&] { return mTrace.frames().size() >= 3; });
    startNewGame();
}

std::vector<double> LatencyRun::frameIntervalsMs(int frames)
{
    const long long from = Measure::nowNs();
    waitUntil(std::to_string(frames) + " frames of play", 10 + frames / 10.0,
              [&] { return mTrace.framesDrawnAfter(from) > frames; });
    std::vector<double> intervals;
    long long previous = -1;
    for (const TraceFrame& frame : mTrace.frames()) {
        if (frame.drawn <= from)
            continue;
        if (previous >= 0)
            intervals.push_back(Measure::ms(frame.shown - previous));
        previous = frame.shown;
        if (int(intervals.size()) == frames)
            break;
    }
    return intervals;
}

double LatencyRun::spaceLatencyMs()
{
    randomPause();
    const long long sent = Measure::nowNs();
    mX.keyDown(XK_space);
    const long long latency = waitForLatency("SPACE pressed", sent, [](const TraceInput& i) { return isSpace(i, true); });
    mX.keyUp(XK_space);
    waitUntil("release of SPACE in the trace", 5, [&] {
        return bool(mTrace.inputAfter(sent, [](const TraceInput& i) { return isSpace(i, false); }));
    });
    waitFrames(FRAMES_BETWEEN);
    return Measure::ms(latency);
}

double LatencyRun::motionLatencyMs(int sample)
{
    const int step = sample % 2 ? -MOTION_STEP : MOTION_STEP;
    randomPause();
    const long long sent = Measure::nowNs();
    mX.nudge(step, step);
    const long long latency = waitForLatency("a mouse motion", sent, isMotion);
    waitFrames(FRAMES_BETWEEN);
    return Measure::ms(latency);
}

double LatencyRun::newClickLatencyMs()
{
    // Back to the menu.
    const int pauses = mPauses;
    mX.keyDown(XK_Escape);
    std::this_thread::sleep_for(HOLD);
    mX.keyUp(XK_Escape);
    waitUntil("\"" + std::string(GameEvents::PAUSED) + "\" in the log after ESC", 5, [&] { return mPauses > pauses; });
    const long long latency = clickNew();
    waitFrames(FRAMES_BEFORE_PAUSE);
    return Measure::ms(latency);
}

void printLatencyRow(const char* kind, const std::vector<double>& ms, double frameMs)
{
    const double median = ::median(ms), p95 = percentile(ms, 0.95);
    std::printf("%-14s %10.2f %10.2f %14.2f %11.2f\n", kind, median, p95, median / frameMs, p95 / frameMs);
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parseArguments(argc, argv);
    try {
        LatencyRun run(options);
        run.startPlaying();

        const std::vector<double> intervals = run.frameIntervalsMs(options.frames);
        std::vector<double> space, motion, click;
        for (int i = 0; i < options.samples; ++i)
            space.push_back(run.spaceLatencyMs());
        for (int i = 0; i < options.samples; ++i)
            motion.push_back(run.motionLatencyMs(i));
        for (int i = 0; i < options.samples; ++i)
            click.push_back(run.newClickLatencyMs());
        run.quit();

        const double frameMs = median(intervals), p99 = percentile(intervals, 0.99);
        std::printf("input to the first frame shown after the game's poll saw it, %d samples of each\n",
                    options.samples);
        std::printf("%-14s %10s %10s %14s %11s\n", "input", "median ms", "p95 ms", "median frames", "p95 frames");
        printLatencyRow("SPACE pressed", space, frameMs);
        printLatencyRow("mouse motion", motion, frameMs);
        printLatencyRow("click on New", click, frameMs);
        std::printf("frame interval while playing, %zu intervals\n", intervals.size());
        std::printf("%-14s %10s %10s %14s\n", "", "median ms", "p99 ms", "p99 / median");
        std::printf("%-14s %10.2f %10.2f %14.3f\n", "playing", frameMs, p99, p99 / frameMs);

        std::vector<double> played = space;
        played.insert(played.end(), motion.begin(), motion.end());
        printRatio("latency_frames", median(played) / frameMs);
        printRatio("pacing_p99", p99 / frameMs);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "latency_bench: %s\n", e.what());
        return 1;
    }
}
