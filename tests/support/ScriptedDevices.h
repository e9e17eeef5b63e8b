// Keyboard and mouse that tests script: they implement the input library's own device interfaces.
#pragma once

#include <OIS.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

class ScriptedKeyboard : public OIS::Keyboard
{
public:
    ScriptedKeyboard() : OIS::Keyboard("scripted", false, 0, nullptr) {}

    void press(OIS::KeyCode key) { mDown.insert(key); }
    void release(OIS::KeyCode key) { mDown.erase(key); }
    void releaseAll() { mDown.clear(); }

    bool isKeyDown(OIS::KeyCode key) const override { return mDown.count(key) != 0; }
    const std::string& getAsString(OIS::KeyCode) override { return mName; }
    void copyKeyStates(char keys[256]) const override
    {
        for (int i = 0; i < 256; ++i)
            keys[i] = isKeyDown(static_cast<OIS::KeyCode>(i)) ? 1 : 0;
    }
    // Events the next capture hands to the listener, in order, as the input library's buffered
    // keyboard hands on what the X server sent since the last capture.
    void queue(OIS::KeyCode key, bool down) { mQueued.emplace_back(key, down); }
    // Press and release back to back, as `xdotool key` sends them.
    void tap(OIS::KeyCode key)
    {
        queue(key, true);
        queue(key, false);
    }

    void setBuffered(bool buffered) override { mBuffered = buffered; }
    void capture() override
    {
        ++mCaptures;
        const std::vector<std::pair<OIS::KeyCode, bool>> events = std::exchange(mQueued, {});
        for (const auto& [key, down] : events) {
            if (down)
                press(key);
            else
                release(key);
            if (!mListener)
                continue;
            const OIS::KeyEvent event(this, key, 0);
            if (down)
                mListener->keyPressed(event);
            else
                mListener->keyReleased(event);
        }
    }
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

    int mCaptures = 0;

private:
    std::vector<std::pair<OIS::KeyCode, bool>> mQueued;
    std::set<OIS::KeyCode> mDown;
    std::string mName = "key";
};

class ScriptedMouse : public OIS::Mouse
{
public:
    ScriptedMouse() : OIS::Mouse("scripted", false, 0, nullptr) {}

    // Relative motion seen by the next polls, until changed.
    void move(int dx, int dy)
    {
        mState.X.rel = dx;
        mState.Y.rel = dy;
    }
    // The pointer put at a place over the window: its absolute position, reached by one relative step.
    void moveTo(int x, int y)
    {
        move(x - mState.X.abs, y - mState.Y.abs);
        mState.X.abs = x;
        mState.Y.abs = y;
    }
    void setButton(OIS::MouseButtonID button, bool down)
    {
        if (down)
            mState.buttons |= 1 << button;
        else
            mState.buttons &= ~(1 << button);
    }

    void setBuffered(bool buffered) override { mBuffered = buffered; }
    void capture() override { ++mCaptures; }
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

    int mCaptures = 0;
};
