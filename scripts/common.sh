# Shared by scripts/run, scripts/test and scripts/bench: install what is missing.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

# Debian packages the build, the tests and the program need.
WQK_PACKAGES=(cmake g++ make qt6-base-dev libgl-dev libgtest-dev libgmock-dev
  libbenchmark-dev libfftw3-dev fonts-dejavu-core fonts-liberation xvfb xauth xdotool
  cups printer-driver-cups-pdf poppler-utils qt6-svg-dev libsndfile1-dev pkg-config)
# The session-file test reads what the program wrote with the real reader.
WQK_PACKAGES+=(sigrok-cli)
# The remote-control test drives the SCPI server with a real client: PyVISA and its
# pure-Python backend.
WQK_PACKAGES+=(python3-pyvisa python3-pyvisa-py)
# The install check (tests/install): the desktop-entry and metadata validators, man.
WQK_PACKAGES+=(desktop-file-utils appstream man-db file)
# clang with libFuzzer, for ./scripts/fuzz.
WQK_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# ./scripts/package: dpkg-shlibdeps works out the package's dependencies.
WQK_PACKAGE_PACKAGES=(dpkg-dev)
# ./scripts/hidpi-screenshot: the window on Xvfb, clicked by xdotool, grabbed by ImageMagick.
WQK_SCREENSHOT_PACKAGES=(imagemagick)
# The style gates of ./scripts/lint.
WQK_LINT_PACKAGES=(clang-format clang-tidy)

install_missing() {
  local missing=()
  for p in "${WQK_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

jobs() { nproc 2>/dev/null || echo 2; }
