#include "LandingMarker.h"

#include "Ball.h"
#include "CollisionsConversions.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "Flight.h"
#include "MediaNames.h"

#include <OgreManualObject.h>
#include <OgreMath.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <BulletCollision/CollisionDispatch/btCollisionObject.h>
#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>
#include <BulletCollision/CollisionShapes/btStaticPlaneShape.h>
#include <LinearMath/btAabbUtil2.h>

namespace {
// A minute of flight: any shot has come down long before.
const int MAX_STEPS = 3600;
// The ring clears the drawn surface, which is a little larger than its shape (SHAPE_SHRINK).
const float RING_LIFT = 0.2f;
const float RING_INNER = 1.1f;
const float RING_OUTER = 1.6f;
const int RING_SEGMENTS = 32;
const float DOT_SPACING = 2;
const int MAX_DOTS = 400;

// The deepest touching or penetrating contact of the probe with one surface.
struct DeepestContact : public btCollisionWorld::ContactResultCallback
{
    explicit DeepestContact(const btCollisionObject* probe) : mProbe(probe) {}

    btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper* object0, int, int,
                             const btCollisionObjectWrapper*, int, int) override
    {
        if (point.getDistance() > 0 || (mHit && point.getDistance() >= mDepth))
            return 1;
        mHit = true;
        mDepth = point.getDistance();
        // The normal on B points from B towards A.
        const bool probeFirst = object0->getCollisionObject() == mProbe;
        mPoint = Collisions::toOgre(probeFirst ? point.getPositionWorldOnB() : point.getPositionWorldOnA());
        mNormal = Collisions::toOgre(probeFirst ? point.m_normalWorldOnB : -point.m_normalWorldOnB);
        return 1;
    }

    const btCollisionObject* mProbe;
    bool mHit = false;
    btScalar mDepth = 0;
    Ogre::Vector3 mPoint;
    Ogre::Vector3 mNormal;
};

// Whether the probe ball may reach the surface at all: the exact test is far dearer.
bool mayReach(const btCollisionObject& surface, const btVector3& centre, btScalar radius)
{
    const btCollisionShape* shape = surface.getCollisionShape();
    const btTransform& place = surface.getWorldTransform();
    if (shape->getShapeType() == STATIC_PLANE_PROXYTYPE) {
        // A plane's bounds are the whole world.
        const btStaticPlaneShape* plane = static_cast<const btStaticPlaneShape*>(shape);
        const btVector3 normal = place.getBasis() * plane->getPlaneNormal();
        const btScalar constant = plane->getPlaneConstant() + normal.dot(place.getOrigin());
        return normal.dot(centre) - constant <= radius;
    }
    btVector3 low, high;
    shape->getAabb(place, low, high);
    const btVector3 reach(radius, radius, radius);
    return TestAabbAgainstAabb2(low, high, centre - reach, centre + reach);
}

void beginSection(Ogre::ManualObject* object, const char* material, Ogre::RenderOperation::OperationType type)
{
    if (object->getSections().empty())
        object->begin(material, type, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    else
        object->beginUpdate(0);
}
}

LandingMarker::LandingMarker(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, float gravity,
                             std::vector<Dynamics::RigidBody*> surfaces)
    : mSceneManager(sceneManager), mWorld(world), mGravity(gravity), mSurfaces(std::move(surfaces)),
      mProbeShape(Ball::radius()), mProbe(new btCollisionObject()), mRing(sceneManager->createManualObject()),
      mArc(sceneManager->createManualObject())
{
    mProbe->setCollisionShape(&mProbeShape);
    Ogre::SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode();
    for (Ogre::ManualObject* object : {mRing, mArc}) {
        object->setDynamic(true);
        object->setCastShadows(false);
        object->setVisible(false);
        node->attachObject(object);
    }
}

LandingMarker::~LandingMarker()
{
    Ogre::SceneNode* node = mRing->getParentSceneNode();
    mSceneManager->destroyManualObject(mRing);
    mSceneManager->destroyManualObject(mArc);
    mSceneManager->destroySceneNode(node);
}

LandingMarker::Landing LandingMarker::predict(const Ogre::Vector3& eye, const Ogre::Vector3& view, float charge)
{
    const Ogre::Vector3 direction = view.normalisedCopy();
    const Flight::Point from{eye.x, eye.y, eye.z};
    const Flight::Point along{direction.x, direction.y, direction.z};
    const double speed = Flight::launchSpeed(charge);

    // The physics looks for contacts after each step: the ball lands where it first overlaps a surface.
    Landing landing;
    for (int step = 0; step <= MAX_STEPS; ++step) {
        const Flight::Point at = Flight::position(from, along, speed, mGravity, step * Flight::STEP_SECONDS);
        const Ogre::Vector3 centre(static_cast<float>(at.x), static_cast<float>(at.y), static_cast<float>(at.z));
        landing.path.push_back(centre);
        if (touch(centre, landing)) {
            landing.found = true;
            landing.step = step;
            break;
        }
    }
    return landing;
}

bool LandingMarker::touch(const Ogre::Vector3& centre, Landing& landing)
{
    const btVector3 position = Collisions::toBullet(centre);
    mProbe->getWorldTransform().setOrigin(position);
    DeepestContact deepest(mProbe.get());
    for (Dynamics::RigidBody* surface : mSurfaces) {
        if (mayReach(*surface->bulletObject(), position, mProbeShape.getRadius()))
            mWorld->bulletWorld()->contactPairTest(mProbe.get(), surface->bulletObject(), deepest);
    }
    if (deepest.mHit) {
        landing.point = deepest.mPoint;
        landing.normal = deepest.mNormal;
    }
    return deepest.mHit;
}

void LandingMarker::show(const Ogre::Vector3& eye, const Ogre::Vector3& view, float charge)
{
    const Landing landing = predict(eye, view, charge);
    if (!landing.found) {
        hide();
        return;
    }
    drawRing(landing);
    drawArc(landing);
    mRing->setVisible(true);
    mArc->setVisible(true);
}

void LandingMarker::hide()
{
    mRing->setVisible(false);
    mArc->setVisible(false);
}

bool LandingMarker::isVisible() const
{
    return mRing->isVisible();
}

void LandingMarker::drawRing(const Landing& landing)
{
    const Ogre::Vector3 normal = landing.normal.normalisedCopy();
    const Ogre::Vector3 across = normal.perpendicular();
    const Ogre::Vector3 along = normal.crossProduct(across);
    const Ogre::Vector3 centre = landing.point + normal * RING_LIFT;
    const float radius = mProbeShape.getRadius();
    beginSection(mRing, Media::LANDING_RING_MATERIAL, Ogre::RenderOperation::OT_TRIANGLE_STRIP);
    for (int i = 0; i <= RING_SEGMENTS; ++i) {
        const Ogre::Radian angle(Ogre::Math::TWO_PI * static_cast<float>(i) / RING_SEGMENTS);
        const Ogre::Vector3 spoke = across * Ogre::Math::Cos(angle) + along * Ogre::Math::Sin(angle);
        mRing->position(centre + spoke * radius * RING_OUTER);
        mRing->position(centre + spoke * radius * RING_INNER);
    }
    mRing->end();
}

void LandingMarker::drawArc(const Landing& landing)
{
    // Evenly spaced along the path, however fast the ball goes.
    beginSection(mArc, Media::LANDING_ARC_MATERIAL, Ogre::RenderOperation::OT_POINT_LIST);
    mArc->position(landing.path.front());
    int dots = 1;
    float sinceDot = 0;
    for (size_t i = 1; i < landing.path.size() && dots < MAX_DOTS; ++i) {
        const Ogre::Vector3& start = landing.path[i - 1];
        const Ogre::Vector3 segment = landing.path[i] - start;
        const float length = segment.length();
        if (length <= 0)
            continue;
        float at = DOT_SPACING - sinceDot;
        for (; at <= length && dots < MAX_DOTS; at += DOT_SPACING, ++dots)
            mArc->position(start + segment * (at / length));
        sinceDot = length - (at - DOT_SPACING);
    }
    mArc->end();
}
