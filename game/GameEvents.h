// The game's events as it writes them to the engine log, where the auto-player and the end-to-end
// tests follow the game: the one definition of their texts. They are printf formats, so a reader
// scans a line with the same text that wrote it.
#pragma once

#include <cstdio>
#include <string>

namespace GameEvents {

const char* const NEW_GAME = "New game started";
const char* const LEVEL_BUILT = "Level %d built with %d barrels and a time limit of %d s";
const char* const LEVEL_CLEARED = "Level %d cleared with score %d";
const char* const TIME_UP = "Time up on level %d with score %d";
const char* const BEST_SCORE_RAISED = "Best score raised to %d";
const char* const BEST_SCORE_SAVED = "Best score %d saved to %s";
// The file keeps what it holds; the last field says why.
const char* const BEST_SCORE_KEPT = "Best score %d not saved to %s: %s";
// The player's keys as the game acted on them: one line per shot, pause, resume and help toggle.
const char* const SHOT_FIRED = "Shot %d fired at %.1f units a second";
const char* const PAUSED = "Game paused";
const char* const RESUMED = "Game resumed";
const char* const HELP_SHOWN = "Help shown";
const char* const HELP_HIDDEN = "Help hidden";
// The settings panel, and what the player did there.
const char* const SETTINGS_SHOWN = "Settings shown";
const char* const SETTINGS_HIDDEN = "Settings hidden";
const char* const SETTINGS_CHANGED = "Settings changed";
const char* const SETTINGS_SAVED = "Settings saved to %s";
// Where the game's start-up time goes, in whole milliseconds.
const char* const START_UP_STEPS = "Start-up: physics world %d ms, arena %d ms, GUI %d ms";

// One event's line: `format` is one of the texts above and `values` fill in its fields.
template <typename... Values>
std::string line(const char* format, Values... values)
{
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

} // namespace GameEvents
