// The game's own work per frame without drawing, for N balls and barrels in play, and the cost of
// taking K of them out of play in one frame against K single removals.
#include "BenchApplication.h"
#include "Children.h"
#include "Core.h"
#include "Game.h"
#include "Measure.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>

#include <CEGUI/EventArgs.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <unistd.h>

namespace {
const float FRAME_TIME = 1.0f / 60;
// Names of the bodies added here start above any the level builder or the player makes.
const int FIRST_INDEX = 1000000;
const float SPACING = 8;

// The game's bodies in play, reached as the tests reach them: through a class derived from Game.
struct InPlay : Game
{
    static std::list<Ball*> Game::*balls() { return &InPlay::mBalls; }
    static std::list<Barrel*> Game::*barrels() { return &InPlay::mBarrels; }
    static Dynamics::DynamicsWorld* Game::*world() { return &InPlay::mPhysicsWorld; }
};

class Scene
{
public:
    Scene(Game* game, Ogre::SceneManager* scene, Ogre::Camera* camera) : mGame(game), mScene(scene), mCamera(camera) {}

    // A new game with `count` balls and barrels on a square grid: `grounded` of the balls lie on
    // the floor, the rest hang in the air at staggered heights or, with `level`, all at one.
    void fill(int count, int grounded, bool level)
    {
        mGame->startGame();
        const int side = static_cast<int>(std::ceil(std::sqrt(double(count))));
        for (int i = 0; i < count; ++i) {
            const float x = (i % side - side / 2) * SPACING;
            const float z = (i / side - side / 2) * SPACING;
            const float y = i < grounded ? 0 : level ? 200 : 100 + (i % 7) * 25;
            if (i < grounded || i % 2)
                addBall(Ogre::Vector3(x, y, z));
            else
                (mGame->*InPlay::barrels())
                    .push_back(new Barrel(mScene, mGame->*InPlay::world(), mNextIndex++, Ogre::Vector3(x, y, z),
                                          BARREL_ORDINARY));
        }
    }

private:
    // A ball starts in front of the camera, so the camera steps back from where the ball should be.
    void addBall(const Ogre::Vector3& at)
    {
        Ogre::SceneNode* node = mCamera->getParentSceneNode();
        const Ogre::Vector3 home = node->getPosition();
        node->setPosition(at - mCamera->getDerivedDirection().normalisedCopy() * 10);
        node->_update(true, false);
        (mGame->*InPlay::balls()).push_front(new Ball(mCamera, mScene, mGame->*InPlay::world(), mNextIndex++, 0));
        node->setPosition(home);
    }

    Game* mGame;
    Ogre::SceneManager* mScene;
    Ogre::Camera* mCamera;
    int mNextIndex = FIRST_INDEX;
};

double microsPerFrame(Game* game, int frames)
{
    Ogre::FrameEvent event;
    event.timeSinceLastFrame = event.timeSinceLastEvent = FRAME_TIME;
    const std::int64_t start = Measure::nowNs();
    for (int i = 0; i < frames; ++i) {
        game->frameStarted(event);
        game->frameEnded(event);
    }
    return double(Measure::nowNs() - start) / 1e3 / frames;
}

double microsPerRulesCall(Game* game, int calls)
{
    const std::int64_t start = Measure::nowNs();
    for (int i = 0; i < calls; ++i)
        game->updateRules();
    return double(Measure::nowNs() - start) / 1e3 / calls;
}
}

int main(int argc, char** argv)
{
    const BenchOptions options = parseOptions(argc, argv, "[--frames N] [--run-dir DIR] [--short]");
    try {
        SnapshotFolder folder;
        if (chdir(folder.path().c_str()) != 0)
            throw std::runtime_error("cannot enter " + folder.path());
        TimedStart<Core> app(options.runDir + "/", folder.path() + "/");
        if (!app.start())
            throw std::runtime_error("set-up refused");
        Game* game = static_cast<Game*>(app.listener());
        game->onNewGame(CEGUI::EventArgs());
        Scene scene(game, app.scene(), app.camera());

        const int frames = options.quick ? 2 : 30;
        const std::vector<int> counts =
            options.quick ? std::vector<int>{10, 100} : std::vector<int>{10, 100, 1000, 3000, 10000};
        std::printf("per frame without drawing (two physics steps and two rules calls), mean of %d frames\n", frames);
        std::printf("%8s %-10s %12s %12s %12s %12s\n", "N", "heights", "frame us", "us per body", "rules us",
                    "us per body");
        for (const bool level : {false, true}) {
            for (const int n : counts) {
                scene.fill(n, 0, level);
                microsPerFrame(game, 2);
                const double frame = microsPerFrame(game, frames);
                const double rules = microsPerRulesCall(game, frames);
                std::printf("%8d %-10s %12.1f %12.3f %12.1f %12.3f\n", n, level ? "equal" : "staggered", frame,
                            frame / n, rules, rules / n);
            }
        }

        // A rules call checks every body whether or not it takes any out, so the cost of K removals is
        // the first call on fresh bodies less the first call on fresh bodies of which none are out (a
        // later call runs on warm caches); medians of a few tries, as one removal is small beside a
        // rules call's jitter.
        const int n = counts.back() >= 3000 ? 3000 : counts.back();
        const std::vector<int> removals =
            options.quick ? std::vector<int>{1, 10} : std::vector<int>{1, 10, 100, 1000, 2600};
        const int tries = options.quick ? 1 : 11;
        std::printf("taking K of %d bodies out of play in one rules call, median of %d\n%8s %12s %14s %10s\n", n, tries,
                    "K", "removal ms", "K single ms", "ratio");
        double single = 0;
        for (const int k : removals) {
            std::vector<double> calls, bases;
            for (int i = 0; i < tries; ++i) {
                scene.fill(n, 0, false);
                bases.push_back(microsPerRulesCall(game, 1) / 1e3);
                scene.fill(n, k, false);
                calls.push_back(microsPerRulesCall(game, 1) / 1e3);
            }
            const double removal = median(calls) - median(bases);
            if (k == 1)
                single = removal;
            std::printf("%8d %12.3f %14.3f %10.2f\n", k, removal, single * k, removal / (single * k));
        }
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scale_bench: %s\n", e.what());
        return 1;
    }
    // The engine's and GUI's teardown is not measured.
    std::_Exit(0);
}
