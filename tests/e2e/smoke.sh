#!/usr/bin/env bash
# The real binary starts, renders and ends: dialog Cancel, dialog Accept and window close, a broken resource list.
# Usage: smoke.sh BARRELS RUN_DIR CLOSE_WINDOW   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2") CLOSE_WINDOW=$(realpath "$3")
RUN_TMP_ERR=$E2E_TMP/stderr.txt

# Cancel: exit status 0, no render window.
dir=$(make_workdir "$RUN_DIR")
start_game "$BARRELS" "$dir"
if dialog=$(wait_window "$DIALOG_NAME" 60); then
  dialog_cancel "$dialog"
  wait_exit 60
  check "cancel exits 0" [ "$GAME_STATUS" = 0 ]
  window_exists "$GAME_TITLE" && fail "cancel: a render window appeared"
  log_has "$dir" "$LOG_INPUT_STARTED" && fail "cancel: the game went on after the dialog"
else
  fail "cancel: no dialog"; wait_exit 1
fi
remove_unless_kept "$dir"

# Accept: the window opens, renders the statistics overlay, and closing it ends the program with 0.
dir=$(make_workdir "$RUN_DIR")
start_game "$BARRELS" "$dir"
if dialog=$(wait_window "$DIALOG_NAME" 60); then
  dialog_accept "$dialog"
  if window=$(wait_window "$GAME_TITLE" 60); then
    pass "accept opens the render window"
    wait_until 60 log_has "$dir" "$LOG_INPUT_STARTED" || fail "accept: no input start-up in Ogre.log"
    # The statistics overlay sits in the bottom-left corner of the 800x600 window.
    overlay_drawn() { screenshot "$dir/shot.png" "$window" && above "$(lit_fraction "$dir/shot.png" 300x120+0+480)" 0.02; }
    check "the statistics overlay is drawn" wait_until 60 overlay_drawn
    "$CLOSE_WINDOW" "$window"
    wait_exit 60
    check "closing the window exits 0" [ "$GAME_STATUS" = 0 ]
    # The GUI library reports into the engine's log, not a log file of its own.
    check "GUI messages are in Ogre.log, no CEGUI.log" eval 'log_has "$dir" "CEGUI: " && [ ! -e "$dir/CEGUI.log" ]'
  else
    fail "accept: no render window"; wait_exit 1
  fi
else
  fail "accept: no dialog"; wait_exit 1
fi
remove_unless_kept "$dir"

# No display to open: one clear line, exit status 1, no crash.
for display in unset :77; do
  if [ $display = unset ]; then env -u DISPLAY "$BARRELS" >/dev/null 2>"$RUN_TMP_ERR"; else DISPLAY=$display "$BARRELS" >/dev/null 2>"$RUN_TMP_ERR"; fi
  GAME_STATUS=$?
  check "no display ($display): a clear error, an error status" -m "exit status $GAME_STATUS, stderr: $(cat "$RUN_TMP_ERR")" \
    eval 'exited_with_error && grep -q "cannot open the X display" "$RUN_TMP_ERR"'
done

# A broken resource list: the error reaches standard error and the message box, exit status non-zero.
dir=$(make_workdir "$RUN_DIR")
printf '[General]\nNoSuchArchiveType=/nowhere\n' > "$dir/resources_d.cfg"
start_game "$BARRELS" "$dir"
if box=$(wait_window "$ERROR_TITLE" 60); then
  pass "the error box is shown"
  xdotool windowfocus "$box" key Return
else
  fail "broken resources: no error box"
fi
wait_exit 60
check "broken resources: an error status" -m "exit status $GAME_STATUS" exited_with_error
check "the error text is on standard error" -m "stderr: $(cat "$dir/stderr.txt")" grep -q "^barrels: .*NoSuchArchiveType" "$dir/stderr.txt"
window_exists "$DIALOG_NAME" && fail "broken resources: the dialog appeared"
remove_unless_kept "$dir"

e2e_end
