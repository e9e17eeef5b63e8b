#!/usr/bin/env bash
# The game played by the auto-player on a virtual display, for machines without one: dialog, menu,
# New, shots, a level cleared, pause and back, Quit. Leaves a screenshot of each stage in a folder
# and ends with a one-line summary. Expects a finished build (scripts/play makes one).
set -euo pipefail
source "$(dirname "$0")/deps.sh"

if [ -z "${BARRELS_DEMO_DISPLAY:-}" ]; then
  # The virtual display and the picture converter are not part of what playing needs.
  barrels_install_packages demo
  BARRELS_DEMO_DISPLAY=1 exec xvfb-run -a -s "$BARRELS_XVFB_SERVER_ARGS" "$0" "$@"
fi

game="$BARRELS_BUILD/app/barrels"
player="$BARRELS_BUILD/tools/autoplayer/autoplayer"
for program in "$game" "$player"; do
  [ -x "$program" ] || { echo "Missing $program: build first (scripts/play does)." >&2; exit 1; }
done

# A fresh working directory, so the engine's log and the high-score file are this run's own.
work=$(mktemp -d /tmp/barrels-demo-XXXXXX)
cp "$BARRELS_BUILD/run/plugins_d.cfg" "$BARRELS_BUILD/run/ogre.cfg" "$BARRELS_BUILD/run/resources_d.cfg" "$work/"
mkdir "$work/screenshots"
echo "Screenshots of each stage: $work/screenshots"

(cd "$work" && exec "$game" >game.out 2>game.err) &
game_pid=$!

status=0
"$player" --workdir "$work" --screenshots "$work/screenshots" --seconds "${BARRELS_DEMO_SECONDS:-60}" "$@" \
  >"$work/autoplayer.out" || status=$?

# Quit ends the game at once; anything still running after that is stuck.
for _ in $(seq 100); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
  echo "The game did not end after Quit; stopping it." >&2
  kill "$game_pid" 2>/dev/null || true
  status=1
fi
wait "$game_pid" || status=$?

# The player saves plain pictures while it plays; PNG is what people open.
for picture in "$work"/screenshots/*.ppm; do
  [ -e "$picture" ] || continue
  convert "$picture" "${picture%.ppm}.png" && rm "$picture"
done

# Per-level lines first, the summary last.
cat "$work/autoplayer.out"
exit "$status"
