#!/usr/bin/env bash
# The game on a desktop with a real window manager (openbox), as a person meets it: nobody holds the
# keyboard, the pointer is free in the menu with the GUI cursor on it, focus taken away pauses the
# game, an idle menu leaves the processor alone, resizing and full screen keep the picture right,
# SIGTERM saves like the close button, an error during play can be read and closed with a click,
# and the desktop's key auto-repeat is left as it was. The window tells the desktop its class, process
# and machine, and answers the window manager's pings while its frame loop runs, and only then.
# Usage: desktop.sh BARRELS RUN_DIR [CLOSE_WINDOW]   (runs itself again under its own virtual display)
set -u
source "$(dirname "$0")/../../scripts/deps.sh"
barrels_own_display 150 "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2")
source "$(dirname "$0")/lib.sh"

start_openbox

REPEAT=$(xset q | grep -o "auto repeat:  *o[nf]*")
repeat_unchanged() { [ "$(xset q | grep -o "auto repeat:  *o[nf]*")" = "$REPEAT" ]; }
# Processor time of the game over SECONDS, in percent of one core.
cpu_share() {
  local a b
  a=$(awk '{print $14 + $15}' "/proc/$GAME_PID/stat")
  sleep "$1"
  b=$(awk '{print $14 + $15}' "/proc/$GAME_PID/stat")
  echo $(((b - a) * 100 / ($1 * $(getconf CLK_TCK))))
}
window_size() { xwininfo -id "$WINDOW" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'; }

# --- Menu: free pointer, idle processor, resizing, full screen; then play: grabs, focus, SIGTERM ---
if launch "$BARRELS" "$(make_workdir "$RUN_DIR")" && wait_picture 60 menu menu_shown; then
  [ "$(grab_state keyboard)" = free ] && [ "$(grab_state pointer)" = free ] \
    && pass "menu: another client can take the keyboard and the pointer" \
    || fail "menu: keyboard $(grab_state keyboard), pointer $(grab_state pointer)"

  # The pointer leaves the window, and the GUI cursor follows it exactly inside: seen at one spot
  # of empty sky and not at another, then the other way round.
  xdotool mousemove 1020 5
  _pointer_outside() { local X Y SCREEN WINDOW; eval "$(xdotool getmouselocation --shell)"; [ "$X" = 1020 ] && [ "$Y" = 5 ]; }
  _pointer_outside && pass "menu: the pointer can leave the window" || fail "menu: the pointer is held in the window"
  gui_cursor_to "$WINDOW" $CURSOR_X $CURSOR_Y && wait_picture 30 cursor-a _cursor_at_first \
    && gui_cursor_to "$WINDOW" $CURSOR2_X $CURSOR2_Y && wait_picture 30 cursor-b _cursor_at_second \
    && pass "menu: the GUI cursor sits where the pointer is" \
    || fail_shot "menu: the GUI cursor does not follow the pointer" "$WORKDIR/cursor-a.png" "$WORKDIR/cursor-b.png"

  # Left alone, the menu needs a few frames a second.
  xdotool mousemove 1020 5
  sleep 2
  share=$(cpu_share 5)
  [ "$share" -lt 25 ] && pass "menu: idle at $share % of a core" || fail "menu: idle at $share % of a core"

  # F11: full screen at the desktop's resolution, and back to the window as it was.
  xdotool windowfocus "$WINDOW"
  before=$(window_size)
  _full() { [ "$(window_size)" = 1024x768 ]; }
  _back() { [ "$(window_size)" = "$before" ]; }
  # Held across frames: the game reads the keyboard's state once a frame.
  hold_f11() { xdotool keydown F11; pass_frames; xdotool keyup F11; }
  hold_f11
  wait_until 30 _full && pass "F11: full screen" || fail "F11: the window is $(window_size)"
  hold_f11
  wait_until 30 _back && pass "F11 again: back to $before" || fail "F11 again: the window is $(window_size)"

  # A resized window keeps the menu in its middle, and the menu answers clicks where it is drawn.
  xdotool windowsize "$WINDOW" 640 480
  _resized() { [ "$(window_size)" = 640x480 ]; }
  wait_until 30 _resized || fail "resize: the window is $(window_size)"
  _menu_small() { above "$(bright_fraction "$1" 140x50+250+190 85)" 0.15; }
  wait_picture 30 small-menu _menu_small && pass "resize: the menu is drawn in the middle" \
    || fail_shot "resize: no menu in the middle" "$WORKDIR/small-menu.png"
  press_gui_button $((NEW_X * 640 / 800)) $((NEW_Y * 480 / 600)) "$LOG_NEW_GAME" \
    && pass "resize: New answers where it is drawn" || fail "resize: New did not start a game"
  _hud_small() { above "$(bright_fraction "$1" 96x24+544+0 8)" 0.1 && above "$(bright_fraction "$1" 96x24+0+0 8)" 0.1; }
  wait_picture 30 small-hud _hud_small && pass "resize: the heads-up boxes keep their places" \
    || fail_shot "resize: heads-up boxes misplaced" "$WORKDIR/small-hud.png"

  # Playing: the pointer is held for mouse look, the keyboard still is not.
  _grabbed() { [ "$(grab_state pointer)" = held ]; }
  wait_until 30 _grabbed && [ "$(grab_state keyboard)" = free ] \
    && pass "play: the pointer is held, the keyboard is free" || fail "play: pointer $(grab_state pointer), keyboard $(grab_state keyboard)"

  # Alt+Tab to another window: the game pauses and lets the pointer go.
  xlogo -geometry 200x200+800+500 &
  other=$!
  wait_until 30 window_exists xlogo && wmctrl -a "$GAME_TITLE"
  xdotool keydown alt; sleep 0.1; xdotool key Tab; sleep 0.3; xdotool keyup alt
  _paused() { _menu_small "$1" && [ "$(grab_state pointer)" = free ]; }
  wait_picture 30 unfocused _paused && pass "focus lost: the game pauses and frees the pointer" \
    || fail_shot "focus lost: the game plays on" "$WORKDIR/unfocused.png"
  share=$(cpu_share 5)
  [ "$share" -lt 25 ] && pass "focus lost: $share % of a core" || fail "focus lost: $share % of a core"
  kill $other

  # SIGTERM: saved as the close button saves (no best score yet: 0), exit status 0.
  kill -TERM "$GAME_PID"
  wait_exit 30
  [ "$GAME_STATUS" = 0 ] && pass "SIGTERM exits 0" || fail "SIGTERM: exit status $GAME_STATUS"
  [ "$(cat "$WORKDIR/high.score" 2>/dev/null)" = 0 ] && log_has "$WORKDIR" "$(printf "$LOG_BEST_SCORE_SAVED" 0 high.score)" \
    && pass "SIGTERM saves the best score" || fail "SIGTERM: high.score is '$(cat "$WORKDIR/high.score" 2>&1)'"
  repeat_unchanged && pass "SIGTERM: key auto-repeat unchanged" || fail "SIGTERM: key auto-repeat changed"
else
  fail "no menu"
fi

# --- Closed through the window manager from the menu: saved, exit status 0 ---
if launch "$BARRELS" "$(make_workdir "$RUN_DIR")" && wait_picture 60 menu menu_shown; then
  wmctrl -c "$GAME_TITLE"
  wait_exit 30
  [ "$GAME_STATUS" = 0 ] && [ "$(cat "$WORKDIR/high.score" 2>/dev/null)" = 0 ] \
    && pass "closed by the window manager: saved, exit 0" || fail "wmctrl -c: exit status $GAME_STATUS"
  repeat_unchanged && pass "close: key auto-repeat unchanged" || fail "close: key auto-repeat changed"
else
  fail "close case: no menu"
fi

# --- The window's class, process and machine; pings answered by the frame loop, and only by it ---
# The frame trace, a named pipe nobody reads yet, holds the game in its frame loop's first frame
# (opening it waits for a reader) while every other thread of it runs on.
dir=$(make_workdir "$RUN_DIR")
mkfifo "$dir/trace"
_held() { [ "$(cat "/proc/$GAME_PID/task/$GAME_PID/wchan" 2>/dev/null)" = wait_for_partner ]; }
if launch "$BARRELS" "$dir" BARRELS_FRAME_TRACE="$dir/trace" && wait_until 60 _held; then
  # _OB_APP_CLASS: the class openbox read as it took the window on, which it never reads again.
  props=$(xprop -id "$WINDOW" WM_CLASS _OB_APP_CLASS _NET_WM_PID WM_CLIENT_MACHINE WM_PROTOCOLS)
  entry_class=$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")/../../media/desktop/$APP_ID.desktop")
  grep -qxF "WM_CLASS(STRING) = \"barrels\", \"$entry_class\"" <<<"$props" \
    && pass "WM_CLASS: instance barrels, class $entry_class as the desktop entry's StartupWMClass" \
    || fail "WM_CLASS: $(grep WM_CLASS <<<"$props"), the desktop entry's StartupWMClass: '$entry_class'"
  grep -qxF "_OB_APP_CLASS(UTF8_STRING) = \"$entry_class\"" <<<"$props" \
    && pass "the class is there before the window first shows" || fail "openbox saw $(grep _OB_APP_CLASS <<<"$props")"
  grep -qxF "_NET_WM_PID(CARDINAL) = $GAME_PID" <<<"$props" \
    && grep -qxF "WM_CLIENT_MACHINE(STRING) = \"$(uname -n)\"" <<<"$props" \
    && pass "_NET_WM_PID and WM_CLIENT_MACHINE name the game's process" || fail "process and machine: $props"
  grep -q "^WM_PROTOCOLS(ATOM): protocols .*WM_DELETE_WINDOW" <<<"$props" \
    && grep -q "^WM_PROTOCOLS(ATOM): protocols .*_NET_WM_PING" <<<"$props" \
    && pass "WM_PROTOCOLS lists WM_DELETE_WINDOW and _NET_WM_PING" || fail "$(grep WM_PROTOCOLS <<<"$props")"

  "$E2E_PING_PROBE" "$WINDOW" 60 >"$dir/ping.txt" &
  probe=$!
  wait_until 30 grep -qx sent "$dir/ping.txt"
  # The loop cannot run before the pipe has a reader: an answer in this time came from elsewhere.
  sleep 2
  grep -qx answered "$dir/ping.txt" && fail "a ping is answered while the frame loop stands still" \
    || pass "no answer to a ping while the frame loop stands still"
  cat "$dir/trace" >/dev/null &
  wait $probe && pass "the same ping answered once the frame loop runs" || fail "the ping is never answered"
  "$E2E_PING_PROBE" "$WINDOW" 30 >/dev/null && pass "a ping to the running game is answered" \
    || fail "a ping to the running game is not answered"
  wmctrl -c "$GAME_TITLE"
  wait_exit 30
  [ "$GAME_STATUS" = 0 ] && pass "after the pings, the window manager still closes the game" \
    || fail "close after pings: exit status $GAME_STATUS"
else
  fail "ping case: no game held at its first frame"
  kill -9 "$GAME_PID" 2>/dev/null
fi

# --- An error during play: the box can be read and closed with a click, then exit status 1 ---
dir=$(make_workdir "$RUN_DIR")
mkdir "$dir/meshes"
media=$(sed -n 's/^FileSystem=\(.*\/media\)$/\1/p' "$dir/resources_d.cfg" | head -1)
cp "$media"/*.mesh "$media"/*.png "$dir/meshes/"
sed -i "s|^FileSystem=$media\$|FileSystem=$dir/meshes|" "$dir/resources_d.cfg"
if launch "$BARRELS" "$dir" && wait_picture 60 menu menu_shown; then
  # Whole at start-up, where the game checks it; emptied before New loads it.
  : >"$dir/meshes/Barrel.mesh"
  press_gui_button $NEW_X $NEW_Y "$LOG_NEW_GAME"
  if box=$(wait_window "An exception has occured!" 60); then
    [ "$(grab_state pointer)" = free ] && [ "$(grab_state keyboard)" = free ] \
      && pass "error: the devices are released before the box" || fail "error: the box is shown under a grab"
    xwininfo -id "$WINDOW" | grep -q IsUnMapped && pass "error: the game window is hidden" || fail "error: the game window stays"
    # The box's one button sits at the middle of its bottom edge.
    read -r bw bh < <(xwininfo -id "$box" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
    xdotool mousemove --window "$box" $((bw / 2)) $((bh - 27)) click 1
    wait_exit 30
    [ "$GAME_STATUS" = 1 ] && pass "error: a click closes the box, exit status 1" || fail "error: exit status $GAME_STATUS"
    grep -qF "Barrel.mesh" "$WORKDIR/stderr.txt" && pass "error: the report names Barrel.mesh" || fail "error: stderr lacks Barrel.mesh"
  else
    fail "error: no error box"
    kill -9 "$GAME_PID"
  fi
  repeat_unchanged && pass "error: key auto-repeat unchanged" || fail "error: key auto-repeat changed"
else
  fail "error case: no menu"
fi

exit $((E2E_FAILURES > 0))
