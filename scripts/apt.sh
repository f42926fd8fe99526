# apt-get for the scripts, sourced: updates and installs that retry what the
# registry fails transiently, and tell a package the registry cannot serve
# today from every other failure.
#
#   apt_update [--quiet]       refreshes the indexes; never fails on its own
#   apt_install [opts] PKG...  installs; 0 done, 75 the registry could not serve
#                              the packages, 1 any other failure
#
# An index that fails to download (a mirror half-synced, say) is retried and
# then left out: the install that follows succeeds whenever its packages are
# available without it. The install is retried after a fresh update. Only when
# it still fails and the registry is at fault (an index or archive that could not
# be fetched) does apt_install answer 75 (EX_TEMPFAIL); it prints apt's own words
# in every case. GW_APT_TRIES (3) and GW_APT_PAUSE (seconds, 10) set the retries.

GW_APT_INDEX_FAILURES=""   # apt's "Failed to fetch" lines of the last update
GW_APT_LAST_ERROR=""       # apt's message of the last failed install

apt_sudo() {
  if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

apt_update() {
  local quiet=false
  [ "${1:-}" = "--quiet" ] && quiet=true
  local tries="${GW_APT_TRIES:-3}" pause="${GW_APT_PAUSE:-10}" try out rc
  for ((try = 1; try <= tries; try++)); do
    out="$(apt_sudo apt-get update -qq 2>&1)" && rc=0 || rc=$?
    GW_APT_INDEX_FAILURES="$(printf '%s\n' "$out" | grep -E '^(E|W): Failed to fetch' || true)"
    if [ "$rc" -eq 0 ] && [ -z "$GW_APT_INDEX_FAILURES" ]; then
      return 0
    fi
    [ "$try" -lt "$tries" ] && sleep "$pause"
  done
  $quiet && return 0
  echo "apt-get update: some package indexes could not be fetched after $tries tries;" \
    "installing from the indexes that could:" >&2
  printf '%s\n' "${GW_APT_INDEX_FAILURES:-$out}" | sed 's/^/  /' >&2
  return 0
}

# Whether the failed install's message puts the fault on the registry.
apt_registry_at_fault() {
  local message="$1"
  if printf '%s\n' "$message" | grep -qE 'Failed to fetch|Unable to fetch|Temporary failure|Could not connect|Hash Sum mismatch'; then
    return 0
  fi
  # Packages whose dependencies the indexes that did download cannot satisfy.
  [ -n "$GW_APT_INDEX_FAILURES" ] &&
    printf '%s\n' "$message" | grep -qE 'unmet dependencies|Unable to locate package|has no installation candidate|not going to be installed|generated breaks|held broken packages'
}

apt_install() {
  local tries="${GW_APT_TRIES:-3}" pause="${GW_APT_PAUSE:-10}" try rc
  for ((try = 1; try <= tries; try++)); do
    GW_APT_LAST_ERROR="$(apt_sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@" 2>&1)" &&
      return 0
    if [ "$try" -lt "$tries" ]; then
      sleep "$pause"
      apt_update --quiet
    fi
  done
  echo "apt-get install failed after $tries tries:" >&2
  printf '%s\n' "$GW_APT_LAST_ERROR" | grep -vE '^(Reading|Building) ' | tail -n 25 | sed 's/^/  /' >&2
  if apt_registry_at_fault "$GW_APT_LAST_ERROR"; then
    return 75
  fi
  return 1
}
