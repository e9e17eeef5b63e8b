#!/usr/bin/env bash
# The command line as GNU programs answer it: each case's stream, first line and exit status, the
# other stream empty; --help within 80 columns, options before keys, pads and files; a failed write
# of the answer reported with exit 1. The man page is clean and has the version --version has.
# Usage: cli.sh BARRELS RUN_DIR CLOSE_WINDOW   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1")
out=$E2E_TMP

# The version stands once, in the project's CMakeLists.txt.
version=$(sed -n 's/^project(barrels VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")

# The display is taken away so that a command line that starts the game ends at once, with the
# game's own message and status 1, rather than a window.
# arguments (one word each, split on spaces) | stream | first line (exact) | exit status
cases=(
  "--help|stdout|Usage: barrels [OPTION]...|0"
  "-h|stdout|Usage: barrels [OPTION]...|0"
  "--version|stdout|barrels $version|0"
  "--vers|stdout|barrels $version|0"
  "--he|stdout|Usage: barrels [OPTION]...|0"
  "--|stderr|barrels: cannot open the X display (DISPLAY is not set): the game needs a graphical desktop|1"
  "--bogus|stderr|barrels: unrecognized option '--bogus'|2"
  "-x|stderr|barrels: invalid option -- 'x'|2"
  "--help=yes|stderr|barrels: option '--help' doesn't allow an argument|2"
  "play|stderr|barrels: extra operand 'play'|2"
  "-- --help|stderr|barrels: extra operand '--help'|2"
)
for case in "${cases[@]}"; do
  IFS='|' read -r arguments stream first status <<<"$case"
  # shellcheck disable=SC2086  # the arguments are words
  env -u DISPLAY "$BARRELS" $arguments >"$out/stdout" 2>"$out/stderr"
  got=$?
  other=stdout; [ "$stream" = stdout ] && other=stderr
  line=$(head -1 "$out/$stream")
  if [ "$got" = "$status" ] && [ "$line" = "$first" ] && [ ! -s "$out/$other" ]; then
    pass "barrels $arguments: $stream '$first', exit $status"
  else
    fail "barrels $arguments: exit $got (want $status), $stream starts '$line' (want '$first'), $other: $(head -c 300 "$out/$other")"
  fi
  # A usage error ends with the pointer to --help, and says nothing more.
  if [ "$status" = 2 ]; then
    [ "$(wc -l <"$out/stderr")" = 2 ] && [ "$(tail -1 "$out/stderr")" = "Try 'barrels --help' for more information." ] \
      || fail "barrels $arguments: stderr is not one line and the pointer to --help: $(cat "$out/stderr")"
  fi
done

# --help: every line within 80 columns; options, then keys, pads and files.
"$BARRELS" --help >"$out/help"
wide=$(awk 'length > 80 { printf "%d: %d columns; ", NR, length }' "$out/help")
check "--help: every line within 80 columns" [ -z "$wide" ]
order=$(grep -n -o '^\(Options\|Keys\|Gamepads\|Files\)' "$out/help" | cut -d: -f2 | tr '\n' ' ')
check "--help: options, keys, gamepads, files" [ "$order" = "Options Keys Gamepads Files " ]
for fact in ESC F11 "hold SPACE" settings.cfg ogre.cfg Ogre.log high.score "Start = ESC"; do
  grep -qF -- "$fact" "$out/help" || fail "--help does not mention $fact"
done
"$BARRELS" --version >"$out/version"
check "--version: copyright and license lines" -m "$(cat "$out/version")" \
  eval 'grep -q "^Copyright (C) The Barrels developers$" "$out/version" && grep -q "^License MIT" "$out/version"'

# The man page and the AppStream metadata carry the same version; the man page reads cleanly.
BUILD_DIR=$(realpath "$(dirname "$BARRELS")/..")
manual=$BUILD_DIR/media/barrels.6.gz
header=$(zcat "$manual" | sed -n 1p)
release=$(grep "<release" "$BUILD_DIR/media/$APP_ID.metainfo.xml")
versions_agree() {
  grep -q "^\.TH BARRELS 6 \"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]\" \"Barrels $version\"" <<<"$header" \
    && grep -q "<release version=\"$version\" date=\"[0-9-]*\"/>" <<<"$release"
}
check "the man page and the metainfo say version $version" -m "$header, $release" versions_agree
mandoc -T lint "$manual" >"$out/lint" 2>&1
lint=$?
check "mandoc -T lint: nothing to say" -m "$(cat "$out/lint")" [ $lint = 0 ]

# A write that fails (a full disk) is an error, said on stderr.
for option in --help --version; do
  "$BARRELS" $option >/dev/full 2>"$out/stderr"
  got=$?
  check "$option > /dev/full: exit 1, write error on stderr" -m "exit $got, stderr: $(cat "$out/stderr")" \
    eval '[ "$got" = 1 ] && grep -q "^barrels: write error: No space left on device$" "$out/stderr"'
done

e2e_end
