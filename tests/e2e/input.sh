#!/usr/bin/env bash
# The game's feel under real input on a desktop (openbox): one cursor in the menu, the desktop's
# hidden over the window and the GUI's gone once the pointer leaves it; SPACE held through a focus
# change neither keeps charging nor fires; and every instant press (press and release back to back,
# as `xdotool key` and `xdotool click` send them, and as key mappers and remote desktops do) counts
# exactly once, in play at the full frame rate and in the menu idling at a few frames a second.
# Usage: input.sh BARRELS RUN_DIR [CLOSE_WINDOW]   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2")

start_openbox

# --- What the game did, read back from its log and its frame trace -------------------------------
# Counted by kind: a printf format of the game's log becomes a pattern for the whole line (the
# engine writes the time and ": " before each message).
log_pattern() {
  printf '%s' "$1" | sed -e 's/%[-.0-9]*[dfs]/\x01/g' -e 's/[][\.*^$+?(){}|]/\\&/g' -e 's/\x01/.*/g' -e 's/^/: /' -e 's/$/$/'
}
KINDS=(new shot paused resumed shown hidden)
declare -A PATTERN=([new]=$(log_pattern "$LOG_NEW_GAME") [shot]=$(log_pattern "$LOG_SHOT_FIRED")
  [paused]=$(log_pattern "$LOG_PAUSED") [resumed]=$(log_pattern "$LOG_RESUMED")
  [shown]=$(log_pattern "$LOG_HELP_SHOWN") [hidden]=$(log_pattern "$LOG_HELP_HIDDEN"))
count_of() { grep -cE -- "${PATTERN[$1]}" "$WORKDIR/Ogre.log" 2>/dev/null || true; }
# The number of lines of each kind, in the order of KINDS, in one pass (the patterns go through the
# environment, where awk leaves their backslashes alone).
tally() {
  local kind
  for kind in "${KINDS[@]}"; do export "E2E_PATTERN_$kind=${PATTERN[$kind]}"; done
  awk -v kinds="${KINDS[*]}" 'BEGIN { n = split(kinds, kind, " ") }
    { for (i = 1; i <= n; i++) if ($0 ~ ENVIRON["E2E_PATTERN_" kind[i]]) count[i]++ }
    END { for (i = 1; i <= n; i++) printf "%d ", count[i] }' "$WORKDIR/Ogre.log"
}

# Play and menu as the game last announced them.
game_state() {
  local last
  last=$(grep -E -- "${PATTERN[new]}|${PATTERN[paused]}|${PATTERN[resumed]}" "$WORKDIR/Ogre.log" | tail -1)
  [[ "$last" =~ ${PATTERN[paused]} ]] && echo menu || echo play
}
state_is() { [ "$(game_state)" = "$1" ]; }

# The game's frame trace (BARRELS_FRAME_TRACE) says when it drew each frame. Waiting on it lets frames
# pass without sending any input, which would keep the menu from idling.
frames_drawn() { grep -c '^frame ' "$TRACE" 2>/dev/null || true; }
_frames_since() { [ "$(frames_drawn)" -ge $(($1 + $2)) ]; }
# wait_frames N: returns once N more frames were drawn.
wait_frames() { wait_until 30 _frames_since "$(frames_drawn)" "$1"; }
# Whether the last three frames drawn after frame MARK came 150 ms or more apart: the menu's idle pace.
_idle_pace() {
  awk -v mark="$1" '/^frame /{ if (++n > mark) t[++k] = $2 }
    END { exit !(k >= 3 && t[k] - t[k-1] >= 150e6 && t[k-1] - t[k-2] >= 150e6) }' "$TRACE"
}
wait_idle() { wait_until 30 _idle_pace "$(frames_drawn)"; }

# A press held across frames, which the game has always seen: sets the scene for the cases.
hold_key() { xdotool keydown "$1"; wait_frames 3; xdotool keyup "$1"; }
# to_state play|menu: held ESC until the game is there.
to_state() {
  state_is "$1" && return 0
  hold_key Escape
  wait_until 30 state_is "$1"
}

# The desktop's cursor: how many of its pixels show where the pointer is now.
x_cursor_pixels() { "${E2E_CURSOR_PROBE:?set to the cursor probe binary}"; }
x_cursor_hidden() { [ "$(x_cursor_pixels)" = 0 ]; }
x_cursor_shown() { [ "$(x_cursor_pixels)" -gt 0 ]; }

WORKDIR=$(make_workdir "$RUN_DIR")
TRACE=$WORKDIR/frames.txt
export BARRELS_FRAME_TRACE=$TRACE
if ! launch "$BARRELS" "$WORKDIR" || ! wait_picture 60 menu menu_shown; then
  fail "no menu"
  exit 1
fi
# Another window to give the focus to, opened now: a new window takes the focus, which pauses a game.
xlogo -geometry 100x50+918+10 &
background $!
wait_until 30 window_exists xlogo || fail "xlogo did not open"
wmctrl -a "$GAME_TITLE"

# --- One cursor in the menu ---------------------------------------------------------------------
# Over the window the GUI draws the arrow, and the desktop's own image there is invisible.
gui_cursor_to "$WINDOW" $CURSOR_X $CURSOR_Y
check "cursor: the desktop's cursor is invisible over the menu" wait_until 10 x_cursor_hidden \
  || echo "the desktop's cursor shows $(x_cursor_pixels) pixels over the menu" >&2
check "cursor: the GUI arrow is at the pointer" -m "no GUI arrow at the pointer" -s "$WORKDIR/cursor-inside.png" \
  wait_picture 30 cursor-inside cursor_shown

# Parked on the sky just inside the left edge, then the pointer steps out to the left: wherever the
# GUI last had the pointer, it must not draw the arrow once the pointer is gone.
REGION_EDGE=24x24+0+$CURSOR_Y
_edge_arrow() { above "$(bright_fraction "$1" $REGION_EDGE 30)" 0.05; }
_edge_clear() { below "$(bright_fraction "$1" $REGION_EDGE 30)" 0.002; }
if gui_cursor_to "$WINDOW" 4 $CURSOR_Y && wait_picture 30 cursor-edge _edge_arrow; then
  read -r ox oy < <(xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')
  xdotool mousemove $((ox - 8)) $((oy + CURSOR_Y))
  check "cursor: the GUI arrow goes when the pointer leaves" -m "the GUI arrow stays after the pointer left" -s "$WORKDIR/cursor-edge.png $WORKDIR/cursor-outside.png" \
    wait_picture 10 cursor-outside _edge_clear
  check "cursor: the desktop's cursor is back outside" wait_until 10 x_cursor_shown
else
  fail_shot "cursor: no GUI arrow at the left edge" "$WORKDIR/cursor-edge.png"
fi

press_gui_button $NEW_X $NEW_Y "$LOG_NEW_GAME" || { fail "New did not start a game"; exit 1; }

# --- SPACE held through a focus change ----------------------------------------------------------
# Its release goes to another window. Read afresh on the way back, the key is up: no charging on,
# and no shot from the charge it had.
REGION_BAR=590x14+125+536
bar_fill() { bright_fraction "$1" $REGION_BAR 30; }
_charging() { above "$(bright_fraction "$1" 60x14+130+536 30)" 0.3; }
_game_focused() { [ "$(xdotool getwindowfocus)" = "$((WINDOW))" ]; }
shots=$(count_of shot) pauses=$(count_of paused) resumes=$(count_of resumed)
_paused_again() { [ "$(count_of paused)" -gt "$pauses" ]; }
_resumed_again() { [ "$(count_of resumed)" -gt "$resumes" ]; }
if ! wait_until 30 state_is play; then
  fail "focus: not playing"
else
  xdotool keydown space
  if ! wait_picture 30 focus-charging _charging; then
    xdotool keyup space
    fail_shot "focus: holding SPACE does not charge" "$WORKDIR/focus-charging.png"
  else
    wmctrl -a xlogo
    wait_until 30 _paused_again || fail "focus: the game did not pause when the focus went"
    xdotool keyup space
    wmctrl -a "$GAME_TITLE"
    wait_until 30 _game_focused || fail "focus: the game window did not get the focus back"
    # At once, and a tap: a key pressed right after the focus came back counts (it may reach the
    # game before the focus change does).
    xdotool key Escape
    if wait_until 30 _resumed_again; then
      wait_frames 2
      before=$(snap focus-resumed)
      wait_frames 60
      after=$(snap focus-later)
      check "focus: no shot from SPACE held across the focus change" -m "$(($(count_of shot) - shots)) shot(s) fired" \
        [ "$(count_of shot)" = "$shots" ]
      filled=$(bar_fill "$before") later=$(bar_fill "$after")
      check "focus: SPACE is up after the focus change (charge bar $filled, then $later)" -s "$before $after" \
        below "$later" "$(awk "BEGIN{print $filled + 0.01}")"
    else
      fail "focus: ESC did not resume the game"
    fi
  fi
fi

# --- Instant presses, each counted exactly once ----------------------------------------------------
# One round goes through every row in turn: the state the game is put in first (the menu after a
# game has started, left alone until it idles; or play at the full frame rate), what the row is
# reported as, the log lines of which exactly one more must come, and the input.
ROWS=(
  "menu|F1 in the idle menu|shown hidden|key F1"
  "menu|ESC in the idle menu|resumed|key Escape"
  "play|SPACE while playing|shot|key space"
  "play|F1 while playing|shown hidden|key F1"
  "play|ESC while playing|paused|key Escape"
  "menu|click on New in the idle menu|new|click 1"
  "play|ESC while playing|paused|key Escape"
)
ROUNDS=20
declare -A TRIED GOOD PROBLEMS
LABELS=()

# sum_of "COUNTS" KIND...: the counts of those kinds added up.
sum_of() {
  local -a counts=($1); shift
  local kind i total=0
  for kind in "$@"; do
    for i in "${!KINDS[@]}"; do [ "${KINDS[$i]}" = "$kind" ] && total=$((total + counts[i])); done
  done
  echo $total
}
note_problem() { PROBLEMS[$1]+="${PROBLEMS[$1]:+; }round $2: $3"; }

# Lines that came after the last row was judged belong to it: it counted more than once, late.
LAST_TALLY= LAST_LABEL= LAST_ROUND=
no_late_lines() {
  local now
  now=$(tally)
  [ -z "$LAST_TALLY" ] || [ "$now" = "$LAST_TALLY" ] && return 0
  GOOD[$LAST_LABEL]=$((GOOD[$LAST_LABEL] - 1))
  note_problem "$LAST_LABEL" "$LAST_ROUND" "more lines later ($LAST_TALLY -> $now)"
  LAST_TALLY=
}

_answered() {
  [ "$(sum_of "$(tally)" "${kinds[@]}")" -gt "$expected_before" ] && return 0
  # No line, and the game has drawn frames enough and time enough to have acted: lost.
  _frames_since "$mark" 5 && [ $(((${EPOCHREALTIME/./} - sent) / 1000)) -ge 1000 ] && lost=1
}

# run_row ROUND ROW: brings the game to the row's state, sends the input, and judges the log.
run_row() {
  local round=$1 state label kind_list input
  IFS='|' read -r state label kind_list input <<<"$2"
  local -a kinds=($kind_list)
  [ -n "${TRIED[$label]:-}" ] || LABELS+=("$label")
  no_late_lines
  if ! to_state "$state"; then
    fail "round $round: could not bring the game to $state before '$label'"
    return 1
  fi
  LAST_TALLY=$(tally)
  if [ "$state" = menu ]; then
    # The pointer rests on New; nothing moves until the menu idles.
    gui_cursor_to "$WINDOW" $NEW_X $NEW_Y && wait_idle \
      || { fail "round $round: the menu does not idle before '$label'"; return 1; }
  fi
  no_late_lines
  local before after expected_before mark sent lost=0
  before=$(tally)
  expected_before=$(sum_of "$before" "${kinds[@]}")
  mark=$(frames_drawn) sent=${EPOCHREALTIME/./}
  xdotool $input
  TRIED[$label]=$((${TRIED[$label]:-0} + 1))
  wait_until 30 _answered
  # Frames for a second line to show, if the press counted twice.
  wait_frames 2
  after=$(tally)
  local grown=$(($(sum_of "$after" "${kinds[@]}") - expected_before))
  local others_before others_after
  others_before=$(($(sum_of "$before" "${KINDS[@]}") - expected_before))
  others_after=$(($(sum_of "$after" "${KINDS[@]}") - expected_before - grown))
  if [ "$grown" = 1 ] && [ "$others_before" = "$others_after" ]; then
    GOOD[$label]=$((${GOOD[$label]:-0} + 1))
    LAST_TALLY=$after LAST_LABEL=$label LAST_ROUND=$round
  else
    [ "$grown" = 0 ] && note_problem "$label" "$round" "lost" \
      || note_problem "$label" "$round" "lines ($before -> $after)"
    LAST_TALLY=
  fi
}

started=$SECONDS
for round in $(seq 1 $ROUNDS); do
  for row in "${ROWS[@]}"; do
    run_row "$round" "$row" || break 2
  done
done
# The last row's lines too get frames to show a second time.
wait_frames 10 && no_late_lines
echo "instant presses: $ROUNDS rounds in $((SECONDS - started)) s"
for label in "${LABELS[@]}"; do
  result="$label: ${GOOD[$label]:-0} of ${TRIED[$label]}"
  _all_counted() { [ "${GOOD[$label]:-0}" = "${TRIED[$label]}" ] && [ "${TRIED[$label]}" -ge $ROUNDS ]; }
  check "$result" -m "${PROBLEMS[$label]:-not every round ran}" _all_counted
done

kill -TERM "$GAME_PID"
wait_exit 30
[ "$GAME_STATUS" = 0 ] || fail "SIGTERM: exit status $GAME_STATUS"

e2e_end
