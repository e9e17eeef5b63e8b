// Where the menu and its buttons sit: fractions of the window for the menu, of the menu for its
// buttons. The game lays its GUI out with them; whoever clicks the buttons finds them with them.
#pragma once

struct GuiBox
{
    float x, y, width, height;
};

const GuiBox MENU_BOX = {0.35f, 0.35f, 0.3f, 0.3f};
const GuiBox NEW_BUTTON_BOX = {0.1f, 0.1f, 0.8f, 0.4f};
const GuiBox QUIT_BUTTON_BOX = {0.1f, 0.55f, 0.8f, 0.4f};
