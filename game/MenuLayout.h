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

// Below the menu, outside it: opens the settings panel.
const GuiBox SETTINGS_BUTTON_BOX = {0.425f, 0.67f, 0.15f, 0.06f};
// The settings panel, over the menu (which hides while it is open), in rows: fractions of the
// panel. The title is row 0, one setting a row after it, a caption on the left and its control on
// the right, and "Back" in the last row.
const GuiBox SETTINGS_PANEL_BOX = {0.2f, 0.08f, 0.6f, 0.84f};
enum SettingsRow
{
    TITLE_ROW,
    MOUSE_SENSITIVITY_ROW,
    PAD_LOOK_SPEED_ROW,
    INVERT_LOOK_ROW,
    VOLUME_ROW,
    RUMBLE_ROW,
    LANDING_MARKER_ROW,
    STATISTICS_ROW,
    FULL_SCREEN_ROW,
    BACK_ROW,
    SETTINGS_ROWS
};
inline float settingsRowY(int row)
{
    return 0.03f + 0.095f * static_cast<float>(row);
}
inline GuiBox settingsCaptionBox(int row)
{
    return {0.04f, settingsRowY(row), 0.62f, 0.08f};
}
inline GuiBox settingsControlBox(int row)
{
    return {0.68f, settingsRowY(row), 0.28f, 0.08f};
}
// A slider: a bar as thin as the look draws it, across the middle of its row.
inline GuiBox settingsSliderBox(int row)
{
    GuiBox box = settingsControlBox(row);
    box.y += 0.02f;
    box.height = 0.04f;
    return box;
}
// A box to tick: its square, at the start of the control's place.
inline GuiBox settingsTickBox(int row)
{
    GuiBox box = settingsControlBox(row);
    box.width = 0.06f;
    return box;
}
const GuiBox SETTINGS_BACK_BOX = {0.35f, settingsRowY(BACK_ROW), 0.3f, 0.08f};
