#!/usr/bin/env bash
# The real binary's sound, recorded by OpenAL Soft's wave driver: silent in the menu, the shot heard
# when SPACE is released.
# Usage: sound.sh BARRELS RUN_DIR CLOSE_WINDOW   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2") CLOSE_WINDOW=$(realpath "$3")
ENERGY="python3 $(dirname "$0")/wav_energy.py"

dir=$(make_workdir "$RUN_DIR")
wav=$dir/heard.wav
# The driver writes the mix to the file as fast as a sound card would play it.
printf 'drivers = wave\n[wave]\nfile = %s\n' "$wav" >"$dir/alsoft.conf"
export ALSOFT_CONF=$dir/alsoft.conf
# Where in the recording a moment falls: the file's size then.
second_now() { $ENERGY "$wav" --at "$(stat -c %s "$wav")"; }

if launch "$BARRELS" "$dir"; then
  check "the game plays through the wave driver" -m "$(grep 'Sound:' "$dir/Ogre.log")" \
    wait_until 60 log_has "$dir" "Sound: playing through"
  menu_end=$(second_now)
  press_gui_button $NEW_X $NEW_Y "$LOG_NEW_GAME" || fail "New: no new game in Ogre.log"
  wait_until 30 log_has "$dir" "$(printf "$LOG_LEVEL_BUILT" 1 6 31)" || fail "New: level 1 not built"
  # Held over a few polled frames, however slow they are; the release fires.
  xdotool keydown space; pass_frames
  released=$(second_now)
  xdotool keyup space
  wait_until 30 log_has "$dir" "Mesh: Loading sphere.mesh" || fail "SPACE: no ball in Ogre.log"
  # Two seconds more of recording after the shot.
  _recorded() { awk "BEGIN{exit !($(second_now) > $released + 2)}"; }
  wait_until 30 _recorded || fail "the recording stopped growing"
  "$CLOSE_WINDOW" "$WINDOW"
  wait_exit 60
  [ "$GAME_STATUS" = 0 ] || fail "close: exit status $GAME_STATUS"

  menu=$($ENERGY "$wav" --rms 0 "$menu_end")
  # The recording runs behind the clock when the machine is busy, so the shot is found as the loudest
  # moment after the release, well above the charge tone that plays until it.
  read -r at shot < <($ENERGY "$wav" --loudest "$released")
  charging=$($ENERGY "$wav" --rms "$(awk "BEGIN{print $at - 0.6}")" "$(awk "BEGIN{print $at - 0.1}")")
  check "the menu is silent (RMS $menu)" below "$menu" 5
  check "the shot is heard: loudest RMS $shot at $at s, $charging while charging" -m "SPACE released at $released s" \
    awk "BEGIN{exit !($shot > 2500 && $shot > 2 * $charging)}" || $ENERGY "$wav" 0.1 >&2
fi
e2e_end
