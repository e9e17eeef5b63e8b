#include "LatchedKeyboard.h"

LatchedKeyboard::LatchedKeyboard(OIS::Keyboard* events)
    : OIS::Keyboard(events->vendor(), false, events->getID(), nullptr), mEvents(events), mEventCame(false)
{
    mEvents->setEventCallback(this);
}

LatchedKeyboard::~LatchedKeyboard()
{
    mEvents->setEventCallback(nullptr);
}

void LatchedKeyboard::capture()
{
    mKeys.beginPoll();
    pump();
    mKeys.endPoll();
}

bool LatchedKeyboard::pump()
{
    mEventCame = false;
    mEvents->capture();
    return mEventCame;
}

void LatchedKeyboard::forget()
{
    mKeys.forget();
}

bool LatchedKeyboard::isKeyDown(OIS::KeyCode key) const
{
    return mKeys.down(key);
}

void LatchedKeyboard::copyKeyStates(char keys[256]) const
{
    for (int key = 0; key < 256; ++key)
        keys[key] = mKeys.down(key) ? 1 : 0;
}

const std::string& LatchedKeyboard::getAsString(OIS::KeyCode key)
{
    return mEvents->getAsString(key);
}

bool LatchedKeyboard::keyPressed(const OIS::KeyEvent& event)
{
    mKeys.press(event.key);
    mEventCame = true;
    return true;
}

bool LatchedKeyboard::keyReleased(const OIS::KeyEvent& event)
{
    mKeys.release(event.key);
    mEventCame = true;
    return true;
}
