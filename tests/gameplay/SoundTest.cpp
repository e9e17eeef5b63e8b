// What the player hears: the game's sound mixed through OpenAL's loopback device frame by frame.
#include "GameplayFixture.h"

#include "BodyPlacement.h"
#include "DynamicsRigidBody.h"
#include "GameSound.h"
#include "MenuLayout.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>

#include <BulletCollision/CollisionShapes/btCollisionShape.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <CEGUI/Window.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
const int FRAME_SAMPLES = SoundDevice::LOOPBACK_RATE / 60;
// The mixer dithers its 16-bit output: silence is a sample's last bit flickering.
const double SILENT = 2;
enum Channel
{
    LEFT = 0,
    RIGHT = 1
};

// Root mean square of one channel of interleaved stereo, over frames [from, to) of the game.
double loudness(const std::vector<short>& mix, int from, int to, Channel channel)
{
    double sum = 0;
    size_t count = 0;
    const size_t end = std::min(mix.size() / 2, static_cast<size_t>(to) * FRAME_SAMPLES);
    for (size_t i = static_cast<size_t>(from) * FRAME_SAMPLES; i < end; ++i, ++count)
        sum += static_cast<double>(mix[2 * i + channel]) * mix[2 * i + channel];
    return count ? std::sqrt(sum / static_cast<double>(count)) : 0;
}

double loudness(const std::vector<short>& mix, int from, int to)
{
    return std::max(loudness(mix, from, to, LEFT), loudness(mix, from, to, RIGHT));
}

// Sample by sample, what one mix has that the other has not.
std::vector<short> difference(const std::vector<short>& mix, const std::vector<short>& other)
{
    std::vector<short> left(std::min(mix.size(), other.size()));
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = static_cast<short>(std::clamp(mix[i] - other[i], SHRT_MIN, SHRT_MAX));
    return left;
}

// How alike two sounds are whatever their loudness and side: the correlation of their left-plus-right
// sums from the same start, 1 for the same sound.
double likeness(const std::vector<short>& heard, const std::vector<short>& effect)
{
    double both = 0, heardOnly = 0, effectOnly = 0;
    for (size_t i = 0; i + 1 < std::min(heard.size(), effect.size()); i += 2) {
        const double h = heard[i] + heard[i + 1], e = effect[i] + effect[i + 1];
        both += h * e;
        heardOnly += h * h;
        effectOnly += e * e;
    }
    return heardOnly > 0 && effectOnly > 0 ? both / std::sqrt(heardOnly * effectOnly) : 0;
}
}

class SoundTest : public GameplayTest
{
protected:
    // Game frames of FRAME seconds, each followed by that frame's share of the mix, appended to mMix.
    void play(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            harness().frame(FRAME);
            const std::vector<short> mixed = game().mSound->device().render(FRAME_SAMPLES);
            mMix.insert(mMix.end(), mixed.begin(), mixed.end());
        }
    }
    int framesPlayed() const { return static_cast<int>(mMix.size() / 2 / FRAME_SAMPLES); }

    // A new game whose barrels have dropped onto the platform and come to rest.
    void settledGame()
    {
        newGame();
        play(150);
        mMix.clear();
    }

    // A barrel beside the platform, `height` units above the floor, standing in the level.
    Barrel* barrelInAir(const Ogre::Vector3& at, float height, int kind = BARREL_ORDINARY)
    {
        TestGame& g = game();
        Barrel* barrel = new Barrel(g.mSceneManager, g.mPhysicsWorld, 1000 + g.mNextBallIndex++, at, kind);
        moveBody(barrel, at + Ogre::Vector3(0, halfExtent(barrel).y + height, 0));
        g.mBarrels.push_back(barrel);
        return barrel;
    }

    // A ball fired like the player's, at rest and just overlapping the barrel's near side, so that the
    // two touch; it becomes the newest.
    Ball* ballAgainst(const Barrel* barrel)
    {
        TestGame& g = game();
        Ball* ball = new Ball(harness().camera(), g.mSceneManager, g.mPhysicsWorld, g.mNextBallIndex++, 0);
        const float reach = halfExtent(barrel).z + halfExtent(ball).z - 0.05f;
        moveBody(ball, bodyPosition(barrel) + Ogre::Vector3(0, 0, reach));
        g.mBalls.push_front(ball);
        return ball;
    }

    // Out of play, as the rules take bodies out.
    void takeAway(Barrel* barrel, Ball* ball)
    {
        TestGame& g = game();
        barrel->markRemoved();
        ball->markRemoved();
        g.mBarrels.remove(barrel);
        g.mBalls.remove(ball);
        g.mRemovedBarrels.emplace_back(barrel);
        g.mRemovedBalls.emplace_back(ball);
    }

    // Every effect played alone at the listener, as mixed from the frame it starts: 1.2 s of the
    // mix, longer than any effect. Recorded while nothing else sounds.
    void recordEffectsAlone()
    {
        for (int effect = 0; effect < Sounds::EFFECT_COUNT; ++effect) {
            game().mSound->playHere(static_cast<Sounds::Effect>(effect));
            mAlone[effect] = game().mSound->device().render(72 * FRAME_SAMPLES);
        }
    }

    // The effect that sounds most like the mix from frame `from` on.
    Sounds::Effect effectHeard(int from)
    {
        const std::vector<short> heard(mMix.begin() + 2 * from * FRAME_SAMPLES, mMix.end());
        int best = 0;
        for (int effect = 1; effect < Sounds::EFFECT_COUNT; ++effect)
            if (likeness(heard, mAlone[effect]) > likeness(heard, mAlone[best]))
                best = effect;
        return static_cast<Sounds::Effect>(best);
    }

    void fullChargeShot()
    {
        harness().keyboard.press(OIS::KC_SPACE);
        play(100);
        harness().keyboard.release(OIS::KC_SPACE);
    }

    std::vector<short> mMix;
    std::vector<short> mAlone[Sounds::EFFECT_COUNT];
};

TEST_F(SoundTest, TheIdleMenuIsSilentAndEveryEffectLoaded)
{
    play(120);
    EXPECT_GT(SILENT, loudness(mMix, 0, framesPlayed()));
    for (const std::string& line : log().lines)
        EXPECT_EQ(std::string::npos, line.find("stays silent")) << line;
    EXPECT_FALSE(game().mSound->device().looping());
}

TEST_F(SoundTest, ChargedShotIsHeardThenTheBarrelsItKnocksOff)
{
    settledGame();
    play(30);
    EXPECT_GT(SILENT, loudness(mMix, 0, 30)) << "barrels at rest on the platform make no sound";

    // Aimed at the middle of the level's barrels.
    Ogre::Vector3 middle = Ogre::Vector3::ZERO;
    for (const Barrel* barrel : game().mBarrels)
        middle += barrel->rigidBody()->worldPosition();
    middle /= static_cast<float>(game().mBarrels.size());
    harness().camera()->getParentSceneNode()->lookAt(middle, Ogre::Node::TS_WORLD);

    fullChargeShot();
    const int released = framesPlayed();
    EXPECT_GT(loudness(mMix, 40, released), 500) << "the charge tone";
    play(1);
    EXPECT_FALSE(game().mSound->device().looping());
    const double charging = loudness(mMix, released - 10, released);

    // The frames at which barrels reached the floor. How hard each lands is the collisions' to say:
    // one tipped off the edge touches down softly, and a soft touch is meant to be quiet.
    std::vector<int> landings;
    for (int i = 0; i < 240; ++i) {
        const size_t before = game().mBarrels.size();
        play(1);
        if (game().mBarrels.size() < before)
            landings.push_back(framesPlayed() - 1);
    }
    ASSERT_FALSE(landings.empty()) << "no barrel reached the floor in 4 s";
    play(30);
    EXPECT_GT(loudness(mMix, released, released + 10), 2 * charging) << "the shot";
    double loudest = 0;
    for (int landing : landings)
        loudest = std::max(loudest, loudness(mMix, landing - 3, landing + 10));
    EXPECT_GT(loudest, 50) << "a barrel striking the floor";
}

TEST_F(SoundTest, FasterBallStrikesABarrelLouder)
{
    settledGame();
    const Ogre::Vector3 spot(-40, 0, 10);
    double heard[2] = {0, 0};
    const float speeds[2] = {25, 150};
    for (int run = 0; run < 2; ++run) {
        // The barrel hangs high enough that its fall to the floor comes after the measured window.
        Barrel* barrel = barrelInAir(spot, 40);
        Ball* ball =
            new Ball(harness().camera(), game().mSceneManager, game().mPhysicsWorld, game().mNextBallIndex++, 0);
        moveBody(ball, bodyPosition(barrel) + Ogre::Vector3(0, 0, 10));
        ball->rigidBody()->setVelocity(Ogre::Vector3(0, 0, -speeds[run]));
        game().mBalls.push_front(ball);

        const int start = framesPlayed();
        play(36);
        heard[run] = loudness(mMix, start, framesPlayed());
        // Out of the way, and quiet again, before the next run.
        barrel->markRemoved();
        ball->markRemoved();
        game().mBarrels.remove(barrel);
        game().mBalls.remove(ball);
        game().mRemovedBarrels.emplace_back(barrel);
        game().mRemovedBalls.emplace_back(ball);
        play(90);
    }
    EXPECT_GT(heard[0], 50) << "the slow ball's hit";
    EXPECT_GT(heard[1], 1.5 * heard[0]);
}

TEST_F(SoundTest, BarrelFallingOnOneSideIsHeardOnThatSide)
{
    settledGame();
    struct Side
    {
        float x;
        Channel louder, quieter;
    };
    for (const Side& side : {Side{-45, LEFT, RIGHT}, Side{45, RIGHT, LEFT}}) {
        SCOPED_TRACE(side.x);
        barrelInAir(Ogre::Vector3(side.x, 0, 20), 4);
        const int start = framesPlayed();
        play(90);
        const double louder = loudness(mMix, start, framesPlayed(), side.louder);
        EXPECT_GT(louder, 40);
        EXPECT_GT(louder, 1.5 * loudness(mMix, start, framesPlayed(), side.quieter));
    }
}

// One pair of bodies sounds at most once in a tenth of a second: the ball striking the barrel again
// 3 frames (0.05 s) after its first strike adds nothing to what is heard, 7 frames (0.117 s) after, it does.
TEST_F(SoundTest, APairStrikingAgainWithinATenthOfASecondAddsNothing)
{
    settledGame();
    // The 30 frames from the ball's first strike at the barrel, with one more strike at frame `again`.
    const auto strikes = [this](int again) {
        // The barrel hangs high enough that its fall to the floor comes after these frames.
        Barrel* barrel = barrelInAir(Ogre::Vector3(-40, 0, 10), 40);
        Ball* ball = ballAgainst(barrel);
        const btTransform barrelAt = barrel->rigidBody()->bulletBody()->getWorldTransform();
        const btTransform ballAt = ball->rigidBody()->bulletBody()->getWorldTransform();
        const int start = framesPlayed();
        for (int frame = 0; frame < 30; ++frame) {
            if (frame == 0 || frame == again) {
                for (Dynamics::RigidBody* body : {barrel->rigidBody(), ball->rigidBody()}) {
                    body->bulletBody()->setWorldTransform(body == ball->rigidBody() ? ballAt : barrelAt);
                    body->bulletBody()->setAngularVelocity(btVector3(0, 0, 0));
                    body->setVelocity(Ogre::Vector3::ZERO);
                }
                ball->rigidBody()->setVelocity(Ogre::Vector3(0, 0, -60));
            }
            play(1);
        }
        const std::vector<short> heard(mMix.begin() + 2 * start * FRAME_SAMPLES, mMix.end());
        takeAway(barrel, ball);
        play(90);
        return heard;
    };
    const std::vector<short> once = strikes(0), soon = strikes(3), later = strikes(7);
    ASSERT_GT(loudness(once, 0, 5), 50) << "the first strike";
    EXPECT_GT(SILENT, loudness(difference(soon, once), 0, 30)) << "the strike 0.05 s on";
    EXPECT_GT(SILENT, loudness(difference(later, once), 0, 7)) << "the same first strike every time";
    EXPECT_GT(loudness(difference(later, once), 7, 12), 50) << "the strike a tenth of a second on";
}

// The level's last seconds as heard: nothing of the clock until five seconds are left, a tick as each
// of 5 to 1 begins, none at 0, and the time-up sound as the time runs out.
TEST_F(SoundTest, TheLastFiveSecondsTickThenTimeIsUp)
{
    settledGame();
    recordEffectsAlone();
    TestGame& g = game();
    // Half a frame short of seven seconds left, so that every whole second ends mid-frame.
    g.mLevelElapsed = g.mLevelTimeLimit - 7 + FRAME / 2;
    play(8 * 60);
    ASSERT_TRUE(g.mGameOver);

    // A sound the rules start in frame n (counted from 0) is heard from the start of that frame's mix;
    // s seconds are left from frame 60 * (6 - s) - 1 on.
    std::vector<short> expected(mMix.size());
    const auto from = [this, &expected](int frame, Sounds::Effect effect) {
        const size_t start = 2 * static_cast<size_t>(frame) * FRAME_SAMPLES;
        for (size_t i = 0; i < mAlone[effect].size() && start + i < expected.size(); ++i)
            expected[start + i] = static_cast<short>(expected[start + i] + mAlone[effect][i]);
    };
    for (int left = 5; left >= 1; --left)
        from(60 * (6 - left) - 1, Sounds::TICK);
    from(60 * 7 - 1, Sounds::TIME_UP);
    const std::vector<short> unexpected = difference(mMix, expected);
    std::vector<int> wrong;
    for (int frame = 0; frame < framesPlayed(); ++frame)
        if (loudness(unexpected, frame, frame + 1) > SILENT)
            wrong.push_back(frame);
    EXPECT_EQ(std::vector<int>(), wrong) << "the frames that do not sound as they should";
}

// The rules' other signals, one at a time: each is heard as its own sound.
TEST_F(SoundTest, EachRulesEventIsHeardAsItsOwnSound)
{
    // No frame has run: nothing has fallen or struck anything.
    newGame();
    recordEffectsAlone();
    TestGame& g = game();
    const struct
    {
        const char* event;
        int barrel; // what the newest ball touches; 0: no barrel is left in the level
        Sounds::Effect effect;
    } cases[] = {
        {"level cleared", 0, Sounds::CLEARED},
        {"bonus barrel hit", BARREL_BONUS, Sounds::BONUS},
        {"heavy barrel hit", BARREL_WALL, Sounds::HEAVY_HIT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        Barrel* barrel = nullptr;
        Ball* ball = nullptr;
        if (c.barrel) {
            barrel = barrelInAir(Ogre::Vector3(-40, 0, 10), 20, c.barrel);
            ball = ballAgainst(barrel);
        } else {
            g.clearLevel();
            g.clearRemovedObjects();
        }
        const int start = framesPlayed();
        g.updateRules();
        const std::vector<short> mixed = g.mSound->device().render(72 * FRAME_SAMPLES);
        mMix.insert(mMix.end(), mixed.begin(), mixed.end());
        EXPECT_STREQ(Sounds::FILES[c.effect], Sounds::FILES[effectHeard(start)]);
        if (barrel)
            takeAway(barrel, ball);
    }
}

TEST_F(SoundTest, MSilencesAndTheChoiceIsKeptForTheNextGame)
{
    settledGame();
    holdKey(OIS::KC_M, 1);
    ASSERT_TRUE(game().mSoundNotice);
    EXPECT_TRUE(game().mSoundNotice->isVisible());
    EXPECT_EQ("Sound off", std::string(game().mSoundNotice->getText().c_str()));
    EXPECT_FALSE(SettingsFile::read(SettingsFile::NAME, "").settings.sound);

    fullChargeShot();
    play(120);
    EXPECT_GT(SILENT, loudness(mMix, 0, framesPlayed()));
    EXPECT_FALSE(game().mSoundNotice->isVisible()) << "the notice goes after a moment";

    holdKey(OIS::KC_M, 1);
    EXPECT_EQ("Sound on", std::string(game().mSoundNotice->getText().c_str()));
    EXPECT_TRUE(SettingsFile::read(SettingsFile::NAME, "").settings.sound);
}

// The panel's volume is what the player hears: half of it, half as loud.
TEST_F(SoundTest, ThePanelsVolumeScalesWhatIsHeard)
{
    settledGame();
    const auto chargeTone = [this] {
        const int start = framesPlayed();
        fullChargeShot();
        const double heard = loudness(mMix, start + 40, start + 100);
        play(120);
        return heard;
    };
    const double full = chargeTone();
    ASSERT_GT(full, 500);

    holdKey(OIS::KC_F2, 1);
    // The first step shows the focus on the first row.
    for (int row = MOUSE_SENSITIVITY_ROW; row <= VOLUME_ROW; ++row)
        holdKey(OIS::KC_DOWN, 1);
    for (int step = 0; step < 10; ++step)
        holdKey(OIS::KC_LEFT, 1);
    holdKey(OIS::KC_ESCAPE, 1);
    holdKey(OIS::KC_ESCAPE, 1);
    ASSERT_EQ(50, game().mSettings.volume);
    ASSERT_FALSE(game().mPaused);

    EXPECT_NEAR(0.5, chargeTone() / full, 0.05);
}

// The file earlier versions kept M's choice in still silences the game, until M is pressed again;
// that choice goes into the settings, and the old file stays as it was.
TEST_F(SoundTest, GameStartsSilentWhenTheOldSoundFileSaysOff)
{
    writeFile(SettingsFile::LEGACY_SOUND_FILE, "sound off\n");
    settledGame();
    fullChargeShot();
    play(60);
    EXPECT_GT(SILENT, loudness(mMix, 0, framesPlayed()));
    holdKey(OIS::KC_M, 1);
    EXPECT_TRUE(game().mSound->enabled());
    EXPECT_TRUE(SettingsFile::read(SettingsFile::NAME, SettingsFile::LEGACY_SOUND_FILE).settings.sound);
    EXPECT_EQ("sound off\n", readFile(SettingsFile::LEGACY_SOUND_FILE));
}

TEST_F(SoundTest, BrokenSoundFileIsOneLogLineAndSilence)
{
    SoundDevice& device = game().mSound->device();
    EXPECT_EQ(0u, device.load("broken.wav", "RIFF, but nothing of a wave"));
    EXPECT_EQ(1, std::count_if(log().lines.begin(), log().lines.end(), [](const std::string& line) {
                  return line.rfind("Sound: broken.wav: ", 0) == 0 && line.find("stays silent") != std::string::npos;
              }));
    device.play(0, Ogre::Vector3::ZERO, 1, 1);
    play(10);
    EXPECT_GT(SILENT, loudness(mMix, 0, framesPlayed()));
}

// Each test case runs in a process of its own, so the library reads this before its first device.
TEST_F(GameplayTest, NoAudioDeviceIsOneLogLineAndASilentGame)
{
    setenv("ALSOFT_DRIVERS", "no-such-driver", 1);
    LogRecorder recorder;
    GameHarness silent(SoundDevice::Output::Speakers);
    EXPECT_FALSE(silent.game().mSound->device().ready());
    EXPECT_EQ(1, std::count_if(recorder.lines.begin(), recorder.lines.end(),
                               [](const std::string& line) { return line.rfind("Sound: ", 0) == 0; }));
    EXPECT_TRUE(recorder.has("Sound: no audio device could be opened; the game runs silent"));
    EXPECT_TRUE(silent.frames(10, FRAME));
    CEGUI::EventArgs args;
    silent.game().onNewGame(args);
    silent.keyboard.press(OIS::KC_SPACE);
    silent.frames(30, FRAME);
    silent.keyboard.release(OIS::KC_SPACE);
    silent.keyboard.press(OIS::KC_M);
    EXPECT_TRUE(silent.frames(60, FRAME));
    silent.keyboard.release(OIS::KC_M);
    EXPECT_TRUE(silent.frames(2, FRAME));
    EXPECT_EQ(1, silent.game().mShotsFired);
}
