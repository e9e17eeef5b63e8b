// One side of a benchmark run, in a process of its own (the engine allows one root per process):
//   bench_side game ...  the real Core set-up and Game, with the saved ogre.cfg instead of the dialog
//   bench_side bare ...  a bare engine program drawing the game's scene from a snapshot of it
// Both start up, draw frames in the menu and in level 1 with fixed frame times, and print
// "name value" lines: start-up steps, ms and main-thread CPU ms per frame, resident memory.
#include "BenchApplication.h"
#include "Core.h"
#include "Game.h"
#include "GameEvents.h"
#include "Measure.h"
#include "PhysicsMemory.h"
#include "SceneSnapshot.h"

#include <Bites/OgreWindowEventUtilities.h>
#include <OgreCamera.h>
#include <OgreLog.h>
#include <OgreLogManager.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>

#include <CEGUI/EventArgs.h>
#include <CEGUI/RendererModules/Ogre/Renderer.h>
#include <CEGUI/System.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <iostream>
#include <string>

#include <unistd.h>

using Measure::report;

namespace {
const float FRAME_TIME = 1.0f / 60;

struct Arguments
{
    bool game = true;
    int frames = 300;
    int settle = 180;
    std::string runDir;
    std::string snapshot;
    bool writeSnapshot = false;
    // Where to write each stage's picture, as PREFIX-menu.png and PREFIX-play.png.
    std::string screenshots;
    std::int64_t spawnedAt = 0;
    // The parts a game run can switch off while it measures, to show what each costs.
    bool noGui = false;
    bool noOverlay = false;
    bool noCallbacks = false;
};

Arguments parse(int argc, char** argv)
{
    Arguments args;
    if (argc < 2 || (std::strcmp(argv[1], "game") != 0 && std::strcmp(argv[1], "bare") != 0))
        throw std::runtime_error("usage: bench_side game|bare --run-dir DIR --snapshot DIR [options]");
    args.game = std::strcmp(argv[1], "game") == 0;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--frames")
            args.frames = std::atoi(value), ++i;
        else if (arg == "--settle")
            args.settle = std::atoi(value), ++i;
        else if (arg == "--run-dir")
            args.runDir = value, ++i;
        else if (arg == "--snapshot")
            args.snapshot = value, ++i;
        else if (arg == "--spawned-at")
            args.spawnedAt = std::atoll(value), ++i;
        else if (arg == "--screenshots")
            args.screenshots = value, ++i;
        else if (arg == "--write-snapshot")
            args.writeSnapshot = true;
        else if (arg == "--no-gui")
            args.noGui = true;
        else if (arg == "--no-overlay")
            args.noOverlay = true;
        else if (arg == "--no-callbacks")
            args.noCallbacks = true;
        else
            throw std::runtime_error("bench_side: unknown option " + arg);
    }
    if (args.runDir.empty() || args.snapshot.empty())
        throw std::runtime_error("bench_side: --run-dir and --snapshot are needed");
    return args;
}

// The bare program: the same window, media and scene, none of the game's parts.
class BareApplication : public TimedStart<ShellApplication>
{
public:
    BareApplication(const std::string& runDir, const std::string& logDir, const std::string& snapshotDir)
        : TimedStart<ShellApplication>(runDir, logDir), mSnapshotDir(snapshotDir),
          mMenu(SceneSnapshot::load(snapshotDir + "/menu.scene"))
    {
    }

    void showPlay() { SceneSnapshot::load(mSnapshotDir + "/play.scene").buildItems(this->mSceneManager); }

protected:
    void registerResourceLocations() override
    {
        TimedStart<ShellApplication>::registerResourceLocations();
        // The meshes the game makes in code, exported beside the snapshot.
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(mSnapshotDir, "FileSystem", "General");
    }
    // No overlay system among the render queue's listeners.
    void pickSceneManager() override { mSceneManager = mEngineRoot->createSceneManager(); }
    void setupCamera() override
    {
        placeCamera(Ogre::Vector3::ZERO);
        mMenu.placeCamera(mPlayerCamera);
    }
    void initialiseResources() override
    {
        mMenu.applyDefaults();
        TimedStart<ShellApplication>::initialiseResources();
    }
    void buildScene() override
    {
        mMenu.applyLights(mSceneManager);
        mMenu.buildItems(mSceneManager);
    }
    void installFrameListener() override { steps.scene = steps.listener = Measure::nowNs(); }

private:
    std::string mSnapshotDir;
    SceneSnapshot mMenu;
};

struct FrameCost
{
    double wallMs;
    double cpuMs;
};

FrameCost drawFrames(Ogre::Root* root, int count)
{
    const std::int64_t wall0 = Measure::nowNs(), cpu0 = Measure::threadCpuNs();
    for (int i = 0; i < count; ++i) {
        OgreBites::WindowEventUtilities::messagePump();
        if (!root->renderOneFrame(FRAME_TIME))
            throw std::runtime_error("the frame loop was asked to stop");
    }
    const int n = count > 0 ? count : 1;
    return {Measure::ms(Measure::nowNs() - wall0) / n, Measure::ms(Measure::threadCpuNs() - cpu0) / n};
}

// Settles, then measures with the parts the arguments name switched off, and switches them back.
FrameCost measure(Ogre::Root* root, const Arguments& args, Game* game)
{
    drawFrames(root, args.settle);
    auto partsOn = [&](bool on) {
        if (!game)
            return;
        if (args.noGui)
            static_cast<CEGUI::OgreRenderer*>(CEGUI::System::getSingleton().getRenderer())->setRenderingEnabled(on);
        if (args.noOverlay) {
            Ogre::Overlay* overlay = Ogre::OverlayManager::getSingleton().getByName(Game::STATISTICS_OVERLAY);
            on ? overlay->show() : overlay->hide();
        }
        if (args.noCallbacks)
            on ? root->addFrameListener(game) : root->removeFrameListener(game);
    };
    partsOn(false);
    const FrameCost cost = drawFrames(root, args.frames);
    partsOn(true);
    return cost;
}

void reportStart(const StartSteps& steps, std::int64_t spawnedAt, std::int64_t mainAt, std::int64_t firstFrame)
{
    report("startup_ms", Measure::ms(firstFrame - spawnedAt));
    report("step_exec_ms", Measure::ms(mainAt - spawnedAt));
    report("step_root_ms", Measure::ms(steps.resourcesListed - mainAt));
    report("step_window_ms", Measure::ms(steps.window - steps.resourcesListed));
    report("step_resources_ms", Measure::ms(steps.resources - steps.window));
    report("step_scene_ms", Measure::ms(steps.scene - steps.resources));
    report("step_game_ms", Measure::ms(steps.listener - steps.scene));
    if (steps.world >= 0) {
        report("step_world_ms", steps.world);
        report("step_arena_ms", steps.arena);
        report("step_gui_ms", steps.gui);
    }
    report("step_first_frame_ms", Measure::ms(firstFrame - steps.listener));
}

void reportFrames(const char* where, const FrameCost& cost)
{
    report(std::string("frame_") + where + "_ms", cost.wallMs);
    report(std::string("cpu_") + where + "_ms", cost.cpuMs);
    report(std::string("rss_") + where + "_mib", Measure::statusMiB("VmRSS:"));
}

// Start-up, first frame, menu, play: the same course for both sides.
template <class Application>
void runCourse(Application& app, const Arguments& args, std::int64_t mainAt, Game* (*gameOf)(Application&),
               const std::function<void()>& startPlay, const std::function<void(const char*)>& snap)
{
    if (!app.start())
        throw std::runtime_error("set-up refused");
    Ogre::Root* root = app.root();
    root->getRenderSystem()->_initRenderTargets();
    root->clearEventTimes();
    drawFrames(root, 1);
    reportStart(app.steps, args.spawnedAt, mainAt, Measure::nowNs());

    Game* game = gameOf(app);
    auto shoot = [&](const char* stage) {
        if (!args.screenshots.empty())
            app.window()->writeContentsToFile(args.screenshots + "-" + stage + ".png");
    };
    reportFrames("menu", measure(root, args, game));
    shoot("menu");
    snap("menu");
    startPlay();
    reportFrames("play", measure(root, args, game));
    shoot("play");
    snap("play");
    report("rss_peak_mib", Measure::statusMiB("VmHWM:"));
}
}

int main(int argc, char** argv)
{
    const std::int64_t mainAt = Measure::nowNs();
    // As the game's own entry does; the bare program makes no physics world.
    usePhysicsMemoryInHugePages();
    try {
        const Arguments args = parse(argc, argv);
        const std::string runDir = args.runDir + "/";
        // The game's best score and the engine's log stay out of the run folder.
        const std::string logDir =
            args.snapshot + "/" + (args.game ? "game" : "bare") + "-" + std::to_string(getpid()) + "/";
        if (system(("mkdir -p '" + logDir + "'").c_str()) != 0 || chdir(logDir.c_str()) != 0)
            throw std::runtime_error("cannot enter " + logDir);

        if (args.game) {
            TimedStart<Core> app(runDir, logDir);
            auto gameOf = [](TimedStart<Core>& a) { return static_cast<Game*>(a.listener()); };
            runCourse<TimedStart<Core>>(
                app, args, mainAt, gameOf, [&] { gameOf(app)->onNewGame(CEGUI::EventArgs()); },
                [&](const char* stage) {
                    if (args.writeSnapshot)
                        SceneSnapshot::take(app.scene(), app.camera())
                            .save(args.snapshot + "/" + stage + ".scene", args.snapshot);
                });
        } else {
            BareApplication app(runDir, logDir, args.snapshot);
            runCourse<BareApplication>(
                app, args, mainAt, [](BareApplication&) -> Game* { return nullptr; }, [&] { app.showPlay(); },
                [](const char*) {});
        }
    } catch (const std::exception& e) {
        std::cerr << "bench_side: " << e.what() << std::endl;
        return 1;
    }
    // Tearing the engine and GUI down is not part of any figure.
    std::fflush(stdout);
    std::_Exit(0);
}
