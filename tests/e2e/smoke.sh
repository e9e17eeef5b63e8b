#!/usr/bin/env bash
# The real binary starts, renders and ends: dialog Cancel, dialog Accept and window close, a broken resource list.
# Usage: smoke.sh BARRELS RUN_DIR CLOSE_WINDOW   (runs itself again under its own virtual display)
set -u
source "$(dirname "$0")/../../scripts/deps.sh"
barrels_own_display 110 "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2") CLOSE_WINDOW=$(realpath "$3")
source "$(dirname "$0")/lib.sh"
RUN_TMP_ERR=$(mktemp)
trap 'rm -f "$RUN_TMP_ERR"' EXIT

# Cancel: exit status 0, no render window.
dir=$(make_workdir "$RUN_DIR")
start_game "$BARRELS" "$dir"
if dialog=$(wait_window "$DIALOG_NAME" 60); then
  dialog_cancel "$dialog"
  wait_exit 60
  [ "$GAME_STATUS" = 0 ] && pass "cancel exits 0" || fail "cancel: exit status $GAME_STATUS"
  window_exists "$GAME_TITLE" && fail "cancel: a render window appeared"
  log_has "$dir" "*** Initializing OIS ***" && fail "cancel: the game went on after the dialog"
else
  fail "cancel: no dialog"; wait_exit 1
fi
rm -rf "$dir"

# Accept: the window opens, renders the statistics overlay, and closing it ends the program with 0.
dir=$(make_workdir "$RUN_DIR")
start_game "$BARRELS" "$dir"
if dialog=$(wait_window "$DIALOG_NAME" 60); then
  dialog_accept "$dialog"
  if window=$(wait_window "$GAME_TITLE" 60); then
    pass "accept opens the render window"
    wait_until 60 log_has "$dir" "*** Initializing OIS ***" || fail "accept: no input start-up in Ogre.log"
    # The statistics overlay sits in the bottom-left corner of the 800x600 window.
    overlay_drawn() { screenshot "$dir/shot.png" "$window"; awk "BEGIN{exit !($(lit_fraction "$dir/shot.png" 300x120+0+480) > 0.02)}"; }
    wait_until 60 overlay_drawn && pass "the statistics overlay is drawn" || fail "accept: no overlay in the picture"
    "$CLOSE_WINDOW" "$window"
    wait_exit 60
    [ "$GAME_STATUS" = 0 ] && pass "closing the window exits 0" || fail "close: exit status $GAME_STATUS"
    # The GUI library reports into the engine's log, not a log file of its own.
    log_has "$dir" "CEGUI: " && [ ! -e "$dir/CEGUI.log" ] && pass "GUI messages are in Ogre.log" \
      || fail "GUI messages: not in Ogre.log, or a CEGUI.log appeared"
  else
    fail "accept: no render window"; wait_exit 1
  fi
else
  fail "accept: no dialog"; wait_exit 1
fi
rm -rf "$dir"

# No display to open: one clear line, exit status 1, no crash.
for display in unset :77; do
  if [ $display = unset ]; then env -u DISPLAY "$BARRELS" >/dev/null 2>"$RUN_TMP_ERR"; else DISPLAY=$display "$BARRELS" >/dev/null 2>"$RUN_TMP_ERR"; fi
  GAME_STATUS=$?
  exited_with_error && grep -q "cannot open the X display" "$RUN_TMP_ERR" && pass "no display ($display): a clear error, exit $GAME_STATUS" \
    || fail "no display ($display): exit status $GAME_STATUS, stderr: $(cat "$RUN_TMP_ERR")"
done

# A broken resource list: the error reaches standard error and the message box, exit status non-zero.
dir=$(make_workdir "$RUN_DIR")
printf '[General]\nNoSuchArchiveType=/nowhere\n' > "$dir/resources_d.cfg"
start_game "$BARRELS" "$dir"
if box=$(wait_window "An exception has occured!" 60); then
  pass "the error box is shown"
  xdotool windowfocus "$box" key Return
else
  fail "broken resources: no error box"
fi
wait_exit 60
if exited_with_error; then pass "broken resources exit $GAME_STATUS"; else fail "broken resources: exit status $GAME_STATUS"; fi
grep -q "^barrels: .*NoSuchArchiveType" "$dir/stderr.txt" \
  && pass "the error text is on standard error" || fail "broken resources: stderr lacks the error: $(cat "$dir/stderr.txt")"
window_exists "$DIALOG_NAME" && fail "broken resources: the dialog appeared"
rm -rf "$dir"

exit $((E2E_FAILURES > 0))
