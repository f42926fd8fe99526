#!/usr/bin/env bash
# Runs several builds of the benchmark program in turn, ROUNDS times over, on
# one core, and prints for every benchmark the best CPU time of each build:
# a shared machine drifts from minute to minute, and interleaving keeps that
# drift from passing for a difference between builds.
#
#   bench/interleave.sh ROUNDS FILTER NAME=PROGRAM [NAME=PROGRAM ...]
#   bench/interleave.sh 12 'BM_PresetDrawn/.*/w:1920' before=/tmp/base/gw_bench now=build/bench/gw_bench
#
# The load average is printed before every round; the table's times are in
# milliseconds. MIN_TIME (default 0.2) is each benchmark's minimum run time;
# CORE (default 1) the core it runs on.
set -euo pipefail

if [ $# -lt 3 ]; then
  sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
rounds=$1
filter=$2
shift 2
names=()
programs=()
for pair in "$@"; do
  names+=("${pair%%=*}")
  programs+=("${pair#*=}")
done

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for ((round = 1; round <= rounds; ++round)); do
  echo "round $round of $rounds, load average $(cut -d' ' -f1-3 /proc/loadavg)" >&2
  for i in "${!programs[@]}"; do
    taskset -c "${CORE:-1}" "${programs[$i]}" --benchmark_filter="$filter" \
        --benchmark_min_time="${MIN_TIME:-0.2}" --benchmark_color=false 2>/dev/null |
      awk -v build="${names[$i]}" '
        # name, real time, unit, CPU time, unit, iterations, counters; a
        # benchmark that failed has no units and is left out (the CSV form
        # would stop at benchmarks whose counters differ)
        $1 ~ /^BM_/ && $3 ~ /^(ns|us|ms|s)$/ && $5 ~ /^(ns|us|ms|s)$/ {
          unit = $5
          scale = unit == "ns" ? 1e-6 : unit == "us" ? 1e-3 : unit == "s" ? 1e3 : 1
          print build "\t" $1 "\t" $4 * scale
        }' >>"$results"
  done
done

# The best time of each benchmark for each build, builds side by side.
awk -F'\t' -v order="${names[*]}" '
  BEGIN { n = split(order, build, " ") }
  {
    key = $2 SUBSEP $1
    if (!(key in best) || $3 < best[key]) best[key] = $3
    if (!($2 in seen)) { seen[$2] = 1; rows[++count] = $2 }
  }
  END {
    printf "%-60s", "benchmark (best CPU ms)"
    for (b = 1; b <= n; ++b) printf " %12s", build[b]
    printf "\n"
    for (r = 1; r <= count; ++r) {
      printf "%-60s", rows[r]
      for (b = 1; b <= n; ++b) {
        key = rows[r] SUBSEP build[b]
        if (key in best) printf " %12.3f", best[key]; else printf " %12s", "-"
      }
      printf "\n"
    }
  }' "$results"
