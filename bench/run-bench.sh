#!/usr/bin/env bash
# Console speed: calyx-headless against octave-cli driven over bare pipes
# (direct-pipe), both on this machine in one run. Prints the figures and whether
# each ratio meets the project's goal; a measurement, so it exits 0 either way.
#
# usage: bench/run-bench.sh
# environment: CALYX_BUILD_DIR (default: build), LATENCY_COMMANDS (200),
#   FLOOD_LINES (200000), FLOOD_RUNS (3), ROUNDS (1: each program runs the script
#   once; more rounds alternate the two and pool their figures), KEEP (1: keep the
#   scratch folder and its outputs)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${CALYX_BUILD_DIR:-$root/build}
latency_commands=${LATENCY_COMMANDS:-200}
flood_lines=${FLOOD_LINES:-200000}
flood_runs=${FLOOD_RUNS:-3}
rounds=${ROUNDS:-1}
warmups=20
goal_ratio=2

if [[ ! -f $build/build.ninja ]]; then
  cmake -S "$root" -B "$build" -G Ninja
fi
# Only what is measured: the rest of the tree may be half-way through a change.
cmake --build "$build" --target calyx-headless direct-pipe
headless=$build/bin/calyx-headless
direct=$build/bin/direct-pipe

work=$(mktemp -d)
if [[ ${KEEP:-0} == 1 ]]; then
  echo "outputs kept in $work" >&2
else
  trap 'rm -rf "$work"' EXIT
fi
mkdir "$work/cwd"

# Warm-ups differ from the measured commands so that they can be told apart.
latency_command='x = 1;'
flood_command="printf(\"%d\\n\", 1:$flood_lines)"
{
  for ((i = 0; i < warmups; i++)); do echo 'y = 2;'; done
  for ((i = 0; i < latency_commands; i++)); do echo "$latency_command"; done
  for ((i = 0; i < flood_runs; i++)); do echo "$flood_command"; done
} >"$work/script.m"

# The timing sections' milliseconds for one command text, one a line.
timings_of() {  # command, output files...
  local command=$1
  shift
  # Through the environment: awk -v would turn the command's "\n" into a line end.
  COMMAND=$command awk -F'\t' '
    FNR == 1 { inside = 0 }
    /^== timing$/ { inside = 1; next }
    /^== / { inside = 0 }
    inside && substr($0, length($1) + 2) == ENVIRON["COMMAND"] { print $1 }
  ' "$@"
}

# count, median and p90 (nearest rank) of the numbers on standard input.
statistics() {
  sort -g | awk '
    { v[NR] = $1 }
    END {
      if (NR == 0) { print 0, "n/a", "n/a"; exit }
      median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      rank = int(0.9 * NR); if (rank < 0.9 * NR) rank++
      printf "%d %.2f %.2f\n", NR, median, v[rank]
    }'
}

# headless over direct, and with a third argument the verdict against the goal.
ratio() {  # headless, direct, [goal]
  awk -v h="$1" -v d="$2" -v goal="${3:-}" 'BEGIN {
    if (h == "n/a" || d == "n/a" || d <= 0) { print "n/a (missing figures)"; exit }
    r = h / d
    if (goal == "") printf "%.2f\n", r
    else printf "%.2f  %s\n", r, (r <= goal ? "goal met" : "goal missed")
  }'
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

run() {  # name, command...
  local name=$1
  shift
  echo "running $name..." >&2
  local start
  start=$(now_ms)
  if ! (cd "$work/cwd" && "$@" "$work/script.m") >"$work/$name.out" 2>"$work/$name.err"; then
    echo "$name ended with an error:" >&2
    tail -n 5 "$work/$name.err" >&2
  fi
  echo $(($(now_ms) - start)) >"$work/$name.wall"
  echo "  $(cat "$work/$name.wall") ms" >&2
}

for ((round = 1; round <= rounds; round++)); do
  run "direct.$round" "$direct"
  mkdir "$work/data.$round"
  run "headless.$round" "$headless" --timing --data-dir "$work/data.$round" --workdir "$work/cwd"
  # The console keeps the flood's last lines: its final number shows it all came.
  if ((flood_runs > 0)) && ! grep -qx "$flood_lines" "$work/headless.$round.out"; then
    echo "warning: the headless console does not show the flood's last line" >&2
  fi
done

read -r dl_n dl_median dl_p90 < <(timings_of "$latency_command" "$work"/direct.*.out | statistics)
read -r hl_n hl_median hl_p90 < <(timings_of "$latency_command" "$work"/headless.*.out | statistics)
read -r df_n df_median _ < <(timings_of "$flood_command" "$work"/direct.*.out | statistics)
read -r hf_n hf_median _ < <(timings_of "$flood_command" "$work"/headless.*.out | statistics)
read -r _ dw_median _ < <(cat "$work"/direct.*.wall | statistics)
read -r _ hw_median _ < <(cat "$work"/headless.*.wall | statistics)

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")
echo
echo "machine: $(nproc) cpus, load $(cut -d' ' -f1-3 /proc/loadavg), $(uname -r)"
echo "octave: $(octave-cli --version 2>/dev/null | head -n 1)"
echo "build: $build (${build_type:-no build type}); rounds: $rounds"
echo "latency: '$latency_command' x $latency_commands after $warmups warm-ups," \
  "answered $hl_n headless / $dl_n direct"
echo "flood: '$flood_command' x $flood_runs, answered $hf_n headless / $df_n direct"
echo
row() { printf '%-20s headless %9s  direct %9s  ratio %s\n' "$@"; }
row "latency median ms:" "$hl_median" "$dl_median" \
  "$(ratio "$hl_median" "$dl_median" "$goal_ratio")"
row "latency p90 ms:" "$hl_p90" "$dl_p90" "$(ratio "$hl_p90" "$dl_p90")"
row "flood median ms:" "$hf_median" "$df_median" \
  "$(ratio "$hf_median" "$df_median" "$goal_ratio")"
# Start, every command with the waits between them, and quit: no goal.
row "whole run ms:" "$hw_median" "$dw_median" "$(ratio "$hw_median" "$dw_median")"
exit 0
