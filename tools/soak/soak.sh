#!/usr/bin/env bash
# Soak: the real game under a virtual display and openbox, fed random keys, mouse looks, clicks, full
# screen and resizes for a long time. Fails on a crash, a hang, a sanitizer report, an error box, or
# resident memory that keeps growing once a game has run for five minutes.

usage() {
  cat >&2 <<'EOF'
usage: soak.sh [--build DIR] [--seconds N] [--seed N] [--round N] [--hang N] [--max-slope MIB]
               [--margin MIB] [--keep] [--help]
Plays the game built in DIR (default: build/ beside this tree) for N seconds (default 1800, counted
from the first game's window) under its own virtual display with openbox, with random input drawn
from the seed (printed at start; pass it again to replay the same choices).
Random input: mouse looks and moves, SPACE shots, clicks (on New now and then, never on Quit), ESC,
F1, F11, window resizes, the focus taken away, pauses; after a time-up, now and then ESC and New.
A round is one run of the game from its engine dialog to a clean exit. Since Quit is never clicked
at random, every --round seconds (default 900) the round ends on purpose, through Quit or by closing
the window (drawn at random), and the game is started again. When the time is up the last round ends
the same way, so exit-time sanitizer reports are seen too.
Fails on: an exit that was not asked for (crash, error status, or the game leaving by itself), the
engine's error box, no frame drawn for --hang seconds (default 10), a sanitizer line on the game's
stderr, or growing memory: in a game older than five minutes, resident memory rising by more than
--max-slope MiB a minute (least squares over its samples, default 0.5) and its last sample more than
--margin MiB (default 16) above the first. Memory is sampled every 10 s and printed at the end.
--keep leaves the game's working directory behind after a pass (it is always kept after a failure).
EOF
}

BUILD="" DURATION=1800 SEED="" ROUND=900 HANG=10 MAX_SLOPE="" MARGIN="" KEEP=0
ARGS=("$@")
while [ $# -gt 0 ]; do
  case $1 in
    -h | --help) usage; exit 0 ;;
    --keep) KEEP=1; shift; continue ;;
    --build) [ $# -ge 2 ] || { usage; exit 2; } ;;
    --seconds | --seed | --round | --hang) [[ "${2:-}" =~ ^[0-9]+$ ]] || { usage; exit 2; } ;;
    --max-slope | --margin) [[ "${2:-}" =~ ^[0-9]+(\.[0-9]+)?$ ]] || { usage; exit 2; } ;;
    *) usage; exit 2 ;;
  esac
  case $1 in
    --build) BUILD=$2 ;;
    --seconds) DURATION=$2 ;;
    --seed) SEED=$2 ;;
    --round) ROUND=$2 ;;
    --hang) HANG=$2 ;;
    --max-slope) MAX_SLOPE=$2 ;;
    --margin) MARGIN=$2 ;;
  esac
  shift 2
done

source "$(dirname "$0")/../../tests/e2e/lib.sh"
# The build's auto-player tells the facts, so the build is found before the display is made.
BUILD=$(realpath "${BUILD:-$E2E_LIB_DIR/../../build}")
BARRELS=$BUILD/app/barrels RUN_DIR=$BUILD/run
export E2E_AUTOPLAYER=$BUILD/tools/autoplayer/autoplayer
[ -x "$BARRELS" ] && [ -x "$E2E_AUTOPLAYER" ] || { echo "soak: no game or auto-player built in $BUILD" >&2; exit 2; }
[ "$KEEP" = 1 ] && export E2E_KEEP=1
e2e_begin "$0" "${ARGS[@]}"

# bash reseeds its generator in every subshell: draws are only ever made here, in the main shell.
[ -n "$SEED" ] || SEED=$(( $(date +%s%N) % 2147483647 ))
RANDOM=$SEED
echo "soak: seed $SEED, $DURATION s, rounds of $ROUND s, game $BARRELS"
# draw N: sets R to a whole number in 0..N-1.
draw() { R=$((RANDOM % $1)); }
# draw_between A B: sets R to a whole number in A..B.
draw_between() { R=$(($1 + RANDOM % ($2 - $1 + 1))); }
# hold SECONDS_TENTHS: sleeps that many tenths of a second.
hold() { sleep "$(($1 / 10)).$(($1 % 10))"; }

start_openbox
# Another window to take the focus away now and then: the game pauses when it loses it.
xlogo -geometry 200x200+800+0 &
background $!

SOAK_DIR=$(make_workdir "$RUN_DIR")
echo "soak: working directory $SOAK_DIR"
SANITIZER_LINE=$SANITIZER_REPORT
FAILURE=""
ROUND_NO=0
SAMPLES=()   # "soak-seconds round game-seconds rss-kB"

failed() {
  [ -n "$FAILURE" ] || FAILURE=$1
  echo "soak: FAIL at $SECONDS s, round $ROUND_NO: $1" >&2
}

# --- Watching the game ---------------------------------------------------------------------------
# A frame is drawn when Mesa's rasterizer threads work: they are idle between frames, even while the
# main loop waits or spins. Without them (a real GPU) the main thread's own time stands in.
draw_ticks() {
  local task ticks comm found=0
  TICKS=0
  for task in /proc/"$GAME_PID"/task/*; do
    read -r comm <"$task/comm" 2>/dev/null || continue
    case $comm in llvmpipe-*) ;; *) continue ;; esac
    ticks=$(cpu_ticks "$GAME_PID" "${task##*/}") || continue
    TICKS=$((TICKS + ticks)) found=1
  done
  if [ $found = 0 ] && ticks=$(cpu_ticks "$GAME_PID" "$GAME_PID"); then
    TICKS=$ticks
  fi
}

rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$GAME_PID/status" 2>/dev/null; }

sanitizer_report() {
  grep -E -A 30 "$SANITIZER_LINE" "$WORKDIR/stderr.txt" 2>/dev/null | head -60
}

# watch: one look at the running game; false (with FAILURE set) when it went wrong.
watch() {
  local report rss
  if game_ended; then
    wait "$GAME_PID"
    GAME_STATUS=$?
    failed "the game ended by itself with status $GAME_STATUS; stderr ends:
$(tail -n 40 "$WORKDIR/stderr.txt")"
    GAME_PID=""
    return 1
  fi
  report=$(sanitizer_report)
  [ -z "$report" ] || { failed "sanitizer report:
$report"; return 1; }
  window_exists "$ERROR_TITLE" && { failed "error box; stderr ends:
$(tail -n 20 "$WORKDIR/stderr.txt")"; return 1; }
  draw_ticks
  if [ "$TICKS" != "$LAST_TICKS" ]; then
    LAST_TICKS=$TICKS LAST_FRAME=$SECONDS
  elif [ $((SECONDS - LAST_FRAME)) -gt "$HANG" ]; then
    failed "hang: no frame drawn for $((SECONDS - LAST_FRAME)) s"
    return 1
  fi
  if [ "$SECONDS" -ge "$NEXT_SAMPLE" ]; then
    rss=$(rss_kb)
    [ -n "$rss" ] && SAMPLES+=("$SECONDS $ROUND_NO $((SECONDS - ROUND_START)) $rss")
    NEXT_SAMPLE=$((NEXT_SAMPLE + 10))
  fi
}

# --- The game's window -----------------------------------------------------------------------------
read_window_size() { read -r WIN_W WIN_H < <(window_size "$WINDOW"); }
# The menu scales with the window: a spot given for the 800x600 window, in the window as it is now.
scaled() { SX=$(($1 * WIN_W / GAME_W)) SY=$(($2 * WIN_H / GAME_H)); }
click_here() { xdotool mousedown 1; hold "$1"; xdotool mouseup 1; }

# Rows that random clicks keep away from: the Quit button, from halfway between the buttons' middles
# down as far again below its own middle (the buttons are stacked without overlapping).
quit_rows() {
  QUIT_TOP=$(((NEW_Y + QUIT_Y) / 2)) QUIT_BOTTOM=$((QUIT_Y + (QUIT_Y - NEW_Y) / 2 + 4))
}
quit_rows

# The window manager raises the window; the input focus is set as well, in case it declined to move it.
focus_game() {
  wmctrl -a "$GAME_TITLE"
  xdotool windowfocus "$WINDOW" 2>/dev/null
}

# --- Random input ------------------------------------------------------------------------------------
# Where the random look has taken the camera since the game started, so that it drifts back towards
# the barrels rather than wandering off for good.
LOOK_X=0 LOOK_Y=0

act_look() {
  local dx dy
  draw_between -150 150; dx=$((R - LOOK_X / 2))
  draw_between -60 60; dy=$((R - LOOK_Y / 2))
  LOOK_X=$((LOOK_X + dx)) LOOK_Y=$((LOOK_Y + dy))
  xdotool mousemove_relative -- "$dx" "$dy"
}
act_pointer() {
  read_window_size
  draw "$WIN_W"; local x=$R
  draw "$WIN_H"
  xdotool mousemove --window "$WINDOW" "$x" "$R"
}
act_fire() {
  draw_between 2 30
  xdotool keydown space; hold "$R"; xdotool keyup space
}
act_click() {
  read_window_size
  draw 3
  if [ $R = 0 ]; then
    scaled "$NEW_X" "$NEW_Y"
  else
    draw "$GAME_W"; local x=$R
    draw "$GAME_H"
    [ $R -ge $QUIT_TOP ] && [ $R -le $QUIT_BOTTOM ] && R=$((QUIT_BOTTOM + 1 + R % (GAME_H - QUIT_BOTTOM - 1)))
    scaled "$x" "$R"
  fi
  xdotool mousemove --window "$WINDOW" "$SX" "$SY"
  draw_between 1 5
  click_here "$R"
}
# The game acts on a key's release once it has seen it down in a frame: hold it across a few.
act_key() {
  local key=$1
  xdotool keydown "$key"
  draw_between 2 5
  hold "$R"
  xdotool keyup "$key"
}
act_resize() {
  draw_between 320 1024; local w=$R
  draw_between 240 768
  xdotool windowsize "$WINDOW" "$w" "$R"
}
act_focus_away() {
  wmctrl -a xlogo
  draw_between 5 30
  hold "$R"
  focus_game
}
# ESC, which brings up the menu (or hides it), then a click on the menu button whose spot in the
# layout's own size is X Y, scaled to the window's size now.
press_menu_button() {
  xdotool keydown Escape; hold 10; xdotool keyup Escape
  read_window_size
  scaled "$1" "$2"
  xdotool mousemove --window "$WINDOW" "$SX" "$SY"
  hold 5
  click_here 10
}
# What a player does once the time is up: ESC for the menu, then New. The game's log tells when.
game_over() {
  local last
  last=$(grep -F -e "$LOG_NEW_GAME" -e "${LOG_TIME_UP%%\%*}" "$WORKDIR/Ogre.log" | tail -n 1)
  [[ "$last" == *"${LOG_TIME_UP%%\%*}"* ]]
}
act_new_game() {
  game_over || return 0
  press_menu_button "$NEW_X" "$NEW_Y"
}
act_idle() {
  draw_between 5 50
  hold "$R"
}

# One random action, weighted towards playing.
act() {
  draw 100
  if [ $R -lt 25 ]; then act_look
  elif [ $R -lt 30 ]; then act_pointer
  elif [ $R -lt 50 ]; then act_fire
  elif [ $R -lt 62 ]; then act_click
  elif [ $R -lt 72 ]; then act_key Escape
  elif [ $R -lt 80 ]; then act_key F1
  elif [ $R -lt 84 ]; then act_key F11
  elif [ $R -lt 89 ]; then act_resize
  elif [ $R -lt 92 ]; then act_focus_away
  elif [ $R -lt 96 ]; then act_new_game
  else act_idle
  fi
}

# --- Rounds --------------------------------------------------------------------------------------------
start_round() {
  ROUND_NO=$((ROUND_NO + 1)) ROUND_START=$SECONDS LOOK_X=0 LOOK_Y=0
  echo "soak: round $ROUND_NO starts at $SECONDS s"
  launch "$BARRELS" "$SOAK_DIR" || { failed "round $ROUND_NO did not start"; return 1; }
  focus_game
  LAST_TICKS="" LAST_FRAME=$SECONDS NEXT_SAMPLE=$SECONDS
}

# Ends the round on purpose: Quit in the menu (ESC first, which may have hidden it instead, hence the
# tries) or the window manager's close, drawn at random; either must exit 0 with a clean stderr.
# Key and button are held for a second: a sanitizer build under load draws slow frames, and a press
# that falls between two of them is never seen.
end_round() {
  local try how report
  focus_game
  draw 2
  if [ $R = 0 ]; then
    how=Quit
    for try in 1 2 3; do
      press_menu_button "$QUIT_X" "$QUIT_Y"
      wait_until 10 game_ended && break
      echo "soak: Quit, try $try: the game goes on (focus on $(xdotool getwindowfocus getwindowname 2>&1))"
    done
    game_ended || { how="Quit did nothing; window close"; wmctrl -c "$GAME_TITLE"; }
  else
    how="window close"
    wmctrl -c "$GAME_TITLE"
  fi
  wait_exit 60
  GAME_PID=""
  echo "soak: round $ROUND_NO ended at $SECONDS s by $how, exit status $GAME_STATUS"
  report=$(sanitizer_report)
  [ -z "$report" ] || failed "sanitizer report at exit:
$report"
  [ "$GAME_STATUS" = 0 ] || failed "$how: exit status $GAME_STATUS; stderr ends:
$(tail -n 40 "$WORKDIR/stderr.txt")"
  [ -z "$FAILURE" ] && mv "$WORKDIR/stderr.txt" "$WORKDIR/stderr-round$ROUND_NO.txt"
  [ -z "$FAILURE" ]
}

# The time counts from the first game's window: a slow start (a sanitizer build) does not eat the play.
DEADLINE=""
while [ -z "$FAILURE" ] && { [ -z "$DEADLINE" ] || [ "$SECONDS" -lt "$DEADLINE" ]; }; do
  start_round || break
  [ -n "$DEADLINE" ] || DEADLINE=$((SECONDS + DURATION))
  round_end=$((SECONDS + ROUND))
  [ "$round_end" -gt "$DEADLINE" ] && round_end=$DEADLINE
  while [ "$SECONDS" -lt "$round_end" ] && watch; do
    act
    draw_between 0 4
    hold "$R"
    watch || break
  done
  [ -n "$FAILURE" ] && break
  end_round || break
done

# --- Memory --------------------------------------------------------------------------------------------
echo "soak: resident memory (soak time, round, game's age, MiB):"
for sample in "${SAMPLES[@]}"; do
  set -- $sample
  printf '  %5d s  round %d  %5d s  %7.1f MiB\n' "$1" "$2" "$3" "$(awk "BEGIN{print $4 / 1024}")"
done

growth=$(printf '%s\n' "${SAMPLES[@]}" | awk -v max_slope="$MAX_SLOPE" -v margin="$MARGIN" -f "$(dirname "$0")/growth.awk" | sort -k2n)
[ -n "$growth" ] && printf '%s\n' "$growth" | sed 's/^/soak: memory after five minutes, /'
echo "$growth" | grep -q GROWING && failed "memory keeps growing: $(echo "$growth" | grep GROWING)"

if [ -n "$FAILURE" ]; then
  fail "soak: FAILED (seed $SEED, working directory $SOAK_DIR): $FAILURE"
else
  [ "$KEEP" = 1 ] && echo "soak: working directory kept: $SOAK_DIR"
  echo "soak: passed: $ROUND_NO round(s) in $SECONDS s (seed $SEED)"
fi
e2e_end
