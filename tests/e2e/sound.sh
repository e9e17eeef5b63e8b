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
# recorded_past SECOND MORE: the recording reaches MORE seconds past SECOND.
recorded_past() { awk "BEGIN{exit !($(second_now) > $1 + $2)}"; }

if launch "$BARRELS" "$dir"; then
  check "the game plays through the wave driver" -m "$(grep 'Sound:' "$dir/Ogre.log")" \
    wait_until 60 log_has "$dir" "Sound: playing through"
  menu_end=$(second_now)
  press_gui_button $NEW_X $NEW_Y "$LOG_NEW_GAME" || fail "New: no new game in Ogre.log"
  wait_until 30 log_has "$dir" "$(printf "$LOG_LEVEL_BUILT" 1 6 31)" || fail "New: level 1 not built"
  # A second of recording for the barrels to settle on the platform (their thuds end), and a look
  # high over them, so that nothing but the shot sounds soon after the release.
  wait_until 30 recorded_past "$(second_now)" 1 || fail "the recording stopped growing"
  edge_step "$WINDOW" 0 -298 || fail "the look up was not read"
  # Held over a few polled frames, however slow they are; the release fires.
  xdotool keydown space; pass_frames
  released=$(second_now)
  xdotool keyup space
  wait_until 30 log_has "$dir" "$(printf "${LOG_SHOT_FIRED%% at *}" 1)" || fail "SPACE: no shot in Ogre.log"
  # The game plays the shot as it logs it, so the shot is in the recording by where it ends now.
  fired=$(second_now)
  wait_until 30 recorded_past "$released" 2 || fail "the recording stopped growing"
  "$CLOSE_WINDOW" "$WINDOW"
  wait_exit 60
  [ "$GAME_STATUS" = 0 ] || fail "close: exit status $GAME_STATUS"

  menu=$($ENERGY "$wav" --rms 0 "$menu_end")
  check "the menu is silent (RMS $menu)" below "$menu" 5
  # The charge tone plays until the release; the shot is the first sound after it well above that
  # tone, between the release and shortly after the moment its log line was seen.
  charging=$($ENERGY "$wav" --rms "$(awk "BEGIN{print $released - 0.1}")" "$released")
  check "the charge tone plays while SPACE is held (RMS $charging)" awk "BEGIN{exit !($charging > 100)}"
  read -r at shot < <($ENERGY "$wav" --onset "$released" "$(awk "BEGIN{print 2.5 * $charging < 1000 ? 1000 : 2.5 * $charging}")")
  check "the shot is heard: RMS ${shot:-none} at ${at:-never} s, $charging while charging" \
    -m "SPACE released at $released s, the shot logged by $fired s" \
    awk "BEGIN{exit !(\"${at}\" != \"\" && ${at:-0} <= $fired + 0.3)}" || $ENERGY "$wav" 0.1 >&2
fi
e2e_end
