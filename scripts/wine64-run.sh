#!/usr/bin/env bash
# Runs a 64-bit Windows program under 64-bit Wine for ctest
# (CMAKE_CROSSCOMPILING_EMULATOR of a 64-bit MinGW build), as wine-run.sh
# does for 32-bit ones: its own prefix (GW_WINEPREFIX, by default apart from
# the 32-bit one), one persistent wineserver, CRLF output turned into LF.
#   scripts/wine64-run.sh program.exe [arguments...]
#   scripts/wine64-run.sh --prepare
# Debian's wine64 package alone (amd64, no 32-bit Wine) is enough.
export GW_WINEARCH=win64
export GW_WINE="${GW_WINE:-/usr/lib/wine/wine64}"
export GW_WINESERVER="${GW_WINESERVER:-/usr/lib/wine/wineserver64}"
export GW_WINEPREFIX="${GW_WINEPREFIX:-${TMPDIR:-/tmp}/glarewright-wine64-$(id -u)}"
exec "$(dirname "$0")/wine-run.sh" "$@"
