# Helpers for driving the real game binary under its own virtual display with synthetic X input.
# Every wait polls a condition with a time-out; sourced by the end-to-end test scripts.

E2E_FAILURES=0

fail() { echo "FAIL: $*" >&2; E2E_FAILURES=$((E2E_FAILURES + 1)); }
pass() { echo "ok: $*"; }

# A fresh working directory holding the engine's three files from the build's run directory.
make_workdir() {
  local run_dir=$1 dir
  dir=$(mktemp -d /tmp/barrels-e2e-XXXXXX)
  cp "$run_dir/plugins_d.cfg" "$run_dir/ogre.cfg" "$run_dir/resources_d.cfg" "$dir/"
  echo "$dir"
}

# start_game BINARY WORKDIR: runs the game there in the background; sets GAME_PID.
start_game() {
  (cd "$2" && exec "$1" >stdout.txt 2>stderr.txt) &
  GAME_PID=$!
}

# wait_until SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_until() {
  local limit=$1; shift
  local deadline=$((SECONDS + limit))
  while ! "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

# By exact title, through the window tree (xdotool's search misses some toolkits' windows).
window_id() { xwininfo -root -tree 2>/dev/null | grep -F "\"$1\": (" | awk '{print $1}' | head -1; }
window_exists() { [ -n "$(window_id "$1")" ]; }

# wait_window NAME SECONDS: prints the window's id once it exists.
wait_window() {
  wait_until "$2" window_exists "$1" && window_id "$1"
}

# A click held for a moment, so that a game polling once per frame sees the button down.
click_at() {
  local window=$1 x=$2 y=$3
  xdotool mousemove --window "$window" "$x" "$y"
  xdotool mousedown 1
  sleep 0.2
  xdotool mouseup 1
}

game_running() { kill -0 "$GAME_PID" 2>/dev/null; }
game_ended() { ! game_running; }

# wait_exit SECONDS: sets GAME_STATUS to the exit status, or "hung" (and kills the game).
wait_exit() {
  if wait_until "$1" game_ended; then
    wait "$GAME_PID"
    GAME_STATUS=$?
  else
    kill -9 "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
    GAME_STATUS=hung
  fi
}

log_has() { grep -qF "$2" "$1/Ogre.log" 2>/dev/null; }

# screenshot FILE [WINDOW]: the whole screen, or one window.
screenshot() { import -window "${2:-root}" "$1"; }

# Fraction (0..1) of pixels brighter than black in a region WxH+X+Y of a picture.
lit_fraction() {
  convert "$1" -crop "$2" +repage -colorspace Gray -threshold 8% -format "%[fx:mean]" info:
}

# The engine's configuration dialog: buttons at fixed places in its 500-pixel-wide window.
DIALOG_NAME="Rendering Settings"
dialog_accept() { click_at "$1" 446 353; }
dialog_cancel() { click_at "$1" 376 353; }
