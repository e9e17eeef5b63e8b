// Where a player's hands find things on the screen: the engine's configuration dialog, the game's
// window and the buttons of its menu.
#pragma once

#include "MenuLayout.h"

#include <cmath>

namespace autoplayer {

struct Spot
{
    int x, y;
};

const char* const DIALOG_TITLE = "Rendering Settings";
const char* const GAME_TITLE = "OGRE Render Window";
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

} // namespace autoplayer
