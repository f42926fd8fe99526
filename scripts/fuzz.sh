#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UBSan) in
# build-fuzz/ and runs each in turn for SECONDS (default 60) from its seeds
# in fuzz/corpus/, then prints each one's executions, speed and coverage.
#
#   scripts/fuzz.sh [SECONDS]
#   GW_FUZZ_RUNS=1000000 scripts/fuzz.sh 7200   # a million executions each (or the time)
#   GW_FUZZ_TARGETS="lens_file_fuzz" scripts/fuzz.sh 600
#   GW_FUZZ_TIMEOUT=60 scripts/fuzz.sh 3600   # seconds an input may take (10)
#
# New inputs go to a temporary folder, never into fuzz/corpus/. A target that
# fails prints libFuzzer's report and the run ends with status 1.
source "$(dirname "$0")/common.sh"
seconds="${1:-60}"
FUZZ_BUILD="${GW_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
targets=(${GW_FUZZ_TARGETS:-lens_file_fuzz lens_json_fuzz editor_fuzz sequence_data_decode_fuzz
         sequence_data_render_fuzz})

install_packages
CXX=clang++ CC=clang cmake -S "$ROOT" -B "$FUZZ_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGW_BUILD_FUZZ=ON -DGW_SANITIZE=ON -DGW_BUILD_TESTS=OFF -DGW_BUILD_EDITOR_QT=OFF >/dev/null
cmake --build "$FUZZ_BUILD" -j "$(nproc)" --target "${targets[@]}"

# What each target reads: its seeds, the largest input worth making, words.
seeds_of() {
  case "$1" in
    sequence_data_*) echo sequence_data ;;
    *) echo "${1%_fuzz}" ;;
  esac
}
options_of() {
  case "$1" in
    lens_file_fuzz) echo "-max_len=12288 -dict=$ROOT/fuzz/lens_file.dict" ;;  # 100 elements: 11408
    lens_json_fuzz) echo "-max_len=32768 -dict=$ROOT/fuzz/lens_json.dict" ;;  # 50 elements: 27615
    editor_fuzz) echo "-max_len=8192" ;;
    sequence_data_*) echo "-max_len=12009" ;;  # the choice byte and 12008 stored bytes
  esac
}

# libFuzzer picks quick inputs to mutate more often than slow ones
# (-entropic_scale_per_exec_time): a lens of a few absurd elements can take
# seconds on the tiny frame, and a long run would otherwise spend most of its
# time on such inputs and their offspring.
# A smaller quarantine than ASan's 256 MB: freed memory comes back sooner,
# so that inputs which build many short-lived profiles do not spend their time
# in page faults. Use-after-free is still caught within the last 16 MB freed.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
summary=()
failed=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus"
  log="$work/$target.log"
  echo "-- $target (${seconds} s${GW_FUZZ_RUNS:+, at most $GW_FUZZ_RUNS runs})"
  seeds=()
  [ -d "$ROOT/fuzz/corpus/$(seeds_of "$target")" ] && seeds=("$ROOT/fuzz/corpus/$(seeds_of "$target")")
  # shellcheck disable=SC2046
  if ! "$FUZZ_BUILD/fuzz/$target" -max_total_time="$seconds" ${GW_FUZZ_RUNS:+-runs=$GW_FUZZ_RUNS} \
      -timeout="${GW_FUZZ_TIMEOUT:-10}" -rss_limit_mb=2048 -print_final_stats=1 \
      -entropic_scale_per_exec_time=1 $(options_of "$target") \
      -artifact_prefix="$work/$target-" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    failed=1
    tail -n 40 "$log"
    cp "$work/$target-"* "$ROOT/" 2>/dev/null && echo "(the failing input is in $ROOT/)"
  fi
  done_line="$(grep -E '^#[0-9]+' "$log" | tail -n 1)"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
  cov="$(sed -n 's/.* cov: \([0-9]*\) .*/\1/p' <<<"$done_line")"
  ft="$(sed -n 's/.* ft: \([0-9]*\) .*/\1/p' <<<"$done_line")"
  units="$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\) .*/\1/p' <<<"$done_line")"
  summary+=("$(printf '%-27s %12s %10s %9s %9s %12s' "$target" "${runs:-?}" "${rate:-?}" \
    "${cov:-?}" "${ft:-?}" "${units:-?}")")
done

printf '\n%-27s %12s %10s %9s %9s %12s\n' target executions "per second" "edges" features corpus
printf '%s\n' "${summary[@]}"
exit "$failed"
