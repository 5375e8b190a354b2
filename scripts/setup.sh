#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the benchmarks need.
# Checks what is already installed first, so a second run costs seconds, not minutes.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config clang libclang-rt-14-dev clang-format ccache
  qt6-base-dev qt6-qpa-plugins qt6-svg-dev qt6-wayland qt6-translations-l10n
  zlib1g-dev libpng-dev libjpeg-dev libgif-dev libsqlite3-dev
  fonts-wqy-microhei
  libxcb1-dev libxcb-xfixes0-dev
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool xauth
  python3
  patchelf zstd libzstd-dev icu-devtools mmdebstrap bubblewrap desktop-file-utils
  libxcb-damage0-dev
  openbox picom xcompmgr weston dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
