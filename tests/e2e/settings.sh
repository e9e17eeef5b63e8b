#!/usr/bin/env bash
# A setting changed with clicks holds across runs: Settings, a box ticked, Back writes settings.cfg;
# Quit; started again in the same folder, the box is found ticked (a click unticks it) and the file
# follows. The player's own lines in the file survive both saves.
# Usage: settings.sh BARRELS RUN_DIR CLOSE_WINDOW   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2")

DIR=$(make_workdir "$RUN_DIR")
printf '# my notes\nfavourite = 7\n' >"$DIR/settings.cfg"
SAVED=$(printf "$LOG_SETTINGS_SAVED" settings.cfg)

# toggle_invert_look EXPECTED: one run: Settings, the box clicked, Back, Quit; the file then says EXPECTED.
toggle_invert_look() {
  launch "$BARRELS" "$DIR" || return 1
  wait_picture 60 menu menu_shown || { fail_shot "no menu" "$DIR/menu.png"; return 1; }
  press_gui_button $SETTINGS_X $SETTINGS_Y "$LOG_SETTINGS_SHOWN" || { fail "Settings: no panel"; return 1; }
  press_gui_button $SETTINGS_INVERT_LOOK_X $SETTINGS_INVERT_LOOK_Y "$LOG_SETTINGS_CHANGED" \
    || { fail_shot "the box: no change" "$(snap panel)"; return 1; }
  press_gui_button $SETTINGS_BACK_X $SETTINGS_BACK_Y "$SAVED" || { fail "Back: settings.cfg not saved"; return 1; }
  wait_picture 30 menu-again menu_shown || fail_shot "Back: no menu" "$DIR/menu-again.png"
  press_gui_button $QUIT_X $QUIT_Y "$(printf "$LOG_BEST_SCORE_SAVED" 0 high.score)" || fail "Quit: no best score saved"
  wait_exit 30
  [ "$GAME_STATUS" = 0 ] || fail "Quit: exit status $GAME_STATUS"
  local content
  content=$(tr '\n' '|' <"$DIR/settings.cfg")
  check "settings.cfg says invert_look = $1" -m "$content" grep -qx "invert_look = $1" "$DIR/settings.cfg"
  check "the player's own lines are kept, first" -m "$content" [ "$(head -2 "$DIR/settings.cfg" | tr '\n' '|')" = '# my notes|favourite = 7|' ]
  grep -q "^[0-9:]* *Settings: " "$DIR/Ogre.log" && fail "a problem with the file: $(grep 'Settings: ' "$DIR/Ogre.log")"
  return 0
}

toggle_invert_look on
toggle_invert_look off

e2e_end
