// Game controllers through SDL, played by SDL's own virtual ones: which pad is active, what its
// buttons, sticks and trigger read at each poll, and what the log says of them.
#include "Gamepads.h"
#include "VirtualPad.h"

#include <OgreLog.h>
#include <OgreLogManager.h>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const BUTTON_NAMES[Gamepads::BUTTON_COUNT] = {
    "A", "B", "X", "Y", "BACK", "START", "DPAD_UP", "DPAD_DOWN", "DPAD_LEFT", "DPAD_RIGHT", "RIGHT_TRIGGER"};

// The buttons down at this poll, by name.
std::string held(const Gamepads& pads)
{
    std::string names;
    for (int button = 0; button < Gamepads::BUTTON_COUNT; ++button) {
        if (pads.down(Gamepads::Button(button)))
            names += (names.empty() ? "" : " ") + std::string(BUTTON_NAMES[button]);
    }
    return names;
}

bool sticksCentred(const Gamepads& pads)
{
    for (int axis = 0; axis < Gamepads::AXIS_COUNT; ++axis) {
        if (pads.axis(Gamepads::Axis(axis)) != 0.0f)
            return false;
    }
    return true;
}

class GamepadLog : public Ogre::LogListener
{
public:
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&, bool&) override
    {
        if (message.rfind("Gamepads: ", 0) == 0)
            lines.push_back(message);
    }

    std::vector<std::string> lines;
};

// The engine's log, from the shell tests' engine when one ran before, or one of our own.
class GamepadsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (VirtualPad::realPadsPresent())
            GTEST_SKIP() << "a game controller of the machine's own is connected";
        if (!Ogre::LogManager::getSingletonPtr()) {
            mOwnLogs = std::make_unique<Ogre::LogManager>();
            mOwnLogs->createLog("GamepadsTest.log", true, false, true);
        }
        mEngineLog = Ogre::LogManager::getSingleton().getDefaultLog();
        ASSERT_NE(nullptr, mEngineLog);
        mEngineLog->addListener(&log);
    }

    void TearDown() override
    {
        if (mEngineLog)
            mEngineLog->removeListener(&log);
        mOwnLogs.reset();
    }

    GamepadLog log;

private:
    std::unique_ptr<Ogre::LogManager> mOwnLogs;
    Ogre::Log* mEngineLog = nullptr;
};

} // namespace

TEST_F(GamepadsTest, WithoutPadsNothingIsUsedAndTheLogSaysSoOnce)
{
    Gamepads pads;
    ASSERT_TRUE(pads.ready());
    EXPECT_EQ(0, pads.connected());
    pads.rumble(1.0f, 100);
    EXPECT_FALSE(pads.poll());
    EXPECT_FALSE(pads.poll());
    EXPECT_EQ("", held(pads));
    EXPECT_TRUE(sticksCentred(pads));
    EXPECT_FALSE(pads.activeRemoved());
    EXPECT_EQ(std::vector<std::string>{"Gamepads: none connected"}, log.lines);
}

TEST_F(GamepadsTest, PadsAreNamedInOneLineAtStartThenInOneLineEachAsTheyComeAndGo)
{
    VirtualPad first("First pad");
    VirtualPad second("Second pad");
    Gamepads pads;
    EXPECT_EQ(2, pads.connected());
    // SDL announces the pads that were there at start once more: they are open already.
    pads.poll();
    pads.poll();
    EXPECT_EQ(2, pads.connected());

    VirtualPad late("Late pad");
    pads.poll();
    EXPECT_EQ(3, pads.connected());
    late.press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(pads.poll());
    EXPECT_EQ("A", held(pads));

    first.unplug();
    pads.poll();
    EXPECT_EQ(2, pads.connected());
    EXPECT_EQ("A", held(pads));
    EXPECT_FALSE(pads.activeRemoved());

    const std::vector<std::string> expected = {"Gamepads: 2 connected: First pad, Second pad",
                                               "Gamepads: connected Late pad", "Gamepads: disconnected First pad"};
    EXPECT_EQ(expected, log.lines);
}

TEST_F(GamepadsTest, ButtonsAndSticksReachTheirOwn)
{
    VirtualPad pad;
    Gamepads pads;
    pads.poll();

    const struct
    {
        SDL_GameControllerButton sdl;
        const char* ours;
    } buttons[] = {
        {SDL_CONTROLLER_BUTTON_A, "A"},
        {SDL_CONTROLLER_BUTTON_B, "B"},
        {SDL_CONTROLLER_BUTTON_X, "X"},
        {SDL_CONTROLLER_BUTTON_Y, "Y"},
        {SDL_CONTROLLER_BUTTON_BACK, "BACK"},
        {SDL_CONTROLLER_BUTTON_START, "START"},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "DPAD_UP"},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, "DPAD_DOWN"},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, "DPAD_LEFT"},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "DPAD_RIGHT"},
        // Used, but none of ours. (Not the guide button: SDL holds its release back for a quarter
        // of a second after its press.)
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, ""},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, ""},
    };
    for (const auto& b : buttons) {
        const std::string name = SDL_GameControllerGetStringForButton(b.sdl);
        pad.press(b.sdl);
        EXPECT_TRUE(pads.poll()) << name;
        EXPECT_EQ(b.ours, held(pads)) << name;
        pad.release(b.sdl);
        EXPECT_TRUE(pads.poll()) << name;
        EXPECT_EQ("", held(pads)) << name;
    }

    const struct
    {
        SDL_GameControllerAxis sdl;
        Gamepads::Axis ours;
    } sticks[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, Gamepads::LEFT_X},
        {SDL_CONTROLLER_AXIS_LEFTY, Gamepads::LEFT_Y},
        {SDL_CONTROLLER_AXIS_RIGHTX, Gamepads::RIGHT_X},
        {SDL_CONTROLLER_AXIS_RIGHTY, Gamepads::RIGHT_Y},
    };
    for (const auto& s : sticks) {
        const std::string name = SDL_GameControllerGetStringForAxis(s.sdl);
        // Full travel each way reads exactly 1, however SDL's range is lopsided; no dead zone.
        for (float value : {0.5f, -1.0f, 1.0f, 0.05f}) {
            pad.move(s.sdl, value);
            pads.poll();
            const float tolerance = std::abs(value) == 1.0f ? 0.0f : 1e-4f;
            for (const auto& other : sticks) {
                EXPECT_NEAR(other.ours == s.ours ? value : 0.0f, pads.axis(other.ours), tolerance)
                    << name << " at " << value;
            }
        }
        pad.move(s.sdl, 0.0f);
        pads.poll();
    }
    // The left trigger is none of ours either.
    pad.move(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1.0f);
    pads.poll();
    EXPECT_EQ("", held(pads));
    EXPECT_TRUE(sticksCentred(pads));

    // Nor is anything left in SDL's queue, which drops what comes once it is full.
    EXPECT_EQ(0, SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT));
}

TEST_F(GamepadsTest, EveryPressIsSeenByOnePollAtLeastAndCountsOnce)
{
    const struct
    {
        const char* what;
        // p press, r release (both waiting for SDL's next update), u SDL's update now, | a poll.
        const char* script;
        // What each poll saw of the button: D down, . up.
        const char* seen;
    } cases[] = {
        {"held over three polls", "p|||r||", "DDD.."},
        {"tap between two polls", "pur||", "D."},
        {"two taps between two polls", "purupur||", "D."},
        {"held, let go and pressed again between two polls", "p|rup|r|", "DD."},
        // SDL's virtual pads know only their state at each update: such a tap never happened.
        {"press and release with no update between", "pr||", ".."},
    };
    for (const auto& c : cases) {
        VirtualPad pad;
        Gamepads pads;
        pads.poll();
        std::string seen;
        for (const char* step = c.script; *step; ++step) {
            switch (*step) {
            case 'p':
                pad.press(SDL_CONTROLLER_BUTTON_A);
                break;
            case 'r':
                pad.release(SDL_CONTROLLER_BUTTON_A);
                break;
            case 'u':
                VirtualPad::update();
                break;
            case '|':
                pads.poll();
                seen += pads.down(Gamepads::A) ? 'D' : '.';
                break;
            }
        }
        EXPECT_EQ(c.seen, seen) << c.what << ": " << c.script;
    }
}

TEST_F(GamepadsTest, TheRightTriggerIsAButtonWithHysteresis)
{
    VirtualPad pad;
    Gamepads pads;
    pads.poll();
    const struct
    {
        float trigger;
        bool down;
    } steps[] = {{0.4f, false},  {0.6f, true},  {0.3f, true},  {0.2f, false},
                 {0.49f, false}, {0.51f, true}, {0.26f, true}, {0.24f, false}};
    for (const auto& step : steps) {
        pad.move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, step.trigger);
        pads.poll();
        EXPECT_EQ(step.down, pads.down(Gamepads::RIGHT_TRIGGER)) << "at " << step.trigger;
        EXPECT_EQ(step.down ? "RIGHT_TRIGGER" : "", held(pads)) << "at " << step.trigger;
    }

    // Pulled and let go between two polls: latched like any button.
    pad.move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.9f);
    VirtualPad::update();
    pad.move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.0f);
    pads.poll();
    EXPECT_TRUE(pads.down(Gamepads::RIGHT_TRIGGER));
    pads.poll();
    EXPECT_FALSE(pads.down(Gamepads::RIGHT_TRIGGER));
}

TEST_F(GamepadsTest, TheLastPadUsedIsActiveAndWhatThePreviousOneHeldIsDropped)
{
    VirtualPad first("First pad");
    VirtualPad second("Second pad");
    Gamepads pads;
    pads.poll();

    first.press(SDL_CONTROLLER_BUTTON_A);
    first.move(SDL_CONTROLLER_AXIS_LEFTX, 0.8f);
    pads.poll();
    EXPECT_EQ("A", held(pads));
    EXPECT_NEAR(0.8f, pads.axis(Gamepads::LEFT_X), 1e-4f);

    second.press(SDL_CONTROLLER_BUTTON_A);
    pads.poll();
    EXPECT_EQ("A", held(pads));
    EXPECT_TRUE(sticksCentred(pads));

    // The first pad's button coming up is a use, but of the other pad: the second's stays down.
    first.release(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(pads.poll());
    EXPECT_EQ("A", held(pads));
    second.press(SDL_CONTROLLER_BUTTON_B);
    pads.poll();
    EXPECT_EQ("A B", held(pads));

    // Drift takes nothing over.
    first.move(SDL_CONTROLLER_AXIS_LEFTX, 0.2f);
    EXPECT_FALSE(pads.poll());
    EXPECT_EQ("A B", held(pads));
    EXPECT_TRUE(sticksCentred(pads));

    // A stick pushed on purpose does, with the stick it left alone meanwhile.
    first.move(SDL_CONTROLLER_AXIS_RIGHTY, -0.3f);
    EXPECT_TRUE(pads.poll());
    EXPECT_EQ("", held(pads));
    EXPECT_NEAR(-0.3f, pads.axis(Gamepads::RIGHT_Y), 1e-4f);
    EXPECT_NEAR(0.2f, pads.axis(Gamepads::LEFT_X), 1e-4f);
    second.release(SDL_CONTROLLER_BUTTON_A);
    second.release(SDL_CONTROLLER_BUTTON_B);
    pads.poll();
    EXPECT_EQ("", held(pads));

    // So does a trigger; the one let go on the other pad is not the active one's.
    first.move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    pads.poll();
    EXPECT_EQ("RIGHT_TRIGGER", held(pads));
    second.move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    pads.poll();
    EXPECT_EQ("RIGHT_TRIGGER", held(pads));
    EXPECT_TRUE(sticksCentred(pads));
    first.move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.0f);
    pads.poll();
    EXPECT_EQ("RIGHT_TRIGGER", held(pads));

    // A pull that was on when another pad took over stays dropped, as a button would.
    first.press(SDL_CONTROLLER_BUTTON_X);
    pads.poll();
    EXPECT_EQ("X", held(pads));
    second.press(SDL_CONTROLLER_BUTTON_Y);
    pads.poll();
    EXPECT_EQ("Y", held(pads));
}

TEST_F(GamepadsTest, RemovingTheActivePadIsSaidOnceAndLeavesNothingHeld)
{
    VirtualPad kept("Kept pad");
    VirtualPad active("Active pad");
    VirtualPad idle("Idle pad");
    Gamepads pads;
    pads.poll();
    kept.move(SDL_CONTROLLER_AXIS_LEFTX, 0.1f);
    active.press(SDL_CONTROLLER_BUTTON_A);
    active.move(SDL_CONTROLLER_AXIS_LEFTX, 1.0f);
    pads.poll();
    ASSERT_EQ("A", held(pads));

    // Pressed and pulled out before a poll saw the press.
    active.press(SDL_CONTROLLER_BUTTON_X);
    VirtualPad::update();
    active.unplug();
    pads.poll();
    EXPECT_TRUE(pads.activeRemoved());
    EXPECT_EQ(2, pads.connected());
    EXPECT_EQ("", held(pads));
    EXPECT_TRUE(sticksCentred(pads));
    pads.poll();
    EXPECT_FALSE(pads.activeRemoved());
    EXPECT_EQ("", held(pads));
    EXPECT_TRUE(sticksCentred(pads));

    kept.press(SDL_CONTROLLER_BUTTON_B);
    pads.poll();
    EXPECT_EQ("B", held(pads));
    EXPECT_NEAR(0.1f, pads.axis(Gamepads::LEFT_X), 1e-4f);
    idle.unplug();
    pads.poll();
    EXPECT_EQ(1, pads.connected());
    EXPECT_FALSE(pads.activeRemoved());
    EXPECT_EQ("B", held(pads));
}

TEST_F(GamepadsTest, RumbleGoesToTheActivePadScaledAndNowhereWithoutOne)
{
    VirtualPad silent("Silent pad", VirtualPad::WITHOUT_RUMBLE);
    VirtualPad shaker("Shaking pad");
    Gamepads pads;
    pads.poll();
    pads.rumble(1.0f, 1000);
    EXPECT_EQ(0, shaker.rumbles);

    shaker.press(SDL_CONTROLLER_BUTTON_A);
    pads.poll();
    const struct
    {
        float strength;
        Uint16 motors;
    } strengths[] = {{0.5f, 0x8000}, {1.0f, 0xFFFF}, {0.25f, 0x4000}, {2.0f, 0xFFFF},
                     {-1.0f, 0},     {0.5f, 0x8000}, {NAN, 0}};
    for (const auto& s : strengths) {
        const int before = shaker.rumbles;
        pads.rumble(s.strength, 1000);
        EXPECT_EQ(before + 1, shaker.rumbles) << s.strength;
        EXPECT_EQ(s.motors, shaker.lowRumble) << s.strength;
        EXPECT_EQ(s.motors, shaker.highRumble) << s.strength;
    }

    silent.press(SDL_CONTROLLER_BUTTON_A);
    pads.poll();
    const int before = shaker.rumbles;
    pads.rumble(1.0f, 1000);
    pads.rumble(0.5f, 1000);
    EXPECT_EQ(before, shaker.rumbles);
    const std::vector<std::string> expected = {"Gamepads: 2 connected: Silent pad, Shaking pad",
                                               "Gamepads: Silent pad has no rumble"};
    EXPECT_EQ(expected, log.lines);
}

TEST_F(GamepadsTest, LeavesTheQuitSignalsToTheGame)
{
    // Whatever an earlier test asked of SDL, the pads must ask for it themselves.
    SDL_ResetHint(SDL_HINT_NO_SIGNAL_HANDLERS);
    const int signals[] = {SIGTERM, SIGINT};
    const auto dispositions = [&signals]() {
        std::vector<std::pair<void*, int>> handlers;
        for (int signal : signals) {
            struct sigaction action = {};
            sigaction(signal, nullptr, &action);
            handlers.emplace_back(reinterpret_cast<void*>(action.sa_handler), action.sa_flags);
        }
        return handlers;
    };
    const auto before = dispositions();
    {
        Gamepads pads;
        ASSERT_TRUE(pads.ready());
        pads.poll();
        EXPECT_EQ(before, dispositions()) << "while the pads are open";
    }
    EXPECT_EQ(before, dispositions()) << "after";
}

TEST_F(GamepadsTest, StopsOnlyWhatItStarted)
{
    VirtualPad pad;
    {
        Gamepads pads;
        EXPECT_EQ(1, pads.connected());
    }
    EXPECT_EQ(0u, SDL_WasInit(SDL_INIT_GAMECONTROLLER));
    // The joysticks the virtual pad started are still up, and the pad with them.
    Gamepads again;
    EXPECT_EQ(1, again.connected());
}
