#!/usr/bin/env bash
# One game played through the window as a person plays it: menu, New, help, pause, a charged shot, Quit.
# Usage: play.sh BARRELS RUN_DIR [CLOSE_WINDOW]  (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2")

play() {
  launch "$BARRELS" "$(make_workdir "$RUN_DIR")" || return

  # Accept opens on the menu: the panel with New and Quit in the centre, no heads-up display.
  if wait_picture 60 menu menu_shown && hud_hidden "$WORKDIR/menu.png"; then
    pass "the window opens on the menu"
  else
    fail_shot "the window does not open on the bare menu" "$WORKDIR/menu.png"
  fi

  # New: the log reports level 1 and the heads-up boxes appear at the top while the menu goes.
  press_gui_button $NEW_X $NEW_Y "$LOG_NEW_GAME" || { fail "New: no new game in Ogre.log"; return; }
  wait_until 30 log_has "$WORKDIR" "$(printf "$LOG_LEVEL_BUILT" 1 6 31)" || fail "New: level 1 not built"
  _playing() { hud_shown "$1" && menu_hidden "$1"; }
  check "New shows the heads-up display" -m "no heads-up display, or the menu stays" -s "$WORKDIR/menu.png $WORKDIR/playing.png" \
    wait_picture 60 playing _playing

  # F1 shows the help window on the left and hides it again.
  check "F1 shows the help" -m "no help window" -s "$WORKDIR/help-on.png" \
    tap_key F1 help_shown help-on
  check "F1 again hides the help" -m "the help stays" -s "$WORKDIR/help-off.png" \
    tap_key F1 help_hidden help-off

  # ESC pauses: the menu and the GUI cursor come back (the cursor is parked on empty sky to be seen).
  if tap_key Escape menu_shown paused; then
    gui_cursor_to "$WINDOW" $CURSOR_X $CURSOR_Y
    check "ESC shows the pause menu and the cursor" -m "no cursor" -s "$WORKDIR/paused-cursor.png" \
      wait_picture 30 paused-cursor cursor_shown
  else
    fail_shot "ESC: no pause menu" "$WORKDIR/paused.png"
  fi
  _resumed() { menu_hidden "$1" && cursor_hidden "$1" && hud_shown "$1"; }
  check "ESC again resumes" -m "still paused" -s "$WORKDIR/resumed.png" \
    tap_key Escape _resumed resumed

  # SPACE held charges the bar; the release fires a ball that knocks barrels off the platform.
  # The charge grows at most one tick per frame, so its pace follows the frame rate: the key is held
  # until the bar shows about a third (a ball fast enough to reach the barrels), not for a set time.
  # Screenshots stall the game, so they come once a second.
  local before colour_before
  before=$(snap before-shot)
  colour_before=$(colour_fraction "$before" $REGION_BARRELS)
  xdotool keydown space
  _charged() { sleep 1; above "$(bright_fraction "$1" $REGION_CHARGE 25)" 0.1; }
  wait_picture 90 charging _charged || fail_shot "SPACE: the charge bar does not fill" "$WORKDIR/charging.png"
  xdotool keyup space
  check "releasing SPACE fires a ball" wait_until 30 log_has "$WORKDIR" "Mesh: Loading sphere.mesh"
  # Barrels are taken out of the scene once they touch the floor: fewer rusty pixels stand above the platform.
  # Judged on a still scene (two pictures a second apart agree), so a ball flying past the barrels,
  # hiding them for a moment, does not count.
  _cleared() {
    sleep 1
    snap after-shot >/dev/null && [ "$(changed_pixels "$1" "$WORKDIR/after-shot.png" $REGION_BARRELS)" -lt 300 ] \
      && below "$(colour_fraction "$WORKDIR/after-shot.png" $REGION_BARRELS)" "$colour_before * 0.7"
  }
  check "the shot knocks barrels off the platform" -m "the barrels stay (colour $colour_before before)" -s "$before $WORKDIR/charging.png $WORKDIR/after-shot.png" \
    wait_picture 60 settling _cleared

  # Quit from the pause menu: exit status 0 at once and the best score (no file before: 0) written without a line ending.
  tap_key Escape menu_shown quit-menu || { fail_shot "ESC: no menu to quit from" "$WORKDIR/quit-menu.png"; return; }
  press_gui_button $QUIT_X $QUIT_Y "$(printf "$LOG_BEST_SCORE_SAVED" 0 high.score)" || fail "Quit: nothing saved"
  wait_exit 30
  check "Quit exits 0" [ "$GAME_STATUS" = 0 ]
  check "high.score holds 0 and no line ending" -m "high.score is '$(od -c "$WORKDIR/high.score" 2>&1)'" \
    eval '[ "$(cat "$WORKDIR/high.score" 2>/dev/null)" = 0 ] && [ "$(wc -c <"$WORKDIR/high.score")" = 1 ]'
}

play
e2e_end
