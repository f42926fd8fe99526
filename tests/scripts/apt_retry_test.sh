#!/usr/bin/env bash
# The scripts' apt-get wrapper against a stub apt-get that fails in each way
# the registry and the machine can: what is retried, what is left out, and
# which failures are the registry's (75) and which are not (1).
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The stub: each call takes the next answer from $work/<verb>.answers
# (ok, index, fetch, unmet, locate) and logs the call.
mkdir "$work/bin"
cat > "$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
verb=""
for a in "$@"; do case "$a" in update|install) verb="$a" ;; esac; done
echo "$verb" >> "$STUB_DIR/calls"
answers="$STUB_DIR/$verb.answers"
answer="$(head -n 1 "$answers")"
[ "$(wc -l < "$answers")" -gt 1 ] && sed -i 1d "$answers"
case "$answer" in
  ok) exit 0 ;;
  index) echo "E: Failed to fetch http://deb.example/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
         echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
         exit 100 ;;
  fetch) echo "E: Failed to fetch http://deb.example/pool/main/w/wine/wine_8.0_all.deb  Temporary failure resolving 'deb.example'" >&2
         exit 100 ;;
  unmet) # what -qq leaves of apt's answer
         echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." >&2
         exit 100 ;;
  locate) echo "E: Unable to locate package wine33" >&2; exit 100 ;;
esac
STUB
chmod +x "$work/bin/apt-get"
export PATH="$work/bin:$PATH" STUB_DIR="$work" GW_APT_PAUSE=0 GW_APT_TRIES=3
# The wrapper asks for sudo only when not root; the stub needs none.
id() { [ "${1:-}" = "-u" ] && echo 0 || command id "$@"; }
source "$here/../../scripts/apt.sh"

failures=0
# expect NAME UPDATE_ANSWERS INSTALL_ANSWERS EXPECTED_RC EXPECTED_CALLS
expect() {
  local name="$1" rc
  printf '%s\n' $2 > "$work/update.answers"
  printf '%s\n' $3 > "$work/install.answers"
  : > "$work/calls"
  { apt_update; apt_install wine wine32:i386; } 2> "$work/stderr" && rc=0 || rc=$?
  local calls
  calls="$(tr '\n' ' ' < "$work/calls")"
  if [ "$rc" != "$4" ] || [ "$calls" != "$5 " ]; then
    echo "FAIL $name: rc $rc (want $4), calls '$calls' (want '$5 ')"
    sed 's/^/    /' "$work/stderr"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect "all well"                          "ok"          "ok"            0  "update install"
expect "an index fails once"               "index ok"    "ok"            0  "update update install"
expect "an index stays damaged, install ok" "index"      "ok"            0  "update update update install"
expect "a download fails once"             "ok"          "fetch ok"      0  "update install update install"
expect "damaged index, unmet dependencies" "index"       "unmet"         75 "update update update install update update update install update update update install"
expect "downloads keep failing"            "ok"          "fetch"         75 "update install update install update install"
expect "unmet with whole indexes"          "ok"          "unmet"         1  "update install update install update install"
expect "a package that does not exist"     "ok"          "locate"        1  "update install update install update install"

# The damaged index is named in what the wrapper prints, and apt's words too.
printf '%s\n' index > "$work/update.answers"; printf '%s\n' unmet > "$work/install.answers"
{ apt_update; apt_install wine32:i386; } 2> "$work/stderr"
for want in "binary-i386/Packages.xz" "generated breaks" "could not be fetched after 3 tries"; do
  grep -qF "$want" "$work/stderr" || { echo "FAIL message lacks '$want'"; failures=$((failures + 1)); }
done

[ "$failures" -eq 0 ] && echo "all passed" || { echo "$failures failed"; exit 1; }
