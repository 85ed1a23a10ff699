#!/usr/bin/env bash
# Runs every test of an already built tree one at a time while a busy loop keeps
# one core occupied, as on a loaded machine: a test that only passes when its
# threads get the processor at once fails here. The whole suite runs ROUNDS
# times in a row (3 unless set), and every round must pass.
#   [ROUNDS=N] scripts/test-under-load.sh [BUILD_DIR] [CTEST OPTIONS...]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
shift || true
rounds="${ROUNDS:-3}"
yes > /dev/null &
busy=$!
trap 'kill "$busy" 2>/dev/null || true; wait "$busy" 2>/dev/null || true' EXIT
# Widget tests need no display.
export QT_QPA_PLATFORM=offscreen
for ((round = 1; round <= rounds; ++round)); do
  echo "== round $round of $rounds beside a busy core"
  ctest --test-dir "$build" --output-on-failure --timeout 300 -j1 "$@"
done
