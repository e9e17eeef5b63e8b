#!/usr/bin/env bash
# Media missing from the resource list: the error reaches standard error and the message box,
# the program ends with a non-zero status and does not hang.
# Usage: errors.sh BARRELS RUN_DIR [CLOSE_WINDOW]   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") RUN_DIR=$(realpath "$2")

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
  _dialog_or_box() { window_exists "$DIALOG_NAME" || window_exists "$ERROR_TITLE" || game_ended; }
  wait_until 90 _dialog_or_box
  window_exists "$DIALOG_NAME" && dialog_accept_until_gone "$(window_id "$DIALOG_NAME")"
  if box=$(wait_window "$ERROR_TITLE" 90); then
    xdotool windowfocus "$box" key Return
  else
    fail "$name missing: no error box"
  fi
  wait_exit 60
  check "$name missing: an error status" -m "exit status $GAME_STATUS" exited_with_error
  check "$name missing: the error names $expected on standard error" -m "$(head -c 600 "$dir/stderr.txt")" \
    grep -q "^barrels: .*$expected" "$dir/stderr.txt"
done
e2e_end
