// The keyboard as the frame loop polls it: the input library's buffered keyboard underneath, read
// through its events, so a tap shorter than a frame still shows as one press and one release, and
// the desktop's key auto-repeat adds nothing.
#pragma once

#include "InputLatch.h"

#include <OIS.h>

class LatchedKeyboard : public OIS::Keyboard, public OIS::KeyListener
{
public:
    // `events` is a buffered keyboard; it stays its maker's to destroy.
    explicit LatchedKeyboard(OIS::Keyboard* events);
    ~LatchedKeyboard() override;

    // Starts a poll: what it sees stays as it is until the next capture.
    void capture() override;
    // Takes the waiting events without starting a poll; true if any came.
    bool pump();
    // Keys held as far as polls have seen count as released (the focus changed).
    void forget();

    bool isKeyDown(OIS::KeyCode key) const override;
    void copyKeyStates(char keys[256]) const override;
    const std::string& getAsString(OIS::KeyCode key) override;

    void setBuffered(bool) override {}
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;

private:
    OIS::Keyboard* mEvents;
    InputLatch<256> mKeys;
    bool mEventCame;
};
