#!/usr/bin/env bash
# Builds everything from scratch in build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
rm -rf build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
# Widget tests need no display.
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 300 -j2
