// The settings panel: the GUI library's own widgets, a row for each setting, used with the mouse
// directly or with the keyboard and pads through its focus. Every change the player makes is
// passed on at once; the panel keeps no settings of its own beyond what its widgets show.
#pragma once

#include "FocusList.h"
#include "Settings.h"

#include <CEGUI/String.h>

#include <functional>
#include <vector>

namespace CEGUI {
class EventArgs;
class Window;
}

class SettingsPanel
{
public:
    using Changed = std::function<void(const Settings&)>;
    using Closing = std::function<void()>;

    // Built hidden in `parent`, its texts in `font`. `changed` hears every change, `closing` the
    // player asking to leave (Back); closing is the owner's to do, through close().
    SettingsPanel(CEGUI::Window* parent, const CEGUI::String& font, Changed changed, Closing closing);

    void open(const Settings& settings);
    void close();
    bool isOpen() const;

    FocusList& focus() { return mFocus; }
    CEGUI::Window* window() const { return mPanel; }
    // The control of a row (MenuLayout's SettingsRow), for tests.
    CEGUI::Window* control(int row) const;

private:
    void show(const Settings& settings);
    bool onChanged(const CEGUI::EventArgs& args);
    bool onBack(const CEGUI::EventArgs& args);

    CEGUI::Window* mPanel;
    std::vector<CEGUI::Window*> mCaptions;
    std::vector<CEGUI::Window*> mControls;
    FocusList mFocus;
    Changed mChanged;
    Closing mClosing;
    Settings mShown;
    // Set while open() fills the widgets in, whose change events are then no player's.
    bool mFilling = false;
};
