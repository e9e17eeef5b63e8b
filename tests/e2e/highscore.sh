#!/usr/bin/env bash
# The best score across runs: a saved 42 shows after New and survives Quit; closing the window saves it too.
# Then a table of the ways a run can end and of what "high.score" can be: the file afterwards always
# holds the right best score exactly. The game runs with a player's permissions even when the tests
# run as root, so that unreadable files and read-only folders are what they are for a player.
# Usage: highscore.sh BARRELS RUN_DIR CLOSE_WINDOW [endings|files]   (runs itself again under its own
# virtual display); the two halves of the table run side by side, with no part named both run.
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2") CLOSE_WINDOW=$(realpath "$3") PART=${4:-all}
REGION_BEST=120x30+680+60
GAME_PID=

# start_playing HIGH_SCORE_CONTENT|-: a fresh run (with that high.score, or none) up to the first level's HUD.
start_playing() {
  local dir
  dir=$(make_workdir "$RUN_DIR")
  [ "$1" != - ] && printf '%s' "$1" >"$dir/high.score"
  launch "$BARRELS" "$dir" || return 1
  wait_picture 60 menu menu_shown || { fail_shot "no menu" "$dir/menu.png"; return 1; }
  press_gui_button $NEW_X $NEW_Y "$LOG_NEW_GAME" || { fail "New: no new game in Ogre.log"; return 1; }
  wait_picture 60 playing hud_shown || { fail_shot "New: no heads-up display" "$dir/playing.png"; return 1; }
}

# file_is FILE TEXT: the whole content is TEXT, byte for byte (so no line ending).
file_is() { [ -f "$1" ] && [ "$(od -An -c "$1")" = "$(printf '%s' "$2" | od -An -c)" ]; }

part() { [ "$PART" = all ] || [ "$PART" = "$1" ]; }

# A saved 42, never beaten in this run, is shown and written back unchanged by Quit.
if part endings && start_playing 42; then
  # The boxes are shown in the frame of the click; the rules write their texts in a later one.
  best42=$(pass_frames && snap playing-level)
  tap_key Escape menu_shown paused || fail_shot "ESC: no menu" "$WORKDIR/paused.png"
  press_gui_button $QUIT_X $QUIT_Y "$(printf "$LOG_BEST_SCORE_SAVED" 42 high.score)" || fail "Quit: 42 not saved"
  wait_exit 30
  check "Quit exits 0" [ "$GAME_STATUS" = 0 ]
  check "high.score still holds 42, no line ending" -m "high.score is '$(od -c "$WORKDIR/high.score" 2>&1)'" \
    file_is "$WORKDIR/high.score" 42
fi

# No file: closing the window in the middle of a level exits 0 and leaves the best score (0) saved.
if part endings && start_playing -; then
  best0=$(pass_frames && snap playing-level)
  # Same level and score, different best score: only the high-score box may differ between the runs.
  if [ -n "${best42:-}" ]; then
    _best_differs() { [ "$(changed_pixels "$best42" "$best0" $REGION_INFO)" -lt 20 ] && [ "$(changed_pixels "$best42" "$best0" $REGION_BEST)" -gt 20 ]; }
    check "the heads-up display shows the saved best score" -s "$best42 $best0" _best_differs
  fi
  "$CLOSE_WINDOW" "$WINDOW"
  wait_exit 30
  check "closing the window during a game exits 0" [ "$GAME_STATUS" = 0 ]
  _saved_0() { file_is "$WORKDIR/high.score" 0 && log_has "$WORKDIR" "$(printf "$LOG_BEST_SCORE_SAVED" 0 high.score)"; }
  check "closing the window saves the best score" -m "high.score is '$(od -c "$WORKDIR/high.score" 2>&1)'" _saved_0
fi

game_running && { kill -9 "$GAME_PID"; wait "$GAME_PID" 2>/dev/null; }

# --- The table ------------------------------------------------------------------------------
PLAYER=$E2E_TMP/player
if [ "$(id -u)" = 0 ]; then
  no_override=-dac_override,-dac_read_search
  printf '#!/bin/sh\nexec setpriv --bounding-set %s --inh-caps %s -- "%s"\n' $no_override $no_override "$BARRELS" >"$PLAYER"
else
  printf '#!/bin/sh\nexec "%s"\n' "$BARRELS" >"$PLAYER"
fi
chmod +x "$PLAYER"

saved() { log_has "$WORKDIR" "$(printf "$LOG_BEST_SCORE_SAVED" "$1" high.score)"; }
kept() { log_has "$WORKDIR" "$(printf "$LOG_BEST_SCORE_KEPT" "$1" high.score "$2")"; }
describe() { ls -la "$WORKDIR"/high.score* "$WORKDIR"/.high.score* 2>&1 | tr '\n' ';'; [ -f "$WORKDIR/high.score" ] && od -An -c "$WORKDIR/high.score" | head -2; }

# row NAME PREPARE END CHECK [STATUSES]: a fresh working directory (or ROW_DIR); PREPARE runs in it,
# the game runs there to its menu, END ends it (in the working directory, with GAME_PID set), its
# exit status must be one of STATUSES (default 0), and CHECK must hold in the directory afterwards.
row() {
  local name=$1 prepare=$2 end=$3 check=$4 statuses=${5:-0}
  if [ -n "${ROW_DIR:-}" ]; then WORKDIR=$ROW_DIR; else WORKDIR=$(make_workdir "$RUN_DIR"); fi
  (cd "$WORKDIR" && eval "$prepare") || { fail "$name: set-up failed"; return; }
  if ! launch "$PLAYER" "$WORKDIR" || ! wait_picture 60 menu menu_shown; then
    fail_shot "$name: the game did not reach its menu" "$WORKDIR/menu.png"
    game_running && { kill -9 "$GAME_PID"; wait "$GAME_PID" 2>/dev/null; }
    return
  fi
  (cd "$WORKDIR" && eval "$end")
  wait_exit 30
  [[ " $statuses " == *" $GAME_STATUS "* ]] || fail "$name: exit status $GAME_STATUS, expected $statuses"
  check "$name" -m "$(describe)" _row_holds "$check"
}

_row_holds() { (cd "$WORKDIR" && eval "$1"); }
term() { kill -TERM "$GAME_PID"; }
holds() { file_is high.score "$1"; }

if part endings; then
  row "SIGTERM saves" "printf 42 >high.score" term "holds 42 && saved 42"
  row "SIGINT saves" "printf 42 >high.score" "kill -INT \$GAME_PID" "holds 42 && saved 42"
  row "SIGHUP saves" "printf 42 >high.score" "kill -HUP \$GAME_PID" "holds 42 && saved 42"
  # A save killed half-way an hour ago left its hidden temporary file; the player's own files that
  # look alike stay.
  row "a save's leftover is removed at start, the player's files stay" \
    "printf 42 >high.score; printf 7 >.high.score.saving-k1LL3d; touch -d '1 hour ago' .high.score.saving-k1LL3d; for f in backup old123 AbC123; do printf 5 >high.score.\$f; done" \
    term "holds 42 && [ ! -e .high.score.saving-k1LL3d ] && [ -f high.score.backup ] && [ -f high.score.old123 ] && [ -f high.score.AbC123 ]"
  # Killed at some moment of a Quit: before, during or after its save, the file is whole.
  for delay in 0 0.02 0.05; do
    row "SIGKILL ${delay} s after Quit" "printf 42 >high.score" \
      "gui_cursor_to \$WINDOW \$QUIT_X \$QUIT_Y; xdotool mousedown 1; sleep 0.3; xdotool mouseup 1; sleep $delay; kill -KILL \$GAME_PID" \
      "holds 42" "0 137"
  done
  row "another copy saved a higher score meanwhile" "printf 5 >high.score" \
    "printf 9 >high.score.new && mv high.score.new high.score && term" \
    "holds 9 && kept 5 'it holds a higher score'"
fi

if part files; then
  row "an unreadable file is kept" "printf 42 >high.score && chmod 000 high.score" term \
    "holds 42 && kept 0 'it cannot be read'"
  row "text that is no number is kept" "printf best >high.score" term "holds best && kept 0 'it holds no number'"
  row "an out-of-range number is kept" "printf 99999999999 >high.score" term "holds 99999999999"
  row "a folder named high.score is left alone" "mkdir high.score" term "[ -d high.score ]"
  row "a FIFO named high.score neither hangs the game nor is written" "mkfifo high.score" term "[ -p high.score ]"
  row "a link to an endless device is not read" "ln -s /dev/zero high.score" term \
    "[ \"\$(readlink high.score)\" = /dev/zero ] && kept 0 'it cannot be read'"
  row "a link is replaced, its target never written" "printf 42 >target && touch -d 2001-01-01 target && ln -s target high.score" \
    term "holds 42 && [ ! -L high.score ] && file_is target 42 && [ \"\$(stat -c %Y target)\" = \"\$(date -d 2001-01-01 +%s)\" ]"
  row "a read-only folder keeps the file" "printf 42 >high.score" "chmod a-w . && term" \
    "holds 42 && kept 42 'it could not be replaced'"

  # A full disk: the folder on a tiny file system that fills up while the game runs.
  if [ "$(id -u)" = 0 ]; then
    full=$(mktemp -d /tmp/barrels-full-XXXXXX)
    if mount -t tmpfs -o size=8m tmpfs "$full"; then
      cp "$RUN_DIR/plugins_d.cfg" "$RUN_DIR/ogre.cfg" "$RUN_DIR/resources_d.cfg" "$full/"
      ROW_DIR=$full row "a full disk keeps the file" "printf 42 >high.score" \
        "dd if=/dev/zero of=filler bs=4k status=none 2>/dev/null; term" "holds 42 && [ -z \"\$(ls high.score.* 2>/dev/null)\" ]"
      umount "$full"
    else
      fail "cannot mount a small file system for the full-disk row"
    fi
    rmdir "$full"
  else
    echo "skipped: a full disk (mounting a small file system needs root)"
  fi
fi

e2e_end
