#!/usr/bin/env bash
# Builds Calyx and starts it on the local octave-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
exec build/bin/calyx "$@"
