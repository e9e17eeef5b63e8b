// Aiming aids: the landing marker foretells where a real shot first touches the arena, G turns it
// on and off, and the crosshair shows only while playing.
#include "GameplayFixture.h"

#include "CollisionsConversions.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "LandingMarker.h"
#include "MediaNames.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>

#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>
#include <BulletDynamics/Dynamics/btDynamicsWorld.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <cstdio>
#include <functional>
#include <string>
#include <BulletCollision/CollisionShapes/btSphereShape.h>

namespace {
// The physics stops a ball at a surface a step ahead, before they overlap, and then lets it settle
// onto it: a ball this close counts as touching.
const float TOUCH_DISTANCE = 0.05f;

// Where a body touches a surface.
struct SurfaceContact : public btCollisionWorld::ContactResultCallback
{
    SurfaceContact() { m_closestDistanceThreshold = TOUCH_DISTANCE; }

    btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper* object0, int, int,
                             const btCollisionObjectWrapper*, int, int) override
    {
        if (point.getDistance() > TOUCH_DISTANCE || (hit && point.getDistance() >= depth))
            return 1;
        hit = true;
        depth = point.getDistance();
        onSurface = Collisions::toOgre(object0->getCollisionObject() == surface ? point.getPositionWorldOnA()
                                                                    : point.getPositionWorldOnB());
        return 1;
    }

    const btCollisionObject* surface = nullptr;
    bool hit = false;
    btScalar depth = 0;
    Ogre::Vector3 onSurface;
};

// The newest ball's centre after every physics step, up to its first touch of the platform or floor,
// and the body it touched.
struct FlightRecorder
{
    TestGame* game;
    std::vector<Ogre::Vector3> centres;
    bool landed = false;
    Ogre::Vector3 landing;
    Dynamics::RigidBody* landedOn = nullptr;
    btScalar depth = 0;

    static void afterStep(btDynamicsWorld* world, btScalar)
    {
        FlightRecorder* self = static_cast<FlightRecorder*>(world->getWorldUserInfo());
        if (self->landed || self->game->mBalls.empty())
            return;
        btRigidBody* ball = self->game->mBalls.front()->rigidBody()->bulletBody();
        self->centres.push_back(Collisions::toOgre(ball->getWorldTransform().getOrigin()));
        for (Dynamics::RigidBody* surface : self->game->mArenaBodies) {
            SurfaceContact contact;
            contact.surface = surface->bulletObject();
            world->contactPairTest(ball, surface->bulletObject(), contact);
            if (contact.hit && (!self->landed || contact.depth < self->depth)) {
                self->landed = true;
                self->landing = contact.onSurface;
                self->landedOn = surface;
                self->depth = contact.depth;
            }
        }
    }
};

btDynamicsWorld* dynamicsWorld(TestGame& game)
{
    return static_cast<btDynamicsWorld*>(game.mPhysicsWorld->bulletWorld());
}

void aim(Ogre::Camera* camera, float yawDegrees, float pitchDegrees)
{
    camera->getParentSceneNode()->setOrientation(Ogre::Quaternion(Ogre::Degree(yawDegrees), Ogre::Vector3::UNIT_Y) *
                                                 Ogre::Quaternion(Ogre::Degree(pitchDegrees), Ogre::Vector3::UNIT_X));
}

bool overlayVisible(const char* name)
{
    Ogre::Overlay* overlay = Ogre::OverlayManager::getSingleton().getByName(name);
    return overlay && overlay->isVisible();
}
}

class AimTest : public GameplayTest
{
protected:
    // A level in play whose barrels have left the physics world, so nothing stands in a shot's way,
    // and no clock to run out.
    void playOnEmptyPlatform()
    {
        newGame();
        game().mLevelTimeLimit = 1e6f;
        for (Barrel* barrel : game().mBarrels)
            dynamicsWorld(game())->removeRigidBody(barrel->rigidBody()->bulletBody());
        // The platform starts a little sunk into the floor and is pushed out: let it settle.
        harness().frames(120, FRAME);
    }

    // Charges as the game does and lets go: the shot leaves in the release frame's poll.
    void fire(float charge)
    {
        game().mCharge = charge;
        game().mKeyStates[OIS::KC_SPACE] = true;
        harness().frame(FRAME);
    }

    void removeBalls()
    {
        for (Ball* ball : game().mBalls)
            delete ball;
        game().mBalls.clear();
    }
};

// The marker's step-by-step flight, against a real ball fired through the keyboard and stepped by the
// physics: the same centres at every step and the same first touch of the platform or floor.
TEST_F(AimTest, PredictedLandingIsWhereARealShotFirstTouchesTheArena)
{
    playOnEmptyPlatform();
    const struct
    {
        float charge, yawDegrees, pitchDegrees;
        const char* surface; // where it lands: "GroundBoxRigid" is the platform, "BasePlane" the floor
    } cases[] = {
        {10, 0, 0, "BasePlane"},        {25, 0, -5, "GroundBoxRigid"}, {40, 0, -10, "GroundBoxRigid"},
        {60, 0, -12, "GroundBoxRigid"}, {100, 0, -14, "BasePlane"},    {100, 0, -3, "BasePlane"},
        {55, 30, 10, "BasePlane"},      {70, -20, 40, "BasePlane"},    {30, 180, 15, "BasePlane"},
        {45, 8, -8, "GroundBoxRigid"},
    };
    FlightRecorder recorder{&game(), {}, false, Ogre::Vector3::ZERO};
    dynamicsWorld(game())->setInternalTickCallback(&FlightRecorder::afterStep, &recorder);
    double worstPoint = 0, worstCentre = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "charge " << c.charge << ", yaw " << c.yawDegrees << ", pitch "
                                        << c.pitchDegrees);
        removeBalls();
        aim(harness().camera(), c.yawDegrees, c.pitchDegrees);
        const LandingMarker::Landing predicted = game().mLandingMarker->predict(
            harness().camera()->getDerivedPosition(), harness().camera()->getDerivedDirection(), c.charge);
        ASSERT_TRUE(predicted.found);

        recorder = FlightRecorder{&game(), {}, false, Ogre::Vector3::ZERO};
        fire(c.charge);
        ASSERT_EQ(1u, game().mBalls.size());
        for (int frame = 0; frame < 3600 && !recorder.landed; ++frame)
            dynamicsWorld(game())->stepSimulation(FRAME, 1, FRAME);
        ASSERT_TRUE(recorder.landed);

        // Step 0 is the launch; the recorder starts after the first step. In the landing step the
        // physics holds the ball back at the surface, so the free flight ends one step earlier.
        ASSERT_EQ(static_cast<size_t>(predicted.step), recorder.centres.size());
        for (size_t i = 0; i + 1 < recorder.centres.size(); ++i)
            worstCentre = std::max<double>(worstCentre, predicted.path[i + 1].distance(recorder.centres[i]));
        const double error = predicted.point.distance(recorder.landing);
        worstPoint = std::max(worstPoint, error);
        // Friction may slow the ball a little along the surface in the step that stops it.
        EXPECT_LT(error, 0.2);

        EXPECT_EQ(c.surface, recorder.landedOn->getName());
        std::printf("charge %5.1f yaw %6.1f pitch %6.1f: lands after %3d steps at (%8.3f, %6.3f, %8.3f), "
                    "%g off\n",
                    c.charge, c.yawDegrees, c.pitchDegrees, predicted.step, predicted.point.x, predicted.point.y,
                    predicted.point.z, error);
    }
    dynamicsWorld(game())->setInternalTickCallback(nullptr);
    EXPECT_LT(worstCentre, 0.05);
    std::printf("worst landing point error %g, worst centre error along the flight %g\n", worstPoint, worstCentre);
}

TEST_F(AimTest, GTogglesTheMarkerShownOnlyWhileSpaceIsHeld)
{
    newGame();
    LandingMarker& marker = *game().mLandingMarker;
    // Off by default: charging shows nothing.
    harness().keyboard.press(OIS::KC_SPACE);
    harness().frames(5, FRAME);
    EXPECT_FALSE(marker.isVisible());
    harness().keyboard.release(OIS::KC_SPACE);
    harness().frame(FRAME);

    holdKey(OIS::KC_G, 3);
    EXPECT_FALSE(marker.isVisible()) << "on, but SPACE is up";
    harness().keyboard.press(OIS::KC_SPACE);
    harness().frames(5, FRAME);
    EXPECT_TRUE(marker.isVisible());

    // Paused, the marker goes with the rest of play, and comes back on resume.
    holdKey(OIS::KC_ESCAPE, 1);
    harness().frame(FRAME);
    EXPECT_FALSE(marker.isVisible());
    holdKey(OIS::KC_ESCAPE, 1);
    harness().frame(FRAME);
    EXPECT_TRUE(marker.isVisible());

    // The shot clears it.
    harness().keyboard.release(OIS::KC_SPACE);
    harness().frames(2, FRAME);
    EXPECT_FALSE(marker.isVisible());
    EXPECT_EQ(2, game().mShotsFired);

    holdKey(OIS::KC_G, 1);
    harness().keyboard.press(OIS::KC_SPACE);
    harness().frames(5, FRAME);
    EXPECT_FALSE(marker.isVisible()) << "turned off again";
}

// A picture of the marker while a shot charges: the ring is drawn where the marker says the ball
// lands, the arc's dots along the flight up to it, and both go when the marker is turned off.
TEST_F(AimTest, MarkerIsDrawnAtThePredictedLanding)
{
    playOnEmptyPlatform();
    // To the right of the barrels, which are still drawn.
    aim(harness().camera(), -14, -5);
    holdKey(OIS::KC_G, 1);
    harness().keyboard.press(OIS::KC_SPACE);
    harness().frames(44, FRAME);
    // The marker is drawn at the start of a frame, and the charge grows at its end.
    const float drawnCharge = game().mCharge;
    harness().render();
    ASSERT_TRUE(game().mLandingMarker->isVisible());
    const Ogre::Vector3 eye = harness().camera()->getDerivedPosition();
    const LandingMarker::Landing landing =
        game().mLandingMarker->predict(eye, harness().camera()->getDerivedDirection(), drawnCharge);
    ASSERT_TRUE(landing.found);
    Ogre::Image shown = RenderWindow::instance().capture();

    holdKey(OIS::KC_G, 1);
    harness().frame(FRAME);
    ASSERT_FALSE(game().mLandingMarker->isVisible());
    harness().render();
    Ogre::Image hidden = RenderWindow::instance().capture();

    const Ogre::Matrix4 toScreen = harness().camera()->getProjectionMatrix() * harness().camera()->getViewMatrix();
    const auto pixelOf = [&](const Ogre::Vector3& point, int& x, int& y) {
        const Ogre::Vector3 projected = toScreen * point;
        x = static_cast<int>((projected.x + 1) / 2 * RenderWindow::WIDTH);
        y = static_cast<int>((1 - projected.y) / 2 * RenderWindow::HEIGHT);
        const int margin = 8;
        return x >= margin && y >= margin && x < RenderWindow::WIDTH - margin && y < RenderWindow::HEIGHT - margin;
    };
    // Looks within `reach` pixels of (x, y).
    const auto anyNear = [](int x, int y, int reach, const std::function<bool(int, int)>& test) {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (test(x + dx, y + dy))
                    return true;
        return false;
    };

    // The ring's orange shows around where the landing point is on the screen.
    int x = 0;
    int y = 0;
    ASSERT_TRUE(pixelOf(landing.point, x, y));
    const auto orangeAt = [](const Ogre::Image& image) {
        return [&image](int px, int py) {
            const Ogre::ColourValue colour = image.getColourAt(px, py, 0);
            return colour.r > 0.8f && colour.r - colour.b > 0.5f && colour.g < 0.7f;
        };
    };
    EXPECT_TRUE(anyNear(x, y, 8, orangeAt(shown))) << "around " << x << ", " << y;
    EXPECT_FALSE(anyNear(x, y, 8, orangeAt(hidden))) << "around " << x << ", " << y;

    // The arc's dots are a half-transparent white: every point of the flight, from a little beyond
    // the launcher to a little before the ring, has a pixel near it brightened in every channel.
    const auto brightened = [&](int px, int py) {
        const Ogre::ColourValue with = shown.getColourAt(px, py, 0);
        const Ogre::ColourValue without = hidden.getColourAt(px, py, 0);
        return with.r - without.r > 0.1f && with.g - without.g > 0.1f && with.b - without.b > 0.1f;
    };
    int sampled = 0;
    int seen = 0;
    std::string missed;
    for (const Ogre::Vector3& centre : landing.path) {
        if (centre.distance(eye) < 20 || centre.distance(landing.point) < 5 || !pixelOf(centre, x, y))
            continue;
        ++sampled;
        if (anyNear(x, y, 4, brightened))
            ++seen;
        else if (missed.empty())
            missed = "first missed near " + std::to_string(x) + ", " + std::to_string(y);
    }
    EXPECT_GE(sampled, 10);
    EXPECT_EQ(sampled, seen) << missed;
}

TEST_F(AimTest, CrosshairShowsOnlyWhilePlaying)
{
    const size_t centreX = RenderWindow::WIDTH / 2;
    const size_t centreY = RenderWindow::HEIGHT / 2;
    // Left arm of the cross, a little off the centre, which stays clear.
    const size_t armX = centreX - 0.011 * RenderWindow::WIDTH;
    const auto armIsWhite = [&]() {
        harness().render();
        const Ogre::Image image = RenderWindow::instance().capture();
        const Ogre::ColourValue arm = image.getColourAt(armX, centreY, 0);
        const Ogre::ColourValue middle = image.getColourAt(centreX, centreY, 0);
        return arm.r > 0.85f && arm.g > 0.85f && arm.b > 0.85f && !(middle == arm);
    };

    harness().frame(FRAME);
    EXPECT_FALSE(overlayVisible(Media::CROSSHAIR_OVERLAY)) << "in the menu";
    EXPECT_FALSE(armIsWhite());

    newGame();
    harness().frame(FRAME);
    EXPECT_TRUE(overlayVisible(Media::CROSSHAIR_OVERLAY));
    EXPECT_TRUE(armIsWhite());
    harness().screenshot("crosshair.png");

    holdKey(OIS::KC_ESCAPE, 1);
    harness().frame(FRAME);
    EXPECT_FALSE(overlayVisible(Media::CROSSHAIR_OVERLAY)) << "paused";
    EXPECT_FALSE(armIsWhite());

    holdKey(OIS::KC_ESCAPE, 1);
    harness().frame(FRAME);
    EXPECT_TRUE(overlayVisible(Media::CROSSHAIR_OVERLAY));

    game().mLevelTimeLimit = game().mLevelElapsed;
    harness().frame(FRAME);
    ASSERT_TRUE(game().mGameOver);
    EXPECT_FALSE(overlayVisible(Media::CROSSHAIR_OVERLAY)) << "time up";
}
