#!/usr/bin/env bash
# short_run.sh TOOL PATTERN...: runs a benchmark in its short mode and fails unless it ends well
# and prints a line matching each extended regular expression. No figure is judged.
set -uo pipefail
tool=$1
shift
output=$("$tool" --short 2>&1)
status=$?
printf '%s\n' "$output"
if [ "$status" -ne 0 ]; then
  echo "FAIL: $(basename "$tool") exited with $status"
  exit 1
fi
for pattern in "$@"; do
  if ! grep -Eq -- "$pattern" <<<"$output"; then
    echo "FAIL: no line matching '$pattern'"
    exit 1
  fi
done
