#!/usr/bin/env bash
# Installs every Debian package the build, the programs and the tests need,
# or only the packages named as arguments (scripts/windows-tests.sh names its
# own). Idempotent; works as root or through sudo.
set -euo pipefail

packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-wayland
  libqscintilla2-qt6-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  octave octave-doc octave-io
  xvfb xauth imagemagick fonts-dejavu-core
  dpkg-dev file desktop-file-utils appstream librsvg2-bin
  fonts-freefont-otf
)

if [ "$(id -u)" -eq 0 ]; then
  run() { "$@"; }
else
  run() { sudo "$@"; }
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  run apt-get update -q
  run apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
echo "dependencies installed"
