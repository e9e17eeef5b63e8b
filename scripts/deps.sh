# Shared by scripts/play and scripts/test: installs the Debian packages the game needs, builds it.
# Sourced, not run.

BARRELS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BARRELS_BUILD=${BARRELS_BUILD:-$BARRELS_ROOT/build}

# The virtual display the tests and the demo run on. -noreset: an X server resets itself when its
# last client disconnects and refuses new connections while it does; with test programs starting
# and ending side by side that moment comes often, so the server is kept as it is instead.
BARRELS_XVFB_SERVER_ARGS="-screen 0 1024x768x24 -noreset"

# barrels_own_display SCRIPT [ARG...]: runs SCRIPT again under a virtual display of its own, unless it
# already runs under it; end-to-end tests call it first. The number is the first free one from
# BARRELS_DISPLAY_BASE on. xvfb-run -a alone would race: two scripts started together both see the
# same number free and one server fails to start. So a number is taken by holding a lock on a file
# of its own, and the descriptor stays open through exec into xvfb-run and the script, which keeps
# the number taken until the script ends.
BARRELS_DISPLAY_BASE=${BARRELS_DISPLAY_BASE:-110}
barrels_own_display() {
  [ -n "${E2E_INNER:-}" ] && return 0
  local number=$BARRELS_DISPLAY_BASE fd
  while :; do
    if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
      exec {fd}>>"/tmp/barrels-display-$number.lock"
      flock -n "$fd" && break
      exec {fd}>&-
    fi
    number=$((number + 1))
  done
  E2E_INNER=1 exec xvfb-run -n "$number" -s "$BARRELS_XVFB_SERVER_ARGS" bash "$@"
}

# The Debian packages, in three sets. play: what building and playing the game needs (the
# compiler, the libraries' -dev packages, the font the build looks for, xdpyinfo for the display
# check). demo: what the auto-player's demo adds on a machine without a display (scripts/demo.sh).
# test: what the suite adds (GoogleTest, the fuzzer, X tools, the desktop file and package checkers).
BARRELS_PLAY_PACKAGES=(
  cmake g++ make pkg-config
  libogre-1.12-dev ogre-1.12-tools libcegui-mk2-dev libois-dev libbullet-dev
  libopenal-dev libsndfile1-dev libasound2-dev libsdl2-dev libx11-dev libxtst-dev libxrandr-dev
  fonts-dejavu-core x11-utils
)
BARRELS_DEMO_PACKAGES=(xvfb xauth imagemagick)
BARRELS_TEST_PACKAGES=(
  libgtest-dev clang libfuzzer-14-dev libxfixes-dev python3
  xdotool x11-apps openbox wmctrl x11-xserver-utils mesa-utils libgl1-mesa-dri locales
  dpkg-dev desktop-file-utils appstream lintian mandoc librsvg2-bin
)

# barrels_install_packages SET...: installs what is missing of those sets (play, demo, test).
barrels_install_packages() {
  local wanted=() missing=() set
  for set in "$@"; do
    case $set in
      play) wanted+=("${BARRELS_PLAY_PACKAGES[@]}") ;;
      demo) wanted+=("${BARRELS_DEMO_PACKAGES[@]}") ;;
      test) wanted+=("${BARRELS_TEST_PACKAGES[@]}") ;;
      *) echo "barrels_install_packages: no package set '$set'" >&2; return 1 ;;
    esac
  done
  for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# barrels_build [CMAKE_OPTION...]: configures (keeping an existing build directory's generator) and builds.
barrels_build() {
  cmake -S "$BARRELS_ROOT" -B "$BARRELS_BUILD" "$@" >/dev/null
  cmake --build "$BARRELS_BUILD" -j"$(nproc)"
}
