# Shared by ./run and ./test: installs what is missing and builds incrementally.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ORX_BUILD_DIR:-$ROOT/build}"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins qt6-translations-l10n
  libxkbcommon-dev libxkbcommon-x11-dev
  libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libjpeg-dev libpng-dev rapidjson-dev libtinygltf-dev libgtest-dev libgmock-dev
  libxcb1-dev libxfixes-dev libxcursor-dev adwaita-icon-theme
  xvfb xauth xdotool x11-utils x11-apps x11-xkb-utils fonts-dejavu-core locales poppler-utils
  openbox
  clang-format clang-tidy libjs-three
)
# libjs-three: three.js, which the export of a web page inlines.
# For ./package and its test (ctest -L package) only: the package's dependencies are
# found by dpkg-shlibdeps (dpkg-dev, file) and it is checked with lintian and the
# desktop tools.
PACKAGING_PACKAGES=(
  dpkg-dev file lintian desktop-file-utils shared-mime-info xdg-utils
)

# For the checks of exported glTF files only (./test): node and npm run the Khronos
# validator, f3d renders the files. Where they cannot be installed those tests skip.
EXPORT_CHECK_PACKAGES=(nodejs npm f3d)
# The validator's npm package, pinned, and the folder it is installed into (shared by
# all checkouts; tests/export/validate.sh looks there).
GLTF_VALIDATOR_VERSION=2.0.0-dev.3.10
GLTF_VALIDATOR_PREFIX="${XDG_CACHE_HOME:-$HOME/.cache}/orx-view/gltf-validator"
# The checks of exported web pages drive Debian's chromium headless with this npm
# package, which uses the installed browser and downloads none
# (tests/export/web_page.sh looks there).
PAGE_CHECK_PACKAGES=(chromium)
PUPPETEER_CORE_VERSION=24.43.1
PUPPETEER_CORE_PREFIX="${XDG_CACHE_HOME:-$HOME/.cache}/orx-view/puppeteer-core"

# Installs those of the given packages (default: PACKAGES) that are missing.
install_packages() {
  local wanted=("$@")
  [ ${#wanted[@]} -eq 0 ] && wanted=("${PACKAGES[@]}")
  local missing=()
  for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# node, npm, f3d and the glTF validator, where they are missing and can be had; a
# failure only makes the export checks skip.
ensure_export_checks() {
  local missing=() p
  for p in "${EXPORT_CHECK_PACKAGES[@]}"; do
    # node and npm may come from elsewhere than Debian's packages.
    command -v "${p/nodejs/node}" >/dev/null || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    ( install_packages "${missing[@]}" ) || echo "Export checks: ${missing[*]} could not be installed"
  fi
  npm_install_pinned "$GLTF_VALIDATOR_PREFIX" gltf-validator "$GLTF_VALIDATOR_VERSION" ||
    echo "Export checks: gltf-validator $GLTF_VALIDATOR_VERSION could not be installed"
}

# npm_install_pinned PREFIX PACKAGE VERSION: installs that version of an npm package
# into PREFIX/node_modules unless it is there; without npm nothing is done.
npm_install_pinned() {
  local prefix="$1" name="$2" version="$3"
  local installed="$prefix/node_modules/$name/package.json"
  if [ -f "$installed" ] && grep -q "\"version\": \"$version\"" "$installed"; then
    return 0
  fi
  command -v npm >/dev/null || return 0
  mkdir -p "$prefix"
  npm install --silent --no-audit --no-fund --prefix "$prefix" "$name@$version" >/dev/null 2>&1
}

# chromium and puppeteer-core for the checks of exported web pages, where they are
# missing and can be had; a failure only makes those checks skip.
ensure_page_checks() {
  command -v chromium >/dev/null ||
    ( install_packages "${PAGE_CHECK_PACKAGES[@]}" ) || echo "Page checks: chromium could not be installed"
  npm_install_pinned "$PUPPETEER_CORE_PREFIX" puppeteer-core "$PUPPETEER_CORE_VERSION" ||
    echo "Page checks: puppeteer-core $PUPPETEER_CORE_VERSION could not be installed"
}

# A German locale, so that the tests can show that numbers parse the same under it.
ensure_german_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
}

# Configures (again only when something changed) and builds. The options given are
# applied also to a build folder made before.
build() {
  local extra=("$@")
  if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}"
  elif [ ${#extra[@]} -gt 0 ]; then
    cmake -S "$ROOT" -B "$BUILD" "${extra[@]}" >/dev/null
  fi
  cmake --build "$BUILD" -j"$(nproc)"
}

# Starts an Xvfb display of its own when none is set and exports DISPLAY; the
# caller kills XVFB_PID at its end. Xvfb picks a free display number itself
# (-displayfd), so that runs side by side on one machine never take the same one.
# -noreset: by default Xvfb resets itself when its last client disconnects, and a
# client that connects during the reset is dropped ("could not connect to
# display"); the window tests start and end one client after another, so they
# would now and then hit that moment.
XVFB_PID=""
start_xvfb_if_needed() {
  [ -n "${DISPLAY:-}" ] && return 0
  local number_file
  number_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$number_file" \
    >/dev/null 2>&1 &
  XVFB_PID=$!
  # Ready when it has named its display and answers a client there.
  local deadline=$((SECONDS + 30)) number=""
  until [ -n "$number" ] && DISPLAY=":$number" xdpyinfo >/dev/null 2>&1; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
      echo "Xvfb did not start" >&2
      rm -f "$number_file"
      return 1
    fi
    sleep 0.1
    number="$(head -1 "$number_file")"
  done
  rm -f "$number_file"
  export DISPLAY=":$number"
}

# For the benchmarks: runs a command three times and prints "seconds peak-MiB" of the
# best run (GNU time); the caller's WORK folder holds the timing file.
measure() {
  local best="" mem=""
  for _ in 1 2 3; do
    /usr/bin/time -f "%e %M" -o "$WORK/t" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
    read -r s k < "$WORK/t"
    if [ -z "$best" ] || awk "BEGIN{exit !($s < $best)}"; then best=$s; mem=$((k / 1024)); fi
  done
  echo "$best $mem"
}
