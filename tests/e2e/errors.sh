#!/usr/bin/env bash
# Media missing from the resource list: the error reaches standard error and the message box,
# the program ends with a non-zero status and does not hang.
# Usage: errors.sh BARRELS RUN_DIR [CLOSE_WINDOW]   (runs itself again under its own virtual display)
set -u
source "$(dirname "$0")/../../scripts/deps.sh"
barrels_own_display 140 "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2")
source "$(dirname "$0")/lib.sh"

# drop_location CFG SECTION FILE: removes from SECTION every folder that holds FILE; fails if there was none.
drop_location() {
  local cfg=$1 section=$2 file=$3 line current="" dropped=0 out=()
  while IFS= read -r line; do
    [[ $line =~ ^\[(.*)\]$ ]] && current=${BASH_REMATCH[1]}
    if [ "$current" = "$section" ] && [[ $line == FileSystem=* ]] && [ -e "${line#FileSystem=}/$file" ]; then
      dropped=1
      continue
    fi
    out+=("$line")
  done <"$cfg"
  printf '%s\n' "${out[@]}" >"$cfg"
  [ $dropped = 1 ]
}

# case: name | section | a file of the dropped folder | text the report must name
CASES=(
  "generated meshes|General|sphere.mesh|.mesh"
  "GUI scheme|schemes|TaharezLook.scheme|TaharezLook.scheme"
)
for entry in "${CASES[@]}"; do
  IFS='|' read -r name section file expected <<<"$entry"
  dir=$(make_workdir "$RUN_DIR")
  drop_location "$dir/resources_d.cfg" "$section" "$file" || { fail "$name: no folder with $file in [$section]"; continue; }
  start_game "$BARRELS" "$dir"
  # The media are loaded after the dialog: it comes first and is accepted.
  _dialog_or_box() { window_exists "$DIALOG_NAME" || window_exists "An exception has occured!" || game_ended; }
  wait_until 90 _dialog_or_box
  window_exists "$DIALOG_NAME" && dialog_accept_until_gone "$(window_id "$DIALOG_NAME")"
  if box=$(wait_window "An exception has occured!" 90); then
    xdotool windowfocus "$box" key Return
  else
    fail "$name missing: no error box"
  fi
  wait_exit 60
  if exited_with_error; then
    pass "$name missing: exit status $GAME_STATUS"
  else
    fail "$name missing: exit status $GAME_STATUS"
  fi
  grep -q "^barrels: .*$expected" "$dir/stderr.txt" \
    && pass "$name missing: the error names $expected on standard error" \
    || fail "$name missing: standard error lacks '$expected': $(head -c 600 "$dir/stderr.txt")"
  [ $E2E_FAILURES = 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$dir"
done
exit $((E2E_FAILURES > 0))
