// Debug drawer: the library's lines go into the line set, its warnings into the engine log.
#include "CollisionsDebugDrawer.h"

#include "CollisionsConversions.h"

#include <OgreLog.h>
#include <OgreLogManager.h>

namespace Collisions {
DebugDrawer::DebugDrawer() : mDrawModes(DBG_NoDebug)
{
}

DebugDrawer::~DebugDrawer() = default;

void DebugDrawer::setModeBit(int bit, bool on)
{
    if (on)
        mDrawModes |= bit;
    else
        mDrawModes &= ~bit;
}

void DebugDrawer::drawLine(const btVector3& from, const btVector3& to, const btVector3&)
{
    // Every segment takes the line set's material; the library's colour is not used.
    if (mDrawModes > 0)
        appendLine(toOgre(from), toOgre(to));
}

void DebugDrawer::drawContactPoint(const btVector3&, const btVector3&, btScalar, int, const btVector3&)
{
}

void DebugDrawer::reportErrorWarning(const char* warningString)
{
    Ogre::LogManager::getSingleton().getDefaultLog()->logMessage(warningString, Ogre::LML_NORMAL, false);
}

void DebugDrawer::draw3dText(const btVector3&, const char*)
{
}

void DebugDrawer::setDebugMode(int mode)
{
    mDrawModes = mode;
}

int DebugDrawer::getDebugMode() const
{
    return mDrawModes;
}

void DebugDrawer::drawAabb(const btVector3& from, const btVector3& to, const btVector3& color)
{
    if (!hasModeBit(DBG_DrawAabb))
        return;
    const btVector3 halfExtents = (to - from) * 0.5f;
    const btVector3 centre = (to + from) * 0.5f;

    // The twelve edges, walked from corner to corner by flipping one sign at a time.
    btVector3 signs(1.f, 1.f, 1.f);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            const btVector3 start(signs[0] * halfExtents[0], signs[1] * halfExtents[1], signs[2] * halfExtents[2]);
            signs[j] *= -1.f;
            const btVector3 end(signs[0] * halfExtents[0], signs[1] * halfExtents[1], signs[2] * halfExtents[2]);
            drawLine(start + centre, end + centre, color);
        }
        signs.setValue(-1.f, -1.f, -1.f);
        if (i < 3)
            signs[i] *= -1.f;
    }
}
}
