#!/usr/bin/env bash
# Checks that the Debian package builds reproducibly: builds it twice, from two copies of the
# sources in folders of different names and lengths, and compares the two .deb files and the two
# -dbgsym packages byte for byte. Both builds take the last commit's time as SOURCE_DATE_EPOCH.
# Usage: packaging/reproducible.sh [--clone]
#   the working tree as it is, uncommitted changes included (its build folders left out); with
#   --clone, two clones of the last commit instead. Two optimised builds: about five minutes on two
#   cores.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-copy}
work=$(mktemp -d /tmp/barrels-reproducible-XXXXXX)
trap 'rm -rf "$work"' EXIT
# One snapshot of the working tree for both builds, so that an edit meanwhile cannot tell them apart.
[ "$mode" = --clone ] || tar -C "$root" --exclude='./build*' -cf "$work/sources.tar" .
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH

packages=()
for copy in a/x bb/second-copy; do
  sources=$work/$copy
  mkdir -p "$(dirname "$sources")"
  if [ "$mode" = --clone ]; then
    git clone -q "$root" "$sources"
  else
    mkdir "$sources"
    tar -C "$sources" -xf "$work/sources.tar"
  fi
  echo "building in $sources"
  cmake -S "$sources" -B "$sources/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
  # What the package installs: the game (with its media and sounds), the manual, the changelog.
  cmake --build "$sources/build" -j"$(nproc)" --target barrels barrels_manual barrels_changelog >/dev/null
  (cd "$sources/build" && cpack -G DEB -B "$work/packages-${#packages[@]}" >/dev/null)
  packages+=("$work/packages-${#packages[@]}")
done

status=0
for first in "${packages[0]}"/*.deb "${packages[0]}"/*.ddeb; do
  second=${packages[1]}/$(basename "$first")
  if cmp -s "$first" "$second"; then
    echo "identical: $(basename "$first") ($(stat -c %s "$first") bytes)"
  else
    echo "DIFFERENT: $(basename "$first")"
    for package in "$first" "$second"; do
      mkdir -p "$package.d" && dpkg-deb -R "$package" "$package.d"
    done
    diff -r --no-dereference "$first.d" "$second.d" | head -20 || true
    status=1
    trap - EXIT
    echo "both builds kept in $work"
  fi
done
exit $status
