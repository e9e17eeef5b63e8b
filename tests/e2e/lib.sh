# Helpers for driving the real game binary under its own virtual display with synthetic X input.
# Every wait polls a condition with a time-out; sourced by the end-to-end test scripts and the soak.
# A script starts with
#   source "$(dirname "$0")/lib.sh"
#   e2e_begin "$0" "$@"
# and ends with e2e_end.

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_FAILURES=0
E2E_PIDS=() E2E_AT_EXIT=()

# e2e_begin SCRIPT [ARG...]: runs the script again under a virtual display of its own (numbered
# automatically, see scripts/deps.sh), then reads the facts and makes the scratch folder E2E_TMP.
# Whatever way the script ends, the game and the helpers it started are ended, and E2E_TMP is removed
# unless the script failed or E2E_KEEP is set.
e2e_begin() {
  set -u -o pipefail
  source "$E2E_LIB_DIR/../../scripts/deps.sh"
  barrels_own_display "$@"
  # Defined once, in the game's and the auto-player's headers: where the dialog's and the menu's
  # buttons are, the window titles, and the lines the game writes to its log (printf formats).
  local facts
  facts=$("${E2E_AUTOPLAYER:?set to the auto-player binary}" --facts) \
    || { echo "FAIL: $E2E_AUTOPLAYER --facts" >&2; exit 1; }
  eval "$facts"
  E2E_TMP=$(mktemp -d /tmp/barrels-e2e-XXXXXX)
  chmod 755 "$E2E_TMP"
  trap _e2e_exit EXIT
}

# at_exit COMMAND: run by the exit trap, before the game is ended.
at_exit() { E2E_AT_EXIT+=("$1"); }
# background PID: a helper process ended with the script.
background() { E2E_PIDS+=("$1"); }

_e2e_exit() {
  local status=$? command pid
  for command in "${E2E_AT_EXIT[@]}"; do eval "$command"; done
  if [ -n "${GAME_PID:-}" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill -9 "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
  fi
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  if [ -n "${E2E_KEEP:-}" ] || [ "$status" != 0 ]; then
    echo "kept: $E2E_TMP" >&2
  else
    chmod -R u+w "$E2E_TMP" 2>/dev/null
    rm -rf "$E2E_TMP"
  fi
}

# e2e_end: the summary, and the exit status: 1 if any check failed.
e2e_end() {
  if [ "$E2E_FAILURES" -gt 0 ]; then
    echo "$E2E_FAILURES check(s) failed ($SECONDS s)" >&2
    exit 1
  fi
  echo "all checks passed ($SECONDS s)"
  exit 0
}

# remove_unless_kept PATH...: a case's files, removed now unless E2E_KEEP is set.
remove_unless_kept() {
  [ -n "${E2E_KEEP:-}" ] && return 0
  chmod -R u+w "$@" 2>/dev/null
  rm -rf "$@"
}

fail() { echo "FAIL: $*" >&2; E2E_FAILURES=$((E2E_FAILURES + 1)); }
pass() { echo "ok ($SECONDS s): $*"; }

# check EXPECTED [-m DETAIL] [-s "PICTURE..."] COMMAND...: passes EXPECTED if COMMAND succeeds;
# otherwise fails it, naming the command and DETAIL (what was found instead), and keeps the pictures
# that show it (see fail_shot). Returns the command's success. A compound condition goes in a function.
check() {
  local _check_expected=$1 _check_detail="" _check_shots=""
  shift
  while :; do
    case ${1:-} in
      -m) _check_detail=$2; shift 2 ;;
      -s) _check_shots=$2; shift 2 ;;
      *) break ;;
    esac
  done
  if "$@"; then
    pass "$_check_expected"
    return 0
  fi
  local _check_message="$_check_expected: not so (${_check_detail:+$_check_detail; }$*)"
  # shellcheck disable=SC2086  # a list of paths without spaces
  if [ -n "$_check_shots" ]; then fail_shot "$_check_message" $_check_shots; else fail "$_check_message"; fi
  return 1
}

# start_openbox: a real window manager on this display until the script ends; sets WM_PID.
start_openbox() {
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  background "$WM_PID"
  wait_until 30 wmctrl -m || { fail "openbox did not start"; exit 1; }
}

# cpu_ticks PID [TASK]: the processor time a process (or one of its threads) has used, user and
# system, in clock ticks; nothing if it has gone. The command name may hold spaces: the fields are
# counted after its closing parenthesis.
cpu_ticks() {
  local file=/proc/$1/stat line
  [ -n "${2:-}" ] && file=/proc/$1/task/$2/stat
  read -r line <"$file" 2>/dev/null || return 1
  line=${line##*) }
  set -- $line
  echo $((${12} + ${13}))
}

# window_size WINDOW: prints its size as "W H"; nothing if the window has gone.
window_size() {
  xwininfo -id "$1" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{if (w != "") print w, h}'
}

# A fresh working directory in E2E_TMP holding the engine's three files from the build's run directory.
make_workdir() {
  local run_dir=$1 dir
  dir=$(mktemp -d "$E2E_TMP/work-XXXXXX")
  cp "$run_dir/plugins_d.cfg" "$run_dir/ogre.cfg" "$run_dir/resources_d.cfg" "$dir/"
  echo "$dir"
}

# start_game BINARY WORKDIR [NAME=VALUE...]: runs the game there in the background, those variables
# added to its environment; sets GAME_PID and GAME_DIR.
# A sanitizer build checks itself for leaks as it ends, however it ends; wait_exit looks at the report.
start_game() {
  GAME_DIR=$2
  (cd "$2" && exec env "${@:3}" "$1" >stdout.txt 2>stderr.txt) &
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

GAME_W=800 GAME_H=600

pointer_at_window() {
  local window=$1 x=$2 y=$3 X Y SCREEN WINDOW ox oy
  eval "$(xdotool getmouselocation --shell)"
  read -r ox oy < <(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')
  [ "$X" -eq $((ox + x)) ] && [ "$Y" -eq $((oy + y)) ]
}

# Whether another client could take the keyboard or the pointer now: "free" or "held".
grab_state() { "$E2E_GRAB_PROBE" "$1"; }
pointer_grabbed() { [ "$(grab_state pointer)" = held ]; }

# While playing, the input library holds the pointer and warps it back to the window's centre
# whenever it nears an edge: a move from the centre onto an edge, and the warp back, shows that the
# game has read its mouse. edge_step WINDOW DX DY: one such move (|DX| >= 396 or |DY| >= 296).
edge_step() {
  local window=$1 cx=$((GAME_W / 2)) cy=$((GAME_H / 2))
  xdotool mousemove --window "$window" $((cx + $2)) $((cy + $3))
  wait_until 30 pointer_at_window "$window" $cx $cy
}

# gui_cursor_to WINDOW X Y: the menu's cursor follows the desktop's pointer: puts it on window pixel X,Y.
gui_cursor_to() {
  xdotool mousemove --window "$1" "$2" "$3"
  wait_until 30 pointer_at_window "$1" "$2" "$3"
}

game_running() { kill -0 "$GAME_PID" 2>/dev/null; }
game_ended() { ! game_running; }

# wait_exit SECONDS: sets GAME_STATUS to the exit status, or "hung" (and kills the game).
# A sanitizer's report on the game's standard error fails the case whatever the status: a leak found
# on a way out that ends with an error status anyway would otherwise pass unseen.
SANITIZER_REPORT='ERROR: AddressSanitizer|ERROR: LeakSanitizer|LeakSanitizer has encountered|Tracer caught signal|runtime error:'
wait_exit() {
  if wait_until "$1" game_ended; then
    wait "$GAME_PID"
    GAME_STATUS=$?
  else
    kill -9 "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
    GAME_STATUS=hung
  fi
  [ -n "${GAME_DIR:-}" ] || return 0
  if grep -qE "$SANITIZER_REPORT" "$GAME_DIR/stderr.txt" 2>/dev/null; then
    fail "sanitizer report from the game in $GAME_DIR (exit status $GAME_STATUS):
$(grep -E -A 30 "$SANITIZER_REPORT" "$GAME_DIR/stderr.txt" | head -60)"
  fi
}

# An error exit: not 0, not hung, and not a signal's death (128 + signal, 139 for a crash).
exited_with_error() { [ "$GAME_STATUS" != hung ] && [ "$GAME_STATUS" -gt 0 ] && [ "$GAME_STATUS" -lt 128 ]; }

log_has() { grep -qF "$2" "$1/Ogre.log" 2>/dev/null; }

# screenshot FILE [WINDOW]: the whole screen, or one window's area of it (also where a window
# manager has framed the window, which a capture of the window itself would not show as drawn).
screenshot() {
  [ -z "${2:-}" ] && { import -window root "$1"; return; }
  local geometry
  # A window that has gone has no geometry: no picture then (capturing it could freeze the display).
  geometry=$(xwininfo -id "$2" 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print w "x" h "+" x "+" y}')
  [ "$geometry" != "x++" ] || return 1
  import -window root -crop "$geometry" +repage "$1"
}

# Fraction (0..1) of pixels brighter than black in a region WxH+X+Y of a picture.
lit_fraction() {
  convert "$1" -crop "$2" +repage -colorspace Gray -threshold 8% -format "%[fx:mean]" info:
}

# The engine's configuration dialog.
dialog_accept() { click_at "$1" "$DIALOG_ACCEPT_X" "$DIALOG_ACCEPT_Y"; }
dialog_cancel() { click_at "$1" "$DIALOG_CANCEL_X" "$DIALOG_CANCEL_Y"; }
# A click that lands before the dialog has laid out its buttons is lost: click until the dialog goes.
dialog_accept_until_gone() {
  local try
  _dialog_gone() { ! window_exists "$DIALOG_NAME"; }
  for try in 1 2 3; do
    dialog_accept "$1"
    wait_until 15 _dialog_gone && return 0
  done
  return 1
}

# --- Playing a session ---------------------------------------------------------------------
# Screenshots of a case are kept in $E2E_SHOTS (named in every failure message); the rest is removed.
E2E_SHOTS=${E2E_SHOTS:-/tmp/barrels-e2e-shots}

# fail_shot MESSAGE FILE...: a failure, with the pictures that show it saved where the message says.
fail_shot() {
  local message=$1 file saved=(); shift
  mkdir -p "$E2E_SHOTS"
  for file in "$@"; do
    [ -f "$file" ] || continue
    cp "$file" "$E2E_SHOTS/$(basename "$(dirname "$file")")-$(basename "$file")"
    saved+=("$E2E_SHOTS/$(basename "$(dirname "$file")")-$(basename "$file")")
  done
  fail "$message (screenshots: ${saved[*]:-none})"
}

# Fraction of pixels above a grey LEVEL (percent) in a region WxH+X+Y.
bright_fraction() {
  convert "$1" -crop "$2" +repage -colorspace Gray -threshold "$3%" -format "%[fx:mean]" info:
}
# Fraction of strongly coloured pixels (HSL saturation over 40%) in a region: rusty barrels, not grey stones.
colour_fraction() {
  convert "$1" -crop "$2" +repage -colorspace HSL -channel G -separate -threshold 40% -format "%[fx:mean]" info:
}
# Number of pixels that differ (beyond 10% fuzz) between the same region of two pictures.
changed_pixels() {
  local a b
  a=$(mktemp --suffix=.png) b=$(mktemp --suffix=.png)
  convert "$1" -crop "$3" +repage "$a" && convert "$2" -crop "$3" +repage "$b"
  compare -metric AE -fuzz 10% "$a" "$b" null: 2>&1 | cut -d' ' -f1
  rm -f "$a" "$b"
}
# above A B / below A B: real-number comparisons for the checks.
above() { awk "BEGIN{exit !($1 > $2)}"; }
below() { awk "BEGIN{exit !($1 < $2)}"; }

# Regions of the 800x600 window. The menu's two buttons are white letters on black in its centre;
# the heads-up boxes sit on the black sky at the top; the help window on the sky at the left.
REGION_NEW=180x60+310+235
REGION_QUIT=180x60+310+315
REGION_INFO=120x30+680+0
REGION_TIME=120x120+360+0
REGION_HINT=120x30+0+0
REGION_HELP=200x140+0+125
REGION_BARRELS=300x105+250+225
REGION_CHARGE=430x20+280+533
# A spot of empty sky where the GUI cursor is parked to see whether it is drawn.
CURSOR_X=100 CURSOR_Y=150 REGION_CURSOR=24x24+100+150

# snap NAME: a screenshot of the game window into the work dir; prints its path.
snap() {
  local file="$WORKDIR/$1.png"
  screenshot "$file" "$WINDOW" && echo "$file"
}

menu_shown() { above "$(bright_fraction "$1" $REGION_NEW 85)" 0.15 && above "$(bright_fraction "$1" $REGION_QUIT 85)" 0.15; }
menu_hidden() { below "$(bright_fraction "$1" $REGION_NEW 85)" 0.02 && below "$(bright_fraction "$1" $REGION_QUIT 85)" 0.02; }
hud_shown() { above "$(bright_fraction "$1" $REGION_INFO 8)" 0.1 && above "$(bright_fraction "$1" $REGION_TIME 8)" 0.1 && above "$(bright_fraction "$1" $REGION_HINT 8)" 0.1; }
hud_hidden() { below "$(bright_fraction "$1" $REGION_INFO 8)" 0.01 && below "$(bright_fraction "$1" $REGION_TIME 8)" 0.01 && below "$(bright_fraction "$1" $REGION_HINT 8)" 0.01; }
help_shown() { above "$(bright_fraction "$1" $REGION_HELP 8)" 0.2; }
help_hidden() { below "$(bright_fraction "$1" $REGION_HELP 8)" 0.01; }
cursor_shown() { above "$(bright_fraction "$1" $REGION_CURSOR 30)" 0.05; }
cursor_hidden() { below "$(bright_fraction "$1" $REGION_CURSOR 30)" 0.01; }

# wait_picture SECONDS NAME CHECK: screenshots NAME until CHECK accepts it.
wait_picture() {
  local limit=$1 name=$2 check=$3
  _picture_ok() { local f; f=$(snap "$name") && "$check" "$f"; }
  wait_until "$limit" _picture_ok
}

# launch BINARY WORKDIR [NAME=VALUE...]: starts the game (with those variables), accepts the dialog,
# waits for the menu. Sets WINDOW.
launch() {
  WORKDIR=$2
  start_game "$1" "$WORKDIR" "${@:3}"
  local dialog
  dialog=$(wait_window "$DIALOG_NAME" 90) || { fail "no configuration dialog"; return 1; }
  dialog_accept_until_gone "$dialog"
  WINDOW=$(wait_window "$GAME_TITLE" 90) || { fail "no render window after Accept"; return 1; }
  # The game leaves the keyboard ungrabbed: keys reach it where the desktop puts the focus.
  xdotool windowfocus "$WINDOW"
  wait_until 90 log_has "$WORKDIR" "$LOG_INPUT_STARTED" || { fail "no input start-up in Ogre.log"; return 1; }
}

# pass_frames: returns once the game has polled its devices in at least two more frames. While playing,
# two edge steps there and back (the camera ends where it was); in the menu, the GUI cursor drawn at
# two spots of empty sky in turn. A key held across this is seen, however slow the frames (software
# rendering stalls for seconds when it first draws a new material).
CURSOR2_X=700 CURSOR2_Y=150 REGION_CURSOR2=24x24+700+150
cursor2_shown() { above "$(bright_fraction "$1" $REGION_CURSOR2 30)" 0.05; }
cursor2_hidden() { below "$(bright_fraction "$1" $REGION_CURSOR2 30)" 0.01; }
_cursor_at_first() { cursor_shown "$1" && cursor2_hidden "$1"; }
_cursor_at_second() { cursor2_shown "$1" && cursor_hidden "$1"; }
pass_frames() {
  if pointer_grabbed; then
    edge_step "$WINDOW" 398 0 && edge_step "$WINDOW" -398 0
  else
    gui_cursor_to "$WINDOW" $CURSOR_X $CURSOR_Y && wait_picture 30 frame-a _cursor_at_first \
      && gui_cursor_to "$WINDOW" $CURSOR2_X $CURSOR2_Y && wait_picture 30 frame-b _cursor_at_second
  fi
}

# press_gui_button X Y LOG_LINE: clicks the GUI button at X,Y until LOG_LINE is in the engine log (or the game ends).
press_gui_button() {
  local x=$1 y=$2 line=$3 try
  _clicked() { log_has "$WORKDIR" "$line" || game_ended; }
  for try in 1 2 3; do
    gui_cursor_to "$WINDOW" "$x" "$y" || return 1
    # Held half a second by the clock; a press lost in a stalled frame is tried again.
    xdotool mousedown 1; sleep 0.5; xdotool mouseup 1
    wait_until 30 _clicked && return 0
  done
  return 1
}

# tap_key KEY CHECK NAME: presses and releases KEY (the game acts on release) until the picture NAME passes CHECK.
# A retry comes only after a long wait, so a slow frame cannot turn one press into two toggles.
tap_key() {
  local key=$1 check=$2 name=$3 try
  for try in 1 2; do
    xdotool keydown "$key"; pass_frames; xdotool keyup "$key"
    wait_picture 30 "$name" "$check" && return 0
    echo "retrying $key: $name not seen" >&2
  done
  return 1
}
