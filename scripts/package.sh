#!/usr/bin/env bash
# Builds both programs for /usr and makes the Debian package in build-package/.
# Install it with: sudo apt install ./build-package/calyx_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DCALYX_BUILD_TESTS=OFF >/dev/null
cmake --build build-package
(cd build-package && cpack -G DEB)
ls build-package/calyx_*.deb
