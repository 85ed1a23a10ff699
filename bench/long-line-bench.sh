#!/usr/bin/env bash
# One long output line: calyx-headless against octave-cli over bare pipes
# (direct-pipe) for lines of several sizes, each printed once by both in one run.
# Prints milliseconds from queuing the command until its whole answer was shown,
# and the ratio. A measurement: it exits 0 either way.
#
# usage: bench/long-line-bench.sh [SIZE_MB...]   (default 1 2 4 8 16)
# environment: CALYX_BUILD_DIR (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${CALYX_BUILD_DIR:-$root/build}
sizes=("$@")
((${#sizes[@]})) || sizes=(1 2 4 8 16)

cmake --build "$build" --target calyx-headless direct-pipe >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/cwd" "$work/data"

# The milliseconds of the timing line whose command is $1.
timing_of() {  # command, output file
  COMMAND=$1 awk -F'\t' '
    /^== timing$/ { inside = 1; next }
    /^== / { inside = 0 }
    inside && substr($0, length($1) + 2) == ENVIRON["COMMAND"] { print $1 }
  ' "$2"
}

printf '%-8s %12s %12s %8s\n' "MB" "headless ms" "direct ms" "ratio"
for mb in "${sizes[@]}"; do
  bytes=$(awk -v mb="$mb" 'BEGIN { printf "%d", mb * 1000000 }')
  command="printf(\"%s\\n\", repmat('a', 1, $bytes))"
  { echo 'x = 1;'; echo "$command"; } >"$work/script.m"
  (cd "$work/cwd" && "$build/bin/direct-pipe" "$work/script.m") >"$work/direct.out" 2>/dev/null
  (cd "$work/cwd" && "$build/bin/calyx-headless" --timing --data-dir "$work/data" \
    --workdir "$work/cwd" "$work/script.m") >"$work/headless.out" 2>/dev/null
  direct=$(timing_of "$command" "$work/direct.out")
  headless=$(timing_of "$command" "$work/headless.out")
  ratio=$(awk -v h="${headless:-0}" -v d="${direct:-0}" \
    'BEGIN { if (d > 0) printf "%.2f", h / d; else print "n/a" }')
  printf '%-8s %12s %12s %8s\n' "$mb" "${headless:-n/a}" "${direct:-n/a}" "$ratio"
done
