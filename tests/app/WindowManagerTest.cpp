// The window manager's side of the conversation, on a window of our own on the test display: pings
// answered to the root window, close requests reported, and the window's class, process and machine.
#include "WindowClose.h"
#include "WindowIdentity.h"

// Before Xlib, whose macros (None, Bool) would rename names in GoogleTest's headers.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// Two connections: the game's, which made the window, and the window manager's, which watches the
// root window for answers.
class WindowManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mGame = XOpenDisplay(nullptr);
        mManager = XOpenDisplay(nullptr);
        ASSERT_TRUE(mGame && mManager) << "no X display";
        mRoot = DefaultRootWindow(mManager);
        mWindow = XCreateSimpleWindow(mGame, DefaultRootWindow(mGame), 0, 0, 16, 16, 0, 0, 0);
        XSelectInput(mManager, mRoot, SubstructureNotifyMask);
        XSync(mManager, False);
        acceptWindowManagerMessages(mGame, mWindow);
    }

    void TearDown() override
    {
        if (mGame)
            XCloseDisplay(mGame);
        if (mManager)
            XCloseDisplay(mManager);
    }

    Atom atom(const char* name) const { return XInternAtom(mManager, name, False); }

    // Sends the protocol message as a window manager does, the stamp in its second field.
    void send(const char* protocol, long stamp)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = mWindow;
        event.xclient.message_type = atom("WM_PROTOCOLS");
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(atom(protocol));
        event.xclient.data.l[1] = stamp;
        event.xclient.data.l[2] = static_cast<long>(mWindow);
        XSendEvent(mManager, mWindow, False, NoEventMask, &event);
        XSync(mManager, False);
    }

    // Runs the game's side once everything sent has reached it.
    bool take()
    {
        XSync(mGame, False);
        const bool closeRequested = takeCloseRequest(mGame, mWindow);
        XSync(mGame, False);
        return closeRequested;
    }

    // The stamps of the answers that reached the root window, in order.
    std::vector<long> answers()
    {
        XSync(mManager, False);
        std::vector<long> stamps;
        XEvent event;
        while (XCheckTypedWindowEvent(mManager, mRoot, ClientMessage, &event)) {
            EXPECT_EQ(event.xclient.message_type, atom("WM_PROTOCOLS"));
            EXPECT_EQ(static_cast<Atom>(event.xclient.data.l[0]), atom("_NET_WM_PING"));
            EXPECT_EQ(static_cast<Window>(event.xclient.data.l[2]), mWindow);
            stamps.push_back(event.xclient.data.l[1]);
        }
        return stamps;
    }

    Display* mGame = nullptr;
    Display* mManager = nullptr;
    Window mRoot = 0;
    Window mWindow = 0;
};

TEST_F(WindowManagerTest, ProtocolsListCloseAndPing)
{
    Atom* protocols = nullptr;
    int count = 0;
    ASSERT_TRUE(XGetWMProtocols(mManager, mWindow, &protocols, &count));
    const std::vector<Atom> listed(protocols, protocols + count);
    XFree(protocols);
    EXPECT_EQ(listed, (std::vector<Atom>{atom("WM_DELETE_WINDOW"), atom("_NET_WM_PING")}));
}

TEST_F(WindowManagerTest, PingsAreAnsweredAndCloseRequestsReported)
{
    struct Case
    {
        const char* what;
        std::vector<const char*> sent;
        bool closeRequested;
        std::vector<long> answered; // stamps: the position in `sent`, from 1
    };
    const Case cases[] = {
        {"a ping", {"_NET_WM_PING"}, false, {1}},
        {"a close request", {"WM_DELETE_WINDOW"}, true, {}},
        {"pings around a close request", {"_NET_WM_PING", "WM_DELETE_WINDOW", "_NET_WM_PING"}, true, {1, 3}},
        {"a protocol the window does not take", {"WM_TAKE_FOCUS"}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        long stamp = 0;
        for (const char* protocol : c.sent)
            send(protocol, ++stamp);
        EXPECT_EQ(take(), c.closeRequested);
        EXPECT_EQ(answers(), c.answered);
        // Everything was taken: nothing is left for the next frame.
        EXPECT_FALSE(take());
        EXPECT_TRUE(answers().empty());
    }
}

TEST_F(WindowManagerTest, TheWindowNamesItsClassProcessAndMachine)
{
    identifyWindow(mGame, mWindow);
    XSync(mGame, False);

    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(mManager, mWindow, &hint));
    EXPECT_STREQ(hint.res_name, "barrels");
    EXPECT_STREQ(hint.res_class, kWindowClass);
    XFree(hint.res_name);
    XFree(hint.res_class);

    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(mManager, mWindow, atom("_NET_WM_PID"), 0, 1, False, XA_CARDINAL, &type, &format,
                                 &items, &after, &data),
              Success);
    ASSERT_EQ(items, 1u);
    EXPECT_EQ(*reinterpret_cast<unsigned long*>(data), static_cast<unsigned long>(getpid()));
    XFree(data);

    XTextProperty machine{};
    ASSERT_TRUE(XGetWMClientMachine(mManager, mWindow, &machine));
    char host[HOST_NAME_MAX + 1] = {};
    gethostname(host, sizeof host - 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(machine.value), machine.nitems), host);
    XFree(machine.value);
}

} // namespace
