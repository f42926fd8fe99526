#!/usr/bin/env bash
# Counts the instructions of one call of FUNCTION in each benchmark that
# FILTER selects, under callgrind: a count does not drift with the machine's
# load, as times do. Each benchmark runs one iteration and must call FUNCTION
# once in it; only what FUNCTION and the functions it calls execute is
# counted. FUNCTION is the full name as callgrind shows it, arguments too.
#
#   bench/instructions.sh FILTER FUNCTION PROGRAM
#   bench/instructions.sh 'BM_PresetDrawn/.*/w:1920' \
#       'gw::DrawLensInto(gw::Lens const&, gw::TestFrame&)' build/bench/gw_bench
#   bench/instructions.sh 'BM_HostDefaultLens' \
#       'gw::testhost::TestHost::Render(int, gw::testhost::Image const&, gw::testhost::Image&)' \
#       build/bench/gw_bench
#
# Prints one line a benchmark: its name and millions of instructions.
set -euo pipefail

if [ $# -ne 3 ]; then
  sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
filter=$1
function=$2
program=$3

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mapfile -t names < <("$program" --benchmark_filter="$filter" --benchmark_list_tests)
valgrind --tool=callgrind --callgrind-out-file="$out/cg.%p" \
    --toggle-collect="$function" --dump-after="$function" --collect-atstart=no \
    "$program" --benchmark_filter="$filter" --benchmark_min_time=0 >/dev/null 2>"$out/log" || {
  cat "$out/log" >&2
  exit 1
}
# One dump a call, numbered in the order of the calls (cg.PID.1, cg.PID.2,
# ...); cg.PID holds what came after the last call.
base=$(ls "$out"/cg.* | grep -v '\.[0-9]*\.[0-9]*$' | head -n 1)
calls=$(ls "$base".* 2>/dev/null | wc -l)
if [ "$calls" -ne "${#names[@]}" ]; then
  echo "$calls calls of $function in ${#names[@]} benchmarks" >&2
  exit 1
fi
for i in "${!names[@]}"; do
  awk -v name="${names[$i]}" '/^summary:/ { printf "%-60s %10.1f\n", name, $2 / 1e6 }' \
      "$base.$((i + 1))"
done
