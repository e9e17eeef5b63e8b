#!/usr/bin/env bash
# The game installed like any Linux game: into a read-only prefix, started from an unrelated folder
# by a user with a fresh home; its per-user files land in the XDG folders and nowhere else. The
# desktop entry and AppStream data validate, the command line answers, and the Debian package holds
# the game in /usr/games, declares what it needs, keeps its symbols apart and passes lintian.
# Usage: install.sh BARRELS RUN_DIR [CLOSE_WINDOW]   (runs itself again under its own virtual display)
source "$(dirname "$0")/lib.sh"
e2e_begin "$0" "$@"
BARRELS=$(realpath "$1") CLOSE_WINDOW=$(realpath "$3")
BUILD_DIR=$(realpath "$(dirname "$BARRELS")/..")

scratch=$E2E_TMP
prefix=$scratch/usr home=$scratch/home elsewhere=$scratch/elsewhere output=$scratch/output
mkdir -p "$home" "$elsewhere" "$output"

cmake --install "$BUILD_DIR" --prefix "$prefix" >/dev/null || { fail "cmake --install"; exit 1; }
chmod -R a-w "$prefix"
touch "$scratch/installed-at"

# --- What the install holds ---
for file in bin/barrels share/barrels/resources_d.cfg share/barrels/plugins_d.cfg share/barrels/ogre.cfg \
            share/barrels/generated/Barrel.mesh share/barrels/generated/shot.wav share/applications/$APP_ID.desktop \
            share/metainfo/$APP_ID.metainfo.xml share/man/man6/barrels.6.gz \
            share/icons/hicolor/48x48/apps/$APP_ID.png share/icons/hicolor/64x64/apps/$APP_ID.png \
            share/icons/hicolor/scalable/apps/$APP_ID.svg; do
  [ -f "$prefix/$file" ] || fail "install: no $file"
done
# Debian 12's validator predates version 1.5 of the format, whose SingleMainWindow key it takes for
# an unknown one: that complaint alone is let through.
desktop-file-validate "$prefix/share/applications/$APP_ID.desktop" 2>&1 \
  | grep -v 'key "SingleMainWindow" in group "Desktop Entry", but keys extending the format' >"$output/desktop.txt"
check "the desktop entry validates" -m "$(cat "$output/desktop.txt")" [ ! -s "$output/desktop.txt" ]
appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/$APP_ID.metainfo.xml" >"$output/appstream.txt" 2>&1
valid=$?
check "the AppStream metadata validates" -m "$(cat "$output/appstream.txt")" [ $valid = 0 ]

# --- The command line ---
installed=$prefix/bin/barrels
check "--version" grep -q "^barrels [0-9]" <<<"$("$installed" --version)"
check "--help names the files" grep -q "high.score" <<<"$("$installed" --help)"
"$installed" --no-such-option >/dev/null 2>"$output/usage.txt"
got=$?
_usage_error() { [ $got = 2 ] && grep -q "Try 'barrels --help'" "$output/usage.txt"; }
check "an unknown option: a pointer to --help on stderr, exit 2" -m "exit $got, stderr: $(cat "$output/usage.txt")" _usage_error
# A folder that cannot be made (its parent is a file; a read-only one would not stop root): one
# clear line, exit 1.
touch "$scratch/not-a-folder"
(cd "$elsewhere" && timeout 60 env -u XDG_CONFIG_HOME -u XDG_STATE_HOME HOME="$home" \
  XDG_DATA_HOME="$scratch/not-a-folder" "$installed" >/dev/null 2>"$output/folder.txt")
got=$?
_folder_error() { [ $got = 1 ] && grep -q "barrels: cannot create the folder" "$output/folder.txt"; }
check "an unwritable data folder: clear error, exit 1" -m "exit $got, stderr: $(cat "$output/folder.txt")" _folder_error
rm -rf "${home:?}"/.config "${home:?}"/.local

# --- Played from elsewhere by a fresh user: dialog, menu, New, window close ---
state=$home/.local/state/barrels
(cd "$elsewhere" && exec env -u XDG_CONFIG_HOME -u XDG_STATE_HOME -u XDG_DATA_HOME HOME="$home" \
  "$installed" >"$output/stdout.txt" 2>"$output/stderr.txt") &
GAME_PID=$! GAME_DIR=$output
if dialog=$(wait_window "$DIALOG_NAME" 90); then
  dialog_accept_until_gone "$dialog"
  WINDOW=$(wait_window "$GAME_TITLE" 90) && xdotool windowfocus "$WINDOW"
  WORKDIR=$state
  if [ -n "$WINDOW" ] && wait_picture 90 menu menu_shown; then
    pass "the installed game shows its menu"
    WORKDIR=$state
    check "New starts a game" press_gui_button $NEW_X $NEW_Y "$LOG_NEW_GAME"
    # M's choice is the first setting changed: it goes into the config folder's settings.cfg.
    xdotool key m
    settings=$home/.config/barrels/settings.cfg
    _sound_off_saved() { wait_until 30 log_has "$state" "$(printf "$LOG_SETTINGS_SAVED" "$settings")" && grep -qx "sound = off" "$settings"; }
    check "M's choice is saved to the config folder's settings.cfg" _sound_off_saved
    "$CLOSE_WINDOW" "$WINDOW"
    wait_exit 30
    check "window close exits 0" [ "$GAME_STATUS" = 0 ]
  else
    fail "installed game: no menu ($(tail -3 "$output/stderr.txt"))"
    wait_exit 1
  fi
else
  fail "installed game: no dialog ($(tail -3 "$output/stderr.txt"))"
  wait_exit 1
fi
_xdg_files() { [ -f "$home/.config/barrels/ogre.cfg" ] && [ -f "$state/Ogre.log" ] && [ -f "$home/.local/share/barrels/high.score" ]; }
check "ogre.cfg, Ogre.log and high.score in the XDG folders" -m "per-user files: $(cd "$home" && find . -type f | tr '\n' ' ')" _xdg_files
check "nothing written into the working directory" [ -z "$(ls -A "$elsewhere")" ]
check "nothing written into the prefix" [ -z "$(find "$prefix" -newer "$scratch/installed-at")" ]
chmod -R u+w "$prefix"

# --- The Debian package ---
if (cd "$BUILD_DIR" && cpack -G DEB -B "$output/package" >"$output/cpack.txt" 2>&1); then
  deb=$(ls "$output"/package/barrels_*.deb) ddeb=$(ls "$output"/package/barrels-dbgsym_*.ddeb 2>/dev/null)
  info=$(dpkg-deb --info "$deb") contents=$(dpkg-deb --contents "$deb")
  _package_info() { grep -q "Section: games" <<<"$info" && grep -q "Depends:.*libogre" <<<"$info" && grep -q "libcegui" <<<"$info"; }
  check "the package is in section games and depends on its libraries" -m "$info" _package_info
  for file in ./usr/games/barrels ./usr/share/barrels/generated/Barrel.mesh ./usr/share/applications/$APP_ID.desktop \
              ./usr/share/icons/hicolor/48x48/apps/ ./usr/share/man/man6/barrels.6.gz \
              ./usr/share/doc/barrels/changelog.gz ./usr/share/doc/barrels/copyright; do
    grep -qF " $file" <<<"$contents" || fail "package: no $file"
  done
  grep -qF " ./usr/bin/" <<<"$contents" && fail "package: a /usr/bin beside /usr/games"
  pass "the package holds the game in /usr/games, its media, desktop entry, icon, manual and documentation"
  # As Debian's archive checks a package: any error or warning fails. The only info tag left is the
  # -dbgsym package's documentation link, which lintian cannot follow without a source package.
  lintian --fail-on error,warning "$deb" ${ddeb:+"$ddeb"} >"$output/lintian.txt" 2>&1
  lint=$?
  check "lintian: no error, no warning" -m "$(cat "$output/lintian.txt")" [ $lint = 0 ]
  # The game is stripped; its symbols are in the -dbgsym package under its build ID.
  unpacked=$output/unpacked
  dpkg-deb -x "$deb" "$unpacked"
  build_id=$(readelf -n "$unpacked/usr/games/barrels" | sed -n 's/^ *Build ID: //p')
  debug_file=/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug
  _stripped() {
    [ -z "$(readelf -S "$unpacked/usr/games/barrels" | grep -E ' \.(debug_info|symtab) ')" ] && [ -n "$build_id" ] \
      && grep -qF "$debug_file" <<<"$(dpkg-deb --contents "$ddeb")"
  }
  check "a stripped game, its symbols in the -dbgsym package" -m "build ID '$build_id', -dbgsym package '$ddeb'" _stripped
  # From /usr/games the game finds its media as from bin/: it gets as far as the user's folders.
  (cd "$elsewhere" && timeout 60 env HOME="$home" XDG_DATA_HOME="$scratch/not-a-folder" \
    "$unpacked/usr/games/barrels" >/dev/null 2>"$output/packaged.txt")
  check "the packaged game finds its installation from /usr/games" -m "$(cat "$output/packaged.txt")" \
    grep -q "barrels: cannot create the folder" "$output/packaged.txt"
else
  fail "cpack: $(tail -5 "$output/cpack.txt")"
fi

e2e_end
