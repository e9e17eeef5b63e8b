// Aiming aids: a crosshair at the centre of the view, and where a shot fired now would land.
#include "Game.h"

#include "LandingMarker.h"
#include "MediaNames.h"

#include <OgreCamera.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>

void Game::buildAimAids(const Ogre::Vector3& gravity)
{
    // Shots land on the arena: barrels and other balls in the way are left out.
    mLandingMarker.reset(
        new LandingMarker(mSceneManager, mPhysicsWorld, -gravity.y,
                          std::vector<Dynamics::RigidBody*>(mArenaBodies.begin(), mArenaBodies.end())));
    mCrosshair = Ogre::OverlayManager::getSingleton().getByName(Media::CROSSHAIR_OVERLAY);
}

void Game::updateAimAids()
{
    const bool playing = mGameStarted && !mPaused && !mGameOver;
    if (mCrosshair && mCrosshair->isVisible() != playing) {
        if (playing)
            mCrosshair->show();
        else
            mCrosshair->hide();
    }
    // SPACE's key state is set from the first charge tick until the shot is fired.
    if (playing && mLandingMarkerOn && mKeyStates[OIS::KC_SPACE])
        mLandingMarker->show(mActiveCamera->getDerivedPosition(), mActiveCamera->getDerivedDirection(), mCharge);
    else
        mLandingMarker->hide();
}
