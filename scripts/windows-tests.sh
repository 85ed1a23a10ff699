#!/usr/bin/env bash
# Builds the parts without Qt (common/, the session core, the headless driver,
# the stand-in interpreter and their tests) for 64-bit Windows with MinGW-w64
# and runs the tests under Wine: headless, in a private Wine prefix.
#   scripts/windows-tests.sh [BUILD_DIR]      (default: build-windows)
# Installs the cross compiler and Wine first if they are missing (as root, or
# through sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-windows}"
start=$(date +%s)

bash scripts/install-deps.sh cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64

# A Wine of our own: no display, no dialogs, nothing shared with the user's.
prefix=$(mktemp -d)
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT
# Set up the prefix while the build runs: one server for every test program,
# and Wine's null display driver, on which hidden windows (the link's
# endpoints) work without any display.
(wineserver -p && wineboot --init >/dev/null 2>&1 &&
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1) &
prepare=$!

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "${launcher[@]}"
cmake --build "$build"
wait "$prepare"

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 -j2 || status=$?

# What the programs themselves counted, summed over all of them.
log="$build/Testing/Temporary/LastTest.log"
passed=$(grep -ho '^\[  PASSED  \] [0-9]*' "$log" | awk '{s += $4} END {print s + 0}')
skipped=$(grep -ho '^\[  SKIPPED \] [0-9]* test' "$log" | awk '{s += $4} END {print s + 0}')
echo "Windows tests under Wine: $passed passed, $skipped skipped, in $(( $(date +%s) - start )) s"
exit "$status"
