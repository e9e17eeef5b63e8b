#!/usr/bin/env bash
# The soak's memory verdict on made-up curves: growth after minute five fails, start-up filling,
# noise, a late spike and a slow creep do not, rounds are judged apart, short games not at all.
set -u
GROWTH=$(dirname "$0")/../../tools/soak/growth.awk
failures=0

# curve ROUND MINUTES MIB: a game's samples every 10 s, MIB an awk expression of t (minutes).
curve() {
  awk -v r="$1" -v minutes="$2" "BEGIN { for (s = 0; s <= minutes * 60; s += 10) {
    t = s / 60; printf \"%d %d %d %d\\n\", s, r, s, ($3) * 1024 } }"
}

# name | curve arguments | what the verdict must say
cases=(
  "flat with noise|1 15 340 + 3 * sin(t * 7)|round 1: steady"
  "leaking 2 MiB a minute|1 15 340 + 2 * t|round 1: GROWING"
  "leaking only from minute eight|1 15 340 + (t > 8 ? 3 * (t - 8) : 0)|round 1: GROWING"
  "filling up in the first five minutes, then flat|1 15 (t < 5 ? 150 + 38 * t : 340)|round 1: steady"
  "one spike in the last sample|1 15 340 + (t >= 15 ? 30 : 0)|round 1: steady"
  "creeping 0.3 MiB a minute|1 15 340 + 0.3 * t|round 1: steady"
  "a game of six minutes|1 6 340 + 10 * t|round 1: 7 samples past five minutes, growth not judged"
)
for case in "${cases[@]}"; do
  IFS='|' read -r name args expected <<<"$case"
  read -r round minutes mib <<<"$args"
  verdict=$(curve "$round" "$minutes" "$mib" | awk -f "$GROWTH")
  if [[ "$verdict" == "$expected"* ]]; then echo "ok: $name: $verdict"
  else echo "FAIL: $name: '$verdict', wanted '$expected'" >&2; failures=$((failures + 1)); fi
done

# A restarted game starts low again: each round is judged on its own samples.
verdict=$({ curve 1 15 "340 + 2 * t"; curve 2 15 "340"; } | awk -f "$GROWTH" | sort)
if [ "$(echo "$verdict" | cut -d, -f1)" = "round 1: GROWING
round 2: steady" ]; then echo "ok: rounds apart"
else echo "FAIL: rounds apart: $verdict" >&2; failures=$((failures + 1)); fi

# The limits are the caller's to set.
verdict=$(curve 1 15 "340 + 0.3 * t" | awk -v max_slope=0.2 -v margin=2 -f "$GROWTH")
if [[ "$verdict" == "round 1: GROWING"* ]]; then echo "ok: tighter limits"
else echo "FAIL: tighter limits: $verdict" >&2; failures=$((failures + 1)); fi

exit $((failures > 0))
