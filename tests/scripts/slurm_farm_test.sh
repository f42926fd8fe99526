#!/usr/bin/env bash
# A 48-frame sequence in 6 chunks through `glarewright farm slurm` on a real
# single-node Slurm cluster (scripts/slurm-local.sh): every frame equals a
# serial run's byte for byte; a chunk that fails names the reason in its log,
# `frames check` lists its frames, and --resume submits that chunk alone.
#
#   tests/scripts/slurm_farm_test.sh GLAREWRIGHT
#
# Exits 77 (skipped) when no cluster can be had here (not root, Slurm not
# installed), unless GW_REQUIRE_SLURM=1, as in CI, where that fails; there
# the cluster's packages are installed when missing.
set -euo pipefail
program="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
required="${GW_REQUIRE_SLURM:-0}"
WAIT_LIMIT=180  # seconds a job may take: a task that can never start pends for ever

work="$(mktemp -d)"
cluster=""
cleanup() {
  if [ -n "$cluster" ]; then "$scripts/slurm-local.sh" stop "$cluster" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

rc=0
cluster="$(GW_SLURM_INSTALL="$required" "$scripts/slurm-local.sh" start)" || rc=$?
if [ "$rc" -ne 0 ]; then
  cluster=""
  if [ "$rc" -eq 77 ] && [ "$required" != 1 ]; then
    echo "skipped: no Slurm cluster can be started here"
    exit 77
  fi
  fail "the local Slurm cluster did not start (exit $rc)"
fi
source "$cluster/env"
cd "$work"

# Waits until job $1 has no task queued or running, at most WAIT_LIMIT s.
wait_job() {
  local job="$1" waited=0
  while [ -n "$(squeue -h -j "$job" -o %i)" ]; do
    if [ "$waited" -ge $((WAIT_LIMIT * 5)) ]; then
      squeue -t all -j "$job" >&2 || true
      fail "job $job did not finish within $WAIT_LIMIT s"
    fi
    sleep 0.2
    waited=$((waited + 1))
  done
}

# "ID_TASK STATE" of every task of job $1 that Slurm still remembers.
task_states() {
  squeue -h -t all -j "$1" -o '%i %T' | sort -t_ -k2 -n
}

submitted_job() {
  sed -n 's/^Submitted Slurm job \([0-9]*\):.*/\1/p' <<< "$1"
}

# Plates, a lens and the serial run every chunk is compared with.
"$program" render --size 320x180 --frames 1-48 -o plate.####.png -q \
  --light 10%,20%@1 --light 90%,70%@48 --brightness 60
"$program" lens new -o lens.gwr > /dev/null
"$program" lens add lens.gwr Sparkle > /dev/null
options=(plate.####.png --frames 1-48 --lens lens.gwr --light 40,30@1 --light 300,160@48
         --shutter-angle 180)
"$program" render "${options[@]}" -o serial.####.png --jobs 1 -q

# A partition that does not exist: refused in one line, nothing queued.
if out="$("$program" farm slurm "${options[@]}" -o farm.####.png --chunk-size 8 \
  --partition nosuch --job-dir refused 2>&1)"; then
  fail "a job for a partition that does not exist was submitted: $out"
fi
grep -q "^glarewright: sbatch refused the job: .*Invalid partition name" <<< "$out" ||
  fail "the refusal does not say why: $out"
[ "$(wc -l <<< "$out")" -eq 1 ] || fail "the refusal takes more than one line: $out"
[ -z "$(squeue -h -t all)" ] || fail "a refused job was queued"

# Frame 20 of the plates is damaged: chunk 3 (frames 17-24) stops there.
cp plate.0020.png good-plate.png
head -c 2000 good-plate.png > plate.0020.png

out="$("$program" farm slurm "${options[@]}" -o farm.####.png --chunk-size 8 \
  --cpus-per-task 1 --job-dir job)"
echo "$out"
job="$(submitted_job "$out")"
[ -n "$job" ] || fail "no job id in: $out"
grep -q '^#SBATCH --array=1-6$' job/job.sh || fail "the script is not an array of 6 tasks"
wait_job "$job"
states="$(task_states "$job")"
echo "$states"
expected="$(for k in 1 2 3 4 5 6; do
  if [ "$k" -eq 3 ]; then echo "${job}_$k FAILED"; else echo "${job}_$k COMPLETED"; fi
done)"
[ "$states" = "$expected" ] || fail "expected chunk 3 alone to fail; Slurm says: $states"
scontrol show job "${job}_3" | grep -q "ExitCode=1:0" || fail "chunk 3 did not exit 1"
grep -q "plate.0020.png" "job/logs/chunk-3.job-$job.log" ||
  fail "chunk 3's log does not name the damaged plate: $(cat "job/logs/chunk-3.job-$job.log")"

rc=0
check="$("$program" frames check farm.####.png --frames 1-48 -q 2> /dev/null)" || rc=$?
[ "$rc" -eq 1 ] || fail "frames check exited $rc with frames missing"
[ "$check" = "missing     20-24" ] || fail "frames check lists: $check"

# The plate mended, --resume submits chunk 3 alone, which renders 20-24 only.
cp good-plate.png plate.0020.png
kept="$(stat -c %i:%Y farm.0017.png)"
out="$("$program" farm slurm --resume job)"
echo "$out"
resumed="$(submitted_job "$out")"
[ -n "$resumed" ] || fail "no job id in: $out"
wait_job "$resumed"
states="$(task_states "$resumed")"
[ "$states" = "${resumed}_3 COMPLETED" ] || fail "the resumed job ran: $states"
[ "$(stat -c %i:%Y farm.0017.png)" = "$kept" ] || fail "frame 17 was rendered again"
"$program" frames check farm.####.png --frames 1-48 -q > /dev/null ||
  fail "frames are still missing after the resume"

for f in $(seq -f %04g 1 48); do
  cmp -s "serial.$f.png" "farm.$f.png" || fail "frame $f differs from the serial run's"
done
out="$("$program" farm slurm --resume job)"
grep -q "^Nothing to submit: all 48 frames" <<< "$out" || fail "a whole job was resumed: $out"
echo "48 frames in 6 chunks on Slurm equal the serial run; the failed chunk resumed alone"
