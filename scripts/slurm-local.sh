#!/usr/bin/env bash
# A single-node Slurm cluster on 127.0.0.1 for the tests, without systemd:
# munged, slurmctld and slurmd started by hand as root, their state, logs
# and sockets in one temporary folder, stopped by the PIDs they recorded.
#
#   scripts/slurm-local.sh install      installs slurm-wlm and munge when missing
#   scripts/slurm-local.sh start        installs what is missing, starts the daemons,
#                                       waits until the node is idle and prints the
#                                       state folder; `source DIR/env` points Slurm's
#                                       commands at this cluster
#   scripts/slurm-local.sh stop DIR     stops the daemons of DIR and removes DIR
#
# start exits 77 when the cluster cannot be had here (not root; Slurm not
# installed and GW_SLURM_INSTALL=0), 1 when a daemon does not come up (its log
# is printed, and whatever had started is stopped again).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/apt.sh"

PACKAGES=(slurm-wlm munge)
START_TIMEOUT="${GW_SLURM_START_TIMEOUT:-60}"   # seconds until the node must be idle
STOP_TIMEOUT=15                                 # seconds a daemon has to end after SIGTERM

say() { echo "slurm-local: $*" >&2; }

installed() {
  command -v slurmctld > /dev/null && command -v slurmd > /dev/null &&
    command -v munged > /dev/null && command -v sbatch > /dev/null
}

install() {
  installed && return 0
  say "installing ${PACKAGES[*]}"
  # Debian starts a package's services on installation where it can; these
  # must not run: the cluster here is started by hand.
  local policy=/usr/sbin/policy-rc.d added=false
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' > "$policy" && chmod 755 "$policy" && added=true
  fi
  local rc=0
  { apt_update && apt_install --no-install-recommends "${PACKAGES[@]}"; } || rc=$?
  if $added; then rm -f "$policy"; fi
  return "$rc"
}

# A TCP port on 127.0.0.1 that nothing listens on.
free_port() {
  local port
  for _ in $(seq 50); do
    port=$((20000 + RANDOM % 20000))
    if ! (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null; then
      echo "$port"
      return 0
    fi
  done
  return 1
}

# Runs a daemon in the foreground of a session of its own, its output in
# DIR/log/NAME.log, and records its PID in DIR/pids.
launch() {
  local dir="$1" name="$2"
  shift 2
  setsid "$@" < /dev/null > "$dir/log/$name.log" 2>&1 &
  echo "$name $!" >> "$dir/pids"
}

# Stops the daemons recorded in DIR/pids, newest first: SIGTERM, then SIGKILL
# after STOP_TIMEOUT seconds.
stop_daemons() {
  local dir="$1" name pid
  [ -f "$dir/pids" ] || return 0
  tac "$dir/pids" | while read -r name pid; do
    kill -TERM "$pid" 2> /dev/null || continue
    for _ in $(seq $((STOP_TIMEOUT * 10))); do
      kill -0 "$pid" 2> /dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2> /dev/null; then
      say "$name ($pid) did not end: killing it"
      kill -KILL "$pid" 2> /dev/null || true
    fi
  done
  rm -f "$dir/pids"
}

stop() {
  local dir="${1:?usage: slurm-local.sh stop DIR}"
  # Only a folder this script made is emptied.
  [ -f "$dir/slurm.conf" ] && [ -f "$dir/env" ] || {
    say "$dir is not a cluster started by this script"
    return 1
  }
  stop_daemons "$dir"
  rm -rf "$dir"
}

# Waits until `test` succeeds, at most SECONDS; fails with the log of NAME.
wait_for() {
  local dir="$1" name="$2" seconds="$3"
  shift 3
  for _ in $(seq $((seconds * 10))); do
    "$@" > /dev/null 2>&1 && return 0
    sleep 0.1
  done
  say "$name did not come up within $seconds s; its log:"
  sed 's/^/  /' "$dir/log/$name.log" >&2 || true
  return 1
}

node_idle() {
  [ "$(sinfo -h -N -o '%t' 2> /dev/null)" = "idle" ]
}

start() {
  if [ "$(id -u)" -ne 0 ]; then
    say "the cluster's daemons run as root: run this as root"
    return 77
  fi
  if ! installed; then
    if [ "${GW_SLURM_INSTALL:-1}" = 0 ]; then
      say "Slurm is not installed (scripts/slurm-local.sh install installs it)"
      return 77
    fi
    install
  fi

  local dir
  dir="$(mktemp -d /tmp/glarewright-slurm.XXXXXX)"
  # munged refuses a socket whose folders others cannot enter, and a key
  # whose folder others can read.
  chmod 755 "$dir"
  mkdir -p "$dir/munge" "$dir/munge-key" "$dir/log" "$dir/ctld" "$dir/spool"
  chmod 755 "$dir/munge"
  chmod 700 "$dir/munge-key"
  # Until the node is up, any failure or signal stops what has started.
  STARTING="$dir"
  trap 'if [ -n "${STARTING:-}" ]; then stop_daemons "$STARTING"; rm -rf "$STARTING"; fi' EXIT
  trap 'exit 130' INT TERM HUP

  if command -v mungekey > /dev/null; then
    mungekey --create --keyfile="$dir/munge-key/munge.key"
  else
    dd if=/dev/urandom of="$dir/munge-key/munge.key" bs=1024 count=1 status=none
  fi
  chmod 400 "$dir/munge-key/munge.key"
  local socket="$dir/munge/munge.socket.2"
  launch "$dir" munged munged --foreground --force --socket="$socket" \
    --key-file="$dir/munge-key/munge.key" --pid-file="$dir/munge/munged.pid" \
    --log-file="$dir/log/munged-own.log" --seed-file="$dir/munge/munged.seed"
  wait_for "$dir" munged 20 test -S "$socket"

  local node ctld_port slurmd_port
  # The node as slurmd sees this machine: its name, CPUs, sockets, memory.
  node="$(slurmd -C | head -n 1)"
  ctld_port="$(free_port)"
  slurmd_port="$(free_port)"
  local name="${node#NodeName=}"
  name="${name%% *}"
  cat > "$dir/slurm.conf" << CONF
# A single-node cluster for the tests (scripts/slurm-local.sh).
ClusterName=glarewright
SlurmctldHost=$name(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
StateSaveLocation=$dir/ctld
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/ctld/slurmctld.pid
SlurmdPidFile=$dir/spool/slurmd.pid
SlurmctldLogFile=$dir/log/slurmctld-own.log
SlurmdLogFile=$dir/log/slurmd-own.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
SwitchType=switch/none
ReturnToService=2
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
# Array tasks start as soon as they fit, not in waves.
SchedulerParameters=batch_sched_delay=0
KillWait=5
$node NodeAddr=127.0.0.1 State=UNKNOWN
PartitionName=local Nodes=$name Default=YES MaxTime=INFINITE State=UP
CONF
  echo "export SLURM_CONF='$dir/slurm.conf'" > "$dir/env"
  export SLURM_CONF="$dir/slurm.conf"

  launch "$dir" slurmctld slurmctld -D -i -f "$dir/slurm.conf"
  wait_for "$dir" slurmctld 20 scontrol ping
  launch "$dir" slurmd slurmd -D -f "$dir/slurm.conf"
  wait_for "$dir" slurmd "$START_TIMEOUT" node_idle
  STARTING=""
  say "cluster up: $(sinfo -h -N -o '%N %c CPUs %t'); stop it with: $0 stop $dir"
  echo "$dir"
}

case "${1:-}" in
  install) install ;;
  start) start ;;
  stop) stop "${2:-}" ;;
  *)
    echo "usage: $0 install | start | stop DIR" >&2
    exit 2
    ;;
esac
