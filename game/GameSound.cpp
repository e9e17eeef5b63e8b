// Sound effects: the GameSound library of effects, and the Game's side that feeds it.
#include "GameSound.h"

#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "Game.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>

#include <CEGUI/System.h>
#include <CEGUI/Window.h>
#include <CEGUI/WindowManager.h>

#include <BulletDynamics/Dynamics/btDiscreteDynamicsWorld.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <algorithm>
#include <string>

namespace {
// Full gain from this distance in; the camera stands about 80 units from the platform's centre.
const float REFERENCE_DISTANCE = 25;
// Speeds at which an impact is as loud as it gets: a full-charge ball flies at 200.
const float LOUDEST_BALL_HIT = 120;
const float LOUDEST_THUD = 30;
const float QUIETEST_GAIN = 0.08f;
const float NOTICE_SECONDS = 1.5f;

void logLine(const std::string& line)
{
    Ogre::LogManager::getSingleton().logMessage("Sound: " + line);
}

// Whole files are read here, once: nothing is read from disk during play.
std::string readMedia(const char* name)
{
    Ogre::DataStreamPtr stream = Ogre::ResourceGroupManager::getSingleton().openResource(
        name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    return stream->getAsString();
}
}

GameSound::GameSound(SoundDevice::Output output) : mDevice(output)
{
    if (!mDevice.ready())
        return;
    mDevice.setReferenceDistance(REFERENCE_DISTANCE);
    for (int effect = 0; effect < Sounds::EFFECT_COUNT; ++effect) {
        try {
            mBuffers[effect] = mDevice.load(Sounds::FILES[effect], readMedia(Sounds::FILES[effect]));
        } catch (const Ogre::Exception&) {
            logLine(std::string(Sounds::FILES[effect]) +
                    ": not found in the folders resources_d.cfg names; that sound stays silent");
        }
    }
}

void GameSound::advance(float seconds)
{
    mClock += seconds;
    auto forget = [this](std::map<Pair, float>& times) {
        for (auto it = times.begin(); it != times.end();)
            it = mClock - it->second > PAIR_INTERVAL ? times.erase(it) : std::next(it);
    };
    forget(mLastImpact);
    forget(mLastTouch);
}

void GameSound::play(Sounds::Effect effect, const Ogre::Vector3& position, float gain, float pitch)
{
    mDevice.play(mBuffers[effect], position, gain, pitch);
}

void GameSound::playHere(Sounds::Effect effect, float gain, float pitch)
{
    mDevice.play(mBuffers[effect], Ogre::Vector3::ZERO, gain, pitch, true);
}

void GameSound::impact(Sounds::Effect effect, const void* a, const void* b, const Ogre::Vector3& at, float speed)
{
    if (speed < QUIET_SPEED)
        return;
    const auto last = mLastImpact.find(pair(a, b));
    if (last != mLastImpact.end() && mClock - last->second < PAIR_INTERVAL)
        return;
    mLastImpact[pair(a, b)] = mClock;
    const float loudest = effect == Sounds::BALL_HIT ? LOUDEST_BALL_HIT : LOUDEST_THUD;
    const float strength = std::min(speed / loudest, 1.0f);
    play(effect, at, std::max(strength, QUIETEST_GAIN), 0.9f + 0.2f * strength);
}

bool GameSound::touch(Sounds::Effect effect, const void* a, const void* b, const Ogre::Vector3& at)
{
    const bool starts = mLastTouch.find(pair(a, b)) == mLastTouch.end();
    mLastTouch[pair(a, b)] = mClock;
    if (starts)
        play(effect, at);
    return starts;
}

void GameSound::shot(const Ogre::Vector3& at, float fraction)
{
    stopCharge();
    play(Sounds::SHOT, at, 0.3f + 0.7f * fraction, 0.8f + 0.5f * fraction);
}

void GameSound::charge(float fraction)
{
    mDevice.loop(mBuffers[Sounds::CHARGE], 0.04f + 0.08f * fraction, 0.6f + 1.2f * fraction);
}

void GameSound::stopCharge()
{
    mDevice.stopLoop();
}

void GameSound::countdown(int secondsLeft)
{
    if (secondsLeft < mLastSecondsLeft && secondsLeft >= 1 && secondsLeft <= 5)
        playHere(Sounds::TICK);
    mLastSecondsLeft = secondsLeft;
}

// --- The Game's side -----------------------------------------------------------------------------

void Game::startSound(SoundDevice::Output output)
{
    mSound.reset(new GameSound(output));
    // Bullet calls this after every step it takes, with that step's contacts still in its manifolds.
    static_cast<btDynamicsWorld*>(mPhysicsWorld->bulletWorld())->setInternalTickCallback(&Game::physicsTicked, this);
}

void Game::stopSound()
{
    static_cast<btDynamicsWorld*>(mPhysicsWorld->bulletWorld())->setInternalTickCallback(nullptr);
    mSound.reset();
}

void Game::physicsTicked(btDynamicsWorld* world, btScalar)
{
    static_cast<Game*>(world->getWorldUserInfo())->listenToContacts();
}

Game::SoundRole Game::soundRole(const btCollisionObject* object) const
{
    for (const Ball* ball : mBalls)
        if (ball->rigidBody()->bulletObject() == object)
            return SoundRole::Ball;
    for (const Barrel* barrel : mBarrels)
        if (barrel->rigidBody()->bulletObject() == object)
            return SoundRole::Barrel;
    for (const Dynamics::RigidBody* ground : mArenaBodies)
        if (ground->bulletObject() == object)
            return SoundRole::Ground;
    return SoundRole::None;
}

void Game::listenToContacts()
{
    btDispatcher* dispatcher = mPhysicsWorld->bulletWorld()->getDispatcher();
    for (int i = 0; i < dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        const btRigidBody* a = btRigidBody::upcast(manifold->getBody0());
        const btRigidBody* b = btRigidBody::upcast(manifold->getBody1());
        const btScalar inverseMasses = a && b ? a->getInvMass() + b->getInvMass() : 0;
        if (inverseMasses <= 0)
            continue;
        // The solver's impulses over this step, divided by the pair's reduced mass: how much their
        // closing speed changed, which is the impact's speed. A resting contact only holds up weight.
        btScalar impulse = 0;
        btVector3 at(0, 0, 0);
        for (int p = 0; p < manifold->getNumContacts(); ++p) {
            const btManifoldPoint& point = manifold->getContactPoint(p);
            impulse += point.getAppliedImpulse();
            at += point.getPositionWorldOnB();
        }
        const float speed = static_cast<float>(impulse * inverseMasses);
        if (speed < GameSound::QUIET_SPEED)
            continue;
        at /= static_cast<btScalar>(manifold->getNumContacts());
        const SoundRole first = soundRole(a), second = soundRole(b);
        const auto is = [first, second](SoundRole one, SoundRole other) {
            return (first == one && second == other) || (first == other && second == one);
        };
        const Ogre::Vector3 where(at.x(), at.y(), at.z());
        if (is(SoundRole::Ball, SoundRole::Barrel))
            mSound->impact(Sounds::BALL_HIT, a, b, where, speed);
        else if (is(SoundRole::Barrel, SoundRole::Ground))
            mSound->impact(Sounds::BARREL_THUD, a, b, where, speed);
    }
}

void Game::updateSound(float seconds)
{
    mSound->advance(seconds);
    mSound->device().setListener(mActiveCamera->getDerivedPosition(), mActiveCamera->getDerivedDirection(),
                                 mActiveCamera->getDerivedUp());
    if (mPaused || mGameOver || !mKeyStates[OIS::KC_SPACE])
        mSound->stopCharge();
    if (mSoundNotice && mSoundNotice->isVisible()) {
        mSoundNoticeSeconds -= seconds;
        if (mSoundNoticeSeconds <= 0)
            mSoundNotice->hide();
    }
}

void Game::toggleSound()
{
    Settings settings = mSettings;
    settings.sound = !settings.sound;
    changeSettings(settings);
    // Outside the panel nothing else would write it soon.
    saveSettings();
    if (!mSoundNotice) {
        mSoundNotice = CEGUI::WindowManager::getSingleton().createWindow("TaharezLook/StaticText", "sound notice");
        mSoundNotice->setArea(CEGUI::UDim(0.4f, 0), CEGUI::UDim(0.3f, 0), CEGUI::UDim(0.2f, 0), CEGUI::UDim(0.06f, 0));
        mSoundNotice->setProperty("HorzFormatting", "CentreAligned");
        mGuiRoot->addChild(mSoundNotice);
    }
    mSoundNotice->setText(mSound->enabled() ? "Sound on" : "Sound off");
    mSoundNotice->show();
    mSoundNoticeSeconds = NOTICE_SECONDS;
}
