#!/usr/bin/env bash
# Builds the 32-bit Windows plug-ins and the test programs with MinGW-w64 and
# runs them under Wine, including the comparison of the Windows modules'
# frames with the Linux modules' frames, bit for bit.
#   scripts/wine-tests.sh [--register-qemu]
# GW_WINE_SUITES (test folders, ;-separated) and GW_WINE_EXCLUDE (a ctest -E
# pattern) narrow the run; CI uses them to keep its time.
# Builds in build-win32/ (the DLLs land in build-win32/plugins/) and uses the
# Linux build in build/ (GW_BUILD_DIR) for the reference frames.
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/wine-setup.sh" "$@"
install_packages

WIN_BUILD="${GW_WIN_BUILD_DIR:-$ROOT/build-win32}"
export GW_WINEPREFIX="$WIN_BUILD/wineprefix"

# The Linux modules and the frame renderer, for the reference frames.
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$BUILD" -j "$(nproc)" --target render_frames

cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DGW_BUILD_CLI=OFF -DGW_WINE_TESTS=ON \
  -DGW_LINUX_BUILD_DIR="$BUILD" ${GW_WINE_SUITES:+"-DGW_WINE_SUITES=$GW_WINE_SUITES"}
# The persistent wineserver started for the tests is stopped at the end.
stop_servers() {
  for prefix in "$GW_WINEPREFIX" "$WIN_BUILD/wineprefix-display"; do
    WINEPREFIX="$prefix" wineserver --kill >/dev/null 2>&1 || true
  done
}
trap stop_servers EXIT
# The prefix is made before the build, whose test discovery runs programs.
"$ROOT/scripts/wine-run.sh" --prepare
cmake --build "$WIN_BUILD" -j "$(nproc)"
ctest --test-dir "$WIN_BUILD" --output-on-failure -j "$(nproc)" \
  ${GW_WINE_EXCLUDE:+-E "$GW_WINE_EXCLUDE"}
