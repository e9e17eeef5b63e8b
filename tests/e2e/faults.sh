#!/usr/bin/env bash
# Broken files, one per row: every media file the game reads missing, empty, cut short or garbage,
# the engine's three configuration files broken, a working directory that cannot be written. Each
# row runs the real binary until the fault shows and expects one line on standard error naming the
# file, exit status 1, no crash, no hang, and an error box that fits the screen and goes away with
# Return.
# Usage: faults.sh BARRELS RUN_DIR CLOSE_WINDOW   (runs itself again under its own virtual display)
# The rows run in three lanes side by side, each under a display of its own: a row mostly waits.
LANES=3
if [ -z "${E2E_LANE:-}" ]; then
  status=0
  for lane in $(seq 0 $((LANES - 1))); do E2E_LANE=$lane bash "$0" "$@" & done
  for job in $(jobs -p); do wait "$job" || status=1; done
  exit $status
fi
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2") CLOSE_WINDOW=$(realpath "$3")
ulimit -c 0
SCREEN_W=$(xwininfo -root | awk '/Width:/{print $2}')

# A working directory whose resource list names folders of its own, each holding links to the
# files of one folder of the build's list, so that any one file can be broken without touching
# the originals.
make_media_workdir() {
  local dir line n=0
  dir=$(make_workdir "$RUN_DIR")
  while IFS= read -r line; do
    if [[ $line == FileSystem=* ]]; then
      n=$((n + 1))
      mkdir "$dir/media$n"
      ln -s "${line#FileSystem=}"/* "$dir/media$n/"
      line="FileSystem=$dir/media$n"
    fi
    echo "$line"
  done <"$dir/resources_d.cfg" >"$dir/resources.tmp"
  mv "$dir/resources.tmp" "$dir/resources_d.cfg"
  echo "$dir"
}

# mine NAME: whether this lane runs the row NAME (rows are dealt out in turn, E2E_ONLY picks some).
ROW=0
mine() {
  ROW=$((ROW + 1))
  [ $(((ROW - 1) % LANES)) = "$E2E_LANE" ] && { [ -z "${E2E_ONLY:-}" ] || [[ "$1" == *$E2E_ONLY* ]]; }
}

garbage() { local i; for i in $(seq 300); do printf '\x9c\x01\xff\x00<junk %d>{\n' "$i"; done; }

# spoil FILE KIND: replaces FILE (a link or a file) by a missing, empty, cut short or garbage one.
spoil() {
  local file=$1 kind=$2 original
  original=$(realpath "$file")
  rm -f "$file"
  case $kind in
    missing) ;;
    empty) : >"$file" ;;
    truncated) head -c $(($(stat -c %s "$original") / 2)) "$original" >"$file" ;;
    garbage) garbage >"$file" ;;
  esac
}

# break_media DIR NAME KIND: spoils NAME in every media folder of DIR that holds it.
break_media() {
  local dir=$1 name=$2 kind=$3 file found=1
  for file in "$dir"/media*/"$name"; do
    [ -e "$file" ] || continue
    spoil "$file" "$kind"
    found=0
  done
  return $found
}

# check_row NAME STAGE EXPECTED [PAST...]: runs the game prepared in $WORKDIR (STAGE: early, the fault
# comes before the settings dialog; start, after it; started, the game was started by the caller) and
# checks the report: one line "barrels: ..." on standard error holding EXPECTED, exit status 1. PAST is
# a command that succeeds once the game has gone on beyond where it must report this fault (by default
# play_reached): a game that gets there, or opens the dialog in an early row, has missed the fault and
# is ended at once rather than left to the time-outs.
check_row() {
  local name=$1 stage=$2 expected=$3 box width lines
  shift 3
  local past=("${@:-play_reached}")
  [ "$stage" = started ] || start_game "$BARRELS" "$WORKDIR"
  _dialog_or_box() { window_exists "$DIALOG_NAME" || window_exists "$ERROR_TITLE" || game_ended; }
  wait_until 60 _dialog_or_box
  if window_exists "$DIALOG_NAME"; then
    [ "$stage" = early ] && { end_row "$name: the configuration dialog opened"; return; }
    dialog_accept_until_gone "$(window_id "$DIALOG_NAME")"
  fi
  _box_or_end() { window_exists "$ERROR_TITLE" || game_ended || "${past[@]}"; }
  wait_until 60 _box_or_end
  if box=$(window_id "$ERROR_TITLE") && [ -n "$box" ]; then
    read -r width _ < <(window_size "$box")
    [ "$width" -le "$SCREEN_W" ] || fail "$name: the error box is $width pixels wide, the screen $SCREEN_W"
    xdotool windowfocus "$box" key Return
  elif game_running; then
    if "${past[@]}"; then
      end_row "$name: no error box, yet the game went on (${past[0]//_/ }); last in Ogre.log: $(last_logged)"
    else
      end_row "$name: no error box and no end within 60 s; last in Ogre.log: $(last_logged)"
    fi
    return
  else
    fail "$name: no error box"
  fi
  wait_exit 60
  lines=$(grep -c . "$WORKDIR/stderr.txt")
  # An engine exception is reported in full: its kind first, then where it was thrown.
  if grep -q "$ENGINE_REPORT" "$WORKDIR/stderr.txt" && ! grep -q "$ENGINE_REPORT$FULL_TEXT" "$WORKDIR/stderr.txt"; then
    fail "$name: the engine's report lacks its source, file or line: $(head -c 800 "$WORKDIR/stderr.txt")"
  fi
  _reported() { [ "$GAME_STATUS" = 1 ] && [ "$lines" = 1 ] && grep -q "^barrels: .*$expected" "$WORKDIR/stderr.txt"; }
  check "$name: exit status 1, one line on standard error with '$expected'" \
    -m "exit status $GAME_STATUS, $lines lines: $(head -c 800 "$WORKDIR/stderr.txt")" _reported
  remove_unless_kept "$WORKDIR"
}
# end_row MESSAGE: a row that failed while its game still runs: the game is killed, the row ends now.
end_row() {
  fail "$1"
  wait_exit 0
  remove_unless_kept "$WORKDIR"
}
last_logged() { tail -n 1 "$WORKDIR/Ogre.log" 2>/dev/null; }
# How far a game that missed its fault got: the window made after the dialog; the input library's
# start, which comes once the media have passed their check; the game's last start-up line (its
# START_UP_STEPS), after which it plays.
window_opened() { window_exists "$GAME_TITLE"; }
game_being_built() { log_has "$WORKDIR" "$LOG_INPUT_STARTED"; }
play_reached() { log_has "$WORKDIR" "Start-up: physics world"; }
ENGINE_REPORT='^barrels: [A-Za-z]*Exception: '
FULL_TEXT='.* in [^ ]* at [^ ]* (line [0-9]*)$'

# Media: every file is tried missing, empty, cut short and garbage. The meshes of barrels and balls
# load only on New and with the first shot; the game checks them at start-up all the same.
MEDIA=(cube.mesh Barrel.mesh sphere.mesh barrels.material aim.material rust.png DebugOverlay.overlay Crosshair.overlay DebugFont.fontdef
  TaharezLook.scheme TaharezLook.imageset TaharezLook.looknfeel DejaVuSans-10.font fkp-16.font)
for file in "${MEDIA[@]}"; do
  for kind in ${E2E_KINDS:-missing empty truncated garbage}; do
    mine "$file $kind" || continue
    WORKDIR=$(make_media_workdir)
    break_media "$WORKDIR" "$file" "$kind" || { fail "$file: not in any media folder"; continue; }
    expected=$file
    # The GUI library reads its files as the game is built; the start-up check reports the rest before.
    past=game_being_built
    [[ $file = @(TaharezLook|DejaVuSans|fkp)* ]] && past=play_reached
    # The GUI library looks its files up through the engine, which reports the one it cannot find.
    [[ $kind = missing && $file = @(TaharezLook|DejaVuSans|fkp)* ]] && expected="Exception: Cannot locate resource $file$FULL_TEXT"
    check_row "$file $kind" start "$expected" $past
  done
done

# The engine's files: name | command that breaks it in the working directory | text the line must hold.
# They are read before the dialog, which must not open.
CONFIG=(
  "plugins_d.cfg missing|rm plugins_d.cfg|plugins_d.cfg: no render system"
  "plugins_d.cfg garbage|garbage >plugins_d.cfg|plugins_d.cfg: no render system"
  "plugins_d.cfg naming no folder|sed -i 's#^PluginFolder=.*#PluginFolder=/nonexistent/plugins#' plugins_d.cfg|plugins_d.cfg: Could not load dynamic library /nonexistent/plugins/"
  "resources_d.cfg missing|rm resources_d.cfg|Exception: Cannot open file: resources_d.cfg$FULL_TEXT"
  "resources_d.cfg garbage|garbage >resources_d.cfg|resources_d.cfg"
  "resources_d.cfg naming no folder|sed -i '0,/^FileSystem=/s#^FileSystem=.*#FileSystem=/nonexistent/media#' resources_d.cfg|/nonexistent/media"
)
for entry in "${CONFIG[@]}"; do
  IFS='|' read -r name command expected <<<"$entry"
  mine "$name" || continue
  WORKDIR=$(make_workdir "$RUN_DIR")
  (cd "$WORKDIR" && eval "$command") || { fail "$name: cannot break the file"; continue; }
  check_row "$name" early "$expected" window_opened
done

# ogre.cfg garbage: the engine's dialog offers its defaults; accepted, they are played and saved.
if mine "ogre.cfg garbage"; then
  WORKDIR=$(make_workdir "$RUN_DIR")
  garbage >"$WORKDIR/ogre.cfg"
  if launch "$BARRELS" "$WORKDIR" && "$CLOSE_WINDOW" "$WINDOW"; then
    wait_exit 60
    if [ "$GAME_STATUS" = 0 ] && grep -q "^Render System=" "$WORKDIR/ogre.cfg"; then
      pass "ogre.cfg garbage: the dialog's defaults play, ogre.cfg rewritten"
    else
      fail "ogre.cfg garbage: exit status $GAME_STATUS, ogre.cfg: $(head -c 200 "$WORKDIR/ogre.cfg")"
    fi
  else
    fail "ogre.cfg garbage: no game after the dialog"; wait_exit 1
  fi
  remove_unless_kept "$WORKDIR"
fi

# A video mode that is no window size: the X server would refuse the window.
if mine "ogre.cfg video mode"; then
  WORKDIR=$(make_workdir "$RUN_DIR")
  sed -i 's/^Video Mode=.*/Video Mode=large/' "$WORKDIR/ogre.cfg"
  check_row "ogre.cfg video mode of no size" start 'ogre.cfg: the video mode "large" is not a size' window_opened
fi

# A working directory the game cannot write (Ogre.log, ogre.cfg, high.score live there). Root writes
# anywhere, so then the game runs as nobody, with a copy of the display's key it can read.
if mine "unwritable working directory"; then
  WORKDIR=$(make_workdir "$RUN_DIR")
  touch "$WORKDIR/stdout.txt" "$WORKDIR/stderr.txt"
  chmod 555 "$WORKDIR"
  if [ "$(id -u)" = 0 ]; then
    auth=$E2E_TMP/xauthority
    cp "${XAUTHORITY:-$HOME/.Xauthority}" "$auth" && chmod 644 "$auth"
    chmod 644 "$WORKDIR"/*
    wrapper=(env XAUTHORITY="$auth" HOME=/nonexistent setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  (cd "$WORKDIR" && exec "${wrapper[@]}" "$BARRELS" >stdout.txt 2>stderr.txt) &
  GAME_PID=$! GAME_DIR=$WORKDIR
  check_row "unwritable working directory" started "cannot write" window_opened
fi

e2e_end
