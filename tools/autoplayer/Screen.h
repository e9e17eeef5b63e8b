// Where a player's hands find things on the screen: the engine's configuration dialog, the game's
// window and the buttons of its menu.
#pragma once

#include "MenuLayout.h"
#include "ShellFacts.h"

#include <cmath>

namespace autoplayer {

struct Spot
{
    int x, y;
};

const char* const DIALOG_TITLE = "Rendering Settings";
const char* const GAME_TITLE = kWindowTitle;
// The engine writes it to its log as the game opens the input devices, once the media have passed
// their check.
const char* const INPUT_STARTED = kInputStartedLine;
// The engine's dialog is 500 pixels wide and lays its buttons out at fixed places.
const Spot DIALOG_ACCEPT = {446, 353};
const Spot DIALOG_CANCEL = {376, 353};
// The game's window as the preset engine settings make it.
const int WINDOW_WIDTH = 800, WINDOW_HEIGHT = 600;

// The middle of a menu button, in window pixels, from the game's own layout.
inline Spot menuButtonCentre(const GuiBox& button)
{
    const float x = MENU_BOX.x + MENU_BOX.width * (button.x + button.width / 2);
    const float y = MENU_BOX.y + MENU_BOX.height * (button.y + button.height / 2);
    return {static_cast<int>(std::lround(x * WINDOW_WIDTH)), static_cast<int>(std::lround(y * WINDOW_HEIGHT))};
}

// The middle of a control of the settings panel, in window pixels.
inline Spot settingsCentre(const GuiBox& control)
{
    const float x = SETTINGS_PANEL_BOX.x + SETTINGS_PANEL_BOX.width * (control.x + control.width / 2);
    const float y = SETTINGS_PANEL_BOX.y + SETTINGS_PANEL_BOX.height * (control.y + control.height / 2);
    return {static_cast<int>(std::lround(x * WINDOW_WIDTH)), static_cast<int>(std::lround(y * WINDOW_HEIGHT))};
}

inline Spot boxCentre(const GuiBox& box)
{
    return {static_cast<int>(std::lround((box.x + box.width / 2) * WINDOW_WIDTH)),
            static_cast<int>(std::lround((box.y + box.height / 2) * WINDOW_HEIGHT))};
}

} // namespace autoplayer
