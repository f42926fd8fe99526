#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest (CMAKE_CROSSCOMPILING_EMULATOR):
#   scripts/wine-run.sh program.exe [arguments...]
#   scripts/wine-run.sh --prepare      only creates the prefix and starts the server
# It uses a Wine prefix of its own (GW_WINEPREFIX, by default in the build
# folder's parent of the program, created on first use), keeps one wineserver
# alive across the many short runs, keeps Wine's own messages quiet and turns
# msvcrt's CRLF output into LF so GoogleTest's test list reads as on Linux.
set -uo pipefail

program="${1:?usage: wine-run.sh program.exe [arguments...]}"
shift
export WINEPREFIX="${GW_WINEPREFIX:-${TMPDIR:-/tmp}/glarewright-wine-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"  # no Mono or Gecko prompts
export WINEARCH="${GW_WINEARCH:-win32}"
# The programs: 64-bit Wine (scripts/wine64-run.sh) names its own.
wine="${GW_WINE:-wine}"
wineserver="${GW_WINESERVER:-wineserver}"

# The prefix is created once, and one persistent wineserver started (it
# forks into the background; when one already runs it just exits). Neither
# may keep the output pipe or the lock open, or ctest would wait for them.
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&- ||
      { echo "wine-run: wineboot failed" >&2; exit 1; }
    "$wineserver" --wait 9>&-
  fi
  "$wineserver" --persistent </dev/null >/dev/null 2>&1 9>&-
  exit 0
) 9>"$WINEPREFIX.lock" || exit 1

[ "$program" = "--prepare" ] && exit 0

# The output goes through files, not a pipe: the services Wine starts for the
# prefix inherit the program's output and live on with the server, and a pipe
# would stay open until they end.
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
"$wine" "$program" "$@" </dev/null >"$out" 2>"$err"
status=$?
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
exit "$status"
