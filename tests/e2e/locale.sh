#!/usr/bin/env bash
# The game under the user's locale: the GUI library finds nothing to complain about in Ogre.log, and
# the media read as in the C locale (the GUI library reads property values with sscanf, which takes
# "0.9" for 0 where the decimal point is a comma): the menu right after start is the picture it is
# under LC_ALL=C.
# Usage: locale.sh BARRELS RUN_DIR CLOSE_WINDOW   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2") CLOSE_WINDOW=$(realpath "$3")

# Only a row's own variables reach the game, whatever locale ctest runs under; the tools here read
# and print their numbers in C.
unset LANG LANGUAGE $(compgen -e | grep '^LC_')

# The comma locales are built from the sources in the `locales` package, into a folder of our own
# that LOCPATH names: nothing to install, no root.
LOCALES=$E2E_TMP/locales
mkdir "$LOCALES"

# row: the game's locale variable | the decimal point that locale has
ROWS=(
  "LANG=C.UTF-8|."
  "LANG=de_DE.UTF-8|,"
  "LC_ALL=fr_FR.UTF-8|,"
)
REFERENCE=LC_ALL=C

# The statistics overlay shows frame rates, which differ from run to run: left out of the comparison.
REGION_STATISTICS="rectangle 0,480 299,599"
# Pixels that may differ from the C locale's menu (beyond 5% fuzz): none, as the camera stands still
# and Mesa draws the same scene the same way every time.
MAX_CHANGED=0

# Lines of Ogre.log that report a problem, without their times and addresses and numbers.
problem_lines() {
  sed -E 's/^[0-9:]+: //; s/0x[0-9a-fA-F]+/0x?/g; s/[0-9]+/#/g' "$1/Ogre.log" \
    | grep -iE 'error|exception|warn|fail|invalid|unable|cannot|could not|not found' | sort -u
}

frames_drawn() { grep -c '^frame ' "$WORKDIR/frames.txt" 2>/dev/null || true; }
_frames_since() { [ "$(frames_drawn)" -ge $(($1 + $2)) ]; }

# menu_run NAME NAME=VALUE...: starts the game with those variables, pictures the menu as it stands
# right after start (the GUI arrow outside the window, a few frames drawn since), and closes it.
# Sets WORKDIR; the picture is $WORKDIR/menu.png with the statistics blacked out.
menu_run() {
  local name=$1; shift
  local dir x y w h
  dir=$(make_workdir "$RUN_DIR")
  if ! launch "$BARRELS" "$dir" "BARRELS_FRAME_TRACE=$dir/frames.txt" "$@"; then
    fail "$name: the game did not start"
    wait_exit 1
    return 1
  fi
  # Accepting the dialog left the pointer somewhere over the game: it goes to the screen's corner
  # the window leaves free, and the GUI stops drawing its arrow.
  read -r x y w h < <(xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
  if [ "$x" -gt 0 ] || [ "$y" -gt 0 ]; then xdotool mousemove 0 0; else xdotool mousemove $((w + 1)) $((h + 1)); fi
  # The frame trace's lines say when frames were drawn: three more, and the menu is as it stays.
  wait_until 60 _frames_since "$(frames_drawn)" 3 || fail "$name: no frames drawn"
  screenshot "$WORKDIR/shot.png" "$WINDOW" && convert "$WORKDIR/shot.png" -fill black -draw "$REGION_STATISTICS" "$WORKDIR/menu.png" \
    || fail "$name: no screenshot"
  "$CLOSE_WINDOW" "$WINDOW"
  wait_exit 60
  [ "$GAME_STATUS" = 0 ] || fail "$name: exit status $GAME_STATUS after the window was closed"
}

# The run every row is compared with.
menu_run "$REFERENCE" "$REFERENCE" || exit 1
REFERENCE_DIR=$WORKDIR
if ! menu_shown "$REFERENCE_DIR/menu.png"; then
  fail_shot "$REFERENCE: no menu in the picture" "$REFERENCE_DIR/menu.png"
  exit 1
fi

for row in "${ROWS[@]}"; do
  IFS='|' read -r variable point <<<"$row"
  locale_name=${variable#*=}
  language=${locale_name%%.*}
  if [ "$language" != C ]; then
    localedef -i "$language" -f "${locale_name#*.}" "$LOCALES/$locale_name" \
      || { fail "$locale_name: localedef could not build it"; continue; }
  fi
  # A locale the C library cannot find falls back to C, and the row would prove nothing.
  got=$(env LOCPATH="$LOCALES" "$variable" locale -k decimal_point 2>&1)
  [ "$got" = "decimal_point=\"$point\"" ] || { fail "$locale_name: $variable gives $got, not the decimal point $point"; continue; }

  menu_run "$locale_name" "LOCPATH=$LOCALES" "$variable" || continue
  # Paths left out: the folders the media come from may well have "locale" in their names.
  lines=$(sed -E "s#(^|[ '])/[^ ']*#\1#g" "$WORKDIR/Ogre.log" | grep -i 'locale')
  check "$variable: no line about the locale in Ogre.log" -m "$(head -c 300 <<<"$lines")" [ -z "$lines" ]
  lines=$(comm -13 <(problem_lines "$REFERENCE_DIR") <(problem_lines "$WORKDIR"))
  check "$variable: no problem in Ogre.log that $REFERENCE has not" -m "$(head -c 600 <<<"$lines")" [ -z "$lines" ]
  changed=$(compare -metric AE -fuzz 5% "$REFERENCE_DIR/menu.png" "$WORKDIR/menu.png" null: 2>&1)
  if [[ "$changed" =~ ^[0-9]+$ ]] && [ "$changed" -le $MAX_CHANGED ]; then
    pass "$variable: the menu is the picture it is under $REFERENCE ($changed pixels differ)"
  else
    fail_shot "$variable: the menu differs from $REFERENCE's in $changed pixels" "$REFERENCE_DIR/menu.png" "$WORKDIR/menu.png"
  fi
  remove_unless_kept "$WORKDIR"
done
e2e_end
