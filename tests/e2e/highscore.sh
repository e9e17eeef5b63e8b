#!/usr/bin/env bash
# The best score across runs: a saved 42 shows after New and survives Quit; closing the window saves it too.
# Usage: highscore.sh BARRELS RUN_DIR CLOSE_WINDOW   (runs itself again under its own virtual display)
set -u
source "$(dirname "$0")/../../scripts/deps.sh"
barrels_own_display 130 "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2") CLOSE_WINDOW=$(realpath "$3")
source "$(dirname "$0")/lib.sh"
REGION_BEST=120x30+680+60
DIRS=()

# start_playing HIGH_SCORE_CONTENT|-: a fresh run (with that high.score, or none) up to the first level's HUD.
start_playing() {
  local dir
  dir=$(make_workdir "$RUN_DIR"); DIRS+=("$dir")
  [ "$1" != - ] && printf '%s' "$1" >"$dir/high.score"
  launch "$BARRELS" "$dir" || return 1
  wait_picture 60 menu menu_shown || { fail_shot "no menu" "$dir/menu.png"; return 1; }
  press_gui_button $NEW_X $NEW_Y "$LOG_NEW_GAME" || { fail "New: no new game in Ogre.log"; return 1; }
  wait_picture 60 playing hud_shown || { fail_shot "New: no heads-up display" "$dir/playing.png"; return 1; }
}

# file_is FILE TEXT: the whole content is TEXT, byte for byte (so no line ending).
file_is() { [ -f "$1" ] && [ "$(od -An -c "$1")" = "$(printf '%s' "$2" | od -An -c)" ]; }

# A saved 42, never beaten in this run, is shown and written back unchanged by Quit.
if start_playing 42; then
  # The boxes are shown in the frame of the click; the rules write their texts in a later one.
  best42=$(pass_frames && snap playing-level)
  tap_key Escape menu_shown paused || fail_shot "ESC: no menu" "$WORKDIR/paused.png"
  press_gui_button $QUIT_X $QUIT_Y "$(printf "$LOG_BEST_SCORE_SAVED" 42 high.score)" || fail "Quit: 42 not saved"
  wait_exit 30
  [ "$GAME_STATUS" = 0 ] && pass "Quit exits 0" || fail "Quit: exit status $GAME_STATUS"
  file_is "$WORKDIR/high.score" 42 && pass "high.score still holds 42, no line ending" \
    || fail "Quit: high.score is '$(od -c "$WORKDIR/high.score" 2>&1)'"
fi

# No file: closing the window in the middle of a level exits 0 and leaves the best score (0) saved.
if start_playing -; then
  best0=$(pass_frames && snap playing-level)
  # Same level and score, different best score: only the high-score box may differ between the runs.
  if [ -n "${best42:-}" ]; then
    [ "$(changed_pixels "$best42" "$best0" $REGION_INFO)" -lt 20 ] && [ "$(changed_pixels "$best42" "$best0" $REGION_BEST)" -gt 20 ] \
      && pass "the heads-up display shows the saved best score" \
      || fail_shot "the high-score box does not show the saved 42" "$best42" "$best0"
  fi
  "$CLOSE_WINDOW" "$WINDOW"
  wait_exit 30
  [ "$GAME_STATUS" = 0 ] && pass "closing the window during a game exits 0" || fail "close: exit status $GAME_STATUS"
  file_is "$WORKDIR/high.score" 0 && log_has "$WORKDIR" "$(printf "$LOG_BEST_SCORE_SAVED" 0 high.score)" \
    && pass "closing the window saves the best score" || fail "close: high.score is '$(od -c "$WORKDIR/high.score" 2>&1)'"
fi

game_running && { kill -9 "$GAME_PID"; wait "$GAME_PID" 2>/dev/null; }
[ $E2E_FAILURES = 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "${DIRS[@]}"
exit $((E2E_FAILURES > 0))
