#!/usr/bin/env bash
# Start-up: calyx-headless on an empty script (start the interpreter, run the
# start-up commands, take the first workspace listing, quit) against octave-cli
# started and quit over bare pipes by direct-pipe. Median of RUNS wall-clock
# times of each. A measurement: it exits 0 either way.
#
# usage: bench/startup-bench.sh
# environment: CALYX_BUILD_DIR (default: build), RUNS (default 7)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${CALYX_BUILD_DIR:-$root/build}
runs=${RUNS:-7}

cmake --build "$build" --target calyx-headless direct-pipe >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/cwd" "$work/data"
: >"$work/empty.m"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for ((i = 0; i < runs; i++)); do
  start=$(now_ms)
  (cd "$work/cwd" && "$build/bin/direct-pipe" "$work/empty.m") >/dev/null 2>&1
  echo $(($(now_ms) - start)) >>"$work/direct"
  start=$(now_ms)
  (cd "$work/cwd" && "$build/bin/calyx-headless" --data-dir "$work/data" --workdir "$work/cwd" \
    "$work/empty.m") >"$work/headless.out" 2>/dev/null
  echo $(($(now_ms) - start)) >>"$work/headless"
done
if ! grep -q '^== workspace' "$work/headless.out"; then
  echo "note: the headless run printed no workspace section (an empty workspace lists nothing)"
fi
direct=$(median <"$work/direct")
headless=$(median <"$work/headless")
echo "runs: $runs; load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "octave-cli start and quit (direct-pipe): $direct ms"
echo "calyx-headless, empty script:            $headless ms"
awk -v h="$headless" -v d="$direct" 'BEGIN { printf "ratio: %.2f (goal 1.5)\n", h / d }'
