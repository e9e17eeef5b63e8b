// The frame-listener base: camera flight, toggle keys, screenshots, window closing.
#include "ScriptedDevices.h"
#include "ShellFrameListener.h"
#include "HiddenWindowApp.h"

#include <OgreCamera.h>
#include <OgreMaterialManager.h>
#include <OgreRenderWindow.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The base listener with scripted devices in place of the real ones, which it gets back before closing.
class ListenerHarness : public ShellFrameListener
{
public:
    ListenerHarness(Ogre::RenderWindow* window, Ogre::Camera* camera)
        : ShellFrameListener(window, camera, false, false, false), mRealKeyboard(mKeyboardDevice),
          mRealMouse(mMouseDevice)
    {
        useScriptedDevices();
    }
    ~ListenerHarness() override { useRealDevices(); }

    // The input library can only release the devices it made.
    void useRealDevices()
    {
        mKeyboardDevice = mRealKeyboard;
        mMouseDevice = mRealMouse;
    }
    void useScriptedDevices()
    {
        mKeyboardDevice = &keyboard;
        mMouseDevice = &mouse;
    }

    bool frame(float seconds)
    {
        Ogre::FrameEvent event;
        event.timeSinceLastFrame = seconds;
        event.timeSinceLastEvent = seconds;
        return frameRenderingQueued(event);
    }

    bool isIdle() const override { return idle; }
    bool idle = false;

    using ShellFrameListener::mFilterMode;
    using ShellFrameListener::mInputSystem;
    using ShellFrameListener::mMouseDevice;
    using ShellFrameListener::mRenderWindow;
    using ShellFrameListener::mScreenshotCount;
    using ShellFrameListener::mShowStatistics;
    using ShellFrameListener::mSpeedFactor;
    using ShellFrameListener::mStatisticsOverlay;
    using ShellFrameListener::mStatusText;
    using ShellFrameListener::sShowCameraDetails;

    ScriptedKeyboard keyboard;
    ScriptedMouse mouse;

private:
    OIS::Keyboard* mRealKeyboard;
    OIS::Mouse* mRealMouse;
};

// A window that only takes note of being made full screen or not: the tests' X server has no
// window manager to do it for a real one. What it is asked of the display, it asks the real window.
class FullScreenRecorder : public Ogre::RenderWindow
{
public:
    explicit FullScreenRecorder(Ogre::RenderWindow* real) : mReal(real)
    {
        mWidth = real->getWidth();
        mHeight = real->getHeight();
    }

    void setFullscreen(bool fullScreen, unsigned int width, unsigned int height) override
    {
        mIsFullScreen = fullScreen;
        mWidth = width;
        mHeight = height;
    }
    void getCustomAttribute(const Ogre::String& name, void* data) override { mReal->getCustomAttribute(name, data); }
    bool isClosed() const override { return false; }

    void create(const Ogre::String&, unsigned int, unsigned int, bool, const Ogre::NameValuePairList*) override {}
    void destroy() override {}
    void resize(unsigned int, unsigned int) override {}
    void reposition(int, int) override {}
    void copyContentsToMemory(const Ogre::Box&, const Ogre::PixelBox&, FrameBuffer) override {}
    bool requiresTextureFlipping() const override { return false; }

private:
    Ogre::RenderWindow* mReal;
};

// The shell on its own: no scene of a game, and the listener under test installed by hand.
class BareShell : public ShellApplication
{
protected:
    void buildScene() override {}
};

class ShellFrameListenerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        shell.mSkipListener = true;
        ASSERT_TRUE(shell.start());
        listener = new ListenerHarness(shell.window(), shell.camera());
    }
    void TearDown() override { delete listener; }

    Ogre::Vector3 cameraPosition() const { return shell.camera()->getDerivedPosition(); }

    HiddenWindowApp<BareShell> shell;
    ListenerHarness* listener = nullptr;
};

} // namespace

TEST_F(ShellFrameListenerTest, MovementRampsUpThenGlidesToAStop)
{
    const Ogre::Vector3 forward = shell.camera()->getDerivedDirection();
    const Ogre::Vector3 start = cameraPosition();

    listener->keyboard.press(OIS::KC_W);
    ASSERT_TRUE(listener->frame(0.25f));
    // 100 units/s for 0.25 s, scaled by a speed factor that has ramped up to 0.25.
    EXPECT_TRUE(cameraPosition().positionEquals(start + forward * 6.25f, 1e-3f));
    for (int i = 0; i < 4; ++i)
        listener->frame(0.25f);
    EXPECT_FLOAT_EQ(1.0f, listener->mSpeedFactor);

    listener->keyboard.release(OIS::KC_W);
    Ogre::Vector3 before = cameraPosition();
    listener->frame(0.25f);
    const float firstGlide = before.distance(cameraPosition());
    EXPECT_NEAR(25.0f * (1.0f - 0.075f), firstGlide, 1e-3f);

    before = cameraPosition();
    listener->frame(0.25f);
    EXPECT_LT(before.distance(cameraPosition()), firstGlide);
    EXPECT_GT(before.distance(cameraPosition()), 0.0f);

    for (int i = 0; i < 16; ++i)
        listener->frame(0.25f);
    EXPECT_EQ(0.0f, listener->mSpeedFactor);
    before = cameraPosition();
    listener->frame(0.25f);
    EXPECT_TRUE(before.positionEquals(cameraPosition()));
}

TEST_F(ShellFrameListenerTest, MouseTurnsTheCameraByPointThirteenDegreesPerUnit)
{
    Ogre::SceneNode* node = shell.camera()->getParentSceneNode();
    const Ogre::Quaternion start = node->getOrientation();
    listener->mouse.move(10, -5);
    listener->frame(0.1f);

    Ogre::Quaternion expected = Ogre::Quaternion(Ogre::Degree(-1.3f), Ogre::Vector3::UNIT_Y) * start;
    expected = expected * Ogre::Quaternion(Ogre::Degree(0.65f), Ogre::Vector3::UNIT_X);
    // Within a tenth of a degree: the comparison goes through a float arc cosine.
    EXPECT_TRUE(node->getOrientation().equals(expected, Ogre::Degree(0.1f)));
}

TEST_F(ShellFrameListenerTest, CameraLeftAloneKeepsItsOrientationToTheBit)
{
    // Turned off the axes first: the straight start would come out of any rounding unchanged.
    Ogre::SceneNode* node = shell.camera()->getParentSceneNode();
    listener->mouse.move(10, -5);
    listener->frame(0.1f);
    listener->mouse.move(0, 0);
    const Ogre::Quaternion turned = node->getOrientation();

    for (int i = 0; i < 50; ++i)
        listener->frame(0.1f);
    EXPECT_EQ(turned, node->getOrientation());
}

TEST_F(ShellFrameListenerTest, HeldToggleKeyActsAtMostOncePerSecond)
{
    ASSERT_NE(nullptr, listener->mStatisticsOverlay);
    listener->keyboard.press(OIS::KC_F);
    std::string seen;
    for (int frame = 0; frame < 10; ++frame) {
        listener->frame(0.25f);
        seen += listener->mStatisticsOverlay->isVisible() ? 'v' : '-';
    }
    EXPECT_EQ("----vvvv--", seen);
    EXPECT_FALSE(listener->mShowStatistics);
}

// The keys that act on press: F11 once per press, however long it is held; the others again while
// held once their delay (a second, or half of one) has passed, and not before it even when pressed anew.
TEST_F(ShellFrameListenerTest, KeysActOnPressThenWaitForANewPressOrTheirDelay)
{
    char pattern[] = "/tmp/barrels-shots-XXXXXX";
    const fs::path dir = mkdtemp(pattern);
    const fs::path previous = fs::current_path();
    fs::current_path(dir);

    // Down for six polls of an eighth of a second, up for one, down for six more: an x marks a poll
    // that acted.
    const float step = 0.125f;
    const bool down[] = {true, true, true, true, true, true, false, true, true, true, true, true, true};
    FullScreenRecorder recorder(shell.window());
    const auto text = [](auto value) { return std::to_string(static_cast<int>(value)); };
    const struct
    {
        OIS::KeyCode key;
        std::function<std::string()> state;
        const char* acted;
    } keys[] = {
        {OIS::KC_F11, [&] { return text(recorder.isFullScreen()); }, "x......x....."},
        {OIS::KC_F, [&] { return text(listener->mStatisticsOverlay->isVisible()); }, "x.......x...."},
        {OIS::KC_T, [&] { return text(listener->mFilterMode); }, "x.......x...."},
        {OIS::KC_SYSRQ, [&] { return text(listener->mScreenshotCount); }, "x...x...x...x"},
        {OIS::KC_R, [&] { return text(shell.camera()->getPolygonMode()); }, "x...x...x...x"},
        {OIS::KC_P, [&] { return text(ListenerHarness::sShowCameraDetails); }, "x...x...x...x"},
    };
    for (const auto& key : keys) {
        listener->mRenderWindow = key.key == OIS::KC_F11 ? &recorder : shell.window();
        std::string acted;
        for (bool held : down) {
            if (held)
                listener->keyboard.press(key.key);
            else
                listener->keyboard.release(key.key);
            const std::string before = key.state();
            listener->frame(step);
            acted += key.state() == before ? '.' : 'x';
        }
        EXPECT_EQ(key.acted, acted) << key.key;
        // Up long enough for any delay to have passed before the next key.
        listener->keyboard.release(key.key);
        listener->frame(1);
    }
    // Back from full screen to the window's own size.
    EXPECT_FALSE(recorder.isFullScreen());
    EXPECT_EQ(800u, recorder.getWidth());
    EXPECT_EQ(600u, recorder.getHeight());
    EXPECT_FALSE(ListenerHarness::sShowCameraDetails);

    fs::current_path(previous);
    fs::remove_all(dir);
}

TEST_F(ShellFrameListenerTest, KeysCyclePolygonModeAndTextureFiltering)
{
    struct Step
    {
        OIS::KeyCode key;
        float frameTime;
    };
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    const Ogre::PolygonMode modes[] = {Ogre::PM_WIREFRAME, Ogre::PM_POINTS, Ogre::PM_SOLID};
    for (Ogre::PolygonMode mode : modes) {
        listener->keyboard.press(OIS::KC_R);
        listener->frame(0.5f);
        listener->keyboard.release(OIS::KC_R);
        EXPECT_EQ(mode, shell.camera()->getPolygonMode());
    }
    const std::pair<Ogre::FilterOptions, unsigned> filters[] = {
        {Ogre::FO_LINEAR, 1}, {Ogre::FO_ANISOTROPIC, 8}, {Ogre::FO_LINEAR, 1}};
    const Ogre::FilterOptions mipFilters[] = {Ogre::FO_LINEAR, Ogre::FO_LINEAR, Ogre::FO_POINT};
    for (int i = 0; i < 3; ++i) {
        listener->keyboard.press(OIS::KC_T);
        listener->frame(1.0f);
        listener->keyboard.release(OIS::KC_T);
        EXPECT_EQ(filters[i].first, materials.getDefaultTextureFiltering(Ogre::FT_MIN)) << i;
        EXPECT_EQ(mipFilters[i], materials.getDefaultTextureFiltering(Ogre::FT_MIP)) << i;
        EXPECT_EQ(filters[i].second, materials.getDefaultAnisotropy()) << i;
    }
}

TEST_F(ShellFrameListenerTest, ScreenshotsAreNumberedFromOne)
{
    char pattern[] = "/tmp/barrels-shots-XXXXXX";
    const fs::path dir = mkdtemp(pattern);
    const fs::path previous = fs::current_path();
    fs::current_path(dir);

    for (int shot = 1; shot <= 2; ++shot) {
        listener->keyboard.press(OIS::KC_SYSRQ);
        listener->frame(0.25f);
        listener->keyboard.release(OIS::KC_SYSRQ);
        listener->frame(0.25f);
        const std::string name = "screenshot_" + std::to_string(shot) + ".png";
        EXPECT_TRUE(fs::exists(dir / name)) << name;
        EXPECT_EQ("Saved: " + name, listener->mStatusText);
    }

    fs::current_path(previous);
    fs::remove_all(dir);
}

TEST_F(ShellFrameListenerTest, EscapeOrQEndsTheProgram)
{
    for (OIS::KeyCode key : {OIS::KC_ESCAPE, OIS::KC_Q}) {
        listener->keyboard.press(key);
        EXPECT_FALSE(listener->frame(0.1f));
        listener->keyboard.release(key);
        EXPECT_TRUE(listener->frame(0.1f));
    }
}

TEST_F(ShellFrameListenerTest, ResizedWindowKeepsThePictureUndistortedAndTheMouseInside)
{
    const struct
    {
        unsigned int width, height;
    } sizes[] = {{1000, 500}, {400, 600}, {800, 600}};
    for (const auto& size : sizes) {
        shell.window()->resize(size.width, size.height);
        listener->windowResized(shell.window());
        EXPECT_FLOAT_EQ(float(size.width) / size.height, shell.camera()->getAspectRatio()) << size.width;
        listener->useRealDevices();
        const OIS::MouseState& mouse = listener->mMouseDevice->getMouseState();
        EXPECT_EQ(int(size.width), mouse.width);
        EXPECT_EQ(int(size.height), mouse.height);
        listener->useScriptedDevices();
    }
}

TEST_F(ShellFrameListenerTest, ClosedWindowStopsBeforeAnyDeviceIsRead)
{
    listener->useRealDevices();
    listener->windowClosed(shell.window());
    EXPECT_EQ(nullptr, listener->mInputSystem);
    listener->windowClosed(shell.window()); // a second close, as the destructor makes, does nothing
    listener->useScriptedDevices();

    shell.window()->destroy();
    EXPECT_FALSE(listener->frame(0.1f));
    EXPECT_EQ(0, listener->keyboard.mCaptures);
    EXPECT_EQ(0, listener->mouse.mCaptures);
}

TEST_F(ShellFrameListenerTest, FramesDrawnSlowlyWhileIdleAreLeftOutOfTheFrameRates)
{
    Ogre::RenderWindow* window = shell.window();
    const Ogre::OverlayElement* worst = Ogre::OverlayManager::getSingleton().getOverlayElement("Core/WorstFps");
    const Ogre::FrameEvent event{};
    // Frames until the engine has measured a whole second of them.
    const auto drawUntilMeasured = [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        do {
            window->update(false);
            listener->frameEnded(event);
        } while (window->getStatistics().bestFPS == 0 && std::chrono::steady_clock::now() < deadline);
    };
    drawUntilMeasured();
    const std::string before = worst->getCaption().asUTF8();
    ASSERT_NE(std::string::npos, before.find("Worst FPS: "));

    const unsigned long idleFrameMs = 600;
    listener->idle = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(idleFrameMs));
    window->update(false);
    listener->frameEnded(event);
    EXPECT_GE(window->getStatistics().worstFrameTime, idleFrameMs);
    EXPECT_EQ(before, worst->getCaption().asUTF8());

    // Back at full rate: measured afresh, without the idle frame, and shown once a second is measured.
    listener->idle = false;
    window->update(false);
    listener->frameEnded(event);
    EXPECT_LT(window->getStatistics().worstFrameTime, idleFrameMs);
    EXPECT_EQ(before, worst->getCaption().asUTF8());
    drawUntilMeasured();
    EXPECT_LT(window->getStatistics().worstFrameTime, idleFrameMs);
    const Ogre::RenderTarget::FrameStats& stats = window->getStatistics();
    EXPECT_EQ("Worst FPS: " + Ogre::StringConverter::toString(stats.worstFPS) + " " +
                  Ogre::StringConverter::toString(stats.worstFrameTime) + " ms",
              worst->getCaption().asUTF8());
}

TEST_F(ShellFrameListenerTest, InputReadAheadOfAFrameIsNotReadAgainInIt)
{
    Ogre::SceneNode* node = shell.camera()->getParentSceneNode();
    const Ogre::Quaternion start = node->getOrientation();
    listener->mouse.move(10, 0);
    listener->readInputAhead();
    // Turned before the frame is drawn, so the frame shows it.
    EXPECT_FALSE(node->getOrientation().equals(start, Ogre::Degree(0.5f)));
    const Ogre::Quaternion turned = node->getOrientation();
    EXPECT_EQ(1, listener->mouse.mCaptures);

    listener->keyboard.press(OIS::KC_ESCAPE);
    EXPECT_TRUE(listener->frame(0.1f));
    EXPECT_EQ(1, listener->mouse.mCaptures);
    EXPECT_TRUE(node->getOrientation().equals(turned, Ogre::Degree(0.1f)));

    // Without a read ahead, the frame reads for itself; a stop asked for ahead ends that frame.
    EXPECT_FALSE(listener->frame(0.1f));
    EXPECT_EQ(2, listener->mouse.mCaptures);
    listener->readInputAhead();
    EXPECT_FALSE(listener->frame(0.1f));
    EXPECT_EQ(3, listener->mouse.mCaptures);
}
