#!/usr/bin/env bash
# The game on a desktop with a real window manager (openbox), as a person meets it: nobody holds the
# keyboard, the pointer is free in the menu with the GUI cursor on it, focus taken away pauses the
# game, an idle menu leaves the processor alone, resizing and full screen keep the picture right,
# SIGTERM saves like the close button, an error during play can be read and closed with a click,
# and the desktop's key auto-repeat is left as it was. The window tells the desktop its class, process
# and machine, and answers the window manager's pings while its frame loop runs, and only then.
# Usage: desktop.sh BARRELS RUN_DIR [CLOSE_WINDOW]   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2")

start_openbox

REPEAT=$(xset q | grep -o "auto repeat:  *o[nf]*")
_devices_free() { [ "$(grab_state keyboard)" = free ] && [ "$(grab_state pointer)" = free ]; }
repeat_unchanged() { [ "$(xset q | grep -o "auto repeat:  *o[nf]*")" = "$REPEAT" ]; }
# Processor time of the game over SECONDS, in percent of one core.
cpu_share() {
  local a b
  a=$(cpu_ticks "$GAME_PID")
  sleep "$1"
  b=$(cpu_ticks "$GAME_PID")
  echo $(((b - a) * 100 / ($1 * $(getconf CLK_TCK))))
}

# --- Menu: free pointer, idle processor, resizing, full screen; then play: grabs, focus, SIGTERM ---
if launch "$BARRELS" "$(make_workdir "$RUN_DIR")" && wait_picture 60 menu menu_shown; then
  check "menu: another client can take the keyboard and the pointer" \
    -m "keyboard $(grab_state keyboard), pointer $(grab_state pointer)" _devices_free

  # The pointer leaves the window, and the GUI cursor follows it exactly inside: seen at one spot
  # of empty sky and not at another, then the other way round.
  xdotool mousemove 1020 5
  _pointer_outside() { local X Y SCREEN WINDOW; eval "$(xdotool getmouselocation --shell)"; [ "$X" = 1020 ] && [ "$Y" = 5 ]; }
  check "menu: the pointer can leave the window" _pointer_outside
  _cursor_follows() {
    gui_cursor_to "$WINDOW" $CURSOR_X $CURSOR_Y && wait_picture 30 cursor-a _cursor_at_first \
      && gui_cursor_to "$WINDOW" $CURSOR2_X $CURSOR2_Y && wait_picture 30 cursor-b _cursor_at_second
  }
  check "menu: the GUI cursor sits where the pointer is" -s "$WORKDIR/cursor-a.png $WORKDIR/cursor-b.png" _cursor_follows

  # Left alone, the menu needs a few frames a second.
  xdotool mousemove 1020 5
  sleep 2
  share=$(cpu_share 5)
  check "menu: idle at $share % of a core, under 25" [ "$share" -lt 25 ]

  # F11: full screen at the desktop's resolution, and back to the window as it was.
  xdotool windowfocus "$WINDOW"
  before=$(window_size "$WINDOW")
  _full() { [ "$(window_size "$WINDOW")" = "1024 768" ]; }
  _back() { [ "$(window_size "$WINDOW")" = "$before" ]; }
  # Held across frames: the game reads the keyboard's state once a frame.
  hold_f11() { xdotool keydown F11; pass_frames; xdotool keyup F11; }
  hold_f11
  check "F11: full screen" wait_until 30 _full || echo "the window is $(window_size "$WINDOW")" >&2
  hold_f11
  check "F11 again: back to $before" wait_until 30 _back || echo "the window is $(window_size "$WINDOW")" >&2

  # A resized window keeps the menu in its middle, and the menu answers clicks where it is drawn.
  xdotool windowsize "$WINDOW" 640 480
  _resized() { [ "$(window_size "$WINDOW")" = "640 480" ]; }
  wait_until 30 _resized || fail "resize: the window is $(window_size "$WINDOW")"
  _menu_small() { above "$(bright_fraction "$1" 140x50+250+190 85)" 0.15; }
  check "resize: the menu is drawn in the middle" -m "no menu in the middle" -s "$WORKDIR/small-menu.png" \
    wait_picture 30 small-menu _menu_small
  check "resize: New answers where it is drawn" press_gui_button $((NEW_X * 640 / 800)) $((NEW_Y * 480 / 600)) "$LOG_NEW_GAME"
  _hud_small() { above "$(bright_fraction "$1" 96x24+544+0 8)" 0.1 && above "$(bright_fraction "$1" 96x24+0+0 8)" 0.1; }
  check "resize: the heads-up boxes keep their places" -m "heads-up boxes misplaced" -s "$WORKDIR/small-hud.png" \
    wait_picture 30 small-hud _hud_small

  # Playing: the pointer is held for mouse look, the keyboard still is not.
  _grabbed() { [ "$(grab_state pointer)" = held ]; }
  _grabbed_keyboard_free() { wait_until 30 _grabbed && [ "$(grab_state keyboard)" = free ]; }
  check "play: the pointer is held, the keyboard is free" _grabbed_keyboard_free \
    || echo "pointer $(grab_state pointer), keyboard $(grab_state keyboard)" >&2

  # Alt+Tab to another window: the game pauses and lets the pointer go.
  xlogo -geometry 200x200+800+500 &
  other=$!
  background $other
  wait_until 30 window_exists xlogo && wmctrl -a "$GAME_TITLE"
  xdotool keydown alt; sleep 0.1; xdotool key Tab; sleep 0.3; xdotool keyup alt
  _paused() { _menu_small "$1" && [ "$(grab_state pointer)" = free ]; }
  check "focus lost: the game pauses and frees the pointer" -m "the game plays on" -s "$WORKDIR/unfocused.png" \
    wait_picture 30 unfocused _paused
  share=$(cpu_share 5)
  check "focus lost: $share % of a core, under 25" [ "$share" -lt 25 ]
  kill $other

  # SIGTERM: saved as the close button saves (no best score yet: 0), exit status 0.
  kill -TERM "$GAME_PID"
  wait_exit 30
  check "SIGTERM exits 0" [ "$GAME_STATUS" = 0 ]
  _saved_0() { [ "$(cat "$WORKDIR/high.score" 2>/dev/null)" = 0 ] && log_has "$WORKDIR" "$(printf "$LOG_BEST_SCORE_SAVED" 0 high.score)"; }
  check "SIGTERM saves the best score" -m "high.score is '$(cat "$WORKDIR/high.score" 2>&1)'" _saved_0
  check "SIGTERM: key auto-repeat unchanged" repeat_unchanged
else
  fail "no menu"
fi

# --- Closed through the window manager from the menu: saved, exit status 0 ---
if launch "$BARRELS" "$(make_workdir "$RUN_DIR")" && wait_picture 60 menu menu_shown; then
  wmctrl -c "$GAME_TITLE"
  wait_exit 30
  _closed_saved() { [ "$GAME_STATUS" = 0 ] && [ "$(cat "$WORKDIR/high.score" 2>/dev/null)" = 0 ]; }
  check "closed by the window manager: saved, exit 0" -m "exit status $GAME_STATUS" _closed_saved
  check "close: key auto-repeat unchanged" repeat_unchanged
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
  has() { grep -q "$@" <<<"$props"; }
  check "WM_CLASS: instance barrels, class $entry_class as the desktop entry's StartupWMClass" -m "$(grep WM_CLASS <<<"$props")" \
    has -xF "WM_CLASS(STRING) = \"barrels\", \"$entry_class\""
  check "the class is there before the window first shows" -m "openbox saw $(grep _OB_APP_CLASS <<<"$props")" \
    has -xF "_OB_APP_CLASS(UTF8_STRING) = \"$entry_class\""
  _names_process() { has -xF "_NET_WM_PID(CARDINAL) = $GAME_PID" && has -xF "WM_CLIENT_MACHINE(STRING) = \"$(uname -n)\""; }
  check "_NET_WM_PID and WM_CLIENT_MACHINE name the game's process" -m "$props" _names_process
  _protocols() { has "^WM_PROTOCOLS(ATOM): protocols .*WM_DELETE_WINDOW" && has "^WM_PROTOCOLS(ATOM): protocols .*_NET_WM_PING"; }
  check "WM_PROTOCOLS lists WM_DELETE_WINDOW and _NET_WM_PING" -m "$(grep WM_PROTOCOLS <<<"$props")" _protocols

  "$E2E_PING_PROBE" "$WINDOW" 60 >"$dir/ping.txt" &
  probe=$!
  wait_until 30 grep -qx sent "$dir/ping.txt"
  # The loop cannot run before the pipe has a reader: an answer in this time came from elsewhere.
  sleep 2
  _unanswered() { ! grep -qx answered "$dir/ping.txt"; }
  check "no answer to a ping while the frame loop stands still" _unanswered
  cat "$dir/trace" >/dev/null &
  check "the same ping answered once the frame loop runs" wait $probe
  _answered() { "$E2E_PING_PROBE" "$WINDOW" 30 >/dev/null; }
  check "a ping to the running game is answered" _answered
  wmctrl -c "$GAME_TITLE"
  wait_exit 30
  check "after the pings, the window manager still closes the game" [ "$GAME_STATUS" = 0 ]
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
  if box=$(wait_window "$ERROR_TITLE" 60); then
    check "error: the devices are released before the box" _devices_free
    _unmapped() { xwininfo -id "$WINDOW" | grep -q IsUnMapped; }
    check "error: the game window is hidden" _unmapped
    # The box's one button sits at the middle of its bottom edge.
    read -r bw bh < <(window_size "$box")
    xdotool mousemove --window "$box" $((bw / 2)) $((bh - 27)) click 1
    wait_exit 30
    check "error: a click closes the box, exit status 1" [ "$GAME_STATUS" = 1 ]
    check "error: the report names Barrel.mesh" grep -qF "Barrel.mesh" "$WORKDIR/stderr.txt"
  else
    fail "error: no error box"
    kill -9 "$GAME_PID"
  fi
  check "error: key auto-repeat unchanged" repeat_unchanged
else
  fail "error case: no menu"
fi

e2e_end
